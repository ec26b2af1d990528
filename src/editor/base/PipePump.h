#pragma once
// TPipePump: the bytes between this program and a running child, moved on a thread of its own.
// The input waits in a queue ahead of the child's pipe and the output is read as the child
// writes it and kept until taken, so that the child never waits while the window is busy
// showing what came: the two then work side by side on two processors.

#include "editor/base/FileDescriptor.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kestrim {

enum class TOutputChannel { Output, Error };

// The three pipes of a child about to be started: the child's ends go onto its standard
// descriptors, this program's ends to a TPipePump. Both are closed on exec in other children.
class TChildPipes {
public:
    // Pipes of PipeSize bytes where the system allows it. Raises std::system_error.
    explicit TChildPipes(int PipeSize);

    // In the child between fork and exec: its ends on descriptors 0, 1 and 2 (async-signal-safe).
    void PutOnStandardDescriptors() const noexcept;
    // Once the child has started this program needs its ends no more: the child alone holding
    // them is how the pipes end when it ends.
    void CloseChildEnds();

private:
    friend class TPipePump;
    std::array<TFileDescriptor, 3> FChildEnds; // standard input, output, error
    std::array<TFileDescriptor, 3> FOwnEnds;
};

struct TPumpedBlock {
    TOutputChannel Channel;
    std::string Bytes;
};

class TPipePump {
public:
    // Takes this program's ends of Pipes. Notify is called on the pump's thread when there is
    // work for the other side, as Wait would return for it, once until the next Take.
    // OutputAhead: how much output waits untaken before the pump stops reading, so that a child
    // that writes faster than its output is taken waits instead of filling the memory.
    TPipePump(TChildPipes& Pipes, std::function<void()> Notify = {}, std::size_t OutputAhead = 16u << 20);
    // Ends the thread and closes the pipes.
    ~TPipePump();
    TPipePump(const TPipePump&) = delete;
    TPipePump& operator=(const TPipePump&) = delete;

    // Queues Bytes for the child's input; a child that no longer reads drops them.
    void Write(std::string_view Bytes);
    // The input ends after what is queued.
    void CloseInput();
    // Bytes queued and not yet taken by the pipe.
    std::size_t InputWaiting() const;
    // Bytes the pipe took.
    std::size_t BytesWritten() const;

    // The output that came since the last Take, in the order it came, as many blocks as hold
    // MaxBytes but at least one, so that a window that has fallen behind catches up in steps.
    std::vector<TPumpedBlock> Take(std::size_t MaxBytes = SIZE_MAX);
    // Whether output waits to be taken.
    bool OutputWaiting() const;
    // Waits at most Ms milliseconds for work: OutputBatch bytes of output waiting, the input's
    // queue down to InputLow bytes, or a pipe that ended since the last Wait. Between wake-ups
    // for every few kilobytes both sides would spend their time switching.
    void Wait(int Ms, std::size_t OutputBatch, std::size_t InputLow);
    // The child has ended: what its pipes hold now is read, without waiting for more (its own
    // children may hold the pipes open), and the thread ends. Take gives it afterwards.
    void Drain();

private:
    void Run();
    // One round: waits for the pipes, then writes and reads what they allow. False once the
    // thread is to end.
    bool Pump();
    // Both return the bytes moved.
    std::size_t WriteInput();
    // Reads from the channel's pipe, once or until it is empty, at most Budget bytes; closes it
    // at its end.
    std::size_t ReadOutput(TOutputChannel Channel, std::size_t Budget, bool ToTheEnd);
    void Append(TOutputChannel Channel, std::string_view Bytes);
    // Tells the other side when there is work for it.
    void Happened(bool PipeEnded);
    bool WorkWaits() const;
    void Wake();

    std::array<TFileDescriptor, 3> FEnds;
    TFileDescriptor FWake;
    std::function<void()> FNotify;
    std::size_t FOutputAhead;

    mutable std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<std::string> FInput;
    std::size_t FInputOffset = 0; // into the front block
    std::size_t FInputWaiting = 0;
    bool FInputClosing = false;
    std::size_t FWritten = 0;
    std::deque<TPumpedBlock> FOutput;
    std::size_t FOutputWaiting = 0;
    std::size_t FOutputBatch = 1;
    std::size_t FInputLow = 0;
    int FPipeEnds = 0;
    int FPipeEndsSeen = 0;
    bool FWaiting = false;
    bool FNotified = false;
    // Whether the last round moved only a few bytes: the next waits a moment for more.
    bool FLastRoundSmall = false;
    bool FDraining = false;
    bool FEnding = false;
    std::vector<char> FBuffer;
    std::thread FThread;
};

} // namespace kestrim
