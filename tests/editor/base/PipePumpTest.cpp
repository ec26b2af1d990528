#include "editor/base/PipePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kestrim;
using namespace std::chrono_literals;

namespace {

// Starts /bin/cat on the pipes' child ends: what goes in comes out on its standard output.
pid_t StartCat(TChildPipes& Pipes)
{
    const pid_t child = ::fork();
    if (child == 0) {
        Pipes.PutOnStandardDescriptors();
        ::execl("/bin/cat", "cat", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Pipes.CloseChildEnds();
    return child;
}

std::string Pattern(std::size_t Size)
{
    std::string bytes(Size, '\0');
    for (std::size_t i = 0; i < Size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

// Takes until the child's output ends (the pump drained), the bytes in order.
std::string TakeAll(TPipePump& Pump, pid_t Child)
{
    std::string taken;
    int status = 0;
    while (::waitpid(Child, &status, WNOHANG) == 0) {
        for (const TPumpedBlock& block : Pump.Take())
            taken += block.Bytes;
        Pump.Wait(5, 1, 0);
    }
    Pump.Drain();
    for (const TPumpedBlock& block : Pump.Take())
        taken += block.Bytes;
    return taken;
}

} // namespace

// A taker that falls behind makes the child wait rather than the output pile up, and nothing is
// lost or reordered on the way.
TEST(PipePumpTest, OutputThatIsNotTakenWaitsInTheChildAndArrivesWhole)
{
    TChildPipes pipes(1 << 16);
    constexpr std::size_t Ahead = 1u << 20;
    TPipePump pump(pipes, {}, Ahead);
    const pid_t child = StartCat(pipes);
    const std::string input = Pattern(12u << 20);
    pump.Write(input);
    pump.CloseInput();
    std::this_thread::sleep_for(300ms);
    std::string taken;
    for (const TPumpedBlock& block : pump.Take()) {
        EXPECT_EQ(block.Channel, TOutputChannel::Output);
        taken += block.Bytes;
    }
    // What the pump holds at most: its bound and the block it was filling.
    EXPECT_LE(taken.size(), Ahead + (1u << 20));
    taken += TakeAll(pump, child);
    EXPECT_TRUE(taken == input) << taken.size() << " of " << input.size() << " bytes";
    EXPECT_EQ(pump.BytesWritten(), input.size());
}

// A program started with a standard descriptor closed gets pipes on 0, 1 or 2 from the system:
// the child's ends must still arrive where the child looks for them.
TEST(PipePumpTest, PipesWorkWhenThisProgramHasNoStandardInput)
{
    const int savedInput = ::dup(STDIN_FILENO);
    ASSERT_GE(savedInput, 0);
    ::close(STDIN_FILENO);
    std::optional<TChildPipes> pipes;
    pipes.emplace(1 << 16);
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);
    TPipePump pump(*pipes);
    const pid_t child = StartCat(*pipes);
    pump.Write("through cat\n");
    pump.CloseInput();
    EXPECT_EQ(TakeAll(pump, child), "through cat\n");
}

// A child that ends without reading its input drops the input and takes this program down with
// no broken-pipe signal.
TEST(PipePumpTest, InputForAChildThatReadsNothingIsDropped)
{
    TChildPipes pipes(1 << 16);
    TPipePump pump(pipes);
    const pid_t child = ::fork();
    if (child == 0) {
        pipes.PutOnStandardDescriptors();
        ::execl("/bin/sh", "sh", "-c", "exec 0<&-; echo done", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    pipes.CloseChildEnds();
    pump.Write(Pattern(4u << 20));
    pump.CloseInput();
    EXPECT_EQ(TakeAll(pump, child), "done\n");
    EXPECT_LT(pump.BytesWritten(), 4u << 20);
}
