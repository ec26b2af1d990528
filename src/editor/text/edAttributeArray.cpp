#include "editor/text/edAttributeArray.h"

namespace kestrim {

void TEditorAttributeArray::Init(std::string_view Text, TUtf8Cells Cells)
{
    Init(Text, std::move(Cells.Cells));
    FByteEnds = std::move(Cells.ByteEnds);
}

void TEditorAttributeArray::Init(std::string_view Text, std::string Attrs)
{
    FText = Text;
    FAttributes = std::move(Attrs);
    FByteEnds.clear();
    FAttributes += CellEnd;
    FCh = 0;
    FPosition = 0;
    FByteIndex = 0;
    Next();
}

void TEditorAttributeArray::Next()
{
    if (FCh == CellEnd)
        return;
    ++FPosition;
    FCh = Cell(FPosition);
    if (FCh != CellTabFill)
        ++FByteIndex;
}

// A fill cell adds no byte of its own, so leaving one (for another fill cell or for the tab
// itself) removes none: the tab stays counted until the cursor moves off its first cell.
void TEditorAttributeArray::Prev()
{
    if (FPosition < 2)
        return;
    if (FCh != CellTabFill)
        --FByteIndex;
    --FPosition;
    FCh = Cell(FPosition);
}

void TEditorAttributeArray::PrevChar()
{
    Prev();
    if (FCh == CellLeadByte)
        Prev();
}

void TEditorAttributeArray::MoveTo(int P)
{
    while (FCh != CellEnd && FPosition < P)
        Next();
    while (FPosition > 1 && FPosition > P)
        Prev();
}

std::string_view TEditorAttributeArray::CharAtCell(char Cell, int ByteIndex) const
{
    const auto end = static_cast<std::size_t>(ByteIndex);
    switch (Cell) {
    case CellEnd:
        return {};
    case CellTrailByte:
        return FText.substr(end - 2, 2);
    case CellLeadByte:
        return FText.substr(end - 1, 2);
    default:
        return FText.substr(end - 1, 1);
    }
}

int TEditorAttributeArray::Utf8ByteIndex() const
{
    const int cells = CellCount();
    return FPosition <= cells ? FByteEnds[static_cast<std::size_t>(FPosition - 1)]
                              : FByteEnds.back() + (FPosition - cells);
}

// The bytes of the character that the cell at Position belongs to: from the start of its first
// cell to the end of its last one.
std::string_view TEditorAttributeArray::Utf8CharAtCell(int Position) const
{
    if (Position > CellCount())
        return {};
    const auto startOf = [this](int Index) { return Index > 0 ? FByteEnds[static_cast<std::size_t>(Index - 1)] : 0; };
    int first = Position - 1;
    int last = first;
    switch (Cell(Position)) {
    case CellLeadByte:
        ++last;
        break;
    case CellTrailByte:
        --first;
        break;
    case CellTabFill: // the tab is the one byte before the fill's end
        return FText.substr(static_cast<std::size_t>(FByteEnds[static_cast<std::size_t>(last)] - 1), 1);
    default:
        break;
    }
    const int start = startOf(first);
    return FText.substr(static_cast<std::size_t>(start),
                        static_cast<std::size_t>(FByteEnds[static_cast<std::size_t>(last)] - start));
}

std::string_view TEditorAttributeArray::CurrentChar() const
{
    if (!FByteEnds.empty())
        return Utf8CharAtCell(FPosition);
    return CharAtCell(FCh, FByteIndex);
}

std::string_view TEditorAttributeArray::NextChar() const
{
    if (FCh == CellEnd)
        return {};
    if (!FByteEnds.empty())
        return Utf8CharAtCell(FPosition + 1);
    const char next = Cell(FPosition + 1);
    return CharAtCell(next, next == CellTabFill ? FByteIndex : FByteIndex + 1);
}

} // namespace kestrim

