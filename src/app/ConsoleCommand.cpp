#include "app/ConsoleCommand.h"

#include "editor/base/CodePage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace kestrim {
namespace {

// The longest a pass waits, so that the stop request and the window's events are served at
// least this often. The wait blocks the window: a key typed during a live run would wait for
// it, so it is kept well below what a typist notices.
constexpr int PollIntervalMs = 5;

// The input is read in blocks of this size, and the pipe's buffer is topped up to FeedAhead:
// enough that the child never waits for the next pass, little enough that no copy of the whole
// input builds up when the child reads slowly.
constexpr std::size_t InputBlockSize = 256 * 1024;
constexpr std::size_t FeedAhead = 1024 * 1024;
constexpr int PipeSize = 1024 * 1024;

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
    // Wide pipes let the child and this program each do a large part of the work before the
    // other has to be woken: on a busy machine every wake-up may wait for a processor. Where the
    // system will not widen them they stay as they are.
    ::fcntl(STDIN_FILENO, F_SETPIPE_SZ, PipeSize);
    ::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, PipeSize);
    ::fcntl(STDERR_FILENO, F_SETPIPE_SZ, PipeSize);
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
    Input.SetPosition(0);
    TMemoryReader bytes(Input.Bytes());
    Execute(bytes);
}

void TConsoleCommand::Execute(TByteSource& Input)
{
    FTerminated = false;
    FLimitReached.reset();
    Input.Rewind();
    QProcess Child;
    Start(Child);
    FOutputStream.Clear();
    FErrorStream.Clear();
    if (!OnOutput) {
        ReserveUpToLimit(FOutputStream, FLimits.Output);
        ReserveUpToLimit(FErrorStream, FLimits.Error);
    }
    FBytesFed = 0;
    FBytesRead = 0;
    FOutputTaken = 0;
    FErrorTaken = 0;
    FInput = &Input;
    FChild = &Child;
    const auto leave = qScopeGuard([this, &Child] {
        FBytesFed -= static_cast<std::size_t>(Child.bytesToWrite());
        FInput = nullptr;
        FChild = nullptr;
    });
    // Output is taken in as it arrives, also inside the event loop of a dialog opened during the
    // run, where the toolkit would otherwise buffer everything the child writes; the input is
    // topped up whenever the pipe took some, there too.
    QObject::connect(&Child, &QProcess::readyReadStandardOutput, &Child,
                     [this, &Child] { CollectChannel(Child, TOutputChannel::Output); });
    QObject::connect(&Child, &QProcess::readyReadStandardError, &Child,
                     [this, &Child] { CollectChannel(Child, TOutputChannel::Error); });
    QObject::connect(&Child, &QProcess::bytesWritten, &Child, [this, &Child] { Feed(Child); });
    bool Stopped = false;
    try {
        Feed(Child);
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

std::size_t TConsoleCommand::BytesWritten() const
{
    return FBytesFed - (FChild ? static_cast<std::size_t>(FChild->bytesToWrite()) : 0);
}

void TConsoleCommand::Feed(QProcess& Child)
{
    // A child that has ended or is being stopped takes no more: the rest of the input is not read.
    if (FInput && (FTerminated || Child.state() != QProcess::Running))
        FInput = nullptr;
    if (FInputBlock.size() < InputBlockSize)
        FInputBlock.resize(InputBlockSize);
    while (FInput && static_cast<std::size_t>(Child.bytesToWrite()) < FeedAhead) {
        const std::string_view block = FInput->ReadBlock(FInputBlock.data(), FInputBlock.size());
        if (block.empty()) {
            FInput = nullptr;
            Child.closeWriteChannel();
            break;
        }
        Child.write(block.data(), static_cast<qint64>(block.size()));
        FBytesFed += block.size();
    }
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
        Feed(Child);
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

// Hands on what the channel holds up to its limit; the first channel to go beyond it stops
// the run at once and the rest of its output is dropped.
void TConsoleCommand::CollectChannel(QProcess& Child, TOutputChannel Channel)
{
    const bool output = Channel == TOutputChannel::Output;
    TMemoryStream& stream = output ? FOutputStream : FErrorStream;
    std::size_t& taken = output ? FOutputTaken : FErrorTaken;
    const std::size_t limit = output ? FLimits.Output : FLimits.Error;
    const QByteArray bytes = output ? Child.readAllStandardOutput() : Child.readAllStandardError();
    if (bytes.isEmpty())
        return;
    const std::size_t room = limit - std::min(limit, taken);
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    const std::string_view kept(bytes.constData(), std::min(size, room));
    taken += kept.size();
    FBytesRead += kept.size();
    if (OnOutput)
        OnOutput(Channel, kept);
    else
        stream.Append(kept);
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
