#include "editor/control/BodyEdit.h"

#include "editor/control/SjisQString.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QtMath>

namespace kestrim {

TBodyEdit::TBodyEdit(QWidget* Parent) : QPlainTextEdit(Parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setTabChangesFocus(false);
    UpdateTabStops();
}

void TBodyEdit::UpdateTabStops()
{
    setTabStopDistance(TabWidth() * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
}

QString TBodyEdit::WithinShiftJis(const QString& Text)
{
    bool lost = false;
    const QString within = SjisToQString(QStringToSjis(Text, &lost));
    if (lost) {
        // A status tip travels up to the window, which shows it in its status bar.
        QStatusTipEvent tip(QStringLiteral("Shift-JIS で表せない文字を \"?\" に置き換えました。"));
        QCoreApplication::sendEvent(this, &tip);
    }
    return within;
}

int TBodyEdit::ColumnWidth() const
{
    return qMax(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int TBodyEdit::TextBottom() const
{
    const QTextBlock last = document()->lastBlock();
    return qCeil(blockBoundingGeometry(last).translated(contentOffset()).bottom());
}

bool TBodyEdit::event(QEvent* Event)
{
    // The window's command shortcuts come before the keys the text widget would claim, so that
    // Ctrl+Z, Ctrl+V and the like run the window's commands.
    if (Event->type() == QEvent::ShortcutOverride) {
        Event->ignore();
        return true;
    }
    return QPlainTextEdit::event(Event);
}

void TBodyEdit::keyPressEvent(QKeyEvent* Event)
{
    const QString text = WithinShiftJis(Event->text());
    if (text == Event->text()) {
        QPlainTextEdit::keyPressEvent(Event);
        return;
    }
    QKeyEvent converted(Event->type(), Event->key(), Event->modifiers(), text, Event->isAutoRepeat(),
                        static_cast<ushort>(Event->count()));
    QPlainTextEdit::keyPressEvent(&converted);
    Event->setAccepted(converted.isAccepted());
}

void TBodyEdit::keyReleaseEvent(QKeyEvent* Event)
{
    QPlainTextEdit::keyReleaseEvent(Event);
    if (OnKeyUp && !Event->isAutoRepeat())
        OnKeyUp(Event->key(), Event->modifiers());
}

void TBodyEdit::inputMethodEvent(QInputMethodEvent* Event)
{
    const QString commit = WithinShiftJis(Event->commitString());
    if (commit == Event->commitString()) {
        QPlainTextEdit::inputMethodEvent(Event);
        return;
    }
    QInputMethodEvent converted(Event->preeditString(), Event->attributes());
    converted.setCommitString(commit, Event->replacementStart(), Event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&converted);
}

void TBodyEdit::insertFromMimeData(const QMimeData* Source)
{
    if (Source->hasText())
        insertPlainText(WithinShiftJis(Source->text()));
}

void TBodyEdit::mousePressEvent(QMouseEvent* Event)
{
    FClickPending = Event->button() == Qt::LeftButton;
    QPlainTextEdit::mousePressEvent(Event);
}

void TBodyEdit::mouseReleaseEvent(QMouseEvent* Event)
{
    QPlainTextEdit::mouseReleaseEvent(Event);
    const bool clicked = FClickPending && Event->button() == Qt::LeftButton;
    FClickPending = false;
    if (clicked && OnClick)
        OnClick();
    if (OnMouseUp)
        OnMouseUp(Event->button());
}

void TBodyEdit::mouseDoubleClickEvent(QMouseEvent* Event)
{
    // The first click placed the caret; what a double-click selects is the owner's choice
    // (the window selects the word at the caret). The release that follows is no click.
    FClickPending = false;
    Event->accept();
    if (Event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}

void TBodyEdit::wheelEvent(QWheelEvent* Event)
{
    // The editor does not scroll by itself: the window decides what the wheel does.
    Event->ignore();
}

void TBodyEdit::contextMenuEvent(QContextMenuEvent* Event)
{
    // The menu is the editor owner's: the event goes on to the TEditor and its policy.
    Event->ignore();
}

void TBodyEdit::changeEvent(QEvent* Event)
{
    QPlainTextEdit::changeEvent(Event);
    if (Event->type() == QEvent::FontChange)
        UpdateTabStops();
}

void TBodyEdit::paintEvent(QPaintEvent* Event)
{
    QPlainTextEdit::paintEvent(Event);
    if (!RetMark.Visible && !EofMark.Visible && !Underline.Visible)
        return;
    QPainter painter(viewport());
    PaintLineEndMarks(painter);
    if (Underline.Visible)
        PaintCaretUnderline(painter);
}

void TBodyEdit::PaintLineEndMarks(QPainter& Painter)
{
    const int viewportBottom = viewport()->height();
    const int column = ColumnWidth();
    const QFontMetrics metrics = fontMetrics();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > viewportBottom)
            break;
        const QTextLine line = block.layout()->lineAt(0);
        if (!line.isValid())
            continue;
        const qreal x = box.left() + line.naturalTextWidth() + block.layout()->position().x() + 2;
        const qreal top = box.top() + line.y();
        if (block.next().isValid() && RetMark.Visible) {
            // A downward arrow half a column wide.
            const qreal middle = x + column / 2.0;
            const qreal height = metrics.ascent();
            QPainterPath arrow;
            arrow.moveTo(middle, top + height * 0.25);
            arrow.lineTo(middle, top + height);
            arrow.moveTo(middle - column / 3.0, top + height * 0.7);
            arrow.lineTo(middle, top + height);
            arrow.lineTo(middle + column / 3.0, top + height * 0.7);
            Painter.setPen(RetMark.Color);
            Painter.drawPath(arrow);
        }
        if (!block.next().isValid() && EofMark.Visible) {
            Painter.setPen(EofMark.Color);
            Painter.setFont(font());
            Painter.drawText(QPointF(x, top + metrics.ascent()), QStringLiteral("[EOF]"));
        }
    }
}

void TBodyEdit::PaintCaretUnderline(QPainter& Painter)
{
    const QRect caret = cursorRect();
    Painter.setPen(Underline.Color);
    Painter.drawLine(0, caret.bottom(), viewport()->width(), caret.bottom());
}

} // namespace kestrim
