// Comparing the lines of two texts: the keys of both texts and DiffLines on them, for 200,000
// lines (10 MB) and 2,000,000 lines (100 MB) of Shift-JIS script with Japanese comments and
// blank lines.
//
// Keys: the keys of both texts alone, the baseline of the rest.
// AllChanged: every line changed, as many lines (target: 10 MB within 200 ms for the window's
// whole path, so this far below; 100 MB well under 1 s). diff_ms is DiffLines alone.
// OnePercent: every hundredth line changed.
// Shuffled: the same lines in random order, the case the budget is for (well under 1 s);
// complete tells whether the answer is whole.
// Each is repeated; the aggregates give the median and the worst ("max") of the repetitions.
#include "editor/base/CodePage.h"
#include "editor/text/LineDiff.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

using TLines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// About 50 bytes a line: statements, Japanese comments, blank lines and closing braces.
TLines ScriptLines(int Count)
{
    const std::string comment = Utf8ToSjis("# 合計を求める、値は");
    std::mt19937 random(11);
    TLines lines;
    lines.reserve(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        switch (i % 8) {
        case 3: lines.emplace_back(); break;
        case 6: lines.emplace_back("}"); break;
        case 1: lines.push_back(comment + std::to_string(random() % 100000)); break;
        default:
            lines.push_back("    my $value" + std::to_string(i) + " = $total + " + std::to_string(random() % 1000000)
                            + ";  # step");
        }
    }
    return lines;
}

enum TChange { ccNone, ccAll, ccOnePercent, ccShuffled };

TLines Changed(const TLines& Old, TChange Change)
{
    TLines lines = Old;
    if (Change == ccShuffled) {
        std::mt19937 random(5);
        std::shuffle(lines.begin(), lines.end(), random);
        return lines;
    }
    const std::size_t step = Change == ccAll ? 1 : 100;
    for (std::size_t i = 0; i < lines.size(); i += step)
        lines[i] += "!";
    return lines;
}

std::vector<std::uint64_t> KeysOf(const TLines& Lines)
{
    std::vector<std::uint64_t> keys(Lines.size());
    for (std::size_t i = 0; i < Lines.size(); ++i)
        keys[i] = LineKey(Lines[i], TTextEncoding::ShiftJis);
    return keys;
}

double Seconds(Clock::duration Time) { return std::chrono::duration<double>(Time).count(); }

void Compare(benchmark::State& State, TChange Change)
{
    const TLines oldLines = ScriptLines(static_cast<int>(State.range(0)));
    const TLines newLines = Changed(oldLines, Change);
    const std::atomic<bool> cancel{false};
    double diffSeconds = 0;
    bool complete = true;
    for (auto _ : State) {
        const Clock::time_point start = Clock::now();
        const auto oldKeys = KeysOf(oldLines);
        const auto newKeys = KeysOf(newLines);
        const Clock::time_point keyed = Clock::now();
        if (Change != ccNone) {
            const auto diff = DiffLines(oldKeys, newKeys, cancel);
            benchmark::DoNotOptimize(diff->Hunks.size());
            complete = complete && diff->Complete;
        }
        const Clock::time_point end = Clock::now();
        State.SetIterationTime(Seconds(end - start));
        diffSeconds += Seconds(end - keyed);
    }
    State.counters["diff_ms"] = benchmark::Counter(diffSeconds * 1000, benchmark::Counter::kAvgIterations);
    State.counters["complete"] = complete;
}

double Worst(const std::vector<double>& Times) { return *std::max_element(Times.begin(), Times.end()); }

void Keys(benchmark::State& State) { Compare(State, ccNone); }
void AllChanged(benchmark::State& State) { Compare(State, ccAll); }
void OnePercent(benchmark::State& State) { Compare(State, ccOnePercent); }
void Shuffled(benchmark::State& State) { Compare(State, ccShuffled); }

#define DIFF_BENCH(Name)                                                                                            \
    BENCHMARK(Name)                                                                                                 \
        ->Arg(200'000)                                                                                              \
        ->Arg(2'000'000)                                                                                            \
        ->Iterations(1)                                                                                             \
        ->Repetitions(7)                                                                                            \
        ->ReportAggregatesOnly()                                                                                    \
        ->UseManualTime()                                                                                           \
        ->Unit(benchmark::kMillisecond)                                                                             \
        ->ComputeStatistics("max", Worst)

DIFF_BENCH(Keys);
DIFF_BENCH(AllChanged);
DIFF_BENCH(OnePercent);
DIFF_BENCH(Shuffled);

} // namespace
