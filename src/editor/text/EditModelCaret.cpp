// The caret of TEditModel: the rules that keep it on a legal column, its byte place, and the
// byte distances edits place it by.

#include "editor/text/EditModel.h"

#include <algorithm>

namespace kestrim {
namespace {

// The last column: 1000, or 1001 right after a two-column character at column 1000.
constexpr int LastColumn = MaxLayoutColumns + 1;

} // namespace

TEditModel::TEditModel(std::shared_ptr<TEditorScreenStrings> Strings, TEditView& View, const TEditRules& Rules)
    : FStrings(std::move(Strings)), FView(View), FRules(Rules)
{
}

TRowCells TEditModel::RowCells(int ARow) const
{
    const std::string_view text = ARow >= 0 && ARow < FStrings->Count() ? std::string_view(FStrings->Str(ARow)) : "";
    return TRowCells(text, FStrings->LayoutSettings(), FStrings->WordWrap(), FStrings->WrapOption().WrapByte());
}

int TEditModel::LastCaretRow() const
{
    const int count = FStrings->Count();
    return count == 0 ? 0 : FStrings->Rows(count - 1) == raEof ? count - 1 : count;
}

int TEditModel::CaretByte() const
{
    return FTailByte >= 0 ? FTailByte : RowCells(FRow).ByteOfCol(FCol);
}

std::size_t TEditModel::CharBytesAt(std::string_view Text, std::size_t Offset) const
{
    return CharByteCount(FStrings->Encoding(), Text, Offset);
}

// ---------------------------------------------------------------------------------------------
// Moving the caret

void TEditModel::SetRow(int Value)
{
    const int row = std::clamp(Value, 0, LastCaretRow());
    if (row == FRow && row != FStrings->Count())
        return;
    const int oldCol = FCol;
    FView.BeginCaretRowChange();
    FRow = row;
    FTailByte = -1;
    AdjustCol(true, -1);
    FView.EndCaretRowChange();
    FView.CaretColumnLeft(oldCol);
}

void TEditModel::SetCol(int Value)
{
    const int col = std::clamp(Value, 0, LastColumn);
    const int oldCol = FCol;
    const int direction = col > FCol ? 1 : -1;
    FCol = col;
    FTailByte = -1;
    AdjustCol(false, direction);
    FView.CaretColumnLeft(oldCol);
}

void TEditModel::SetRowCol(int ARow, int ACol)
{
    if (ARow == FRow && ACol == FCol && FTailByte < 0)
        return;
    FInSetRowCol = true;
    SetRow(ARow);
    const TRowCells cells = RowCells(FRow);
    int col = std::clamp(ACol, 0, LastColumn);
    if (cells.Cell(col) == CellTrailByte)
        --col;
    while (!FRules.InTab && col > 0 && cells.Cell(col) == CellTabFill)
        --col;
    SetCol(col);
    FInSetRowCol = false;
    FView.CaretMoved();
}

// Steps 1 to 6 below bring Col onto a column the caret may stand on; each loop is bounded by
// the row's width, whatever the direction.
void TEditModel::AdjustCol(bool Vertical, int Direction)
{
    const TRowCells cells = RowCells(FRow);
    const int width = cells.Width();
    if (!Vertical)
        FHasKeptCol = false;
    else if (FHasKeptCol)
        FCol = FKeptCol;

    if (!FRules.FreeCaret && FCol > width) {
        if (FRules.KeepCaret)
            KeepCol(Vertical, FMouseSelecting ? width : FCol);
        if (!(Vertical && FRules.FreeRow && !FMouseSelecting))
            FCol = width;
    }
    if (cells.Cell(FCol) == CellTrailByte) {
        KeepCol(Vertical, FCol);
        FCol += Direction;
    }
    if (!FRules.InTab && cells.Cell(FCol) == CellTabFill) {
        KeepCol(Vertical, FCol);
        for (int steps = 0; steps <= width && cells.Cell(FCol) == CellTabFill; ++steps)
            FCol += Direction;
    }
    if (FStrings->WordWrap() && FCol >= width && width > 0) {
        KeepCol(Vertical, FCol);
        const int wrapByte = FStrings->WrapOption().WrapByte();
        if (FRow < FStrings->Count() && FStrings->Rows(FRow) == raWrapped)
            FCol = width - 1; // the end of a wrapped row belongs to the next row
        else if (FCol >= wrapByte)
            FCol = std::max(width, wrapByte - 1);
        if (cells.Cell(FCol) == CellTrailByte)
            --FCol;
        while (!FRules.InTab && FCol > 0 && cells.Cell(FCol) == CellTabFill)
            --FCol;
    }
    // Column 1001 exists only right after a two-column character that covers column 1000.
    const char lastCell = cells.Cell(MaxLayoutColumns);
    if (FCol > MaxLayoutColumns && lastCell != CellLeadByte && lastCell != CellTrailByte)
        FCol = MaxLayoutColumns;
    FCol = std::clamp(FCol, 0, LastColumn);
    if (!FInSetRowCol)
        FView.CaretMoved();
}

// A run of vertical moves returns to the column where it started.
void TEditModel::KeepCol(bool Vertical, int Value)
{
    if (!Vertical || FHasKeptCol)
        return;
    FKeptCol = Value;
    FHasKeptCol = true;
}

// Bytes that no column stands for (past column 1000 of a long row) are reached through their
// byte offset; the column then stays at the last one.
void TEditModel::SetRowByte(int ARow, int Byte)
{
    const int row = std::clamp(ARow, 0, LastCaretRow());
    const std::string_view text = row < FStrings->Count() ? std::string_view(FStrings->Str(row)) : "";
    const int byte = std::clamp(Byte, 0, static_cast<int>(text.size()));
    int boundary = 0;
    while (boundary < byte) {
        const int next = boundary + static_cast<int>(CharBytesAt(text, static_cast<std::size_t>(boundary)));
        if (next > byte)
            break;
        boundary = next;
    }
    const TRowCells cells = RowCells(row);
    const int oldCol = FCol;
    FView.BeginCaretRowChange();
    FRow = row;
    FHasKeptCol = false;
    FCol = cells.ColOfByte(boundary);
    FTailByte = boundary > cells.CoveredBytes() ? boundary : -1;
    FView.EndCaretRowChange();
    FView.CaretColumnLeft(oldCol);
    FView.CaretMoved();
}

int TEditModel::CaretToDistance(int Anchor, int ARow, int ACol) const
{
    const bool caret = ARow == FRow && ACol == FCol;
    return DistanceOfPlace(Anchor, ARow, caret ? CaretByte() : RowCells(ARow).ByteOfCol(ACol));
}

int TEditModel::DistanceOfPlace(int Anchor, int ARow, int Byte) const
{
    int distance = 0;
    for (int row = std::max(Anchor, 0); row < ARow && row < FStrings->Count(); ++row)
        distance += static_cast<int>(FStrings->Str(row).size()) + (FStrings->Rows(row) == raCrlf ? 2 : 0);
    return distance + Byte;
}

void TEditModel::DistanceToCaret(int ARow, int Distance)
{
    const TRowByte place = FStrings->DistanceToRowByte(ARow, Distance);
    SetRowByte(place.Row, place.Byte);
}

void TEditModel::ScrollPage(int Count)
{
    const int top = FView.TopRow();
    if (top == 0 && Count < 0) {
        SetRow(0);
        return;
    }
    const int count = FStrings->Count();
    if (Count > 0 && top == count - 1 && FStrings->Rows(count - 1) == raEof)
        return;
    FView.SetTopRow(top + Count);
    SetRow(FRow + FView.TopRow() - top);
}

} // namespace kestrim
