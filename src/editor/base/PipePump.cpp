#include "editor/base/PipePump.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <system_error>

namespace kestrim {
namespace {

// Output is read and kept in blocks of about this size.
constexpr std::size_t BlockSize = 1u << 20;
// At the end a child's children may go on writing into the pipes: what is read then is bounded.
constexpr std::size_t DrainBudget = 8u << 20;
// A child writes and reads a few kilobytes at a time. A round that moved less than this waits a
// moment before the next, so that a fast child's bytes are moved in larger rounds, with fewer
// wake-ups on both sides; a slow child's output comes that much later.
constexpr std::size_t SmallRound = 64u << 10;
constexpr int SmallRoundPauseMs = 1;

[[noreturn]] void RaiseSystemError(const char* What)
{
    throw std::system_error(errno, std::generic_category(), What);
}

// A descriptor that is none of 0, 1 and 2, so that putting the child's ends on those three
// cannot overwrite one of the others (a program started with a standard descriptor closed).
TFileDescriptor AboveStandard(int Fd)
{
    TFileDescriptor held(Fd);
    if (Fd > 2)
        return held;
    const int moved = ::fcntl(Fd, F_DUPFD_CLOEXEC, 3);
    if (moved < 0)
        RaiseSystemError("fcntl");
    return TFileDescriptor(moved);
}

} // namespace

TChildPipes::TChildPipes(int PipeSize)
{
    for (int standard = 0; standard < 3; ++standard) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            RaiseSystemError("pipe2");
        TFileDescriptor readEnd = AboveStandard(ends[0]);
        TFileDescriptor writeEnd = AboveStandard(ends[1]);
        const bool input = standard == 0;
        FChildEnds[standard] = std::move(input ? readEnd : writeEnd);
        FOwnEnds[standard] = std::move(input ? writeEnd : readEnd);
        ::fcntl(FOwnEnds[standard].Get(), F_SETFL, O_NONBLOCK);
        // Wide pipes let the child and this program each do a large part of the work before the
        // other has to be woken. Where the system will not widen them they stay as they are.
        ::fcntl(FOwnEnds[standard].Get(), F_SETPIPE_SZ, PipeSize);
    }
}

void TChildPipes::PutOnStandardDescriptors() const noexcept
{
    for (int standard = 0; standard < 3; ++standard)
        ::dup2(FChildEnds[standard].Get(), standard);
}

void TChildPipes::CloseChildEnds()
{
    for (TFileDescriptor& end : FChildEnds)
        end.Close();
}

TPipePump::TPipePump(TChildPipes& Pipes, std::function<void()> Notify, std::size_t OutputAhead)
    : FEnds(std::move(Pipes.FOwnEnds))
    , FWake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , FNotify(std::move(Notify))
    , FOutputAhead(OutputAhead)
    , FBuffer(BlockSize)
{
    if (!FWake.IsOpen())
        RaiseSystemError("eventfd");
    FThread = std::thread([this] { Run(); });
}

TPipePump::~TPipePump()
{
    {
        std::lock_guard lock(FMutex);
        FEnding = true;
    }
    Wake();
    if (FThread.joinable())
        FThread.join();
}

void TPipePump::Write(std::string_view Bytes)
{
    if (Bytes.empty())
        return;
    {
        std::lock_guard lock(FMutex);
        if (!FEnds[0].IsOpen() || FInputClosing)
            return;
        FInput.emplace_back(Bytes);
        FInputWaiting += Bytes.size();
    }
    Wake();
}

void TPipePump::CloseInput()
{
    {
        std::lock_guard lock(FMutex);
        FInputClosing = true;
    }
    Wake();
}

std::size_t TPipePump::InputWaiting() const
{
    std::lock_guard lock(FMutex);
    return FInputWaiting;
}

std::size_t TPipePump::BytesWritten() const
{
    std::lock_guard lock(FMutex);
    return FWritten;
}

std::vector<TPumpedBlock> TPipePump::Take(std::size_t MaxBytes)
{
    std::vector<TPumpedBlock> taken;
    bool wasFull = false;
    {
        std::lock_guard lock(FMutex);
        wasFull = FOutputWaiting >= FOutputAhead;
        std::size_t bytes = 0;
        while (!FOutput.empty() && (taken.empty() || bytes + FOutput.front().Bytes.size() <= MaxBytes)) {
            bytes += FOutput.front().Bytes.size();
            taken.push_back(std::move(FOutput.front()));
            FOutput.pop_front();
        }
        FOutputWaiting -= bytes;
        FNotified = false;
    }
    if (wasFull)
        Wake();
    return taken;
}

bool TPipePump::OutputWaiting() const
{
    std::lock_guard lock(FMutex);
    return !FOutput.empty();
}

void TPipePump::Wait(int Ms, std::size_t OutputBatch, std::size_t InputLow)
{
    std::unique_lock lock(FMutex);
    FOutputBatch = std::max<std::size_t>(OutputBatch, 1);
    FInputLow = InputLow;
    FWaiting = true;
    FChanged.wait_for(lock, std::chrono::milliseconds(Ms), [this] { return WorkWaits(); });
    FWaiting = false;
    FPipeEndsSeen = FPipeEnds;
}

bool TPipePump::WorkWaits() const
{
    return FOutputWaiting >= FOutputBatch || FPipeEnds != FPipeEndsSeen
           || (FEnds[0].IsOpen() && !FInputClosing && FInputWaiting <= FInputLow);
}

void TPipePump::Drain()
{
    {
        std::lock_guard lock(FMutex);
        FDraining = true;
    }
    Wake();
    if (FThread.joinable())
        FThread.join();
}

void TPipePump::Run()
{
    // A child that no longer reads its input makes a write fail with EPIPE rather than raise a
    // signal that would end this program.
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &brokenPipe, nullptr);
    while (Pump()) {
    }
    Happened(true);
}

bool TPipePump::Pump()
{
    bool writing = false;
    bool reading = false;
    {
        std::lock_guard lock(FMutex);
        if (FEnding)
            return false;
        if (FDraining) {
            FInput.clear();
            FInputWaiting = 0;
        }
        writing = FEnds[0].IsOpen() && !FDraining && FInputWaiting > 0;
        reading = FOutputWaiting < FOutputAhead;
        if (FEnds[0].IsOpen() && FInputClosing && FInputWaiting == 0)
            FEnds[0].Close();
    }
    if (FDraining) {
        for (const TOutputChannel channel : {TOutputChannel::Output, TOutputChannel::Error})
            ReadOutput(channel, DrainBudget, true);
        return false;
    }
    if (std::exchange(FLastRoundSmall, false)) {
        pollfd wake{FWake.Get(), POLLIN, 0};
        ::poll(&wake, 1, SmallRoundPauseMs);
    }
    std::array<pollfd, 4> waits{};
    std::size_t count = 0;
    waits[count++] = {FWake.Get(), POLLIN, 0};
    if (writing)
        waits[count++] = {FEnds[0].Get(), POLLOUT, 0};
    for (int standard = 1; standard < 3 && reading; ++standard)
        if (FEnds[standard].IsOpen())
            waits[count++] = {FEnds[standard].Get(), POLLIN, 0};
    if (::poll(waits.data(), count, -1) < 0)
        return errno == EINTR;
    std::size_t moved = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (waits[i].revents == 0)
            continue;
        if (waits[i].fd == FWake.Get()) {
            std::uint64_t wakes = 0;
            [[maybe_unused]] const ssize_t read = ::read(FWake.Get(), &wakes, sizeof wakes);
        } else if (waits[i].fd == FEnds[0].Get()) {
            moved += WriteInput();
        } else {
            moved += ReadOutput(waits[i].fd == FEnds[1].Get() ? TOutputChannel::Output : TOutputChannel::Error,
                                BlockSize, false);
        }
    }
    FLastRoundSmall = moved > 0 && moved < SmallRound;
    return true;
}

// The front block is written without the lock: only this thread takes blocks off the queue,
// and adding blocks at its end leaves the front where it is.
std::size_t TPipePump::WriteInput()
{
    std::size_t moved = 0;
    for (;;) {
        std::string_view bytes;
        {
            std::lock_guard lock(FMutex);
            if (FInput.empty())
                break;
            bytes = std::string_view(FInput.front()).substr(FInputOffset);
        }
        const ssize_t written = ::write(FEnds[0].Get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN)
            break;
        std::unique_lock lock(FMutex);
        if (written < 0) {
            // The child reads no more: the rest of the input has nowhere to go.
            FInput.clear();
            FInputOffset = 0;
            FInputWaiting = 0;
            FEnds[0].Close();
            lock.unlock();
            Happened(true);
            return moved;
        }
        const auto count = static_cast<std::size_t>(written);
        moved += count;
        FWritten += count;
        FInputWaiting -= count;
        FInputOffset += count;
        if (FInputOffset == FInput.front().size()) {
            FInput.pop_front();
            FInputOffset = 0;
        }
        if (count < bytes.size())
            break;
    }
    if (moved > 0)
        Happened(false);
    return moved;
}

std::size_t TPipePump::ReadOutput(TOutputChannel Channel, std::size_t Budget, bool ToTheEnd)
{
    TFileDescriptor& end = FEnds[Channel == TOutputChannel::Output ? 1 : 2];
    std::size_t moved = 0;
    bool ended = false;
    while (end.IsOpen() && Budget > 0) {
        const ssize_t read = ::read(end.Get(), FBuffer.data(), std::min(FBuffer.size(), Budget));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0 && errno == EAGAIN)
            break;
        if (read <= 0) {
            end.Close();
            ended = true;
        } else {
            Append(Channel, std::string_view(FBuffer.data(), static_cast<std::size_t>(read)));
            Budget -= static_cast<std::size_t>(read);
            moved += static_cast<std::size_t>(read);
        }
        // Before the end a round reads once, so that the other pipes get their turn.
        if (!ToTheEnd)
            break;
    }
    if (moved > 0 || ended)
        Happened(ended);
    return moved;
}

void TPipePump::Append(TOutputChannel Channel, std::string_view Bytes)
{
    std::lock_guard lock(FMutex);
    if (FOutput.empty() || FOutput.back().Channel != Channel || FOutput.back().Bytes.size() >= BlockSize)
        FOutput.push_back({Channel, std::string()});
    FOutput.back().Bytes.append(Bytes);
    FOutputWaiting += Bytes.size();
}

void TPipePump::Happened(bool PipeEnded)
{
    bool wake = false;
    bool notify = false;
    {
        std::lock_guard lock(FMutex);
        FPipeEnds += PipeEnded ? 1 : 0;
        const bool work = WorkWaits();
        wake = FWaiting && work;
        notify = FNotify && work && !std::exchange(FNotified, true);
    }
    if (wake)
        FChanged.notify_all();
    if (notify)
        FNotify();
}

void TPipePump::Wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(FWake.Get(), &one, sizeof one);
}

} // namespace kestrim
