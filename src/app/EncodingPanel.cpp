#include "app/EncodingPanel.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace kestrim {

TEncodingPanel::TEncodingPanel(QMenu& Menu, QWidget* Parent) : QLabel(Parent), FMenu(Menu)
{
    setCursor(Qt::PointingHandCursor);
}

// Above the panel: the status bar lies at the bottom of the window.
void TEncodingPanel::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton || text().isEmpty())
        return QLabel::mousePressEvent(Event);
    FMenu.popup(mapToGlobal(QPoint(0, -FMenu.sizeHint().height())));
}

void TEncodingPanel::contextMenuEvent(QContextMenuEvent* Event)
{
    if (!text().isEmpty())
        FMenu.popup(Event->globalPos());
}

} // namespace kestrim
