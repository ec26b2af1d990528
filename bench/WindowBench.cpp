// The window as the user feels it, end to end: F9 on large data (script written, perl run,
// result page filled and shown, message list filled; the second F9 replaces the first's result)
// against the same perl in a shell pipeline measured in the same iterations; opening a 100 MB file of 2,000,000 lines on the data page,
// painted, with its memory, and the same lines in UTF-8 against it; typing in the middle of it; Select All, copying it, a box copy and a
// box delete over all its rows. The longest gap between two timer events during a run tells
// whether the window kept answering.

#include "BenchWindow.h"

#include "app/Main.h"
#include "app/MainActions.h"
#include "app/ProgramDir.h"
#include "app/UserDialogs.h"
#include "editor/base/CodePage.h"
#include "editor/base/edUtils.h"
#include "editor/control/EditorControl.h"
#include "support/ProcessMemory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <sys/resource.h>
#include <memory>
#include <numeric>
#include <random>
#include <stdexcept>

using namespace kestrim;

namespace {

const char* const UpperCaseScript = "while (<STDIN>) { print uc; }\r\n";

// The same perl in a shell pipeline, with the options and the line ends Perl.ini gives it for
// data of each encoding; last, UTF-8 data for a perl that reads bytes, as fast as on Shift-JIS,
// so that Kestrim's own part weighs as much as there.
struct TRunEncodingCase {
    TTextEncoding Encoding;
    const char* Options;
    const char* Config; // a language file of the benchmark's own, or the shipped Perl.ini
};
const TRunEncodingCase RunEncodingCases[] = {
    {TTextEncoding::ShiftJis, "-w -Mopen=:std,IN,:crlf", nullptr},
    {TTextEncoding::Utf8, "-w -CSD -Mutf8", nullptr},
    {TTextEncoding::Utf8, "-w", "[Command]\nCaption=Perl\nCommand=perl\nScript=script.pl\n[UTF-8]\nOption=-w\nLineEnd=LF\n"},
};

// F9 on Arg(0) MB of Shift-JIS data (Arg(1) 0) or of the same text in UTF-8 (Arg(1) 1 and 2,
// some 4% more bytes), each iteration timed against the shell pipeline right before it: the
// ratio of every iteration, its median and its worst.
void RunWithData(benchmark::State& State)
{
    const std::size_t size = static_cast<std::size_t>(State.range(0)) << 20;
    const TRunEncodingCase& run = RunEncodingCases[State.range(1)];
    const bool utf8 = run.Encoding == TTextEncoding::Utf8;
    TBenchWindow bench;
    TfrmKestrim& window = *bench.Window;
    const std::string data = utf8 ? SjisToUtf8(DataText(size)) : DataText(size);
    const QString dataFile = bench.Write("data.txt", utf8 ? LfLineBreaks(data) : data);
    bench.Write("script.pl", UpperCaseScript);
    if (run.Config)
        window.LoadConfig(bench.Write("conf/PerlBytes.ini", run.Config));
    window.tedScript->SetEncodedText(UpperCaseScript, run.Encoding);
    window.tedData->SetEncodedText(data, run.Encoding);
    const std::string shell = "cd '" + bench.Folder.path().toStdString() + "' && perl " + run.Options
                              + " script.pl < data.txt | cat > out.txt";
    double shellTotal = 0;
    double oursTotal = 0;
    double worstGap = 0;
    std::vector<double> ratios;
    std::vector<double> times;
    for (auto _ : State) {
        const auto shellStart = Clock::now();
        if (std::system(shell.c_str()) != 0)
            throw std::runtime_error("the shell pipeline failed");
        const double shellTime = Seconds(Clock::now() - shellStart);

        const auto start = Clock::now();
        const double gap = LongestEventGap([&] {
            window.Actions().actRun->trigger();
            bench.Paint(*window.tedResult);
        });
        const double ours = Seconds(Clock::now() - start);
        if (window.tedResult->Lines().Count() < 1000 || window.tedResult->Encoding() != run.Encoding)
            throw std::runtime_error("no result");
        State.SetIterationTime(ours);
        shellTotal += shellTime;
        oursTotal += ours;
        ratios.push_back(ours / shellTime);
        times.push_back(ours * 1000);
        worstGap = std::max(worstGap, gap);
    }
    std::sort(ratios.begin(), ratios.end());
    const double shellAverage = shellTotal / static_cast<double>(State.iterations());
    State.counters["shell_s"] = shellAverage;
    State.counters["ratio"] = oursTotal / shellTotal;
    State.counters["ratio_median"] = ratios[ratios.size() / 2];
    State.counters["ratio_worst"] = ratios.back();
    ReportTimes(State, times);
    State.counters["target_s"] = 2 * shellAverage + (size > (50u << 20) ? 1.0 : 0.5);
    State.counters["worst_gap_ms"] = worstGap;
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * data.size()));
    State.SetLabel(std::string(EncodingName(run.Encoding)) + " perl " + run.Options);
}
BENCHMARK(RunWithData)->ArgsProduct({{10, 100}, {0, 1, 2}})->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Processor time of this program (RUSAGE_SELF: all its threads) or of its ended children, in ms.
double ProcessorMs(int Who)
{
    rusage usage{};
    ::getrusage(Who, &usage);
    const auto ms = [](const timeval& Time) { return static_cast<double>(Time.tv_sec) * 1000 + Time.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// F9 with an identity script over Arg(0) MB of Shift-JIS data, each iteration timed against
// `perl -pe1` with the same options in a shell pipeline right before it; the longest the
// window waited for a timer event during F9; the resident memory after F9 (result shown) over
// the memory before the data was put on the data page, per byte of data; the processor time of
// the window's process and of perl during F9, which tell on a busy machine whose work the time is.
void RunIdentity(benchmark::State& State)
{
    const std::size_t size = static_cast<std::size_t>(State.range(0)) << 20;
    const char* const options = "-w -Mopen=:std,IN,:crlf";
    const char* const script = "print while <STDIN>;\r\n";
    // Room for the whole result: the default output limit is below 500 MB.
    TBenchWindow bench("[Run]\nOutputLimitMB=2048\n");
    TfrmKestrim& window = *bench.Window;
    window.tedScript->SetEncodedText(script, TTextEncoding::ShiftJis);
    ::malloc_trim(0);
    const std::size_t start = test::StatusBytes("VmRSS");
    {
        const std::string data = DataText(size);
        bench.Write("data.txt", data);
        window.tedData->SetEncodedText(data, TTextEncoding::ShiftJis);
    }
    const std::string shell = "cd '" + bench.Folder.path().toStdString() + "' && perl " + options
                              + " -pe1 < data.txt > out.txt";
    std::vector<double> ratios;
    std::vector<double> times;
    std::vector<double> shellTimes;
    std::vector<double> ownTimes;
    std::vector<double> perlTimes;
    double worstGap = 0;
    double memory = 0;
    for (auto _ : State) {
        const auto shellStart = Clock::now();
        if (std::system(shell.c_str()) != 0)
            throw std::runtime_error("the shell pipeline failed");
        const double shellTime = Seconds(Clock::now() - shellStart);
        // The pipeline's output reaches the disk before F9: writing it back during F9 would
        // hold up any write of the window, the script's too, for the pipeline's sake.
        ::sync();
        const double ownBefore = ProcessorMs(RUSAGE_SELF);
        const double perlBefore = ProcessorMs(RUSAGE_CHILDREN);
        const auto runStart = Clock::now();
        const double gap = LongestEventGap([&] {
            window.Actions().actRun->trigger();
            bench.Paint(*window.tedResult);
        });
        const double ours = Seconds(Clock::now() - runStart);
        ownTimes.push_back(ProcessorMs(RUSAGE_SELF) - ownBefore);
        perlTimes.push_back(ProcessorMs(RUSAGE_CHILDREN) - perlBefore);
        if (window.tedResult->Lines().Count() != window.tedData->Lines().Count())
            throw std::runtime_error("the result is not the data");
        State.SetIterationTime(ours);
        ratios.push_back(ours / shellTime);
        times.push_back(ours * 1000);
        shellTimes.push_back(shellTime * 1000);
        worstGap = std::max(worstGap, gap);
        ::malloc_trim(0);
        memory = std::max(memory, static_cast<double>(test::StatusBytes("VmRSS") - start) / static_cast<double>(size));
    }
    std::sort(ratios.begin(), ratios.end());
    State.counters["ratio_median"] = ratios[ratios.size() / 2];
    State.counters["ratio_worst"] = ratios.back();
    ReportTimes(State, times);
    ReportTimes(State, shellTimes, "shell_");
    ReportTimes(State, ownTimes, "own_cpu_");
    ReportTimes(State, perlTimes, "perl_cpu_");
    State.counters["worst_gap_ms"] = worstGap;
    State.counters["rss_growth/data"] = memory;
    std::filesystem::remove(bench.Folder.filePath("data.txt").toStdString());
    std::filesystem::remove(bench.Folder.filePath("out.txt").toStdString());
}
BENCHMARK(RunIdentity)->Arg(100)->Arg(500)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

constexpr std::size_t BigSize = 100u << 20;

// The 100 MB file, opened through the data page's Open command and painted.
struct TOpenedData {
    explicit TOpenedData(const std::string& Text = DataText(BigSize))
    {
        File = Bench.Write("big.txt", Text);
        Bench.Dialogs->File = File;
        ShowDataPage();
        ::malloc_trim(0);
        const std::size_t before = test::StatusBytes("VmRSS");
        const auto start = Clock::now();
        Bench.Window->Actions().actDataOpen->trigger();
        Bench.Paint(Editor());
        OpenSeconds = Seconds(Clock::now() - start);
        MemoryPerFile = static_cast<double>(test::StatusBytes("VmRSS") - before) / static_cast<double>(BigSize);
    }
    void ShowDataPage() { Bench.Window->Actions().actViewData->trigger(); }
    TEditor& Editor() { return *Bench.Window->tedData; }

    TBenchWindow Bench;
    QString File;
    double OpenSeconds = 0;
    double MemoryPerFile = 0;
};

void OpenDataFile(benchmark::State& State)
{
    double worst = 0;
    double memory = 0;
    for (auto _ : State) {
        TOpenedData opened;
        State.SetIterationTime(opened.OpenSeconds);
        worst = std::max(worst, opened.OpenSeconds);
        memory = std::max(memory, opened.MemoryPerFile);
        if (opened.Editor().Lines().Count() < 1'900'000)
            throw std::runtime_error("the file was not opened");
    }
    State.counters["worst_ms"] = worst * 1000;
    State.counters["rss/file"] = memory;
}
BENCHMARK(OpenDataFile)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same 2,000,000 lines in UTF-8 (their kana three bytes each instead of two) and in
// Shift-JIS, opened in turn in each iteration so that both meet the same load of the machine:
// the UTF-8 times, with the Shift-JIS ones as their baseline.
void OpenUtf8DataFile(benchmark::State& State)
{
    static const std::string sjis = DataText(BigSize);
    static const std::string utf8 = SjisToUtf8(sjis);
    std::vector<double> sjisTimes;
    std::vector<double> utf8Times;
    for (auto _ : State) {
        for (const TTextEncoding encoding : {TTextEncoding::ShiftJis, TTextEncoding::Utf8}) {
            const bool inUtf8 = encoding == TTextEncoding::Utf8;
            TOpenedData opened(inUtf8 ? utf8 : sjis);
            if (opened.Editor().Encoding() != encoding || opened.Editor().Lines().Count() < 1'900'000)
                throw std::runtime_error("the file was not opened in its encoding");
            (inUtf8 ? utf8Times : sjisTimes).push_back(opened.OpenSeconds * 1000);
        }
        State.SetIterationTime(utf8Times.back() / 1000);
    }
    ReportTimes(State, utf8Times, "utf8_");
    ReportTimes(State, sjisTimes, "sjis_");
    std::sort(utf8Times.begin(), utf8Times.end());
    std::sort(sjisTimes.begin(), sjisTimes.end());
    State.counters["ratio"] = utf8Times[utf8Times.size() / 2] / sjisTimes[sjisTimes.size() / 2];
    State.counters["utf8_MB"] = static_cast<double>(utf8.size()) / (1 << 20);
}
BENCHMARK(OpenUtf8DataFile)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

TOpenedData& Opened()
{
    static TOpenedData* opened = new TOpenedData;
    return *opened;
}

// Milliseconds of each call of Step, with the median, the 99th percentile and the worst.
template <typename Step>
void Measure(benchmark::State& State, int Count, Step&& step)
{
    std::vector<double> times;
    for (auto _ : State) {
        times.clear();
        for (int i = 0; i < Count; ++i) {
            const auto start = Clock::now();
            step(i);
            times.push_back(Seconds(Clock::now() - start) * 1000);
        }
        State.SetIterationTime(std::accumulate(times.begin(), times.end(), 0.0) / 1000);
    }
    ReportTimes(State, times);
}

// Each keystroke goes through the window's key handling, and what it changed is painted
// before the next. Keystrokes that move the view (typing past the right edge jumps a quarter
// of a screen sideways; Return on the last visible row scrolls a row) are also reported apart
// as "moved_", since the toolkit then moves most of the view's pixels.
void TypeKeys(benchmark::State& State, Qt::Key Key)
{
    TEditor& editor = Opened().Editor();
    editor.setFocus();
    editor.SetRowCol(editor.Lines().Count() / 2, 10);
    std::vector<double> still;
    std::vector<double> moved;
    Measure(State, 1000, [&](int) {
        const int topRow = editor.TopRow();
        const int topCol = editor.TopCol();
        const auto start = Clock::now();
        QTest::keyClick(&editor, Key);
        TBenchWindow::PaintChanges();
        const double ms = Seconds(Clock::now() - start) * 1000;
        (editor.TopRow() == topRow && editor.TopCol() == topCol ? still : moved).push_back(ms);
    });
    ReportTimes(State, still, "still_");
    ReportTimes(State, moved, "moved_");
    State.counters["moved"] = static_cast<double>(moved.size());
}

void TypeInTheMiddle(benchmark::State& State)
{
    TypeKeys(State, Qt::Key_X);
}
BENCHMARK(TypeInTheMiddle)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Return adds a row: the first one far from the last edit moves the rows between once.
void ReturnInTheMiddle(benchmark::State& State)
{
    TypeKeys(State, Qt::Key_Return);
}
BENCHMARK(ReturnInTheMiddle)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The first edit after a fresh load, far down the text.
void FirstEditAfterLoad(benchmark::State& State)
{
    double worst = 0;
    for (auto _ : State) {
        TOpenedData opened;
        TEditor& editor = opened.Editor();
        editor.setFocus();
        editor.SetRowCol(1'500'000, 5);
        const auto start = Clock::now();
        QTest::keyClick(&editor, Qt::Key_X);
        editor.viewport()->repaint();
        const double seconds = Seconds(Clock::now() - start);
        State.SetIterationTime(seconds);
        worst = std::max(worst, seconds);
    }
    State.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(FirstEditAfterLoad)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void SelectAllAndCopy(benchmark::State& State)
{
    TEditor& editor = Opened().Editor();
    double selectTotal = 0;
    double copyTotal = 0;
    for (auto _ : State) {
        editor.SetSelLength(0);
        auto start = Clock::now();
        editor.SelectAll();
        editor.viewport()->repaint();
        const double select = Seconds(Clock::now() - start);
        start = Clock::now();
        editor.CopyToClipboard();
        const double copy = Seconds(Clock::now() - start);
        State.SetIterationTime(select + copy);
        selectTotal += select;
        copyTotal += copy;
    }
    const double iterations = static_cast<double>(State.iterations());
    State.counters["select_ms"] = selectTotal / iterations * 1000;
    State.counters["copy_ms"] = copyTotal / iterations * 1000;
    QApplication::clipboard()->clear();
}
BENCHMARK(SelectAllAndCopy)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// A box of columns 5 to 15 over every row: copied, then deleted (and the delete undone).
void BoxOverAllRows(benchmark::State& State)
{
    TEditor& editor = Opened().Editor();
    double copyTotal = 0;
    double deleteTotal = 0;
    for (auto _ : State) {
        editor.SetSelLength(0);
        editor.SetSelectionMode(smBox);
        editor.SetRowCol(0, 5);
        editor.InitSelection();
        editor.SetRowCol(editor.Lines().Count() - 1, 15);
        editor.SelectionToCaret();
        auto start = Clock::now();
        editor.CopyToClipboard();
        const double copy = Seconds(Clock::now() - start);
        start = Clock::now();
        editor.ClearSelection();
        editor.viewport()->repaint();
        const double cleared = Seconds(Clock::now() - start);
        State.SetIterationTime(copy + cleared);
        copyTotal += copy;
        deleteTotal += cleared;
        editor.Undo();
        editor.SetSelectionMode(smStream);
    }
    const double iterations = static_cast<double>(State.iterations());
    State.counters["copy_ms"] = copyTotal / iterations * 1000;
    State.counters["delete_ms"] = deleteTotal / iterations * 1000;
    QApplication::clipboard()->clear();
}
BENCHMARK(BoxOverAllRows)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
