#include "dialogs/DialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kestrim {

void CenterOnScreen(QWidget& Window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame(QPoint(0, 0), Window.size());
    frame.moveCenter(screen->availableGeometry().center());
    Window.move(frame.topLeft());
}

} // namespace kestrim
