// The edit-control operations of TEditor: byte offsets in the whole text (a line break counting
// 2) and rows, with full int and std::string results.

#include "editor/control/EditorControl.h"

#include "editor/text/edEditorStrings.h"

#include <algorithm>

namespace kestrim {

std::pair<int, int> TEditor::GetSel() const
{
    const int start = SelStart();
    return {start, start + SelLength()};
}

void TEditor::SetSel(int Start, int End)
{
    if (Start == 0 && End == -1) {
        SelectAll();
    } else if (Start == -1) {
        CleanSelection();
    } else {
        SetSelStart(std::min(Start, End));
        SetSelLength(std::max(Start, End) - std::min(Start, End));
    }
}

int TEditor::GetLineCount() const
{
    return FStrings->Count();
}

int TEditor::LineIndex(int ARow) const
{
    const int row = ARow == -1 ? FRow : ARow;
    if (row < 0 || row >= FStrings->Count())
        return -1;
    return OffsetOfPlace(row, 0);
}

int TEditor::LineLength(int Offset) const
{
    if (Offset == -1) {
        if (!Selected())
            return FRow < FStrings->Count() ? static_cast<int>(FStrings->Str(FRow).size()) : 0;
        const int last = std::min(FSel.EndRow, FStrings->Count() - 1);
        if (last < 0)
            return 0;
        const int unselected = static_cast<int>(FStrings->Str(last).size())
                               - (last == FSel.EndRow ? FSel.EndByte : 0) + (last == FSel.StartRow ? FSel.StartByte : 0);
        return std::max(unselected, 0);
    }
    const TTextPlace place = PlaceOfOffset(Offset);
    return place.Row < FStrings->Count() ? static_cast<int>(FStrings->Str(place.Row).size()) : 0;
}

int TEditor::LineFromChar(int Offset) const
{
    if (Offset == -1)
        return Selected() ? FSel.StartRow : FRow;
    return PlaceOfOffset(Offset).Row;
}

std::string TEditor::GetLine(int ARow) const
{
    return ARow >= 0 && ARow < FStrings->Count() ? FStrings->Str(ARow) : std::string();
}

void TEditor::ReplaceSel(const std::string& Text)
{
    PasteText(Text);
}

QPoint TEditor::PosFromChar(int Offset) const
{
    const TTextPlace place = PlaceOfOffset(Offset);
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
    return std::make_pair(OffsetOfPlace(row, byte), row);
}

std::string TEditor::GetText() const
{
    return FLines->Text();
}

void TEditor::SetText(const std::string& Text)
{
    if (!FReadOnly)
        FLines->SetText(Text);
}

int TEditor::GetTextLength() const
{
    return OffsetOfPlace(FStrings->Count(), 0);
}

} // namespace kestrim
