// Change marks as the user feels them, through the window end to end. From switching them on to
// the marks on both pages and the result page painted with them, for Arg(0) MB of data against
// a result in which every line changed, with the longest wait of a 10 ms timer meanwhile and the
// comparison alone on the same texts (keys and DiffLines, one thread) as the baseline; the
// same for a new result, as a run's end brings it; and how long a keystroke in the script waits
// while live runs and marks follow the typing, against the same typing with the marks off in the
// same run.

#include "BenchWindow.h"

#include "app/MainActions.h"
#include "editor/control/EditorControl.h"
#include "editor/text/LineDiff.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

using namespace kestrim;

namespace {

// Every line of Text with Mark put before it.
std::string EveryLineChanged(const std::string& Text, char Mark = '#')
{
    std::string changed;
    changed.reserve(Text.size() + Text.size() / 40);
    bool lineStart = true;
    for (const char c : Text) {
        if (lineStart)
            changed += Mark;
        changed += c;
        lineStart = c == '\n';
    }
    return changed;
}

// The comparison alone, the baseline of the window's: the keys of both texts' lines, compared.
double CoreSeconds(const std::string& Old, const std::string& New)
{
    const auto start = Clock::now();
    const auto keys = [](const std::string& Text) {
        std::vector<std::uint64_t> keys;
        ForEachLine(Text, [&](std::size_t Begin, std::size_t End) {
            keys.push_back(LineKey(std::string_view(Text).substr(Begin, End - Begin), TTextEncoding::ShiftJis));
        });
        return keys;
    };
    const std::atomic<bool> cancel{false};
    benchmark::DoNotOptimize(DiffLines(keys(Old), keys(New), cancel));
    return Seconds(Clock::now() - start);
}

bool MarksShown(const TfrmKestrim& Window)
{
    return Window.tedResult->ChangeMarks() != nullptr && Window.tedData->ChangeMarks() != nullptr;
}

void MarksOfEveryLineChanged(benchmark::State& State)
{
    const std::size_t size = static_cast<std::size_t>(State.range(0)) << 20;
    TBenchWindow bench;
    TfrmKestrim& window = *bench.Window;
    const std::string data = DataText(size);
    const std::string result = EveryLineChanged(data);
    window.tedData->Lines().SetText(data);
    window.tedResult->Lines().SetText(result);
    window.ShowPage(TfrmKestrim::pgResult);
    QAction& marks = *window.Actions().actViewChanges;
    std::vector<double> times, gaps, core;
    for (auto _ : State) {
        core.push_back(CoreSeconds(data, result) * 1000);
        const auto start = Clock::now();
        const double gap = LongestEventGap([&] {
            marks.trigger();
            while (!MarksShown(window))
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            bench.Paint(*window.tedResult);
        });
        const double seconds = Seconds(Clock::now() - start);
        State.SetIterationTime(seconds);
        times.push_back(seconds * 1000);
        gaps.push_back(gap);
        marks.trigger();
    }
    State.counters["lines"] = window.tedResult->GetLineCount();
    ReportTimes(State, times);
    ReportTimes(State, core, "core_");
    ReportTimes(State, gaps, "timer_gap_");
}
BENCHMARK(MarksOfEveryLineChanged)->Arg(10)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(MarksOfEveryLineChanged)->Arg(100)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// A new result (as a run's end puts it on the result page) of Arg(0) MB, every line changed from
// the data, the marks of the last one shown: from the new text in place to its marks shown and
// painted, the pause after an edit being 1 ms. The data page's keys are read once, before.
void MarksOfANewResult(benchmark::State& State)
{
    const std::size_t size = static_cast<std::size_t>(State.range(0)) << 20;
    TBenchWindow bench("[Run]\nLivePauseMS=1\n[Form]\nChangeMarks=1\n");
    TfrmKestrim& window = *bench.Window;
    const std::string data = DataText(size);
    const std::string results[] = {EveryLineChanged(data, '#'), EveryLineChanged(data, '%')};
    window.tedData->Lines().SetText(data);
    window.ShowPage(TfrmKestrim::pgResult);
    std::vector<double> times;
    int step = 0;
    // The text is in place when the editor says it changed; freeing the old text comes after.
    Clock::time_point start;
    const QMetaObject::Connection changed =
        QObject::connect(window.tedResult, &TEditor::OnChange, [&] { start = Clock::now(); });
    for (auto _ : State) {
        while (!MarksShown(window))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const TChangeMarks* before = window.tedResult->ChangeMarks();
        window.tedResult->Lines().SetText(results[step++ % 2]);
        while (window.tedResult->ChangeMarks() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        bench.Paint(*window.tedResult);
        const double seconds = Seconds(Clock::now() - start);
        State.SetIterationTime(seconds);
        times.push_back(seconds * 1000);
    }
    QObject::disconnect(changed);
    ReportTimes(State, times);
}
BENCHMARK(MarksOfANewResult)->Arg(10)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(MarksOfANewResult)->Arg(100)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Keys posted every 100 ms to the end of the script's comment, as slow typing puts them in the
// queue; each one's wait is the time from its posting until the editor has changed. Live runs
// after a pause of 20 ms over 1 MB of data end between the keys, and with the marks on each end
// compares the pages again, so that keys arrive while the lines are read and compared. Arg(0):
// marks off, the baseline; Arg(1): marks on.
void KeyWaitInScriptWithMarks(benchmark::State& State)
{
    const bool marks = State.range(0) != 0;
    TBenchWindow bench(std::string("[Run]\nLive=1\nLiveExplained=1\nLivePauseMS=20\n[Form]\nChangeMarks=")
                       + (marks ? "1" : "0") + "\n");
    TfrmKestrim& window = *bench.Window;
    const std::string script = "while (<STDIN>) { s/a/b/ if $. % 3 == 0; print unless $. % 7 == 0 } # ";
    window.tedScript->Lines().SetText(script);
    window.tedData->Lines().SetText(DataText(1 << 20));
    window.ShowPage(TfrmKestrim::pgScript);
    window.tedScript->SetRowCol(0, static_cast<int>(script.size()));
    std::vector<double> waits;
    int marksShown = 0;
    for (auto _ : State) {
        const auto start = Clock::now();
        waits = KeyWaits(*window.tedScript, 100, 100, [&] { marksShown += MarksShown(window); });
        State.SetIterationTime(Seconds(Clock::now() - start));
    }
    // How many keys found marks on the pages: the marks did follow the typing.
    State.counters["keys_with_marks"] = marksShown;
    ReportTimes(State, waits);
    window.Actions().actLiveRun->setChecked(false);
}
BENCHMARK(KeyWaitInScriptWithMarks)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
