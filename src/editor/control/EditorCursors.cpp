#include "editor/control/EditorCursors.h"

#include <QBitmap>
#include <QPainter>
#include <QPolygon>

namespace kestrim {
namespace {

constexpr int CursorSize = 32;

// An arrow pointing up and right, drawn black with a white outline; hot spot at its tip.
QCursor RightArrowCursor()
{
    QPixmap pixmap(CursorSize, CursorSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QPolygon arrow({{15, 0}, {15, 15}, {10, 10}, {6, 17}, {3, 15}, {7, 8}, {0, 8}});
    painter.setPen(Qt::white);
    painter.setBrush(Qt::black);
    painter.drawPolygon(arrow);
    return QCursor(pixmap, 15, 0);
}

// The standard arrow with a small box holding a plus sign below it.
QCursor DragCopyCursor()
{
    QPixmap pixmap(CursorSize, CursorSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QPolygon arrow({{0, 0}, {0, 15}, {4, 11}, {7, 18}, {9, 17}, {6, 10}, {11, 10}});
    painter.setPen(Qt::white);
    painter.setBrush(Qt::black);
    painter.drawPolygon(arrow);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(12, 17, 10, 10);
    painter.drawLine(14, 22, 20, 22);
    painter.drawLine(17, 19, 17, 25);
    return QCursor(pixmap, 0, 0);
}

} // namespace

QCursor EditorCursor(TCursor Id)
{
    switch (Id) {
    case crIBeam:
        return Qt::IBeamCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crRightArrow: {
        static const QCursor cursor = RightArrowCursor();
        return cursor;
    }
    case crDragSelCopy: {
        static const QCursor cursor = DragCopyCursor();
        return cursor;
    }
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace kestrim
