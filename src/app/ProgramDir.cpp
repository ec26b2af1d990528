#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>

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

void OverrideProgramDir(const QString& Folder)
{
    Override() = Folder;
}

} // namespace kestrim
