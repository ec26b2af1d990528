// The edit-control operations of TEditor: byte offsets in the whole text (a line break counting
// 2) and rows, with full int and std::string results.

#include "editor/control/EditorControl.h"

#include "editor/text/edEditorStrings.h"

#include <algorithm>

namespace kestrim {

std::pair<int, int> TEditor::GetSel() const
{
    return FModel.GetSel();
}

void TEditor::SetSel(int Start, int End)
{
    FModel.SetSel(Start, End);
}

int TEditor::GetLineCount() const
{
    return FStrings->Count();
}

int TEditor::LineIndex(int ARow) const
{
    return FModel.LineIndex(ARow);
}

int TEditor::LineLength(int Offset) const
{
    return FModel.LineLength(Offset);
}

int TEditor::LineFromChar(int Offset) const
{
    return FModel.LineFromChar(Offset);
}

std::string TEditor::GetLine(int ARow) const
{
    return std::string(ARow >= 0 && ARow < FStrings->Count() ? FStrings->Str(ARow) : std::string_view());
}

void TEditor::ReplaceSel(const std::string& Text)
{
    PasteText(Text);
}

QPoint TEditor::PosFromChar(int Offset) const
{
    const TRowByte place = FModel.PlaceOfOffset(Offset);
    const int col = RowCells(place.Row).ColOfByte(place.Byte);
    return viewport()->mapTo(this, QPoint(ColLeft(col), RowTop(place.Row)));
}

std::optional<std::pair<int, int>> TEditor::CharFromPos(const QPoint& Point) const
{
    if (!rect().contains(Point))
        return std::nullopt;
    const TRowCol at = PixelToRowCol(viewport()->mapFrom(this, Point), true);
    const int row = std::clamp(at.Row, 0, std::max(FStrings->Count() - 1, 0));
    const TRowCells cells = RowCells(row);
    int col = at.Col;
    if (cells.Cell(col) == CellTrailByte)
        --col;
    const int byte = std::min(cells.ByteOfCol(col), cells.ByteCount());
    return std::make_pair(FModel.OffsetOfPlace(row, byte), row);
}

std::string TEditor::GetText() const
{
    return FLines->Text();
}

void TEditor::SetText(const std::string& Text)
{
    if (!ReadOnly())
        FLines->SetText(Text);
}

int TEditor::GetTextLength() const
{
    return FModel.TextLength();
}

} // namespace kestrim
