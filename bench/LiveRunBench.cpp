// Live runs as the user feels them. From the end of the pause to the updated result and its
// state painted, against the interpreter's own run of the same script on the same data, started
// directly in the same iterations; and how long a keystroke on the data page waits before the
// editor takes it, with live runs off and with live runs going on under the typing.

#include "BenchWindow.h"
#include "PerlRun.h"

#include "app/MainActions.h"
#include "editor/control/EditorControl.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace kestrim;
using kestrim::bench::InterpreterSeconds;

namespace {

const char* const UpperCaseScript = "while (<STDIN>) { print uc; }\r\n";
const char* const Fresh = "自動実行: 最新";

void WaitUntilFresh(TfrmKestrim& Window)
{
    while (Window.StatusPanelText(3) != QString::fromUtf8(Fresh))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A pause of 1 ms, so that the time from a key to the painted result is the run's own.
void LiveResultAfterPause(benchmark::State& State)
{
    constexpr double PauseSeconds = 0.001;
    TBenchWindow bench("[Run]\nLive=1\nLiveExplained=1\nLivePauseMS=1\n");
    TfrmKestrim& window = *bench.Window;
    const std::string data = DataText(4096);
    bench.Write("data.txt", data);
    bench.Write("bench.pl", UpperCaseScript);
    window.tedScript->Lines().SetText(UpperCaseScript);
    window.tedData->Lines().SetText(data);
    window.ShowPage(TfrmKestrim::pgData);
    WaitUntilFresh(window);
    std::vector<double> ours, interpreter, overhead;
    int step = 0;
    for (auto _ : State) {
        const double alone = InterpreterSeconds(bench.Folder.path());
        // A character typed and taken back in turn, so that the data stays the same size.
        window.tedData->SetRowCol(0, 0);
        const auto start = Clock::now();
        QTest::keyClick(window.tedData, step++ % 2 ? Qt::Key_Delete : Qt::Key_X);
        WaitUntilFresh(window);
        window.repaint();
        const double live = Seconds(Clock::now() - start) - PauseSeconds;
        State.SetIterationTime(live);
        ours.push_back(live * 1000);
        interpreter.push_back(alone * 1000);
        overhead.push_back((live - alone) * 1000);
    }
    ReportTimes(State, ours);
    ReportTimes(State, interpreter, "perl_");
    ReportTimes(State, overhead, "overhead_");
}
BENCHMARK(LiveResultAfterPause)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

// Keys posted every 45 ms, as typing puts them in the queue; each one's wait is the time from
// its posting until the editor has changed. With live runs on, a pause of 20 ms and a script
// that works 30 ms without output keep a run going under most keys.
void KeyWaitWhileTyping(benchmark::State& State)
{
    const bool live = State.range(0) != 0;
    TBenchWindow bench(live ? "[Run]\nLive=1\nLiveExplained=1\nLivePauseMS=20\n" : "");
    TfrmKestrim& window = *bench.Window;
    window.tedScript->Lines().SetText("select undef, undef, undef, 0.03; print uc while <STDIN>;\r\n");
    window.tedData->Lines().SetText(DataText(4096));
    window.ShowPage(TfrmKestrim::pgData);
    window.tedData->SetRowCol(0, 0);
    std::vector<double> waits;
    for (auto _ : State) {
        const auto start = Clock::now();
        waits = KeyWaits(*window.tedData, 45, 200);
        State.SetIterationTime(Seconds(Clock::now() - start));
    }
    ReportTimes(State, waits);
    window.Actions().actLiveRun->setChecked(false);
}
BENCHMARK(KeyWaitWhileTyping)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
