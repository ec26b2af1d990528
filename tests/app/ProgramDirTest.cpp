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
