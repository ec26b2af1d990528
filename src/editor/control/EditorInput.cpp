// Keyboard, mouse and input-method input of TEditor.

#include "editor/control/EditorControl.h"

#include <QKeyEvent>

namespace kestrim {

bool TEditor::event(QEvent* Event) { return QAbstractScrollArea::event(Event); }
bool TEditor::viewportEvent(QEvent* Event) { return QAbstractScrollArea::viewportEvent(Event); }
void TEditor::keyPressEvent(QKeyEvent* Event) { QAbstractScrollArea::keyPressEvent(Event); }
void TEditor::keyReleaseEvent(QKeyEvent* Event) { QAbstractScrollArea::keyReleaseEvent(Event); }
void TEditor::mousePressEvent(QMouseEvent* Event) { QAbstractScrollArea::mousePressEvent(Event); }
void TEditor::mouseMoveEvent(QMouseEvent* Event) { QAbstractScrollArea::mouseMoveEvent(Event); }
void TEditor::mouseReleaseEvent(QMouseEvent* Event) { QAbstractScrollArea::mouseReleaseEvent(Event); }
void TEditor::mouseDoubleClickEvent(QMouseEvent* Event) { QAbstractScrollArea::mouseDoubleClickEvent(Event); }
void TEditor::wheelEvent(QWheelEvent* Event) { Event->ignore(); }
void TEditor::focusInEvent(QFocusEvent* Event) { QAbstractScrollArea::focusInEvent(Event); }
void TEditor::focusOutEvent(QFocusEvent* Event) { QAbstractScrollArea::focusOutEvent(Event); }
void TEditor::contextMenuEvent(QContextMenuEvent* Event) { QAbstractScrollArea::contextMenuEvent(Event); }
void TEditor::inputMethodEvent(QInputMethodEvent* Event) { QAbstractScrollArea::inputMethodEvent(Event); }
QVariant TEditor::inputMethodQuery(Qt::InputMethodQuery Query) const { return QAbstractScrollArea::inputMethodQuery(Query); }
bool TEditor::focusNextPrevChild(bool) { return false; }
void TEditor::changeEvent(QEvent* Event) { QAbstractScrollArea::changeEvent(Event); }

} // namespace kestrim
