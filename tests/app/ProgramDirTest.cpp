#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST(ProgramDir, AWritableProgramFolderTakesTheScriptAndTheTestLeavesNothingBehind)
{
    QTemporaryDir writable;
    OverrideProgramDir(writable.path());
    EXPECT_EQ(ScriptDir(), writable.path());
    EXPECT_EQ(QDir(writable.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});
    OverrideProgramDir(QString());
}
