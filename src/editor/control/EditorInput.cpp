// Keyboard, mouse and input-method input of TEditor: the navigation keys with their selection
// rule, typed characters, mouse selection and dragging, the caret's place for the input method.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorCursors.h"
#include "editor/control/EditorPopupMenu.h"
#include "editor/control/TextQString.h"

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
    std::string text = CrLfLineBreaks(QStringToText(Encoding(), Text, &lost));
    if (lost)
        emit OnCharactersLost();
    return text;
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
    if (FModel.MouseSelecting() || FDragState != dsNone) {
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

// The key's move, and how many rows it goes: a held key speeds up at the window's edge.
bool TEditor::HandleNavigationKey(QKeyEvent* Event)
{
    const int key = Event->key();
    const Qt::KeyboardModifiers modifiers = Event->modifiers();
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    if (key == Qt::Key_Delete) {
        TypeDelete();
        return true;
    }
    const int page = std::max(1, (VisibleRowCount() - 1) / 2)
                     * (FKeyRepeat ? FSpeed.PageVerticalRangeAc() : FSpeed.PageVerticalRange());
    const int row = Row();
    const bool acceleratedUp = FKeyRepeat && row == FTopRow;
    const bool acceleratedDown = FKeyRepeat && row == FTopRow + VisibleRowCount() - 1;
    TCaretMove move;
    int rows = 1;
    switch (key) {
    case Qt::Key_PageUp:
        move = TCaretMove::PageUp;
        rows = page;
        break;
    case Qt::Key_PageDown:
        move = TCaretMove::PageDown;
        rows = page;
        break;
    case Qt::Key_Home:
        move = control ? TCaretMove::TextStart : TCaretMove::RowStart;
        break;
    case Qt::Key_End:
        move = control ? TCaretMove::TextEnd : TCaretMove::RowEnd;
        break;
    case Qt::Key_Left:
        move = control ? TCaretMove::WordLeft : TCaretMove::Left;
        break;
    case Qt::Key_Right:
        move = control ? TCaretMove::WordRight : TCaretMove::Right;
        break;
    case Qt::Key_Up:
        move = control ? TCaretMove::ScrollUp : TCaretMove::Up;
        rows = acceleratedUp ? FSpeed.CaretVerticalAc() : 1;
        break;
    case Qt::Key_Down:
        move = control ? TCaretMove::ScrollDown : TCaretMove::Down;
        rows = acceleratedDown ? FSpeed.CaretVerticalAc() : 1;
        break;
    default:
        return false;
    }
    FModel.MoveCaret(move, modifiers.testFlag(Qt::ShiftModifier), rows);
    return true;
}

std::vector<TTokenSpan> TEditor::Tokens(std::string_view Text, const TRowAttributeData& State, bool UseDefinition)
{
    const TTextEncoding encoding = FStrings->Encoding();
    const std::unique_ptr<TFountainParser> parser = UseDefinition ? ActiveFountain().NewParser(encoding)
                                                                  : std::make_unique<TTokenParser>(encoding);
    std::vector<TTokenSpan> tokens;
    parser->BeginRow(Text, State);
    while (parser->NextToken() != tokEnd)
        tokens.push_back({parser->TokenOffset(), parser->TokenLength(), parser->Token() == tokSymbol});
    return tokens;
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
    FModel.SetMouseSelecting(true);
    const bool shift = Event->modifiers().testFlag(Qt::ShiftModifier);
    const TRowCol at = PixelToRowCol(pixel, false);
    if (shift) {
        if (SelectionState() == ssNone)
            InitSelection();
        CaretToPixel(pixel);
        SelectionToCaret();
    } else if (pixel.x() >= FMetrics.TextLeft && CanDragSelection() && IsInSelection(at.Row, at.Col)) {
        CaretToPixel(pixel);
        if (FCaret.SelDragMode() == dmAutomatic) {
            FModel.SetMouseSelecting(false);
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
    if (FModel.RowSelecting()) {
        ExtendRowSelect(std::max(PixelToRowCol(target, false).Row, 0));
    } else if (FDragState == dsPending) {
        if (farEnough) {
            FDragState = dsDragging;
            const bool copy = Modifiers.testFlag(Qt::ControlModifier);
            viewport()->setCursor(EditorCursor(copy ? FCaret.Cursors().DragSelCopyCursor() : FCaret.Cursors().DragSelCursor()));
        }
    } else if (FDragState == dsDragging) {
        CaretToPixel(target);
    } else if (FModel.MouseSelecting()) {
        CaretToPixel(target);
        if (Selected())
            FModel.UpdateSelection();
        else if (SelectionState() == ssStarted && farEnough)
            FModel.ActivateSelection();
    }
}

void TEditor::UpdateEdgeScroll(QPoint Pixel, Qt::KeyboardModifiers Modifiers)
{
    const QWidget* view = viewport();
    const bool outside = Pixel.y() < FMetrics.TextTop || Pixel.y() >= view->height() || Pixel.x() >= view->width()
                         || (Pixel.x() < FMetrics.TextLeft && !FModel.RowSelecting());
    const bool gesture = FModel.RowSelecting() || FModel.MouseSelecting() || FDragState == dsDragging;
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
        FModel.EndRowSelect();
        FModel.SetMouseSelecting(false);
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
    if (!text.contains(Pixel) || IsInSelection(Row(), Col()) || ReadOnly()) {
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
    FModel.MoveSelectionTo(Row(), Col());
}

// Any change of the text while a gesture is under way ends it: its places no longer hold.
void TEditor::CancelMouseGesture()
{
    const bool dragging = FDragState != dsNone;
    FDragState = dsNone;
    FModel.EndRowSelect();
    FModel.SetMouseSelecting(false);
    FEdgeScroll.stop();
    FModel.DropStartedSelection();
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
    if (FDragState != dsNone || FModel.MouseSelecting())
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
    if (ReadOnly()) {
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
        return !ReadOnly();
    case Qt::ImCursorRectangle: {
        const QRect caret = CaretRect();
        return QRect(viewport()->mapTo(this, caret.topLeft()), caret.size());
    }
    case Qt::ImFont:
        return FFont;
    case Qt::ImSurroundingText:
        return Row() < FStrings->Count() ? TextToQString(Encoding(), FStrings->Str(Row())) : QString();
    case Qt::ImCursorPosition: {
        if (Row() >= FStrings->Count())
            return 0;
        const std::string_view row = FStrings->Str(Row());
        return TextToQString(Encoding(), row.substr(0, static_cast<std::size_t>(std::max(CaretByte(), 0)))).size();
    }
    default:
        return QAbstractScrollArea::inputMethodQuery(Query);
    }
}

} // namespace kestrim
