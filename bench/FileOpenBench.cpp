// Opening large data files on the data page as the user feels it: from the Open command to the
// text painted, the longest time the window did not answer meanwhile (the gap between two
// events of a 10 ms timer) and the resident memory the text added, per byte of the file. The
// second way loads the same file on the window's thread with the editor's own loading call,
// which is how the command worked before it read files on a worker thread: the baseline,
// measured in the same run. The third way opens the file over itself, so that the old text is
// freed meanwhile. Files of 10 MB, 100 MB and 1 GB of Shift-JIS lines of about 50
// bytes are written to a temporary folder and deleted after.

#include "BenchWindow.h"

#include "app/MainActions.h"
#include "editor/control/EditorControl.h"
#include "support/ProcessMemory.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <malloc.h>

namespace kestrim {
namespace {

enum TOpenWay { ByCommand, OnTheWindowThread, ByCommandOverIt };

// The file of Megabytes, written once per size for all iterations and ways.
QString DataFile(const QTemporaryDir& Folder, std::size_t Megabytes)
{
    const QString name = Folder.filePath(QStringLiteral("data-%1.txt").arg(Megabytes));
    if (QFile::exists(name))
        return name;
    const std::size_t chunkSize = std::min<std::size_t>(Megabytes, 64) << 20;
    const std::string chunk = DataText(chunkSize);
    std::ofstream out(QFile::encodeName(name).toStdString(), std::ios::binary);
    for (std::size_t written = 0; written < (Megabytes << 20); written += chunk.size())
        out << chunk;
    return name;
}

void OpenLargeFile(benchmark::State& State)
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kestrim-open-bench-XXXXXX"));
    const auto megabytes = static_cast<std::size_t>(State.range(0));
    const auto way = static_cast<TOpenWay>(State.range(1));
    const QString file = DataFile(folder, megabytes);
    const auto fileSize = static_cast<double>(QFileInfo(file).size());
    std::vector<double> times;
    std::vector<double> waits;
    std::vector<double> memory;
    for (auto _ : State) {
        TBenchWindow bench;
        bench.Window->Actions().actViewData->trigger();
        TEditor& editor = *bench.Window->tedData;
        bench.Dialogs->File = file;
        if (way == ByCommandOverIt)
            bench.Window->Actions().actDataOpen->trigger();
        ::malloc_trim(0);
        const std::size_t before = test::StatusBytes("VmRSS");
        Clock::time_point start;
        waits.push_back(LongestEventGap([&] {
            start = Clock::now();
            if (way != OnTheWindowThread)
                bench.Window->Actions().actDataOpen->trigger();
            else
                editor.LoadTextFile(QFile::encodeName(file).toStdString(), std::nullopt, TTextEncoding::ShiftJis);
            bench.Paint(editor);
        }));
        times.push_back(Seconds(Clock::now() - start) * 1000);
        State.SetIterationTime(times.back() / 1000);
        memory.push_back(static_cast<double>(test::StatusBytes("VmRSS") - before) / fileSize);
        if (editor.Lines().Count() < static_cast<int>(fileSize / 60))
            throw std::runtime_error("the file was not opened");
    }
    ReportTimes(State, times, "open_");
    ReportTimes(State, waits, "wait_");
    State.counters["rss/file"] = *std::max_element(memory.begin(), memory.end());
    State.counters["MB"] = static_cast<double>(megabytes);
}
BENCHMARK(OpenLargeFile)
    ->ArgNames({"MB", "way"})
    ->Args({10, ByCommand})->Args({10, OnTheWindowThread})
    ->Args({100, ByCommand})->Args({100, OnTheWindowThread})
    ->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(OpenLargeFile)
    ->ArgNames({"MB", "way"})
    ->Args({1024, ByCommand})->Args({1024, OnTheWindowThread})->Args({1024, ByCommandOverIt})
    ->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrim
