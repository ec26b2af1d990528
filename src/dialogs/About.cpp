#include "dialogs/About.h"

#include "dialogs/AboutDialog.h"
#include "dialogs/ApplicationTitle.h"

#include <QApplication>
#include <QLabel>

namespace kestrim {

TAboutDialog::TAboutDialog(QObject* Parent)
    : QObject(Parent)
{
}

bool TAboutDialog::Execute()
{
    // The active window only keeps the box above it; the box centres itself on the screen.
    TAboutBox box(QApplication::activeWindow());
    if (!FCaption.isEmpty())
        box.setWindowTitle(FCaption);
    box.Title->setText(FTitle.isEmpty() ? ApplicationTitle() : FTitle);
    box.Version->setText(QStringLiteral("Version ") + FVersion);
    box.Copyright->setText(QStringLiteral("Copyright(C) %1 %2").arg(FYear, FCopyright));
    box.Icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    return box.exec() == QDialog::Accepted;
}

} // namespace kestrim
