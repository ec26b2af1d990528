// Keyboard, mouse and input-method input of TEditor: the navigation keys with their selection
// rule, typed characters, mouse selection and dragging, the caret's place for the input method.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorCursors.h"
#include "editor/control/EditorPopupMenu.h"
#include "editor/control/SjisQString.h"

#include "editor/base/edUtils.h"
#include "editor/highlight/edFountain.h"
#include "editor/highlight/edFountainParser.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>

#include <algorithm>
#include <utility>

namespace kestrim {
std::string TEditor::FromToolkit(const QString& Text)
{
    bool lost = false;
    // Line breaks of the toolkit's text (LF on this platform, CR or CR LF from elsewhere)
    // become the editor's CR LF.
    std::string sjis = CrLfLineBreaks(QStringToSjis(Text, &lost));
    if (lost)
        emit OnCharactersLost();
    return sjis;
}

// ---------------------------------------------------------------------------------------------
// Events the control answers before the toolkit's own handling

bool TEditor::event(QEvent* Event)
{
    // The built-in menu's keys belong to the editor only while no owner menu is set.
    if (Event->type() == QEvent::ShortcutOverride && PopupMenuShortcut(static_cast<QKeyEvent*>(Event))) {
        Event->accept();
        return true;
    }
    return QAbstractScrollArea::event(Event);
}

bool TEditor::PopupMenuShortcut(QKeyEvent* Event)
{
    return contextMenuPolicy() == Qt::DefaultContextMenu && FPopupMenu->IsShortcut(Event);
}

bool TEditor::viewportEvent(QEvent* Event)
{
    return QAbstractScrollArea::viewportEvent(Event);
}

bool TEditor::focusNextPrevChild(bool /*Next*/)
{
    return false; // Tab is a key of the text
}

void TEditor::changeEvent(QEvent* Event)
{
    QAbstractScrollArea::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::PaletteChange)
        viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Keys

void TEditor::keyPressEvent(QKeyEvent* Event)
{
    FKeyRepeat = Event->isAutoRepeat();
    // With the mouse button held or a drag pending, keys only steer the drag.
    if (FMouseSelecting || FDragState != dsNone) {
        if (Event->key() == Qt::Key_Escape && FDragState != dsNone)
            CancelMouseGesture();
        else if (Event->key() == Qt::Key_Control && FDragState == dsDragging)
            viewport()->setCursor(EditorCursor(FCaret.Cursors().DragSelCopyCursor()));
        Event->accept();
        return;
    }
    if (contextMenuPolicy() == Qt::DefaultContextMenu && FPopupMenu->HandleShortcut(Event)) {
        Event->accept();
        return;
    }
    if (HandleNavigationKey(Event)) {
        Event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = Event->modifiers();
    switch (Event->key()) {
    case Qt::Key_Backspace:
        TypeBackSpace();
        break;
    case Qt::Key_Tab:
        TypeTab(modifiers);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!FWantReturns) {
            Event->ignore();
            return;
        }
        TypeReturn(modifiers);
        break;
    default: {
        const QString text = Event->text();
        const bool command = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (text.isEmpty() || command || !text.at(0).isPrint()) {
            Event->ignore();
            return;
        }
        TypeChar(FromToolkit(text));
    }
    }
    Event->accept();
}

void TEditor::keyReleaseEvent(QKeyEvent* Event)
{
    if (Event->isAutoRepeat())
        return;
    FKeyRepeat = false;
    if (Event->key() == Qt::Key_Control && FDragState == dsDragging)
        viewport()->setCursor(EditorCursor(FCaret.Cursors().DragSelCursor()));
    emit OnKeyUp(Event->key(), Event->modifiers());
}

// A row that is cut at column 1000 goes on byte by byte past it.
static bool IsCutAtCaret(const TRowCells& Cells, int Col, int TailByte)
{
    return TailByte >= 0 || (Cells.CutAtLimit() && Col >= Cells.Width());
}

bool TEditor::HandleNavigationKey(QKeyEvent* Event)
{
    const int key = Event->key();
    const Qt::KeyboardModifiers modifiers = Event->modifiers();
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    if (key == Qt::Key_Delete) {
        TypeDelete();
        return true;
    }
    static constexpr int Navigation[] = {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End,   Qt::Key_Home,
                                         Qt::Key_Left,   Qt::Key_Up,       Qt::Key_Right, Qt::Key_Down};
    if (std::find(std::begin(Navigation), std::end(Navigation), key) == std::end(Navigation))
        return false;
    TCaretLock lock(this);
    KeyboardSelectionBefore(modifiers);
    // A horizontal key forgets the column of vertical moves, also when the caret stays.
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        FHasKeptCol = false;
    const int count = FStrings->Count();
    const int page = std::max(1, (VisibleRowCount() - 1) / 2)
                     * (FKeyRepeat ? FSpeed.PageVerticalRangeAc() : FSpeed.PageVerticalRange());
    const auto rowEnd = [this](int Row) {
        const TRowCells cells = RowCells(Row);
        if (cells.CutAtLimit())
            SetRowByte(Row, cells.ByteCount());
        else
            SetRowCol(Row, cells.Width());
    };
    switch (key) {
    case Qt::Key_PageUp:
        ScrollPage(-page);
        break;
    case Qt::Key_PageDown:
        ScrollPage(page);
        break;
    case Qt::Key_End:
        rowEnd(control ? LastCaretRow() : FRow);
        break;
    case Qt::Key_Home:
        if (control)
            SetRowCol(0, 0);
        else
            SetCol(0);
        break;
    case Qt::Key_Left: {
        if (control) {
            WordLeft();
            break;
        }
        const TRowCells cells = RowCells(FRow);
        if (IsCutAtCaret(cells, FCol, FTailByte)) {
            const std::string& text = FStrings->Str(FRow);
            std::size_t previous = 0;
            for (std::size_t i = 0; i < static_cast<std::size_t>(CaretByte()); i += CharByteCount(text, i))
                previous = i;
            SetRowByte(FRow, static_cast<int>(previous));
        } else if (FCol > 0) {
            SetCol(FCol - 1);
        } else if (FRow > 0 && (FCaret.NextLine() || FStrings->Rows(FRow - 1) == raWrapped)) {
            rowEnd(FRow - 1);
        }
        break;
    }
    case Qt::Key_Right: {
        if (control) {
            WordRight();
            break;
        }
        const TRowCells cells = RowCells(FRow);
        const bool lastRow = FRow >= count - 1 && (count == 0 || FRow >= count || FStrings->Rows(count - 1) == raEof);
        const bool nextRow = !lastRow && FRow < count && (FCaret.NextLine() || FStrings->Rows(FRow) == raWrapped);
        if (IsCutAtCaret(cells, FCol, FTailByte) && CaretByte() < cells.ByteCount()) {
            const int byte = CaretByte();
            SetRowByte(FRow, byte + static_cast<int>(CharByteCount(FStrings->Str(FRow), static_cast<std::size_t>(byte))));
            break;
        }
        const int old = FCol;
        if (!IsCutAtCaret(cells, FCol, FTailByte))
            SetCol(FCol + 1);
        if (FCol <= old && nextRow)
            SetRowCol(FRow + 1, 0);
        break;
    }
    case Qt::Key_Up: {
        const int rows = FKeyRepeat && FRow == FTopRow ? FSpeed.CaretVerticalAc() : 1;
        if (FRow == 0)
            break;
        if (control) {
            SetTopRow(FTopRow - rows);
            if (FRow > FTopRow + VisibleRowCount() - 1)
                SetRow(FRow - rows);
        } else {
            SetRow(FRow - rows);
        }
        break;
    }
    case Qt::Key_Down: {
        const int rows = FKeyRepeat && FRow == FTopRow + VisibleRowCount() - 1 ? FSpeed.CaretVerticalAc() : 1;
        if (control) {
            SetTopRow(FTopRow + rows);
            if (FRow < FTopRow)
                SetRow(FRow + rows);
        } else if (FRow < LastCaretRow()) {
            SetRow(FRow + rows);
        }
        break;
    }
    }
    KeyboardSelectionAfter(modifiers);
    return true;
}

// Word moves parse the row's display text (so that token offsets are columns) with the
// definition, brackets off, and pass over symbols.
namespace {

struct TRowTokens {
    std::vector<int> Starts; // columns where a token that is no symbol starts
};

TRowTokens TokensOf(TFountain& Fountain, const std::string& Text)
{
    TRowTokens tokens;
    const std::unique_ptr<TFountainParser> parser = Fountain.NewParser();
    TRowAttributeData state;
    state.OpenBracket = -2;
    parser->BeginRow(Text, state);
    while (parser->NextToken() != tokEnd)
        if (parser->Token() != tokSymbol)
            tokens.Starts.push_back(parser->TokenOffset());
    return tokens;
}

} // namespace

void TEditor::WordRight()
{
    const int count = FStrings->Count();
    if (FRow >= count)
        return;
    int row = FRow;
    int after = FCol;
    const TRowCells cells = RowCells(row);
    if (FCol >= cells.Width() && row + 1 < count) {
        ++row;
        after = -1; // from before column 0 of the next row
    }
    const auto display = [this](int Row) {
        return ExpandTabs(FStrings->Str(Row), FStrings->LayoutSettings(), FStrings->WordWrap(),
                          FStrings->WrapOption().WrapByte());
    };
    for (const int start : TokensOf(ActiveFountain(), display(row)).Starts) {
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

void TEditor::WordLeft()
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
    const std::string display = ExpandTabs(FStrings->Str(row), FStrings->LayoutSettings(), FStrings->WordWrap(),
                                           FStrings->WrapOption().WrapByte());
    int target = -1;
    for (const int start : TokensOf(ActiveFountain(), display).Starts)
        if (start < before)
            target = start;
    if (target >= 0)
        SetRowCol(row, target);
    else if (row > 0)
        SetRowCol(row - 1, RowCells(row - 1).Width());
    else
        SetRowCol(0, 0);
}

// ---------------------------------------------------------------------------------------------
// Mouse

TRowCol TEditor::PixelToRowCol(QPoint Pixel, bool Rounding) const
{
    const int cell = FMetrics.CharWidth;
    int x = Pixel.x();
    if (x < FMetrics.TextLeft)
        x -= cell - 1;
    const int y = Pixel.y() - FMetrics.TextTop;
    TRowCol place;
    place.Row = (y >= 0 ? y / FMetrics.RowPitch : (y - FMetrics.RowPitch + 1) / FMetrics.RowPitch) + FTopRow;
    const int offset = Rounding ? x + cell / 2 - 1 - FMetrics.TextLeft : x - FMetrics.TextLeft;
    place.Col = std::max(0, (offset >= 0 ? offset / cell : -1) + FTopCol);
    return place;
}

void TEditor::CaretToPixel(QPoint Pixel)
{
    const TRowCol place = PixelToRowCol(Pixel, true);
    SetRowCol(std::max(place.Row, 0), place.Col);
}

void TEditor::mousePressEvent(QMouseEvent* Event)
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (Event->button() != Qt::LeftButton) {
        Event->accept();
        return;
    }
    const QPoint pixel = Event->position().toPoint();
    FPressPoint = pixel;
    FMouseSelecting = true;
    const bool shift = Event->modifiers().testFlag(Qt::ShiftModifier);
    const TRowCol at = PixelToRowCol(pixel, false);
    if (shift) {
        if (FSelectionState == ssNone)
            InitSelection();
        CaretToPixel(pixel);
        SelectionToCaret();
    } else if (pixel.x() >= FMetrics.TextLeft && CanDragSelection() && IsInSelection(at.Row, at.Col)) {
        CaretToPixel(pixel);
        if (FCaret.SelDragMode() == dmAutomatic) {
            FMouseSelecting = false;
            FDragState = dsPending;
        }
    } else if (pixel.x() < FMetrics.TextLeft && FCaret.RowSelect()) {
        StartRowSelect(std::max(at.Row, 0));
    } else {
        TCaretLock lock(this);
        CaretToPixel(pixel);
        InitSelection();
    }
    Event->accept();
}

void TEditor::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint pixel = Event->position().toPoint();
    if (!(Event->buttons() & Qt::LeftButton)) {
        UpdateMouseCursor(pixel, Event->modifiers());
        return;
    }
    MoveWithButton(pixel, Event->modifiers());
    UpdateEdgeScroll(pixel, Event->modifiers());
    Event->accept();
}

void TEditor::MoveWithButton(QPoint Pixel, Qt::KeyboardModifiers Modifiers)
{
    const int threshold = std::max(1, FMetrics.CharWidth / 2);
    const QPoint moved = Pixel - FPressPoint;
    const bool farEnough = std::abs(moved.x()) >= threshold || std::abs(moved.y()) >= threshold;
    // Above the text the row above is taken, so that dragging there scrolls upward.
    QPoint target = Pixel;
    if (Pixel.y() < FMetrics.TextTop)
        target.setY(FMetrics.TextTop - FMetrics.RowPitch);
    if (FRowSelecting) {
        ExtendRowSelect(std::max(PixelToRowCol(target, false).Row, 0));
    } else if (FDragState == dsPending) {
        if (farEnough) {
            FDragState = dsDragging;
            const bool copy = Modifiers.testFlag(Qt::ControlModifier);
            viewport()->setCursor(EditorCursor(copy ? FCaret.Cursors().DragSelCopyCursor() : FCaret.Cursors().DragSelCursor()));
        }
    } else if (FDragState == dsDragging) {
        CaretToPixel(target);
    } else if (FMouseSelecting) {
        CaretToPixel(target);
        if (Selected())
            UpdateSelection();
        else if (FSelectionState == ssStarted && farEnough)
            ActivateSelection();
    }
}

void TEditor::UpdateEdgeScroll(QPoint Pixel, Qt::KeyboardModifiers Modifiers)
{
    const QWidget* view = viewport();
    const bool outside = Pixel.y() < FMetrics.TextTop || Pixel.y() >= view->height() || Pixel.x() >= view->width()
                         || (Pixel.x() < FMetrics.TextLeft && !FRowSelecting);
    const bool gesture = FRowSelecting || FMouseSelecting || FDragState == dsDragging;
    if (!outside || !gesture) {
        FEdgeScroll.stop();
        return;
    }
    FEdgeScrollPixel = Pixel;
    FEdgeScrollModifiers = Modifiers;
    if (!FEdgeScroll.isActive())
        FEdgeScroll.start();
}

void TEditor::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint pixel = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton) {
        if (FDragState == dsDragging) {
            EndDrag(Event->modifiers().testFlag(Qt::ControlModifier), pixel);
        } else if (FDragState == dsPending) {
            FDragState = dsNone;
            CleanSelection();
        }
        FRowSelecting = false;
        FMouseSelecting = false;
        FEdgeScroll.stop();
        UpdateMouseCursor(pixel, Event->modifiers());
    }
    Event->accept();
    emit OnMouseUp(Event->button());
    // The release that ends a double click makes no click of its own.
    const bool doubleClick = std::exchange(FDoubleClicked, false);
    if (Event->button() == Qt::LeftButton && viewport()->rect().contains(pixel) && !doubleClick)
        emit OnClick();
}

void TEditor::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    Event->accept();
    if (Event->button() == Qt::LeftButton) {
        FDoubleClicked = true;
        emit OnDblClick();
    }
}

// A drop outside the text or inside the selection only deselects; with Ctrl the text is
// copied there, else moved.
void TEditor::EndDrag(bool Copy, QPoint Pixel)
{
    FDragState = dsNone;
    const QRect text(FMetrics.TextLeft, FMetrics.TextTop, viewport()->width() - FMetrics.TextLeft,
                     viewport()->height() - FMetrics.TextTop);
    const TRowCol drop = PixelToRowCol(Pixel, true);
    if (!text.contains(Pixel) || IsInSelection(FRow, FCol) || FReadOnly) {
        CleanSelection();
        return;
    }
    if (Copy) {
        const std::string moved = SelText();
        CleanSelection();
        SetRowCol(drop.Row, drop.Col);
        PasteText(moved);
        return;
    }
    MoveSelectionTo(FRow, FCol);
}

// Any change of the text while a gesture is under way ends it: its places no longer hold.
void TEditor::CancelMouseGesture()
{
    const bool dragging = FDragState != dsNone;
    FDragState = dsNone;
    FRowSelecting = false;
    FMouseSelecting = false;
    FEdgeScroll.stop();
    if (FSelectionState == ssStarted)
        FSelectionState = ssNone;
    if (dragging) {
        CleanSelection();
        viewport()->setCursor(EditorCursor(FCaret.Cursors().DefaultCursor()));
    }
    if (!FPreedit.isEmpty() && !FCommitting) {
        FPreedit.clear();
        QGuiApplication::inputMethod()->reset();
    }
}

void TEditor::UpdateMouseCursor(QPoint Pixel, Qt::KeyboardModifiers /*Modifiers*/)
{
    if (!FCaret.AutoCursor() || FDragState != dsNone)
        return;
    const TEditorCursors& cursors = FCaret.Cursors();
    TCursor cursor = cursors.DefaultCursor();
    if (Pixel.x() < FMetrics.TextLeft)
        cursor = cursors.LeftMarginCursor();
    else if (Pixel.y() < FMetrics.TextTop)
        cursor = cursors.TopMarginCursor();
    else if (CanDragSelection()) {
        const TRowCol at = PixelToRowCol(Pixel, false);
        if (IsInSelection(at.Row, at.Col))
            cursor = cursors.InSelCursor();
    }
    viewport()->setCursor(EditorCursor(cursor));
}

void TEditor::wheelEvent(QWheelEvent* Event)
{
    Event->ignore(); // the owner's wheel rule decides
}

// ---------------------------------------------------------------------------------------------
// Focus, context menu, input method

void TEditor::focusInEvent(QFocusEvent* Event)
{
    QAbstractScrollArea::focusInEvent(Event);
    FBlink.start();
    UpdateCaretPos();
}

void TEditor::focusOutEvent(QFocusEvent* Event)
{
    QAbstractScrollArea::focusOutEvent(Event);
    FBlink.stop();
    if (FDragState != dsNone || FMouseSelecting)
        CancelMouseGesture();
    viewport()->update(FCaretRect); // the caret drawn while the focus was here goes
}

void TEditor::contextMenuEvent(QContextMenuEvent* Event)
{
    if (contextMenuPolicy() != Qt::DefaultContextMenu) {
        Event->ignore();
        return;
    }
    FPopupMenu->MenuPopup();
    FPopupMenu->popup(Event->globalPos());
}

// The preedit is drawn at the caret and stays out of the text; the commit is one edit.
void TEditor::inputMethodEvent(QInputMethodEvent* Event)
{
    if (FReadOnly) {
        Event->ignore();
        return;
    }
    const QRect before = CaretRect();
    FPreedit = Event->preeditString();
    if (!Event->commitString().isEmpty()) {
        FCommitting = true;
        InsertText(FromToolkit(Event->commitString()));
        FCommitting = false;
    }
    viewport()->update(QRect(before.left(), before.top(), viewport()->width(), FMetrics.RowPitch));
    viewport()->update(QRect(CaretRect().left(), CaretRect().top(), viewport()->width(), FMetrics.RowPitch));
    Event->accept();
}

QVariant TEditor::inputMethodQuery(Qt::InputMethodQuery Query) const
{
    switch (Query) {
    case Qt::ImEnabled:
        return !FReadOnly;
    case Qt::ImCursorRectangle: {
        const QRect caret = CaretRect();
        return QRect(viewport()->mapTo(this, caret.topLeft()), caret.size());
    }
    case Qt::ImFont:
        return FFont;
    case Qt::ImSurroundingText:
        return FRow < FStrings->Count() ? SjisToQString(FStrings->Str(FRow)) : QString();
    case Qt::ImCursorPosition:
        return FRow < FStrings->Count()
                   ? QStringLength(std::string_view(FStrings->Str(FRow)).substr(
                         0, static_cast<std::size_t>(std::min(CaretByte(), static_cast<int>(FStrings->Str(FRow).size())))))
                   : 0;
    default:
        return QAbstractScrollArea::inputMethodQuery(Query);
    }
}

} // namespace kestrim
