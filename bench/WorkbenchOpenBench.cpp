// Opening a workbench whose samples hold 100 MB against opening the same 100 MB as a data file,
// each in a window of its own and both in every iteration, taking turns going first, so that
// both meet the same load of the machine: from the command to the data page painted.

#include "BenchWindow.h"

#include "app/MainActions.h"
#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/text/WorkbenchFile.h"

#include <QAction>

namespace kestrim {
namespace {

constexpr std::size_t BigSize = 100u << 20;

// Opens Name through Command's dialog and paints the data page; the seconds it took.
double OpenAndPaint(TBenchWindow& Bench, QAction* Command, const QString& Name)
{
    Bench.Dialogs->File = Name;
    Bench.Window->Actions().actViewData->trigger();
    const auto start = Clock::now();
    Command->trigger();
    Bench.Paint(*Bench.Window->tedData);
    return Seconds(Clock::now() - start);
}

// The samples: one of 100 MB (Arg 1), or a hundred of 1 MB (Arg 100), the first current.
TWorkbench BigWorkbench(const std::string& Data, std::size_t Count)
{
    TWorkbench workbench;
    workbench.Language = "Perl.ini";
    workbench.ScriptExtension = ".pl";
    const std::size_t piece = Data.size() / Count;
    for (std::size_t i = 0; i < Count; ++i)
        workbench.Samples.push_back(
            {"sample" + std::to_string(i + 1), {Data.substr(i * piece, piece), TTextEncoding::ShiftJis}, {}});
    return workbench;
}

void OpenWorkbench(benchmark::State& State)
{
    const auto count = static_cast<std::size_t>(State.range(0));
    static const std::string data = DataText(BigSize);
    const TWorkbench workbench = BigWorkbench(data, count);
    std::vector<double> workbenchTimes;
    std::vector<double> dataTimes;
    const auto openWorkbench = [&] {
        TBenchWindow bench;
        const QString name = bench.Folder.filePath("big.kestrim");
        WriteWorkbenchFile(QFile::encodeName(name).toStdString(), workbench);
        const double seconds = OpenAndPaint(bench, bench.Window->Actions().actWorkbenchOpen, name);
        if (bench.Window->tedData->Lines().Count() < 1'900'000 / static_cast<int>(count))
            throw std::runtime_error("the workbench was not opened");
        return seconds;
    };
    // Each file is written as the program saves it, since how a file was written decides how
    // fast it reads back from the page cache.
    const auto openData = [&] {
        TBenchWindow bench;
        const QString name = bench.Folder.filePath("data.txt");
        WriteFileBytes(QFile::encodeName(name).toStdString(), data);
        return OpenAndPaint(bench, bench.Window->Actions().actDataOpen, name);
    };
    // The two take turns going first: the first meets the memory the window before it freed.
    bool workbenchFirst = true;
    for (auto _ : State) {
        double workbenchSeconds = 0;
        double dataSeconds = 0;
        if (workbenchFirst) {
            workbenchSeconds = openWorkbench();
            dataSeconds = openData();
        } else {
            dataSeconds = openData();
            workbenchSeconds = openWorkbench();
        }
        workbenchFirst = !workbenchFirst;
        State.SetIterationTime(workbenchSeconds);
        workbenchTimes.push_back(workbenchSeconds * 1000);
        dataTimes.push_back(dataSeconds * 1000);
    }
    std::sort(workbenchTimes.begin(), workbenchTimes.end());
    std::sort(dataTimes.begin(), dataTimes.end());
    State.counters["median_ms"] = workbenchTimes[workbenchTimes.size() / 2];
    State.counters["worst_ms"] = workbenchTimes.back();
    State.counters["data_file_median_ms"] = dataTimes[dataTimes.size() / 2];
    State.counters["data_file_worst_ms"] = dataTimes.back();
    State.SetLabel(count == 1 ? "one sample of 100 MB; baseline: the same bytes as a data file"
                              : "100 samples of 1 MB; baseline: the same bytes as a data file");
}
BENCHMARK(OpenWorkbench)->Arg(1)->Arg(100)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrim
