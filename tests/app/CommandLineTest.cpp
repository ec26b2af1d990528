// The program's command line: read as the program reads it, and answered by the built program
// itself with neither a display nor a test platform.
#include "app/CommandLine.h"
#include "app/ProgramVersion.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

using namespace kestrim;

namespace {

TEST(CommandLineTest, FilesAreFullNamesAndTheToolkitKeepsItsOptions)
{
    const struct {
        QStringList Args;
        TCommandLine::TAction Action;
        QStringList Files;
    } cases[] = {
        {{}, TCommandLine::Open, {}},
        {{"a.pl", "/abs/b.txt", "../c"}, TCommandLine::Open, {"/work/here/a.pl", "/abs/b.txt", "/work/c"}},
        {{"-platform", "offscreen", "--style=fusion", "-reverse", "a"}, TCommandLine::Open, {"/work/here/a"}},
        {{"--", "-v", "--help", "-"}, TCommandLine::Open, {"/work/here/-v", "/work/here/--help", "/work/here/-"}},
        {{"a", "--version", "b"}, TCommandLine::Version, {}},
        {{"-h"}, TCommandLine::Help, {}},
        {{"a", "--nonsense"}, TCommandLine::BadOption, {}},
    };
    for (const auto& c : cases) {
        const TCommandLine line = ParseCommandLine(c.Args, "/work/here");
        EXPECT_EQ(line.Action, c.Action) << c.Args.join(' ').toStdString();
        EXPECT_EQ(line.Files, c.Files) << c.Args.join(' ').toStdString();
    }
}

struct TRun {
    int ExitCode;
    QString Output;
    QString Errors;
};

TRun RunProgram(const QStringList& Args)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + "/kestrim", Args);
    EXPECT_TRUE(program.waitForFinished(20000));
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()), QString::fromUtf8(program.readAllStandardError())};
}

TEST(CommandLineTest, HelpAndVersionAnswerWithoutADisplayAndABadOptionEndsWithTwo)
{
    const TRun help = RunProgram({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Output.startsWith("使い方: kestrim")) << help.Output.toStdString();

    const TRun version = RunProgram({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Output, "Kestrim " + ProgramVersion() + "\n");

    const TRun bad = RunProgram({"--nonsense"});
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_TRUE(bad.Output.isEmpty());
    EXPECT_TRUE(bad.Errors.contains("--nonsense") && bad.Errors.contains("使い方: kestrim")) << bad.Errors.toStdString();
}

} // namespace
