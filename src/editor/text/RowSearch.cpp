#include "editor/text/RowSearch.h"

#include "editor/base/Exceptions.h"
#include "editor/base/TextEncoding.h"
#include "editor/text/TextMatcher.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kestrim {
namespace {

constexpr char LineBreak[] = "\r\n";
constexpr std::size_t LineBreakBytes = 2;

std::size_t RowBytes(const TRowAttributeStringList& Rows, int Row)
{
    return Rows.Str(Row).size() + (Rows.Rows(Row) == raCrlf ? LineBreakBytes : 0);
}

// Whether the text before Row ends with a delimiter for whole words: at the top and after a
// line break it does; after a wrapped row it depends on that row's last character.
bool DelimiterBeforeRow(const TRowAttributeStringList& Rows, int Row, TTextEncoding Encoding)
{
    for (int previous = Row - 1; previous >= 0; --previous) {
        if (Rows.Rows(previous) == raCrlf)
            return true;
        const std::string_view text = Rows.Str(previous);
        if (!text.empty())
            return IsSearchDelimiterAt(Encoding, text, LastCharStart(Encoding, text));
    }
    return true;
}

// The row after the last of a block starting at First: rows are taken while the block stays
// within BlockSize bytes, at least one.
int BlockEndBelow(const TRowAttributeStringList& Rows, int First, std::size_t BlockSize)
{
    std::size_t bytes = RowBytes(Rows, First);
    int end = First + 1;
    while (end < Rows.GetCount() && bytes + RowBytes(Rows, end) <= BlockSize)
        bytes += RowBytes(Rows, end++);
    return end;
}

// The first row of a block that ends before End: rows are taken upwards while the block stays
// within BlockSize bytes, at least one, and beyond that while it holds fewer than MinBytes.
int BlockStartAbove(const TRowAttributeStringList& Rows, int End, std::size_t BlockSize, std::size_t MinBytes)
{
    int first = End - 1;
    std::size_t bytes = RowBytes(Rows, first);
    while (first > 0) {
        const std::size_t more = RowBytes(Rows, first - 1);
        if (bytes + more > BlockSize && bytes >= MinBytes)
            break;
        bytes += more;
        --first;
    }
    return first;
}

// The text of consecutive rows, as the search sees them.
class TRowWindow {
public:
    TRowWindow(const TRowAttributeStringList& Rows, int FirstRow, TTextEncoding Encoding)
        : FRows(&Rows), FFirstRow(FirstRow), FEndRow(FirstRow),
          FDelimiterBefore(DelimiterBeforeRow(Rows, FirstRow, Encoding))
    {
    }

    std::size_t Size() const { return FText.size(); }
    int EndRow() const { return FEndRow; }
    std::size_t RowStart(int Row) const { return FRowStarts[static_cast<std::size_t>(Row - FFirstRow)]; }

    TSearchWindow View() const { return {FText, FDelimiterBefore, FEndRow < FRows->GetCount()}; }

    void AppendRowsUpTo(int End)
    {
        for (; FEndRow < End; ++FEndRow) {
            FRowStarts.push_back(FText.size());
            FText += FRows->Str(FEndRow);
            if (FRows->Rows(FEndRow) == raCrlf)
                FText += LineBreak;
        }
    }

    // Appends rows for a try that reaches past the end: a block's worth or, when the window
    // is larger, as many bytes as it holds, so that a try skipping over a long run of line
    // breaks or blanks reads it a bounded number of times. False when no row is left.
    bool Grow(std::size_t BlockSize)
    {
        if (FEndRow >= FRows->GetCount())
            return false;
        AppendRowsUpTo(BlockEndBelow(*FRows, FEndRow, std::max(BlockSize, FText.size())));
        return true;
    }

    TRowSearchHit HitAt(const TScanResult& Hit) const
    {
        const auto next = std::upper_bound(FRowStarts.begin(), FRowStarts.end(), Hit.Position);
        const std::size_t index = static_cast<std::size_t>(next - FRowStarts.begin()) - 1;
        return {FFirstRow + static_cast<int>(index), static_cast<int>(Hit.Position - FRowStarts[index]),
                static_cast<int>(Hit.Length)};
    }

private:
    const TRowAttributeStringList* FRows;
    int FFirstRow;
    int FEndRow;
    bool FDelimiterBefore;
    std::string FText;
    std::vector<std::size_t> FRowStarts;
};

std::optional<TRowSearchHit> SearchDown(const TRowAttributeStringList& Rows, const TTextMatcher& Matcher, int Row,
                                        std::size_t From, std::size_t BlockSize)
{
    // Step to the row that holds the start, so that the first block begins there.
    while (From >= RowBytes(Rows, Row) && Row + 1 < Rows.GetCount())
        From -= RowBytes(Rows, Row++);
    for (int first = Row; first < Rows.GetCount(); From = 0) {
        TRowWindow window(Rows, first, Matcher.Encoding());
        const int blockEnd = BlockEndBelow(Rows, first, BlockSize);
        window.AppendRowsUpTo(blockEnd);
        const std::size_t blockBytes = window.Size();
        while (blockBytes > 0) {
            const TScanResult result = Matcher.ScanForward(window.View(), From, blockBytes - 1);
            if (result.Outcome == TScanOutcome::Found)
                return window.HitAt(result);
            if (result.Outcome == TScanOutcome::NotFound || !window.Grow(BlockSize))
                break;
            From = result.Position;
        }
        first = blockEnd;
    }
    return std::nullopt;
}

std::optional<TRowSearchHit> SearchUp(const TRowAttributeStringList& Rows, const TTextMatcher& Matcher, int Row,
                                      std::size_t Offset, std::size_t BlockSize)
{
    // The first block reaches far enough up for the start to step back over the pattern.
    int first = BlockStartAbove(Rows, Row + 1, BlockSize, Matcher.StepBackBytes() + RowBytes(Rows, Row) - Offset);
    TRowWindow window(Rows, first, Matcher.Encoding());
    window.AppendRowsUpTo(Row + 1);
    const std::optional<std::size_t> start = Matcher.BackwardFrom(window.View(), window.RowStart(Row) + Offset);
    if (!start)
        return std::nullopt;
    std::size_t from = *start;
    for (;;) {
        for (;;) {
            const TScanResult result = Matcher.ScanBackward(window.View(), from);
            if (result.Outcome == TScanOutcome::Found)
                return window.HitAt(result);
            if (result.Outcome == TScanOutcome::NotFound || !window.Grow(BlockSize))
                break;
            from = result.Position;
        }
        if (first == 0)
            return std::nullopt;
        const int end = first;
        first = BlockStartAbove(Rows, end, BlockSize, 0);
        window = TRowWindow(Rows, first, Matcher.Encoding());
        window.AppendRowsUpTo(end);
        from = window.Size();
    }
}

} // namespace

std::optional<TRowSearchHit> SearchRows(const TRowAttributeStringList& Rows, int Row, int Offset, int HitLength,
                                        std::string_view Pattern, TSearchOptions Options, int BlockSize,
                                        TTextEncoding Encoding)
{
    if (Rows.GetCount() == 0 || Pattern.empty() || HitLength < 0)
        return std::nullopt;
    CheckListIndex(Row, Rows.GetCount());
    const TTextMatcher matcher(Pattern, Options, Encoding);
    const std::size_t offset = std::min(static_cast<std::size_t>(std::max(Offset, 0)), RowBytes(Rows, Row));
    const std::size_t blockSize = static_cast<std::size_t>(std::max(BlockSize, 1));
    if (matcher.Forward())
        return SearchDown(Rows, matcher, Row, offset + static_cast<std::size_t>(HitLength), blockSize);
    return SearchUp(Rows, matcher, Row, offset, blockSize);
}

} // namespace kestrim
