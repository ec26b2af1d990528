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
    // One server for all the tests: a server started right after another one on the same
    // display number now and then refused its first client. The server must not reset when its
    // last client leaves (the program of a test, xdotool): while it resets it refuses the next.
    static void SetUpTestSuite()
    {
        if (::geteuid() != 0)
            return;
        // The server picks a free display and writes its number once it accepts clients.
        Server = new QProcess;
        Server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        if (Server->waitForStarted()
            && QTest::qWaitFor([] { return Server->canReadLine() || Server->waitForReadyRead(100); }, 10000))
            Display = ":" + QString::fromLatin1(Server->readLine().trimmed());
    }
    static void TearDownTestSuite()
    {
        if (!Server)
            return;
        Stop(*Server);
        delete Server;
        Server = nullptr;
    }
    static void Stop(QProcess& Process)
    {
        Process.terminate();
        if (!Process.waitForFinished(5000))
            Process.kill();
        Process.waitForFinished();
    }

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "the program is started as root here";
        ASSERT_FALSE(Display.isEmpty()) << "Xvfb did not start";
    }
    void TearDown() override { Stop(FProgram); }

    // Starts the program as the shell would: no sandbox switch, no test platform, settings of
    // its own; Extra is added to the environment.
    void StartProgram(const QStringList& Extra = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QTWEBENGINE_DISABLE_SANDBOX", "QT_QPA_PLATFORM", "QTWEBENGINE_CHROMIUM_FLAGS"})
            environment.remove(name);
        environment.insert("DISPLAY", Display);
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
                environment.insert("DISPLAY", Display);
                search.setProcessEnvironment(environment);
                search.start("xdotool", {"search", "--onlyvisible", "--name", "^Kestrim$"});
                search.waitForFinished();
                return search.exitCode() == 0 && !search.readAllStandardOutput().trimmed().isEmpty();
            },
            StartTimeoutMs);
        QTest::qWait(SettleMs);
        return shown && FProgram.state() == QProcess::Running;
    }

    static inline QProcess* Server = nullptr;
    static inline QString Display;
    QTemporaryDir FHome;
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
