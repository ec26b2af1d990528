// The caret and scrolling of TEditor: the rules that keep the caret on a legal column, the top
// row and column, the scroll bars, and the caret drawn by the control.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorPaint.h"


#include <QGuiApplication>
#include <QInputMethod>
#include <QScrollBar>

#include <algorithm>

namespace kestrim {

TRowCells TEditor::RowCells(int ARow) const
{
    return FModel.RowCells(ARow);
}

int TEditor::CaretByte() const
{
    return FModel.CaretByte();
}

void TEditor::SetRow(int Value)
{
    FModel.SetRow(Value);
}

void TEditor::SetCol(int Value)
{
    FModel.SetCol(Value);
}

void TEditor::SetRowCol(int ARow, int ACol)
{
    FModel.SetRowCol(ARow, ACol);
}

void TEditor::SetRowByte(int ARow, int Byte)
{
    FModel.SetRowByte(ARow, Byte);
}

int TEditor::CaretToDistance(int Anchor, int ARow, int ACol) const
{
    return FModel.CaretToDistance(Anchor, ARow, ACol);
}

int TEditor::DistanceOfPlace(int Anchor, int ARow, int Byte) const
{
    return FModel.DistanceOfPlace(Anchor, ARow, Byte);
}

void TEditor::DistanceToCaret(int ARow, int Distance)
{
    FModel.DistanceToCaret(ARow, Distance);
}

QPoint TEditor::CaretPos() const
{
    return viewport()->mapTo(this, QPoint(ColLeft(Col()), RowTop(Row())));
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
    const int x = ColLeft(Col());
    const int y = RowTop(Row());
    const TRowCells cells = RowCells(Row());
    const int cellWidth = FMetrics.FontCharWidth * (cells.Cell(Col()) == CellLeadByte ? 2 : 1);
    if (FModel.SelectionState() == ssHit && FModel.HitStyle() == hsCaret) {
        const int byte = CaretByte();
        const int columns = cells.ColumnsOf(byte, std::min(byte + FModel.HitLength(), cells.ByteCount()));
        return QRect(x, y, std::max(2, FMetrics.CharWidth * columns), FMetrics.RowHeight);
    }
    if (FModel.Overwrite())
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
    const int row = Row();
    const int col = Col();
    const int rows = VisibleRowCount();
    if (row < FTopRow)
        SetTopRow(row);
    else if (row > FTopRow + rows - 1)
        SetTopRow(row - rows + 1);
    const int cols = VisibleColCount();
    if (col < FTopCol)
        SetTopCol(std::max(0, std::min(col, FTopCol - cols / 4)));
    else if (col > FTopCol + cols - 1)
        SetTopCol(std::min(std::max(col - cols + 1, FTopCol + cols / 4), MaxLayoutColumns - cols / 2));
}

void TEditor::ScrollCaret()
{
    if (Row() < FTopRow || Row() >= FTopRow + VisibleRowCount())
        SetTopRow(Row() - VisibleRowCount() / 3);
    if (Col() < FTopCol || Col() >= FTopCol + VisibleColCount())
        SetTopCol(Col() - VisibleColCount() / 3);
}

void TEditor::ScrollLines(int Count)
{
    const int old = FTopRow;
    SetTopRow(FTopRow + Count);
    if (FCaret.LockScroll())
        SetRow(Row() + FTopRow - old);
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
        SetRow(Row() + FTopRow - oldTop);
}

void TEditor::ScrollPage(int Count)
{
    FModel.ScrollPage(Count);
}

} // namespace kestrim
