#include "dialogs/DialogPlacement.h"

#include <QDialog>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kestrim {

void SetDialogForm(QDialog& Dialog, int ClientWidth, int ClientHeight)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    Dialog.setFont(font);
    Dialog.setFixedSize(ClientWidth, ClientHeight);
}

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
