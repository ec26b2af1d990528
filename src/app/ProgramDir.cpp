#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrim {
namespace {

QString& Override()
{
    static QString folder;
    return folder;
}

} // namespace

QString ProgramDir()
{
    return Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
}

QString ConfDir()
{
    return QDir(ProgramDir()).filePath("conf");
}

QString InConfDir(const QString& FileName)
{
    return FileName.contains('/') ? FileName : QDir(ConfDir()).filePath(FileName);
}

QString ScriptDir()
{
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QFileInfo::exists(userDir)) {
        // A folder that cannot be made fails the run, which names it.
        QDir().mkpath(QFileInfo(userDir).absolutePath());
        QDir().mkdir(userDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return userDir;
}

std::string SystemFileName(const QString& FileName)
{
    return QFile::encodeName(FileName).toStdString();
}

void OverrideProgramDir(const QString& Folder)
{
    Override() = Folder;
}

} // namespace kestrim
