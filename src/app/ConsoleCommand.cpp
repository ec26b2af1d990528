#include "app/ConsoleCommand.h"

#include "editor/base/CodePage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <csignal>
#include <new>
#include <unistd.h>

namespace kestrim {
namespace {

// The longest a pass waits, so that the stop request and the window's events are served at
// least this often. The wait blocks the window: a key typed during a live run would wait for
// it, so it is kept well below what a typist notices.
constexpr int PollIntervalMs = 5;

const char* const StopMessage = "コマンド処理を中断しました。";

std::string StartFailureMessage(const std::string& CommandLine)
{
    return SjisToUtf8(CommandLine) + " を起動できません。";
}

// Runs in the child between fork and exec: async-signal-safe calls only.
void PrepareChild()
{
    // A group of its own, so that a stop reaches everything the child has started.
    ::setpgid(0, 0);
    // Descriptors the program holds must not leak into the child. Qt reports a failed exec
    // through one of them, so they are closed by the exec rather than here.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
}

// Growing a stream of a hundred megabytes would copy it within one pass and keep the window
// waiting; room for the whole limit is reserved instead, which costs memory only as output
// arrives. Beyond MaxReserve, or where the system will not reserve that much, the stream grows.
void ReserveUpToLimit(TMemoryStream& Stream, std::size_t Limit)
{
    constexpr std::size_t MaxReserve = std::size_t{1} << 30;
    try {
        Stream.Reserve(std::min(Limit, MaxReserve));
    } catch (const std::bad_alloc&) {
    }
}

} // namespace

std::string OutputChannelName(TOutputChannel Channel)
{
    return Channel == TOutputChannel::Output ? "標準出力" : "標準エラー出力";
}

EOutputLimit::EOutputLimit(TOutputChannel Channel, std::size_t Limit)
    : ECommandTerminate(OutputChannelName(Channel) + "が上限の " + SizeText(Limit)
                        + " に達したので、コマンド処理を中断しました。")
    , FChannel(Channel)
    , FLimit(Limit)
{
}

std::string SizeText(std::size_t Bytes)
{
    constexpr std::size_t MegaByte = std::size_t{1} << 20;
    if (Bytes > 0 && Bytes % MegaByte == 0)
        return std::to_string(Bytes / MegaByte) + " MB";
    return std::to_string(Bytes) + " バイト";
}

TConsoleCommand::TConsoleCommand()
    : ProcessMessages([] { QCoreApplication::processEvents(); })
{
}

void TConsoleCommand::Execute(TMemoryStream& Input)
{
    FTerminated = false;
    FLimitReached.reset();
    Input.SetPosition(0);
    QProcess Child;
    Start(Child);
    FOutputStream.Clear();
    FErrorStream.Clear();
    ReserveUpToLimit(FOutputStream, FLimits.Output);
    ReserveUpToLimit(FErrorStream, FLimits.Error);
    // Output is taken in as it arrives, also inside the event loop of a dialog opened during the
    // run, where the toolkit would otherwise buffer everything the child writes.
    QObject::connect(&Child, &QProcess::readyReadStandardOutput, &Child,
                     [this, &Child] { CollectChannel(Child, TOutputChannel::Output); });
    QObject::connect(&Child, &QProcess::readyReadStandardError, &Child,
                     [this, &Child] { CollectChannel(Child, TOutputChannel::Error); });
    // Qt writes the input whenever the pipe has room, both while this loop waits and while
    // events are processed, so a child that stops reading cannot block the loop. The bytes
    // are lent, not copied: Input outlives Child.
    Child.write(QByteArray::fromRawData(Input.Bytes().data(), static_cast<qsizetype>(Input.Size())));
    Child.closeWriteChannel();
    bool Stopped = false;
    try {
        Stopped = PollUntilEndOrStop(Child);
    } catch (...) {
        Finish(Child, true);
        throw;
    }
    Finish(Child, Stopped);
    if (FLimitReached)
        throw EOutputLimit(*FLimitReached,
                           *FLimitReached == TOutputChannel::Output ? FLimits.Output : FLimits.Error);
    if (Stopped)
        throw ECommandTerminate(StopMessage);
}

void TConsoleCommand::Start(QProcess& Child)
{
    const QStringList Words =
        QProcess::splitCommand(QString::fromStdU16String(SjisToUtf16(FCommandLine)));
    if (Words.isEmpty())
        throw Exception(StartFailureMessage(FCommandLine));
    Child.setProgram(Words.front());
    Child.setArguments(Words.mid(1));
    Child.setChildProcessModifier(PrepareChild);
    Child.start();
    if (!Child.waitForStarted(-1))
        throw Exception(StartFailureMessage(FCommandLine));
    FChildPid = static_cast<pid_t>(Child.processId());
    FExitCode = 0;
    FExitSignal = 0;
}

// One pass: events, the stop request, then a wait of at most PollIntervalMs that ends as soon
// as output arrives or the child ends. True when the run was stopped.
bool TConsoleCommand::PollUntilEndOrStop(QProcess& Child)
{
    for (;;) {
        if (ProcessMessages)
            ProcessMessages();
        if (FTerminated || FLimitReached)
            return true;
        // Output that the event processing has already taken in needs no wait.
        if (Child.bytesAvailable() == 0)
            Child.waitForReadyRead(PollIntervalMs);
        Collect(Child);
        if (FLimitReached)
            return true;
        if (Child.state() == QProcess::NotRunning)
            return false;
    }
}

void TConsoleCommand::Collect(QProcess& Child)
{
    CollectChannel(Child, TOutputChannel::Output);
    CollectChannel(Child, TOutputChannel::Error);
}

// Appends what the channel holds up to its limit; the first channel to go beyond it stops
// the run at once and the rest of its output is dropped.
void TConsoleCommand::CollectChannel(QProcess& Child, TOutputChannel Channel)
{
    const bool output = Channel == TOutputChannel::Output;
    TMemoryStream& stream = output ? FOutputStream : FErrorStream;
    const std::size_t limit = output ? FLimits.Output : FLimits.Error;
    const QByteArray bytes = output ? Child.readAllStandardOutput() : Child.readAllStandardError();
    const std::size_t room = limit - std::min(limit, stream.Size());
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    stream.Append(std::string_view(bytes.constData(), std::min(size, room)));
    if (size > room && !FLimitReached) {
        FLimitReached = Channel;
        KillGroup(Child);
    }
}

void TConsoleCommand::KillGroup(QProcess& Child)
{
    if (Child.state() == QProcess::NotRunning)
        return;
    // The group id stays reserved while any member lives, even after the child has been
    // reaped, so this cannot hit a stranger. Without a group only the child can be reached.
    if (FChildPid <= 0 || ::kill(-FChildPid, SIGKILL) != 0)
        Child.kill();
}

void TConsoleCommand::Finish(QProcess& Child, bool Stopped)
{
    if (Stopped) {
        if (!FLimitReached) // a limit has stopped the child already
            KillGroup(Child);
        Child.waitForFinished(-1);
    }
    // Qt empties both pipes when it sees the child's end, so this takes the last of it.
    Collect(Child);
    if (Child.exitStatus() == QProcess::CrashExit)
        FExitSignal = Child.exitCode();
    else
        FExitCode = Child.exitCode();
    FOutputStream.SetPosition(0);
    FErrorStream.SetPosition(0);
}

} // namespace kestrim
