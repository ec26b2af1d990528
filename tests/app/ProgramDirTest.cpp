#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kestrim;

TEST(ProgramDir, BareNamesOfSettingFilesResolveInConf)
{
    OverrideProgramDir("/opt/kestrim");
    EXPECT_EQ(ProgramDir(), "/opt/kestrim");
    EXPECT_EQ(InConfDir("url.txt"), "/opt/kestrim/conf/url.txt");
    EXPECT_EQ(InConfDir("my urls.txt"), "/opt/kestrim/conf/my urls.txt");
    EXPECT_EQ(InConfDir("/home/u/url.txt"), "/home/u/url.txt");
    EXPECT_EQ(InConfDir("sub/url.txt"), "sub/url.txt");
    OverrideProgramDir(QString());
    EXPECT_EQ(ProgramDir(), QCoreApplication::applicationDirPath());
}

// A program folder that others share must not hold what a run executes, writable or not.
TEST(ProgramDir, RunFilesGoToAnOwnerOnlyFolderOfTheUserNotToTheProgramFolder)
{
    QTemporaryDir writable;
    QTemporaryDir home;
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    OverrideProgramDir(writable.path());
    const QString folder = ScriptDir();
    EXPECT_TRUE(folder.startsWith(home.path() + "/")) << folder.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(QDir(writable.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});
    OverrideProgramDir(QString());
    qputenv("XDG_DATA_HOME", oldDataHome);
}
