#include "app/ConsoleCommand.h"

#include "editor/base/CodePage.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <unistd.h>

namespace kestrim {
namespace {

// The longest a pass waits, so that the stop request and the window's events are served at
// least this often.
constexpr int PollIntervalMs = 50;

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

void AppendTo(TMemoryStream& Stream, const QByteArray& Bytes)
{
    Stream.Append(std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())));
}

} // namespace

TConsoleCommand::TConsoleCommand()
    : ProcessMessages([] { QCoreApplication::processEvents(); })
{
}

void TConsoleCommand::Execute(TMemoryStream& Input)
{
    FTerminated = false;
    Input.SetPosition(0);
    QProcess Child;
    Start(Child);
    FOutputStream.Clear();
    FErrorStream.Clear();
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
        if (FTerminated)
            return true;
        // Output that the event processing has already taken in needs no wait.
        if (Child.bytesAvailable() == 0)
            Child.waitForReadyRead(PollIntervalMs);
        Collect(Child);
        if (Child.state() == QProcess::NotRunning)
            return false;
    }
}

void TConsoleCommand::Collect(QProcess& Child)
{
    AppendTo(FOutputStream, Child.readAllStandardOutput());
    AppendTo(FErrorStream, Child.readAllStandardError());
}

void TConsoleCommand::Finish(QProcess& Child, bool Stopped)
{
    if (Stopped) {
        // The group id stays reserved while any member lives, even after the child has been
        // reaped, so this cannot hit a stranger. Without a group only the child can be reached.
        if (FChildPid <= 0 || ::kill(-FChildPid, SIGKILL) != 0)
            Child.kill();
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
