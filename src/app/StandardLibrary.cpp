#include "app/StandardLibrary.h"

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

namespace {

// Kept apart from the toolkit's application display name, which the toolkit would append to the
// title of every other window ("検索 — Kestrim" instead of "検索").
QString& StoredTitle()
{
    static QString title;
    return title;
}

} // namespace

// Until one is set, the program's name.
QString ApplicationTitle()
{
    return StoredTitle().isEmpty() ? QCoreApplication::applicationName() : StoredTitle();
}

void SetApplicationTitle(const QString& Title)
{
    StoredTitle() = Title;
}

} // namespace kestrim
