#include "editor/text/LinesSource.h"

#include "editor/text/edEditorStrings.h"

namespace kestrim {
namespace {

// Lines are read in slices of this many, so that one block costs about its own bytes.
constexpr int LinesPerSlice = 256;

} // namespace

TLinesLoss LinesLoss(const TEditorStrings& Lines, TTextEncoding From, TTextEncoding To)
{
    TLinesLoss loss;
    if (From == To)
        return loss;
    int line = 0;
    for (int row = 0;;) {
        const int next = Lines.ReadLines(row, LinesPerSlice, [&](std::string_view Text) {
            const TConversionLoss lost = ConvertText(Text, From, To).Loss;
            if (lost.Count > 0 && loss.Count == 0)
                loss.First = {line + 1, PlaceOfOffset(From, Text, lost.First).Column};
            loss.Count += lost.Count;
            ++line;
        });
        if (next == row)
            return loss;
        row = next;
    }
}

TLinesSource::TLinesSource(const TEditorStrings& Lines, TTextEncoding From, TTextEncoding To, TLineEnd LineEnd)
    : FLines(Lines)
    , FFrom(From)
    , FTo(To)
    , FLineBreak(LineEnd == TLineEnd::Lf ? "\n" : "\r\n")
{
}

std::string_view TLinesSource::ReadBlock(char*, std::size_t Count)
{
    if (FPosition == FBlock.size() && !FEnd)
        ReadLines(Count);
    const std::string_view block = std::string_view(FBlock).substr(FPosition, Count);
    FPosition += block.size();
    return block;
}

void TLinesSource::Rewind()
{
    FLine = 0;
    FEnd = false;
    FBlock.clear();
    FPosition = 0;
}

// A line break goes before every line but the first, and after the last only when the text
// ends with one. A block starts at its first line's number, which re-wrapping between two
// blocks keeps; within a block the rows lead on.
void TLinesSource::ReadLines(std::size_t Count)
{
    FBlock.clear();
    FPosition = 0;
    for (int row = FLines.LineToRow(FLine); FBlock.size() < Count;) {
        int visited = 0;
        row = FLines.ReadLines(row, LinesPerSlice, [&](std::string_view Line) {
            if (FLine + visited > 0)
                FBlock += FLineBreak;
            FBlock += Line;
            ++visited;
        });
        FLine += visited;
        if (visited < LinesPerSlice) {
            if (FLine > 0 && FLines.TrailingLineBreak())
                FBlock += FLineBreak;
            FEnd = true;
            break;
        }
    }
    if (FFrom != FTo)
        FBlock = ConvertText(FBlock, FFrom, FTo).Text;
}

} // namespace kestrim
