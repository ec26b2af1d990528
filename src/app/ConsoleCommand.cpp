#include "app/ConsoleCommand.h"

#include "editor/base/CodePage.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <new>
#include <optional>
#include <system_error>
#include <unistd.h>

namespace kestrim {
namespace {

// The longest a pass waits, so that the stop request and the window's events are served at
// least this often. The wait blocks the window: a key typed during a live run would wait for
// it, so it is kept well below what a typist notices.
constexpr int PollIntervalMs = 5;

// The input is read in blocks of this size, and the pump's queue is topped up to FeedAhead:
// enough that the child never waits for the next pass, little enough that no copy of the whole
// input builds up when the child reads slowly.
constexpr std::size_t InputBlockSize = 256 * 1024;
constexpr std::size_t FeedAhead = 1024 * 1024;
constexpr int PipeSize = 1024 * 1024;
// A pass hands on at most this much output, so that the window answers between passes while it
// catches up with a child that writes faster than it shows; the input is topped up between.
constexpr std::size_t OutputPerPass = 1024 * 1024;
// A pass that waits is woken when this much output waits.
constexpr std::size_t OutputBatch = 256 * 1024;

const char* const StopMessage = "コマンド処理を中断しました。";

std::string StartFailureMessage(const std::string& CommandLine)
{
    return SjisToUtf8(CommandLine) + " を起動できません。";
}

// Runs in the child between fork and exec: async-signal-safe calls only.
void PrepareChild(const TChildPipes& Pipes)
{
    // The pump's pipes replace what the toolkit put there.
    Pipes.PutOnStandardDescriptors();
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
    Input.SetPosition(0);
    TMemoryReader bytes(Input.Bytes());
    Execute(bytes);
}

void TConsoleCommand::Execute(TByteSource& Input)
{
    FTerminated = false;
    FLimitReached.reset();
    Input.Rewind();
    // Output is taken in as it arrives, also inside the event loop of a dialog opened during the
    // run, where the passes wait: the pump's news is served through the event queue too, so that
    // the limits hold there and the input goes on. Going with the run, the context takes along
    // what is still queued for it.
    QObject context;
    FLoopLevel = QThread::currentThread()->loopLevel();
    std::optional<TChildPipes> pipes;
    std::optional<TPipePump> pump;
    try {
        pipes.emplace(PipeSize);
        pump.emplace(*pipes, [&context, this] { ServeLater(context); });
    } catch (const std::system_error&) {
        // Out of descriptors or threads: the child cannot be given its pipes.
        throw Exception(StartFailureMessage(FCommandLine));
    }
    QProcess Child;
    Start(Child, *pipes);
    pipes->CloseChildEnds();
    FOutputStream.Clear();
    FErrorStream.Clear();
    if (!OnOutput) {
        ReserveUpToLimit(FOutputStream, FLimits.Output);
        ReserveUpToLimit(FErrorStream, FLimits.Error);
    }
    FBytesWritten = 0;
    FBytesRead = 0;
    FOutputTaken = 0;
    FErrorTaken = 0;
    FInput = &Input;
    FChild = &Child;
    FPump = &*pump;
    const auto leave = qScopeGuard([this] {
        FBytesWritten = FPump->BytesWritten();
        FInput = nullptr;
        FChild = nullptr;
        FPump = nullptr;
    });
    bool Stopped = false;
    try {
        Feed();
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
    return FPump ? FPump->BytesWritten() : FBytesWritten;
}

// Posted from the pump's thread. Outside a dialog the passes serve the pipes: served from the
// event queue as well, a fast child's output would be taken and shown again and again within
// one round of events, and the window would wait for the round.
void TConsoleCommand::ServeLater(QObject& Context)
{
    QMetaObject::invokeMethod(
        &Context,
        [this] {
            if (QThread::currentThread()->loopLevel() > FLoopLevel)
                Serve();
        },
        Qt::QueuedConnection);
}

void TConsoleCommand::Serve()
{
    if (!FPump || std::exchange(FServing, true))
        return;
    const auto done = qScopeGuard([this] { FServing = false; });
    Feed();
    Collect();
    Feed();
}

void TConsoleCommand::Feed()
{
    // A child that has ended or is being stopped takes no more: the rest of the input is not read.
    if (FInput && (FTerminated || FLimitReached || FChild->state() != QProcess::Running))
        FInput = nullptr;
    if (FInputBlock.size() < InputBlockSize)
        FInputBlock.resize(InputBlockSize);
    while (FInput && FPump->InputWaiting() < FeedAhead) {
        const std::string_view block = FInput->ReadBlock(FInputBlock.data(), FInputBlock.size());
        if (block.empty()) {
            FInput = nullptr;
            FPump->CloseInput();
            break;
        }
        FPump->Write(block);
    }
}

void TConsoleCommand::Start(QProcess& Child, const TChildPipes& Pipes)
{
    const QStringList Words =
        QProcess::splitCommand(QString::fromStdU16String(SjisToUtf16(FCommandLine)));
    if (Words.isEmpty())
        throw Exception(StartFailureMessage(FCommandLine));
    Child.setProgram(Words.front());
    Child.setArguments(Words.mid(1));
    Child.setStandardInputFile(QProcess::nullDevice());
    Child.setStandardOutputFile(QProcess::nullDevice());
    Child.setStandardErrorFile(QProcess::nullDevice());
    Child.setChildProcessModifier([&Pipes] { PrepareChild(Pipes); });
    Child.start();
    if (!Child.waitForStarted(-1))
        throw Exception(StartFailureMessage(FCommandLine));
    FChildPid = static_cast<pid_t>(Child.processId());
    FExitCode = 0;
    FExitSignal = 0;
}

// One pass: events, the stop request, the pipes served, then a wait of at most PollIntervalMs
// that ends as soon as the pump has news. True when the run was stopped.
bool TConsoleCommand::PollUntilEndOrStop(QProcess& Child)
{
    for (;;) {
        if (ProcessMessages)
            ProcessMessages();
        if (FTerminated || FLimitReached)
            return true;
        Serve();
        if (FLimitReached)
            return true;
        if (Child.state() == QProcess::NotRunning || Child.waitForFinished(0))
            return false;
        // The first output is shown at once, so that a run is seen to have started.
        if (!FPump->OutputWaiting())
            FPump->Wait(PollIntervalMs, FBytesRead == 0 ? 1 : OutputBatch, FeedAhead / 2);
    }
}

void TConsoleCommand::Collect()
{
    for (const TPumpedBlock& block : FPump->Take(OutputPerPass))
        CollectBlock(block.Channel, block.Bytes);
}

// Hands on a block up to its channel's limit; the first channel to go beyond it stops the run
// at once and the rest of the output is dropped.
void TConsoleCommand::CollectBlock(TOutputChannel Channel, std::string_view Bytes)
{
    if (FLimitReached)
        return;
    const bool output = Channel == TOutputChannel::Output;
    TMemoryStream& stream = output ? FOutputStream : FErrorStream;
    std::size_t& taken = output ? FOutputTaken : FErrorTaken;
    const std::size_t limit = output ? FLimits.Output : FLimits.Error;
    const std::size_t room = limit - std::min(limit, taken);
    const std::string_view kept = Bytes.substr(0, room);
    taken += kept.size();
    FBytesRead += kept.size();
    if (!kept.empty()) {
        if (OnOutput)
            OnOutput(Channel, kept);
        else
            stream.Append(kept);
    }
    if (Bytes.size() > room) {
        FLimitReached = Channel;
        KillGroup(*FChild);
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
    // What the pipes still hold is the last of it.
    FPump->Drain();
    while (FPump->OutputWaiting() && !FLimitReached)
        Collect();
    if (Child.exitStatus() == QProcess::CrashExit)
        FExitSignal = Child.exitCode();
    else
        FExitCode = Child.exitCode();
    FOutputStream.SetPosition(0);
    FErrorStream.SetPosition(0);
}

} // namespace kestrim
