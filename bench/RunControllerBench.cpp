// A run of an endless writer (`print "x" x 1000, "\n" while 1`) against the default output
// limits, through the run controller with real editors: the peak memory of the program over the
// whole run, the longest the window waited for its events during it, and the time from the stop
// at the limit to the window being idle again (result page and message list filled). The
// baseline is the result editor taking the same text by itself. Last, the message list taking
// millions of lines, of which it shows a fixed number.
#include "app/ConsoleCommand.h"
#include "app/MessageList.h"
#include "app/ProgramDir.h"
#include "app/RunController.h"
#include "editor/base/FileIO.h"
#include "editor/control/EditorControl.h"
#include "settings/UConfigFile.h"
#include "settings/UKestrimReg.h"
#include "support/ProcessMemory.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kestrim;
using namespace kestrim::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t MegaByte = std::size_t{1} << 20;

class THost : public TRunHost {
public:
    explicit THost(const std::string& ConfigFile) : FConfig(ConfigFile) {}
    const TConfigFile* Config() const override { return &FConfig; }
    void SetRunning(bool) override {}
    void ShowResultPage() override {}
    void ShowScriptPage() override {}
    void ShowRunOutcome(const QString&) override {}
    TOutputLimits OutputLimits() const override
    {
        return {TKestrimReg::DefaultOutputLimitMB * MegaByte, TKestrimReg::DefaultErrorLimitMB * MegaByte};
    }
    QString OutputLimitSetting(TOutputChannel) const override { return {}; }

private:
    TConfigFile FConfig;
};

struct TRunBench {
    TRunBench()
    {
        OverrideProgramDir(Folder.path());
        const std::string config = Folder.filePath("bench.ini").toStdString();
        WriteFileBytes(config, "[Command]\r\nCommand=perl\r\nScript=script.pl\r\n");
        Host = std::make_unique<THost>(config);
        Controller = std::make_unique<TRunController>(Runner, Script, Data, Result, Messages, *Host);
        Runner.ProcessMessages = [this] {
            QCoreApplication::processEvents();
            const auto now = Clock::now();
            LongestGap = std::max(LongestGap, now - LastPass);
            LastPass = now;
        };
    }
    ~TRunBench() { OverrideProgramDir({}); }

    QTemporaryDir Folder;
    TConsoleCommand Runner;
    TEditor Script;
    TEditor Data;
    TEditor Result;
    TMessageList Messages;
    std::unique_ptr<THost> Host;
    std::unique_ptr<TRunController> Controller;
    Clock::time_point LastPass;
    Clock::duration LongestGap{};
};

void Report(benchmark::State& State, std::size_t WorstPeak)
{
    State.counters["peak_MB"] = static_cast<double>(WorstPeak) / MegaByte;
}

double Worst(const std::vector<double>& Times)
{
    return *std::max_element(Times.begin(), Times.end());
}

void FloodToTheDefaultLimit(benchmark::State& State)
{
    TRunBench bench;
    bench.Script.Lines().SetText("print \"x\" x 1000, \"\\n\" while 1;");
    std::size_t worstPeak = 0;
    double worstTime = 0;
    for (auto _ : State) {
        bench.Result.Lines().Clear();
        ResetPeakMemory();
        const std::size_t before = StatusBytes("VmRSS");
        bench.LastPass = Clock::now();
        try {
            bench.Controller->actRunExecute();
            State.SkipWithError("the flood was not stopped");
            return;
        } catch (const Exception&) {
        }
        const double stopToIdle = std::chrono::duration<double>(Clock::now() - bench.LastPass).count();
        State.SetIterationTime(stopToIdle);
        worstTime = std::max(worstTime, stopToIdle);
        worstPeak = std::max(worstPeak, StatusBytes("VmHWM") - before);
        if (bench.Result.Lines().Count() < 1000) {
            State.SkipWithError("the output was not kept");
            return;
        }
    }
    Report(State, worstPeak);
    State.counters["worst_ms"] = worstTime * 1000;
    State.counters["worst_wait_ms"] = std::chrono::duration<double, std::milli>(bench.LongestGap).count();
    State.counters["resident_after_MB"] = static_cast<double>(StatusBytes("VmRSS")) / MegaByte;
}
BENCHMARK(FloodToTheDefaultLimit)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);

// An identity script over 100 MB of lines through the controller with real editors (data fed
// from the data page's rows, output streamed onto the result page), each iteration timed
// against `perl -pe1` in a shell pipeline over the same bytes right before it.
void IdentityOverData(benchmark::State& State)
{
    TRunBench bench;
    std::string data;
    for (int i = 0; data.size() < 100 * MegaByte; ++i)
        data += "line " + std::to_string(i) + " of the data, some fifty bytes long\r\n";
    const std::string file = bench.Folder.filePath("data.txt").toStdString();
    WriteFileBytes(file, data);
    bench.Data.Lines().SetText(data);
    data = std::string();
    bench.Script.Lines().SetText("print while <STDIN>;");
    const std::string shell = "perl -pe1 < '" + file + "' > '" + file + ".out'";
    std::vector<double> ratios;
    for (auto _ : State) {
        const auto shellStart = Clock::now();
        if (std::system(shell.c_str()) != 0)
            throw std::runtime_error("the shell pipeline failed");
        const double shellTime = std::chrono::duration<double>(Clock::now() - shellStart).count();
        bench.LongestGap = {};
        bench.LastPass = Clock::now();
        const auto start = Clock::now();
        bench.Controller->actRunExecute();
        const double ours = std::chrono::duration<double>(Clock::now() - start).count();
        State.SetIterationTime(ours);
        ratios.push_back(ours / shellTime);
        if (bench.Result.Lines().Count() != bench.Data.Lines().Count())
            throw std::runtime_error("the result is not the data");
    }
    std::sort(ratios.begin(), ratios.end());
    State.counters["ratio_median"] = ratios[ratios.size() / 2];
    State.counters["ratio_worst"] = ratios.back();
    State.counters["worst_wait_ms"] = std::chrono::duration<double, std::milli>(bench.LongestGap).count();
}
BENCHMARK(IdentityOverData)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The baseline: the result editor takes the same 256 MB of lines by itself.
void ResultEditorTakesTheSameText(benchmark::State& State)
{
    TEditor result;
    std::size_t worstPeak = 0;
    for (auto _ : State) {
        result.Lines().Clear();
        std::string text;
        text.reserve(TKestrimReg::DefaultOutputLimitMB * MegaByte);
        while (text.size() + 1001 <= TKestrimReg::DefaultOutputLimitMB * MegaByte)
            text.append(1000, 'x').append(1, '\n');
        ResetPeakMemory();
        const std::size_t before = StatusBytes("VmRSS");
        const auto start = Clock::now();
        result.Lines().SetText(text);
        State.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        worstPeak = std::max(worstPeak, StatusBytes("VmHWM") - before);
    }
    Report(State, worstPeak);
}
BENCHMARK(ResultEditorTakesTheSameText)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);

// Two million error lines: the list shows its fixed number and a notice of the rest.
void MessageListOfMillionsOfLines(benchmark::State& State)
{
    std::string text;
    for (int i = 1; i <= 2'000'000; ++i)
        text += "w" + std::to_string(i) + "\n";
    TMessageList list;
    list.resize(400, 100);
    list.show();
    for (auto _ : State) {
        TMemoryStream stream(text);
        const auto start = Clock::now();
        list.LoadFromStream(stream);
        QCoreApplication::processEvents();
        State.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * text.size()));
}
BENCHMARK(MessageListOfMillionsOfLines)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);

} // namespace
