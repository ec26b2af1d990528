// The run over all samples: 100 samples of 1 KB with perl, through the real window, against the
// same 100 perl runs started one after another without the window in the same iterations. The
// target: the series takes at most the interpreter's own times plus 20 ms a sample. Beside them,
// the same runs through the window's runner alone, and the runs' times as the rows give them, to
// tell the runner's share of the difference from the window's.

#include "BenchWindow.h"
#include "PerlRun.h"

#include "app/ConsoleCommand.h"
#include "app/MainActions.h"
#include "app/Samples.h"

#include <QAction>
#include <benchmark/benchmark.h>

using namespace kestrim;
using kestrim::bench::InterpreterSeconds;

namespace {

const char* const UpperCaseScript = "while (<STDIN>) { print uc; }\r\n";
constexpr int SampleCount = 100;

// Half of the samples expect what the script makes of them, the other half something else, so
// that both verdicts are measured.
std::vector<TSample> BenchSamples(const std::string& Data)
{
    std::string upper = Data;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    std::vector<TSample> samples;
    for (int i = 0; i < SampleCount; ++i)
        samples.push_back({"s" + std::to_string(i), {Data, TTextEncoding::ShiftJis},
                           TWorkbenchText{i % 2 ? upper : Data, TTextEncoding::ShiftJis}});
    return samples;
}

// The same runs through the window's runner alone (its process start and its polling).
double RunnerSeconds(const QString& Folder, const std::string& Data)
{
    TConsoleCommand command;
    command.SetCommandLine("\"perl\" -w -Mopen=:std,IN,:crlf \"" + QFile::encodeName(Folder).toStdString()
                           + "/bench.pl\"");
    const auto start = Clock::now();
    for (int i = 0; i < SampleCount; ++i) {
        TMemoryStream input(Data);
        command.Execute(input);
    }
    return Seconds(Clock::now() - start);
}

void RunAllSamples(benchmark::State& State)
{
    TBenchWindow bench("[Run]\nLiveTimeLimitMS=10000\n");
    TfrmKestrim& window = *bench.Window;
    const std::string data = DataText(1024);
    bench.Write("data.txt", data);
    bench.Write("bench.pl", UpperCaseScript);
    window.tedScript->Lines().SetText(UpperCaseScript);
    window.Samples().Reset(BenchSamples(data), 0);
    // Each sample's time, from one row's record to the next.
    std::vector<double> perSample, interpreter, series, baseline, runner, measured;
    Clock::time_point last;
    QObject::connect(&window.Samples(), &TSamples::TableChanged, [&] {
        const Clock::time_point now = Clock::now();
        perSample.push_back(Seconds(now - last) * 1000);
        last = now;
    });
    for (auto _ : State) {
        double alone = 0;
        for (int i = 0; i < SampleCount; ++i) {
            const double seconds = InterpreterSeconds(bench.Folder.path());
            interpreter.push_back(seconds * 1000);
            alone += seconds;
        }
        runner.push_back(RunnerSeconds(bench.Folder.path(), data) * 1000);
        perSample.clear();
        const auto start = last = Clock::now();
        window.Actions().actRunAllSamples->trigger();
        const double ours = Seconds(Clock::now() - start);
        State.SetIterationTime(ours);
        series.push_back(ours * 1000);
        double inRows = 0;
        for (int i = 0; i < SampleCount; ++i)
            inRows += window.Samples().LastRun(static_cast<std::size_t>(i))->Seconds;
        measured.push_back(inRows * 1000);
        baseline.push_back(alone * 1000);
        if (window.StatusPanelText(1) != QStringLiteral("100 件中 50 件一致、50 件不一致"))
            State.SkipWithError(("unexpected outcome: " + window.StatusPanelText(1)).toStdString().c_str());
    }
    ReportTimes(State, series, "series_");
    ReportTimes(State, baseline, "perl100_");
    ReportTimes(State, runner, "runner100_");
    // The runs' own times as the window measured them, summed over the series.
    ReportTimes(State, measured, "rows100_");
    ReportTimes(State, perSample, "sample_");
    ReportTimes(State, interpreter, "perl_");
    std::vector<double> overhead;
    for (std::size_t i = 0; i < series.size(); ++i)
        overhead.push_back((series[i] - baseline[i]) / SampleCount);
    ReportTimes(State, overhead, "overhead_per_sample_");
}
BENCHMARK(RunAllSamples)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
