// The caret and scrolling of TEditor: the rules that keep the caret on a legal column, the top
// row and column, the scroll bars, and the caret drawn by the control.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorPaint.h"

#include "editor/base/edUtils.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QScrollBar>

#include <algorithm>

namespace kestrim {
namespace {

// The last column: 1000, or 1001 right after a two-byte character at column 1000.
constexpr int LastColumn = MaxLayoutColumns + 1;

} // namespace

TRowCells TEditor::RowCells(int ARow) const
{
    const std::string_view text = ARow >= 0 && ARow < FStrings->Count() ? std::string_view(FStrings->Str(ARow)) : "";
    return TRowCells(text, FStrings->LayoutSettings(), FStrings->WordWrap(), FStrings->WrapOption().WrapByte());
}

// The row after the last is a place for the caret only after a final line break.
int TEditor::LastCaretRow() const
{
    const int count = FStrings->Count();
    return count == 0 ? 0 : FStrings->Rows(count - 1) == raEof ? count - 1 : count;
}

int TEditor::CaretByte() const
{
    return FTailByte >= 0 ? FTailByte : RowCells(FRow).ByteOfCol(FCol);
}

// ---------------------------------------------------------------------------------------------
// Moving the caret

void TEditor::SetRow(int Value)
{
    const int row = std::clamp(Value, 0, LastCaretRow());
    if (row == FRow && row != FStrings->Count())
        return;
    const int oldCol = FCol;
    HideUnderline();
    FRow = row;
    FTailByte = -1;
    AdjustCol(true, -1);
    ShowUnderline();
    FPainter->CaretColumnChanged(oldCol);
}

void TEditor::SetCol(int Value)
{
    const int col = std::clamp(Value, 0, LastColumn);
    const int oldCol = FCol;
    const int direction = col > FCol ? 1 : -1;
    FCol = col;
    FTailByte = -1;
    AdjustCol(false, direction);
    FPainter->CaretColumnChanged(oldCol);
}

void TEditor::SetRowCol(int ARow, int ACol)
{
    if (ARow == FRow && ACol == FCol && FTailByte < 0)
        return;
    FInSetRowCol = true;
    SetRow(ARow);
    const TRowCells cells = RowCells(FRow);
    int col = std::clamp(ACol, 0, LastColumn);
    if (cells.Cell(col) == CellTrailByte)
        --col;
    while (!FCaret.InTab() && col > 0 && cells.Cell(col) == CellTabFill)
        --col;
    SetCol(col);
    FInSetRowCol = false;
    UpdateCaret();
}

// Steps 1 to 6 below bring Col onto a column the caret may stand on; each loop is bounded by
// the row's width, whatever the direction.
void TEditor::AdjustCol(bool Vertical, int Direction)
{
    const TRowCells cells = RowCells(FRow);
    const int width = cells.Width();
    if (!Vertical)
        FHasKeptCol = false;
    else if (FHasKeptCol)
        FCol = FKeptCol;

    if (!FCaret.FreeCaret() && FCol > width) {
        if (FCaret.KeepCaret())
            KeepCol(Vertical, FMouseSelecting ? width : FCol);
        if (!(Vertical && FCaret.FreeRow() && !FMouseSelecting))
            FCol = width;
    }
    if (cells.Cell(FCol) == CellTrailByte) {
        KeepCol(Vertical, FCol);
        FCol += Direction;
    }
    if (!FCaret.InTab() && cells.Cell(FCol) == CellTabFill) {
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
        while (!FCaret.InTab() && FCol > 0 && cells.Cell(FCol) == CellTabFill)
            --FCol;
    }
    // Column 1001 exists only right after a two-byte character that covers column 1000.
    const char lastCell = cells.Cell(MaxLayoutColumns);
    if (FCol > MaxLayoutColumns && lastCell != CellLeadByte && lastCell != CellTrailByte)
        FCol = MaxLayoutColumns;
    FCol = std::clamp(FCol, 0, LastColumn);
    if (!FInSetRowCol)
        UpdateCaret();
}

// A run of vertical moves returns to the column where it started.
void TEditor::KeepCol(bool Vertical, int Value)
{
    if (!Vertical || FHasKeptCol)
        return;
    FKeptCol = Value;
    FHasKeptCol = true;
}

// Bytes that no column stands for (past column 1000 of a long row) are reached through their
// byte offset; the column then stays at the last one.
void TEditor::SetRowByte(int ARow, int Byte)
{
    const int row = std::clamp(ARow, 0, LastCaretRow());
    const std::string_view text = row < FStrings->Count() ? std::string_view(FStrings->Str(row)) : "";
    int byte = std::clamp(Byte, 0, static_cast<int>(text.size()));
    int boundary = 0;
    while (boundary < byte) {
        const int next = boundary + static_cast<int>(CharByteCount(text, static_cast<std::size_t>(boundary)));
        if (next > byte)
            break;
        boundary = next;
    }
    byte = boundary;
    const TRowCells cells = RowCells(row);
    const int oldCol = FCol;
    HideUnderline();
    FRow = row;
    FHasKeptCol = false;
    FCol = cells.ColOfByte(byte);
    FTailByte = byte > cells.CoveredBytes() ? byte : -1;
    ShowUnderline();
    FPainter->CaretColumnChanged(oldCol);
    UpdateCaret();
}

int TEditor::CaretToDistance(int Anchor, int ARow, int ACol) const
{
    const bool caret = ARow == FRow && ACol == FCol;
    return DistanceOfPlace(Anchor, ARow, caret ? CaretByte() : RowCells(ARow).ByteOfCol(ACol));
}

int TEditor::DistanceOfPlace(int Anchor, int ARow, int Byte) const
{
    int distance = 0;
    for (int row = std::max(Anchor, 0); row < ARow && row < FStrings->Count(); ++row)
        distance += static_cast<int>(FStrings->Str(row).size()) + (FStrings->Rows(row) == raCrlf ? 2 : 0);
    return distance + Byte;
}

void TEditor::DistanceToCaret(int ARow, int Distance)
{
    const TRowByte place = FStrings->DistanceToRowByte(ARow, Distance);
    SetRowByte(place.Row, place.Byte);
}

QPoint TEditor::CaretPos() const
{
    return viewport()->mapTo(this, QPoint(ColLeft(FCol), RowTop(FRow)));
}

// ---------------------------------------------------------------------------------------------
// The caret drawn by the control

// The caret is painted in the paint event, after the work inside the lock is done: the lock
// keeps it from being drawn meanwhile, and the unlock puts it where it ends up.
void TEditor::LockCaret()
{
    ++FCaretLockCount;
}

void TEditor::UnlockCaret()
{
    if (--FCaretLockCount == 0)
        UpdateCaretPos();
}

void TEditor::UpdateCaret()
{
    ScrollToCaret();
    UpdateCaretPos();
}

void TEditor::UpdateCaretPos()
{
    const QRect rect = CaretRect();
    if (rect != FCaretRect) {
        InvalidateCaret();
        FCaretRect = rect;
    }
    RestartCaretBlink();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    emit OnCaretMoved();
}

// A bar two pixels wide, a block in overwrite mode, a low bar in the brief style, or a block
// over the hit that hsCaret shows; a two-byte character gets a block of two cells.
QRect TEditor::CaretRect() const
{
    const int x = ColLeft(FCol);
    const int y = RowTop(FRow);
    const TRowCells cells = RowCells(FRow);
    const int cellWidth = FMetrics.FontCharWidth * (cells.Cell(FCol) == CellLeadByte ? 2 : 1);
    if (FSelectionState == ssHit && FHitStyle == hsCaret) {
        const int byte = CaretByte();
        const int columns = cells.ColumnsOf(byte, std::min(byte + FHitLength, cells.ByteCount()));
        return QRect(x, y, std::max(2, FMetrics.CharWidth * columns), FMetrics.RowHeight);
    }
    if (FOverwrite)
        return QRect(x, y, cellWidth, FMetrics.RowHeight);
    if (FCaret.Style() == csBrief)
        return QRect(x, y + FMetrics.RowHeight - 2, cellWidth, 2);
    return QRect(x, y, 2, FMetrics.RowHeight);
}

// Only a focused editor draws its caret.
void TEditor::InvalidateCaret()
{
    if (hasFocus())
        viewport()->update(FCaretRect);
}

// A caret that has just moved is shown at once, and blinks from then on.
void TEditor::RestartCaretBlink()
{
    if (!FCaretBlinkOn) {
        FCaretBlinkOn = true;
        InvalidateCaret();
    }
    if (hasFocus())
        FBlink.start();
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void TEditor::ScrollToCaret()
{
    const int rows = VisibleRowCount();
    if (FRow < FTopRow)
        SetTopRow(FRow);
    else if (FRow > FTopRow + rows - 1)
        SetTopRow(FRow - rows + 1);
    const int cols = VisibleColCount();
    if (FCol < FTopCol)
        SetTopCol(std::max(0, std::min(FCol, FTopCol - cols / 4)));
    else if (FCol > FTopCol + cols - 1)
        SetTopCol(std::min(std::max(FCol - cols + 1, FTopCol + cols / 4), MaxLayoutColumns - cols / 2));
}

void TEditor::ScrollCaret()
{
    if (FRow < FTopRow || FRow >= FTopRow + VisibleRowCount())
        SetTopRow(FRow - VisibleRowCount() / 3);
    if (FCol < FTopCol || FCol >= FTopCol + VisibleColCount())
        SetTopCol(FCol - VisibleColCount() / 3);
}

void TEditor::ScrollLines(int Count)
{
    const int old = FTopRow;
    SetTopRow(FTopRow + Count);
    if (FCaret.LockScroll())
        SetRow(FRow + FTopRow - old);
}

void TEditor::SetTopRow(int Value)
{
    const int row = std::clamp(Value, 0, LastCaretRow());
    if (row == FTopRow)
        return;
    LockCaret();
    HideUnderline();
    const int delta = row - FTopRow;
    FTopRow = row;
    ScrollView(delta, 0);
    FSettingScrollBars = true;
    verticalScrollBar()->setValue(FTopRow);
    FSettingScrollBars = false;
    ShowUnderline();
    UnlockCaret();
    emit OnTopRowChange();
}

void TEditor::SetTopCol(int Value)
{
    const int col = std::clamp(Value, 0, std::max(0, MaxLayoutColumns - VisibleColCount() / 2));
    if (col == FTopCol)
        return;
    LockCaret();
    const int delta = col - FTopCol;
    FTopCol = col;
    ScrollView(0, delta);
    FSettingScrollBars = true;
    horizontalScrollBar()->setValue(FTopCol);
    FSettingScrollBars = false;
    UnlockCaret();
    emit OnTopColChange();
}

// The pixels that stay on screen move; only what comes into view is painted. Rows move with
// the bars on their left; columns move with the ruler above them. The caret drawn in the text
// moves with it, to where its place now is.
void TEditor::ScrollView(int DRows, int DCols)
{
    QWidget* view = viewport();
    if (DRows != 0) {
        if (std::abs(DRows) > VisibleRowCount() + 1)
            view->update();
        else
            view->scroll(0, -DRows * FMetrics.RowPitch,
                         QRect(0, FMetrics.TextTop, view->width(), view->height() - FMetrics.TextTop));
        FCaretRect.translate(0, -DRows * FMetrics.RowPitch);
    }
    if (DCols != 0) {
        if (std::abs(DCols) >= VisibleColCount())
            view->update(QRect(FMetrics.TextLeft, 0, view->width() - FMetrics.TextLeft, view->height()));
        else
            view->scroll(-DCols * FMetrics.CharWidth, 0,
                         QRect(FMetrics.TextLeft, 0, view->width() - FMetrics.TextLeft, view->height()));
        FCaretRect.translate(-DCols * FMetrics.CharWidth, 0);
        FPainter->TopColChanged();
    }
}

void TEditor::scrollContentsBy(int /*Dx*/, int /*Dy*/)
{
    if (FSettingScrollBars)
        return;
    const int oldTop = FTopRow;
    SetTopRow(verticalScrollBar()->value());
    SetTopCol(horizontalScrollBar()->value());
    if (FCaret.LockScroll() && FTopRow != oldTop)
        SetRow(FRow + FTopRow - oldTop);
}

void TEditor::ScrollPage(int Count)
{
    if (FTopRow == 0 && Count < 0) {
        SetRow(0);
        return;
    }
    const int count = FStrings->Count();
    if (Count > 0 && FTopRow == count - 1 && FStrings->Rows(count - 1) == raEof)
        return;
    const int old = FTopRow;
    SetTopRow(FTopRow + Count);
    SetRow(FRow + FTopRow - old);
}

} // namespace kestrim
