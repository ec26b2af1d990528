#include "app/StandardLibrary.h"

#include "dialogs/ApplicationTitle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace kestrim {

bool FolderCanBeEntered(const QString& Folder)
{
    const QFileInfo info(Folder);
    return info.isDir() && info.isExecutable();
}

TShellOpenResult ShellOpen(const QString& Folder, const QString& FileName)
{
    const QString path = QDir(Folder).filePath(FileName);
    if (!QFileInfo::exists(path))
        return TShellOpenResult::NotFound;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? TShellOpenResult::Opened
                                                                 : TShellOpenResult::Failed;
}

void ErrorMessage(QWidget* Parent, const QString& Text)
{
    QApplication::beep();
    QMessageBox::critical(Parent, ApplicationTitle(), Text, QMessageBox::Ok);
}

} // namespace kestrim
