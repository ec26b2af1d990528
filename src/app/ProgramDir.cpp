#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

QString InProgramDir(const QString& FileName)
{
    return QDir::isAbsolutePath(FileName) ? FileName : QDir(ProgramDir()).filePath(FileName);
}

QString InConfDir(const QString& FileName)
{
    return FileName.contains('/') ? FileName : QDir(ProgramDir()).filePath("conf/" + FileName);
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
