#include "app/ProgramDir.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace kestrim;

TEST(ProgramDir, BareNamesResolveBesideTheProgram)
{
    EXPECT_EQ(ProgramDir(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(InProgramDir("conf/Perl.ini"), QCoreApplication::applicationDirPath() + "/conf/Perl.ini");
    EXPECT_EQ(InProgramDir("/tmp/x.pl"), "/tmp/x.pl");
    OverrideProgramDir("/tmp/elsewhere");
    EXPECT_EQ(InProgramDir("script.pl"), "/tmp/elsewhere/script.pl");
    OverrideProgramDir(QString());
    EXPECT_EQ(ProgramDir(), QCoreApplication::applicationDirPath());
}

TEST(ProgramDir, BareNamesOfSettingFilesResolveInConf)
{
    OverrideProgramDir("/opt/kestrim");
    EXPECT_EQ(InConfDir("url.txt"), "/opt/kestrim/conf/url.txt");
    EXPECT_EQ(InConfDir("my urls.txt"), "/opt/kestrim/conf/my urls.txt");
    EXPECT_EQ(InConfDir("/home/u/url.txt"), "/home/u/url.txt");
    EXPECT_EQ(InConfDir("sub/url.txt"), "sub/url.txt");
    OverrideProgramDir(QString());
}
