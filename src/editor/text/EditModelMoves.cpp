// The caret moves of the navigation keys, with the keyboard's selection rule: Shift extends a
// selection from where the caret was, any other move drops it.

#include "editor/text/EditModel.h"

#include <algorithm>

namespace kestrim {
namespace {

// A row that is cut at column 1000 goes on byte by byte past it.
bool IsCutAtCaret(const TRowCells& Cells, int Col, int TailByte)
{
    return TailByte >= 0 || (Cells.CutAtLimit() && Col >= Cells.Width());
}

bool IsVertical(TCaretMove Move)
{
    return Move == TCaretMove::Up || Move == TCaretMove::Down;
}

} // namespace

void TEditModel::MoveCaret(TCaretMove Move, bool Extend, int Rows)
{
    TCaretLock lock(&FView);
    if (FSelectionState == ssHit)
        CleanSelection();
    if (Extend && FSelectionState == ssNone)
        InitSelection();
    else if (!Extend && FSelectionState != ssNone)
        CleanSelection();
    // A horizontal move forgets the column of vertical moves, also when the caret stays.
    if (!IsVertical(Move))
        FHasKeptCol = false;
    switch (Move) {
    case TCaretMove::Left:
        MoveLeft();
        break;
    case TCaretMove::Right:
        MoveRight();
        break;
    case TCaretMove::WordLeft:
        WordLeft();
        break;
    case TCaretMove::WordRight:
        WordRight();
        break;
    case TCaretMove::Up:
        if (FRow > 0)
            SetRow(FRow - Rows);
        break;
    case TCaretMove::Down:
        if (FRow < LastCaretRow())
            SetRow(FRow + Rows);
        break;
    // The view scrolls; the caret moves only to stay on it.
    case TCaretMove::ScrollUp:
        if (FRow == 0)
            break;
        FView.SetTopRow(FView.TopRow() - Rows);
        if (FRow > FView.TopRow() + FView.VisibleRowCount() - 1)
            SetRow(FRow - Rows);
        break;
    case TCaretMove::ScrollDown:
        FView.SetTopRow(FView.TopRow() + Rows);
        if (FRow < FView.TopRow())
            SetRow(FRow + Rows);
        break;
    case TCaretMove::PageUp:
        ScrollPage(-Rows);
        break;
    case TCaretMove::PageDown:
        ScrollPage(Rows);
        break;
    case TCaretMove::RowStart:
        SetCol(0);
        break;
    case TCaretMove::RowEnd:
        MoveToRowEnd(FRow);
        break;
    case TCaretMove::TextStart:
        SetRowCol(0, 0);
        break;
    case TCaretMove::TextEnd:
        MoveToRowEnd(LastCaretRow());
        break;
    }
    if (Extend)
        SelectionToCaret();
}

void TEditModel::MoveToRowEnd(int ARow)
{
    const TRowCells cells = RowCells(ARow);
    if (cells.CutAtLimit())
        SetRowByte(ARow, cells.ByteCount());
    else
        SetRowCol(ARow, cells.Width());
}

void TEditModel::MoveLeft()
{
    const TRowCells cells = RowCells(FRow);
    if (IsCutAtCaret(cells, FCol, FTailByte)) {
        const std::string_view text = FStrings->Str(FRow);
        SetRowByte(FRow, static_cast<int>(LastCharStart(FStrings->Encoding(), text.substr(0, static_cast<std::size_t>(CaretByte())))));
    } else if (FCol > 0) {
        SetCol(FCol - 1);
    } else if (FRow > 0 && (FRules.NextLine || FStrings->Rows(FRow - 1) == raWrapped)) {
        MoveToRowEnd(FRow - 1);
    }
}

void TEditModel::MoveRight()
{
    const int count = FStrings->Count();
    const TRowCells cells = RowCells(FRow);
    const bool lastRow = FRow >= count - 1 && (count == 0 || FRow >= count || FStrings->Rows(count - 1) == raEof);
    const bool nextRow = !lastRow && FRow < count && (FRules.NextLine || FStrings->Rows(FRow) == raWrapped);
    const bool cut = IsCutAtCaret(cells, FCol, FTailByte);
    if (cut && CaretByte() < cells.ByteCount()) {
        const int byte = CaretByte();
        SetRowByte(FRow, byte + static_cast<int>(CharBytesAt(FStrings->Str(FRow), static_cast<std::size_t>(byte))));
        return;
    }
    const int old = FCol;
    if (!cut)
        SetCol(FCol + 1);
    if (FCol <= old && nextRow)
        SetRowCol(FRow + 1, 0);
}

// Word moves parse the row's display text with the view's definition, brackets off, and pass
// over symbols. The display text holds no tabs, so its own cells are the row's columns.
std::vector<int> TEditModel::WordStarts(int ARow)
{
    const TEditorLayoutSettings& layout = FStrings->LayoutSettings();
    const bool wrap = FStrings->WordWrap();
    const int wrapByte = FStrings->WrapOption().WrapByte();
    const std::string display = ExpandTabs(FStrings->Str(ARow), layout, wrap, wrapByte);
    const TRowCells cells(display, layout, wrap, wrapByte);
    TRowAttributeData state;
    state.OpenBracket = -2;
    std::vector<int> starts;
    for (const TTokenSpan& token : FView.Tokens(display, state, true))
        if (!token.Symbol)
            starts.push_back(cells.ColOfByte(token.Offset));
    return starts;
}

void TEditModel::WordRight()
{
    const int count = FStrings->Count();
    if (FRow >= count)
        return;
    int row = FRow;
    int after = FCol;
    if (FCol >= RowCells(row).Width() && row + 1 < count) {
        ++row;
        after = -1; // from before column 0 of the next row
    }
    for (const int start : WordStarts(row)) {
        if (start > after) {
            SetRowCol(row, start);
            return;
        }
    }
    if (FStrings->Rows(row) == raWrapped && row + 1 < count)
        SetRowCol(row + 1, 0);
    else
        SetRowCol(row, RowCells(row).Width());
}

void TEditModel::WordLeft()
{
    int row = FRow;
    int before = FCol;
    if (before == 0) {
        if (row == 0)
            return;
        --row;
        before = RowCells(row).Width();
        if (FStrings->Rows(row) != raWrapped) {
            SetRowCol(row, before);
            return;
        }
    }
    row = std::min(row, FStrings->Count() - 1);
    if (row < 0)
        return;
    int target = -1;
    for (const int start : WordStarts(row))
        if (start < before)
            target = start;
    if (target >= 0)
        SetRowCol(row, target);
    else if (row > 0)
        SetRowCol(row - 1, RowCells(row - 1).Width());
    else
        SetRowCol(0, 0);
}

} // namespace kestrim
