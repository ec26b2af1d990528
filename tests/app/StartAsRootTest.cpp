// The built program, started as a user would start it: on an X server of its own (Xvfb),
// found by its window title with xdotool.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

constexpr int StartTimeoutMs = 60000;
const QByteArray SandboxNote = "サンドボックスを無効にしました";

class StartAsRootTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "the program is started as root here";
        // The server picks a free display and writes its number once it accepts clients.
        FServer.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(FServer.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return FServer.canReadLine() || FServer.waitForReadyRead(100); }, 10000));
        FDisplay = ":" + QString::fromLatin1(FServer.readLine().trimmed());
    }
    void TearDown() override
    {
        for (QProcess* process : {&FProgram, &FServer}) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished();
        }
    }

    // Starts the program as the shell would: no sandbox switch, no test platform, settings of
    // its own; Extra is added to the environment.
    void StartProgram(const QStringList& Extra = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QTWEBENGINE_DISABLE_SANDBOX", "QT_QPA_PLATFORM", "QTWEBENGINE_CHROMIUM_FLAGS"})
            environment.remove(name);
        environment.insert("DISPLAY", FDisplay);
        environment.insert("XDG_CONFIG_HOME", FHome.path());
        for (const QString& entry : Extra)
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        FProgram.setProcessEnvironment(environment);
        FProgram.start(QCoreApplication::applicationDirPath() + "/kestrim", {});
        ASSERT_TRUE(FProgram.waitForStarted());
    }

    // Whether a visible window titled "Kestrim" comes up and the program keeps running a while.
    bool WindowComesUp()
    {
        constexpr int SettleMs = 1000;
        const bool shown = QTest::qWaitFor(
            [&] {
                if (FProgram.state() != QProcess::Running)
                    return true;
                QProcess search;
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                environment.insert("DISPLAY", FDisplay);
                search.setProcessEnvironment(environment);
                search.start("xdotool", {"search", "--onlyvisible", "--name", "^Kestrim$"});
                search.waitForFinished();
                return search.exitCode() == 0 && !search.readAllStandardOutput().trimmed().isEmpty();
            },
            StartTimeoutMs);
        QTest::qWait(SettleMs);
        return shown && FProgram.state() == QProcess::Running;
    }

    QString FDisplay;
    QTemporaryDir FHome;
    QProcess FServer;
    QProcess FProgram;
};

} // namespace

TEST_F(StartAsRootTest, StartsWithoutTheSandboxSwitchAndSaysSoOnce)
{
    StartProgram();
    ASSERT_TRUE(WindowComesUp()) << FProgram.readAllStandardError().toStdString();
    EXPECT_EQ(FProgram.readAllStandardError().count(SandboxNote), 1);
}

TEST_F(StartAsRootTest, StartsWhenTheBrowserCannot)
{
    StartProgram({"QTWEBENGINEPROCESS_PATH=/nonexistent/QtWebEngineProcess"});
    EXPECT_TRUE(WindowComesUp()) << FProgram.readAllStandardError().toStdString();
}
