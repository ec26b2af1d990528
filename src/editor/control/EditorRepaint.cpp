// What of TEditor's viewport is to be painted again, and when: rows, the left bar, the
// selection's rows and the caret-row underline. The painter (EditorPaint.cpp) draws it.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorPaint.h"

#include <QPaintEvent>

#include <algorithm>

namespace kestrim {

void TEditor::paintEvent(QPaintEvent* Event)
{
    FPainter->Paint(Event->region());
}

void TEditor::resizeEvent(QResizeEvent* Event)
{
    QAbstractScrollArea::resizeEvent(Event);
    UpdateMetrics();
    UpdateScrollRanges();
    FPainter->OptionsChanged();
    viewport()->update();
}

// Rows in either order, limited to those on screen, with the bars beside them.
void TEditor::InvalidateRows(int First, int Last)
{
    const int top = std::max(std::min(First, Last), FTopRow);
    const int bottom = std::min(std::max(First, Last), FTopRow + VisibleRowCount());
    if (top > bottom)
        return;
    viewport()->update(QRect(0, RowTop(top), viewport()->width(), (bottom - top + 1) * FMetrics.RowPitch));
}

void TEditor::InvalidateLeftbar(int First, int Last)
{
    if (!FLeftbar.Visible())
        return;
    const int top = std::max(std::min(First, Last), FTopRow);
    const int bottom = std::min(std::max(First, Last), FTopRow + VisibleRowCount());
    if (top > bottom)
        return;
    viewport()->update(QRect(FMetrics.ImagebarWidth, RowTop(top), FMetrics.LeftbarWidth,
                             (bottom - top + 1) * FMetrics.RowPitch));
}

// A stream selection looks the same before and after on every row that lies inside it both
// times; every other row of either is painted again. A box changes all its rows when an edge
// moves.
void TEditor::SelectionMoved(const TSelectionRange& Old, const TSelectionRange& New)
{
    const int first = std::min(Old.StartRow, New.StartRow);
    const int last = std::max(Old.EndRow, New.EndRow);
    if (SelectionMode() == smBox && (Old.StartCol != New.StartCol || Old.EndCol != New.EndCol)) {
        InvalidateRows(first, last);
        return;
    }
    const int insideFirst = std::max(Old.StartRow, New.StartRow) + 1;
    const int insideLast = std::min(Old.EndRow, New.EndRow) - 1;
    if (insideFirst > insideLast) {
        InvalidateRows(first, last);
        return;
    }
    InvalidateRows(first, insideFirst - 1);
    InvalidateRows(insideLast + 1, last);
}

void TEditor::CaretColumnLeft(int OldCol)
{
    FPainter->CaretColumnChanged(OldCol);
}

void TEditor::HideUnderline()
{
    if (FUnderlineHideCount++ == 0)
        InvalidateUnderline();
}

void TEditor::ShowUnderline()
{
    if (--FUnderlineHideCount == 0)
        InvalidateUnderline();
}

void TEditor::InvalidateUnderline()
{
    if (FMarks.Underline().Visible())
        viewport()->update(QRect(FMetrics.TextLeft, RowTop(Row()) + FMetrics.RowHeight, viewport()->width(), 1));
}

} // namespace kestrim
