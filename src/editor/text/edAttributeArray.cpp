#include "editor/text/edAttributeArray.h"

#include "editor/text/edCellAttributes.h"

namespace kestrim {

void TEditorAttributeArray::Init(std::string_view Text, std::string Attrs)
{
    FText = Text;
    FAttributes = std::move(Attrs);
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

std::string_view TEditorAttributeArray::CurrentChar() const
{
    return CharAtCell(FCh, FByteIndex);
}

std::string_view TEditorAttributeArray::NextChar() const
{
    if (FCh == CellEnd)
        return {};
    const char next = Cell(FPosition + 1);
    return CharAtCell(next, next == CellTabFill ? FByteIndex : FByteIndex + 1);
}

} // namespace kestrim

