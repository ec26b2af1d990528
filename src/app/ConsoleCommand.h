#pragma once
// Runs one console program (the language interpreter) to its end: its standard input is taken
// from a byte source a block at a time as the pipe drains, its standard output and standard
// error are handed to a consumer as they arrive (or, without one, collected in two memory
// streams). The run is synchronous on the GUI thread; the window stays alive because pending
// events are processed on every polling pass, which is also where a stop request is noticed.
// The pipes themselves are served by a TPipePump on a thread of its own, so that the child
// goes on while the window shows what came.

#include "editor/base/ByteSource.h"
#include "editor/base/Exceptions.h"
#include "editor/base/MemoryStream.h"
#include "editor/base/PipePump.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

class QObject;
class QProcess;

namespace kestrim {

// How a stopped run leaves TConsoleCommand::Execute.
class ECommandTerminate : public Exception {
public:
    using Exception::Exception;
};

// "標準出力" or "標準エラー出力", as the messages name the channel.
std::string OutputChannelName(TOutputChannel Channel);

// The most that one run may collect of each stream, in bytes.
struct TOutputLimits {
    std::size_t Output = SIZE_MAX;
    std::size_t Error = SIZE_MAX;
};

// How a run that reached an output limit leaves Execute: stopped as by Terminate, with what
// came before the limit kept.
class EOutputLimit : public ECommandTerminate {
public:
    EOutputLimit(TOutputChannel Channel, std::size_t Limit);
    TOutputChannel Channel() const { return FChannel; }
    std::size_t Limit() const { return FLimit; }

private:
    TOutputChannel FChannel;
    std::size_t FLimit;
};

// A byte count as the messages show it: whole megabytes as "256 MB", others in bytes.
std::string SizeText(std::size_t Bytes);

class TConsoleCommand {
public:
    TConsoleCommand();
    TConsoleCommand(const TConsoleCommand&) = delete;
    TConsoleCommand& operator=(const TConsoleCommand&) = delete;

    // Program and arguments as Shift-JIS bytes; double quotes group words.
    const std::string& CommandLine() const { return FCommandLine; }
    void SetCommandLine(std::string CommandLine) { FCommandLine = std::move(CommandLine); }

    // Runs the command line with Input's bytes (from its start) on its standard input and
    // returns when the child has ended. What the child writes goes to OnOutput, or without one
    // into the two streams, positioned at 0 at the return. Raises Exception when the program
    // cannot be started (the streams keep the previous run), ECommandTerminate when Terminate
    // stopped the run (what came so far has been handed on) and EOutputLimit when a channel
    // reached its limit (exactly the limit's bytes have been handed on). Input is read only
    // as the child takes it, a block at a time, a couple of megabytes ahead of it at most (the
    // pump's queue and the pipe), and never after the return.
    void Execute(TByteSource& Input);
    // The same with the bytes of Input from position 0, which are read in place: leave Input
    // alone until the return.
    void Execute(TMemoryStream& Input);

    // Asks a running Execute to stop the child and all its descendants at its next pass.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }

    // A stream that goes beyond its limit stops the run at once, also while a dialog's own event
    // loop keeps the passes from running, so that a child that floods its output cannot fill
    // the memory.
    const TOutputLimits& Limits() const { return FLimits; }
    void SetLimits(const TOutputLimits& Limits) { FLimits = Limits; }

    TMemoryStream& OutputStream() { return FOutputStream; }
    TMemoryStream& ErrorStream() { return FErrorStream; }

    // Takes what the child writes, a block at a time in the order it came, within the limits;
    // while it is set the streams stay empty. It may call Terminate.
    std::function<void(TOutputChannel Channel, std::string_view Bytes)> OnOutput;

    // Of the current or last run: bytes the child's input pipe took, and bytes taken in from
    // both of its channels.
    std::size_t BytesWritten() const;
    std::size_t BytesRead() const { return FBytesRead; }

    // How the last started run ended: its exit code, or the signal that ended it.
    int ExitCode() const { return FExitCode; }
    bool ExitedBySignal() const { return FExitSignal != 0; }
    int ExitSignal() const { return FExitSignal; }

    // Called once per pass, at least every 5 ms, to keep the window alive; it may call
    // Terminate. Processes the application's pending events unless a test replaces it.
    std::function<void()> ProcessMessages;

private:
    void Start(QProcess& Child, const TChildPipes& Pipes);
    // Feeds and collects: in each pass, and inside a dialog's event loop, where the passes
    // wait, when the pump has work for it.
    void Serve();
    void ServeLater(QObject& Context);
    // Tops the pump's input queue up from the input until it holds FeedAhead bytes; closes the
    // input after its last byte.
    void Feed();
    void Collect();
    void CollectBlock(TOutputChannel Channel, std::string_view Bytes);
    bool PollUntilEndOrStop(QProcess& Child);
    void KillGroup(QProcess& Child);
    void Finish(QProcess& Child, bool Stopped);

    std::string FCommandLine;
    // The input of the run in progress; none once it is all handed to the pump.
    TByteSource* FInput = nullptr;
    QProcess* FChild = nullptr;
    TPipePump* FPump = nullptr;
    bool FServing = false;
    int FLoopLevel = 0; // of the event loops when the run started
    std::vector<char> FInputBlock;
    std::size_t FBytesWritten = 0; // of the last run, once it has ended
    std::size_t FBytesRead = 0;
    std::size_t FOutputTaken = 0; // of each channel in the current run, within its limit
    std::size_t FErrorTaken = 0;
    TMemoryStream FOutputStream;
    TMemoryStream FErrorStream;
    TOutputLimits FLimits;
    bool FTerminated = false;
    // The channel that reached its limit in the current run, if any.
    std::optional<TOutputChannel> FLimitReached;
    pid_t FChildPid = 0;
    int FExitCode = 0;
    int FExitSignal = 0;
};

} // namespace kestrim
