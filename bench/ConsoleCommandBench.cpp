// The console runner against the shell: 50 MB of text lines through a pass-through perl, and
// the time from a click on Stop to Execute's return. Then the passes, which keep the window
// answering during a run: their longest gap for a silent child and for a flood, and the flood's
// peak memory against its output limit.
//
// PerlPassThrough reports the runner's time per run and, in the same iterations, the shell
// pipeline `cat in | perl -pe ';' | cat > out` (pipes on both sides of perl, as for the
// runner); "ratio" is runner time / shell time. The perl program is ';' rather than '' because
// an empty quoted word does not survive the command-line split; both compile to nothing.
#include "app/ConsoleCommand.h"
#include "support/ProcessMemory.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <thread>

using namespace kestrim;
using namespace kestrim::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t TextSize = 50u << 20;

// Lines of 10 to 120 printable bytes ending in CR LF, some of them two-byte characters.
std::string TextLines(std::size_t Size)
{
    std::mt19937 random(42);
    std::string text;
    text.reserve(Size + 128);
    while (text.size() < Size) {
        const std::size_t length = 10 + random() % 111;
        for (std::size_t i = 0; i < length; ++i) {
            if (random() % 16 == 0) {
                text += '\x82';
                text += static_cast<char>(0x9F + random() % 80);
            } else {
                text += static_cast<char>(0x20 + random() % 95);
            }
        }
        text += "\r\n";
    }
    text.resize(Size);
    text[Size - 2] = '\r';
    text[Size - 1] = '\n';
    return text;
}

double Seconds(Clock::duration Duration)
{
    return std::chrono::duration<double>(Duration).count();
}

double RunShellPipeline(const QString& Folder)
{
    const std::string command = "cd '" + Folder.toStdString() + "' && cat in | perl -pe ';' | cat > out";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("the shell pipeline failed");
    return Seconds(Clock::now() - start);
}

double RunConsoleCommand(TConsoleCommand& Runner, TMemoryStream& Input)
{
    const auto start = Clock::now();
    Runner.Execute(Input);
    const double seconds = Seconds(Clock::now() - start);
    if (Runner.OutputStream().Size() != Input.Size())
        throw std::runtime_error("the runner lost output");
    return seconds;
}

void PerlPassThrough(benchmark::State& State)
{
    QTemporaryDir folder;
    TMemoryStream input(TextLines(TextSize));
    std::ofstream(folder.filePath("in").toStdString(), std::ios::binary) << input.Bytes();
    TConsoleCommand runner;
    runner.SetCommandLine("perl -pe ;");

    double shellTotal = 0;
    double runnerTotal = 0;
    for (auto _ : State) {
        const double shell = RunShellPipeline(folder.path());
        const double ours = RunConsoleCommand(runner, input);
        State.SetIterationTime(ours);
        shellTotal += shell;
        runnerTotal += ours;
    }
    State.counters["shell_s"] = benchmark::Counter(shellTotal, benchmark::Counter::kAvgIterations);
    State.counters["ratio"] = runnerTotal / shellTotal;
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * input.Size()));
}
BENCHMARK(PerlPassThrough)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// A stop requested by an event that arrives while the runner waits, as a click on Stop does: a
// thread posts it to the GUI thread at a random moment, and the time runs from the post to
// Execute's return. The child sleeps for ever, so the runner spends its passes waiting.
void StopLatency(benchmark::State& State)
{
    TConsoleCommand runner;
    runner.SetCommandLine("perl -e \"sleep 1000\"");
    TMemoryStream input;
    std::mt19937 random(7);
    double worst = 0;
    for (auto _ : State) {
        std::atomic<Clock::time_point::rep> posted{0};
        std::thread clicker([&, delay = 100 + random() % 100] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            posted = Clock::now().time_since_epoch().count();
            QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { runner.Terminate(); }, Qt::QueuedConnection);
        });
        try {
            runner.Execute(input);
            clicker.join();
            State.SkipWithError("the run was not stopped");
            return;
        } catch (const ECommandTerminate&) {
            const double latency = Seconds(Clock::now() - Clock::time_point(Clock::duration(posted.load())));
            clicker.join();
            State.SetIterationTime(latency);
            worst = std::max(worst, latency);
        }
    }
    State.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(StopLatency)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("max", [](const std::vector<double>& Times) {
        return *std::max_element(Times.begin(), Times.end());
    });

// The longest time between two passes of a run, in milliseconds.
class TPassGaps {
public:
    explicit TPassGaps(TConsoleCommand& Runner)
    {
        Runner.ProcessMessages = [this] {
            const auto now = Clock::now();
            FLongest = std::max(FLongest, now - FLast);
            FLast = now;
            ++FPasses;
        };
    }
    void Start()
    {
        FLast = Clock::now();
        FLongest = {};
        FPasses = 0;
    }
    double LongestMs() const { return Seconds(FLongest) * 1000; }
    int Passes() const { return FPasses; }

private:
    Clock::time_point FLast;
    Clock::duration FLongest{};
    int FPasses = 0;
};

// A child silent for a second: a pass waits at most 5 ms, so about 200 passes come.
void SilentChildPasses(benchmark::State& State)
{
    TConsoleCommand runner;
    runner.SetCommandLine("perl -e \"close STDOUT; sleep 1\"");
    TPassGaps gaps(runner);
    TMemoryStream input;
    double worst = 0;
    int fewest = std::numeric_limits<int>::max();
    for (auto _ : State) {
        gaps.Start();
        runner.Execute(input);
        worst = std::max(worst, gaps.LongestMs());
        fewest = std::min(fewest, gaps.Passes());
    }
    State.counters["worst_gap_ms"] = worst;
    State.counters["fewest_passes"] = fewest;
}
BENCHMARK(SilentChildPasses)->Iterations(5)->Unit(benchmark::kMillisecond);

// An endless writer stopped at a 64 MB limit: the runner's stream is all it should hold, so the
// peak stays near the limit (under twice it with the pipe's buffers).
void FloodToItsLimit(benchmark::State& State)
{
    constexpr std::size_t Limit = 64u << 20;
    TConsoleCommand runner;
    runner.SetCommandLine(R"-(perl -e "print q(x) x 1000, qq(\n) while 1")-");
    runner.SetLimits({Limit, 1u << 20});
    TPassGaps gaps(runner);
    TMemoryStream input;
    double worstGap = 0;
    std::size_t worstPeak = 0;
    for (auto _ : State) {
        runner.OutputStream() = TMemoryStream(); // the last run's memory is given back
        ResetPeakMemory();
        const std::size_t before = StatusBytes("VmRSS");
        gaps.Start();
        try {
            runner.Execute(input);
            State.SkipWithError("the flood was not stopped");
            return;
        } catch (const EOutputLimit&) {
        }
        worstGap = std::max(worstGap, gaps.LongestMs());
        worstPeak = std::max(worstPeak, StatusBytes("VmHWM") - before);
    }
    State.counters["worst_gap_ms"] = worstGap;
    State.counters["peak_MB"] = static_cast<double>(worstPeak) / (1 << 20);
}
BENCHMARK(FloodToItsLimit)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
