#include "app/ConsoleCommand.h"

#include "editor/base/CodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <random>
#include <thread>
#include <unistd.h>

using namespace kestrim;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Copies standard input to standard output byte for byte.
const std::string EchoCommand =
    R"-(perl -e "binmode STDIN; binmode STDOUT; $/ = \65536; print while <STDIN>")-";

// Prints its pid on a line, then "partial" and "err", then sleeps for ever.
const std::string SleeperCommand =
    R"-(perl -e "$| = 1; print qq($$\npartial); print STDERR q(err); sleep 1000")-";

std::string RandomBytes(std::size_t Count)
{
    std::mt19937 random(Count);
    std::string bytes(Count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Dead means no longer there or a zombie waiting for a reaper that is not ours.
bool IsDead(pid_t Pid)
{
    std::ifstream stat("/proc/" + std::to_string(Pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const auto close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'Z';
}

bool BecomesDead(pid_t Pid)
{
    for (const auto until = Clock::now() + 2s; Clock::now() < until; std::this_thread::sleep_for(5ms))
        if (IsDead(Pid))
            return true;
    return false;
}

std::size_t OpenDescriptorCount()
{
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// Writes lines of a thousand "x" for ever, to standard output or to standard error.
const std::string FloodCommand = R"-(perl -e "print q(x) x 1000, qq(\n) while 1")-";
const std::string ErrorFloodCommand = R"-(perl -e "print STDERR q(x) x 1000, qq(\n) while 1")-";

// The first line of the output as a pid, 0 while it has not arrived.
pid_t LeadingPid(const TMemoryStream& Output)
{
    const auto end = Output.Bytes().find('\n');
    return end == std::string::npos ? 0 : std::stoi(Output.Bytes().substr(0, end));
}

class ConsoleCommandTest : public ::testing::Test {
protected:
    ConsoleCommandTest()
    {
        // No test may hang: a run still going after the deadline is stopped and so fails.
        Runner.ProcessMessages = [this] {
            ++Passes;
            if (OnPass)
                OnPass();
            if (Clock::now() > Deadline)
                Runner.Terminate();
        };
    }

    void Run(const std::string& CommandLine, const std::string& InputBytes = {})
    {
        Runner.SetCommandLine(CommandLine);
        TMemoryStream input(InputBytes);
        Runner.Execute(input);
    }

    // At least a tenth of the passes that Elapsed holds at one per Interval: the passes kept
    // coming, on a machine ten times slower or busier too.
    void ExpectPassesEvery(Clock::duration Interval, Clock::duration Elapsed) const
    {
        EXPECT_GE(Passes * 10, Elapsed / Interval) << Passes << " passes in "
                                                   << std::chrono::duration<double, std::milli>(Elapsed).count() << " ms";
    }

    const std::string& Output() { return Runner.OutputStream().Bytes(); }
    const std::string& Errors() { return Runner.ErrorStream().Bytes(); }

    TConsoleCommand Runner;
    std::function<void()> OnPass;
    int Passes = 0;
    Clock::time_point Deadline = Clock::now() + 20s;
};

TEST_F(ConsoleCommandTest, InputReachesTheChildWhole)
{
    for (std::size_t size : {0, 1, 8191, 8192, 8193, 1 << 20, 8 << 20}) {
        SCOPED_TRACE(size);
        const std::string input = RandomBytes(size);
        const auto start = Clock::now();
        Run(EchoCommand, input);
        EXPECT_EQ(Output(), input);
        EXPECT_EQ(Errors(), "");
        EXPECT_EQ(Runner.OutputStream().Position(), 0u);
        EXPECT_EQ(Runner.ExitCode(), 0);
        // At 8192 bytes a pass, 8 MB would take almost a minute.
        EXPECT_LT(Clock::now() - start, 5s);
    }
}

TEST_F(ConsoleCommandTest, OutputIsStoredByteForByteInTwoStreams)
{
    Run(R"-(perl -e "binmode STDOUT; print qq(a\0b\rc\nd\x82\xff\x80\xa0); print STDERR qq(e\r\0\x81)")-");
    EXPECT_EQ(Output(), std::string("a\0b\rc\nd\x82\xff\x80\xa0", 11));
    EXPECT_EQ(Errors(), std::string("e\r\0\x81", 4));
    EXPECT_EQ(Runner.ErrorStream().Position(), 0u);

    Run(R"-(perl -e "print STDERR q(only errors)")-");
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(Errors(), "only errors");
}

TEST_F(ConsoleCommandTest, OutputWrittenJustBeforeTheEndIsCollected)
{
    // Both pipes are nearly full when the child ends.
    for (int run = 0; run < 20; ++run) {
        Run(R"-(perl -e "print STDERR q(e) x 60000; print q(o) x 65000")-");
        ASSERT_EQ(Output().size(), 65000u) << "run " << run;
        ASSERT_EQ(Errors().size(), 60000u) << "run " << run;
    }
}

TEST_F(ConsoleCommandTest, ChildThatDoesNotReadItsInputCannotBlockTheRun)
{
    const std::string input(4 << 20, 'i');
    Run(R"-(perl -e "print q(x) x 8_000_000")-", input);
    EXPECT_EQ(Output(), std::string(8'000'000, 'x'));

    // Closing its input early leaves the rest of the input unwritable: a broken pipe.
    Run(R"-(perl -e "close STDIN; sleep 1; print q(done)")-", input);
    EXPECT_EQ(Output(), "done");
}

TEST_F(ConsoleCommandTest, ReportsHowTheRunEnded)
{
    Run(R"-(/bin/sh -c "exit 3")-", std::string(1 << 20, 'i'));
    EXPECT_EQ(Runner.ExitCode(), 3);
    EXPECT_FALSE(Runner.ExitedBySignal());

    Run(R"-(perl -e "$| = 1; print q(before); kill TERM => $$")-");
    EXPECT_TRUE(Runner.ExitedBySignal());
    EXPECT_EQ(Runner.ExitSignal(), SIGTERM);
    EXPECT_EQ(Output(), "before");
}

TEST_F(ConsoleCommandTest, QuotedWordsAndShiftJisPathsReachTheChild)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QString::fromUtf8("a b テスト"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile script(folder + "/s.pl");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("print join(q(|), @ARGV);");
    script.close();

    Run(Utf8ToSjis("perl \"" + script.fileName().toStdString() + "\" x \"y z\""));
    EXPECT_EQ(Output(), "x|y z");
    EXPECT_EQ(Errors(), "");
}

TEST_F(ConsoleCommandTest, StartFailureRaisesAndKeepsThePreviousStreams)
{
    Run(R"-(perl -e "print q(previous); print STDERR q(warning)")-");
    char head[3];
    Runner.OutputStream().Read(head, sizeof head);

    QTemporaryDir dir;
    const std::string notExecutable = dir.filePath("plain.pl").toStdString();
    std::ofstream(notExecutable) << "print 1;";
    const std::string missing = "/nonexistent/\x83\x65\x83\x58\x83\x67/perl -e 1";

    for (const std::string& commandLine : {missing, notExecutable, std::string("  ")}) {
        SCOPED_TRACE(commandLine);
        try {
            Run(commandLine, "input");
            ADD_FAILURE() << "the run started";
        } catch (const ECommandTerminate&) {
            ADD_FAILURE() << "a start failure reported as a stop";
        } catch (const Exception& error) {
            EXPECT_EQ(error.what(), SjisToUtf8(commandLine) + " を起動できません。");
        }
        EXPECT_EQ(Output(), "previous");
        EXPECT_EQ(Runner.OutputStream().Position(), 3u);
        EXPECT_EQ(Errors(), "warning");
    }
    EXPECT_NE(std::string(SjisToUtf8(missing)).find("テスト"), std::string::npos);
}

TEST_F(ConsoleCommandTest, StopFromAnEventEndsTheChildAndKeepsItsOutput)
{
    Runner.ProcessMessages = [] { QCoreApplication::processEvents(); };
    Clock::time_point stopped;
    QTimer::singleShot(300, [&] {
        stopped = Clock::now();
        Runner.Terminate();
    });
    try {
        Run(SleeperCommand, std::string(1 << 20, 'i'));
        FAIL() << "the run was not stopped";
    } catch (const ECommandTerminate& stop) {
        // The child sleeps for ever: the run ended by the stop (its latency is a benchmark's figure).
        EXPECT_LT(Clock::now() - stopped, 5s);
        EXPECT_STREQ(stop.what(), "コマンド処理を中断しました。");
    }
    const pid_t child = LeadingPid(Runner.OutputStream());
    ASSERT_GT(child, 0);
    EXPECT_EQ(Output().substr(Output().find('\n') + 1), "partial");
    EXPECT_EQ(Errors(), "err");
    EXPECT_EQ(Runner.OutputStream().Position(), 0u);
    EXPECT_EQ(Runner.ExitSignal(), SIGKILL);
    EXPECT_TRUE(Runner.Terminated());
    // Reaped, not left as a zombie.
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(child)));
}

TEST_F(ConsoleCommandTest, StopOrAnErrorInAPassEndsTheChildsOwnChildren)
{
    const std::string forker =
        R"-(perl -e "$| = 1; my $pid = fork; if ($pid) { print qq($pid\n) } sleep 1000")-";
    OnPass = [this] {
        if (LeadingPid(Runner.OutputStream()) != 0)
            Runner.Terminate();
    };
    EXPECT_THROW(Run(forker), ECommandTerminate);
    const pid_t stopped = LeadingPid(Runner.OutputStream());
    ASSERT_GT(stopped, 0);
    EXPECT_TRUE(BecomesDead(stopped));

    OnPass = [this] {
        if (LeadingPid(Runner.OutputStream()) != 0)
            throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(Run(forker), std::runtime_error);
    const pid_t failed = LeadingPid(Runner.OutputStream());
    ASSERT_GT(failed, 0);
    EXPECT_TRUE(BecomesDead(failed));
    EXPECT_EQ(Runner.OutputStream().Position(), 0u);
}

// The peak memory of a flood and the longest gap between its passes are figures of the
// benchmarks; here the flood is cut at its limit and the passes keep coming while it lasts.
TEST_F(ConsoleCommandTest, AFloodStopsAtItsLimitAndPassesStillCome)
{
    constexpr std::size_t Limit = 64u << 20;
    Runner.SetLimits({Limit, 1u << 20});
    const auto start = Clock::now();
    try {
        Run(FloodCommand);
        FAIL() << "the flood was not stopped";
    } catch (const EOutputLimit& limit) {
        EXPECT_EQ(limit.Channel(), TOutputChannel::Output);
        EXPECT_STREQ(limit.what(), "標準出力が上限の 64 MB に達したので、コマンド処理を中断しました。");
    }
    ExpectPassesEvery(50ms, Clock::now() - start);
    EXPECT_EQ(Output().size(), Limit);
    const std::size_t lastWholeLine = (Limit / 1001 - 1) * 1001;
    EXPECT_EQ(Output().compare(lastWholeLine, 1001, std::string(1000, 'x') + "\n"), 0);
    EXPECT_EQ(Runner.ExitSignal(), SIGKILL);

    EXPECT_THROW(Run(ErrorFloodCommand), EOutputLimit);
    EXPECT_EQ(Errors().size(), 1u << 20);
    EXPECT_EQ(Output(), "");

    // Up to the limit exactly is no flood.
    Runner.SetLimits({4, 4});
    Run(R"-(perl -e "print q(four); print STDERR q(four)")-");
    EXPECT_EQ(Output(), "four");
}

// A dialog opened during a run runs its own event loop: the passes wait, and the output that
// the toolkit takes in meanwhile must still stop at the limit.
TEST_F(ConsoleCommandTest, TheLimitHoldsWhileADialogKeepsThePassesWaiting)
{
    Runner.SetLimits({8u << 20, 8u << 20});
    std::size_t collectedInDialog = 0;
    OnPass = [&] {
        if (Passes != 1)
            return;
        QEventLoop dialog;
        QTimer::singleShot(1500, &dialog, &QEventLoop::quit);
        dialog.exec();
        collectedInDialog = Runner.OutputStream().Size();
    };
    EXPECT_THROW(Run(FloodCommand), EOutputLimit);
    EXPECT_EQ(collectedInDialog, 8u << 20);
    EXPECT_EQ(Runner.ExitSignal(), SIGKILL);
}

TEST_F(ConsoleCommandTest, StopRequestOnlyCountsDuringARun)
{
    Runner.Terminate();
    Run(R"-(perl -e "print q(ran)")-");
    EXPECT_EQ(Output(), "ran");
    EXPECT_FALSE(Runner.Terminated());

    // A stop asked for in the very first pass still ends the run.
    OnPass = [this] { Runner.Terminate(); };
    EXPECT_THROW(Run(SleeperCommand), ECommandTerminate);
}

// A pass waits up to 5 ms for output: a silent child gets passes all along but not a spin of them.
TEST_F(ConsoleCommandTest, PassesKeepComingWithoutSpinning)
{
    const auto start = Clock::now();
    // Silent for a second, with its output already at its end.
    Run(R"-(perl -e "close STDOUT; sleep 1")-");
    const auto elapsed = Clock::now() - start;
    ExpectPassesEvery(5ms, elapsed);
    EXPECT_LE(Passes, elapsed / 5ms * 3 / 2 + 5);
}

TEST_F(ConsoleCommandTest, ManyRunsLeakNoDescriptorsIntoTheChildOrHere)
{
    // A descriptor the program holds without close-on-exec must not reach the child.
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(held, 0);
    Run("perl -e \"print -e q(/proc/self/fd/" + std::to_string(held) + ") ? q(leaked) : q(closed)\"");
    EXPECT_EQ(Output(), "closed");
    ::close(held);

    const std::size_t before = OpenDescriptorCount();
    OnPass = [this] {
        if (Runner.CommandLine().find("sleep") != std::string::npos)
            Runner.Terminate();
    };
    for (int run = 0; run < 500; ++run) {
        if (run % 25 == 0) {
            ASSERT_THROW(Run(SleeperCommand, "in"), ECommandTerminate);
        } else {
            Run(R"-(/bin/sh -c "echo out; echo err >&2")-", "in");
            ASSERT_EQ(Output(), "out\n");
        }
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
}

} // namespace

// A consumer takes the output in blocks, in order, and the runner keeps none of it; the input is
// read as the pipe drains: while the child has not read yet (it writes nothing before it read),
// only a small part of it has been taken from its source.
TEST_F(ConsoleCommandTest, AConsumerTakesTheOutputAndTheInputIsReadAsThePipeDrains)
{
    class TCountingSource : public TMemoryReader {
    public:
        using TMemoryReader::TMemoryReader;
        std::string_view ReadBlock(char* Buffer, std::size_t Count) override
        {
            const std::string_view block = TMemoryReader::ReadBlock(Buffer, Count);
            Given += block.size();
            return block;
        }
        std::size_t Given = 0;
    };
    const std::string input = RandomBytes(16u << 20);
    TCountingSource source(input);
    std::string output;
    std::string errors;
    Runner.OnOutput = [&](TOutputChannel Channel, std::string_view Bytes) {
        (Channel == TOutputChannel::Output ? output : errors).append(Bytes);
    };
    std::size_t givenBeforeOutput = 0;
    OnPass = [&] {
        if (output.empty())
            givenBeforeOutput = source.Given;
    };
    Runner.SetCommandLine(R"-(perl -e "select(undef, undef, undef, 0.3); binmode STDIN; binmode STDOUT; )-"
                          R"-($/ = \65536; while (<STDIN>) { print; print STDERR qq(e) }")-");
    Runner.Execute(source);
    EXPECT_TRUE(output == input);
    EXPECT_EQ(errors, std::string(input.size() >> 16, 'e'));
    EXPECT_LT(givenBeforeOutput, input.size() / 4);
    EXPECT_EQ(Runner.BytesWritten(), input.size());
    EXPECT_EQ(Runner.BytesRead(), output.size() + errors.size());
    EXPECT_EQ(Output().size() + Errors().size(), 0u);
}

TEST_F(ConsoleCommandTest, AConsumerGetsExactlyTheLimitsBytes)
{
    const struct {
        const std::string& Command;
        TOutputChannel Channel;
    } cases[] = {{FloodCommand, TOutputChannel::Output}, {ErrorFloodCommand, TOutputChannel::Error}};
    constexpr std::size_t Limit = 3u << 20;
    Runner.SetLimits({Limit, Limit});
    for (const auto& c : cases) {
        std::size_t taken = 0;
        Runner.OnOutput = [&](TOutputChannel Channel, std::string_view Bytes) {
            EXPECT_EQ(Channel, c.Channel);
            taken += Bytes.size();
        };
        try {
            Run(c.Command);
            ADD_FAILURE() << "the flood was not stopped";
        } catch (const EOutputLimit& limit) {
            EXPECT_EQ(limit.Channel(), c.Channel);
        }
        EXPECT_EQ(taken, Limit);
    }
}
