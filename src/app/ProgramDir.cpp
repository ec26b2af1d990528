#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kestrim {
namespace {

QString& Override()
{
    static QString folder;
    return folder;
}

// Whether a file can be created in Folder. Tried rather than judged from the permissions,
// which do not tell of read-only mounts, of the superuser's rights or of access lists.
bool FilesCanBeCreatedIn(const QString& Folder)
{
    QTemporaryFile probe(QDir(Folder).filePath(QStringLiteral(".kestrim-XXXXXX")));
    return probe.open();
}

} // namespace

QString ProgramDir()
{
    return Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
}

QString InConfDir(const QString& FileName)
{
    return FileName.contains('/') ? FileName : QDir(ProgramDir()).filePath("conf/" + FileName);
}

QString ScriptDir()
{
    const QString programDir = ProgramDir();
    if (FilesCanBeCreatedIn(programDir))
        return programDir;
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(userDir); // a folder that cannot be made fails the script's save, which names it
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
