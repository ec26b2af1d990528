// The window on input that is hard on it, end to end:
//  - F9 with an interpreter that writes one line of 200 MB (ASCII or two-byte Shift-JIS text,
//    with and without a final line break), against the same perl writing to a file from a shell
//    in the same iteration; the longest the window waited, the memory it took, and then the
//    result page in use: the caret to the end of the line, paging, painting, typing, word wrap;
//  - F9 with output that stops for a while and resumes: the window's CPU time during the pause
//    against the idle window's over as long, the status bar during the pause;
//  - saving the data page (100 MB, 1 GB) against cp, and against a copy flushed to the disk as the
//    save flushes it, in the same iteration: the longest wait, the progress shown, the memory.

#include "BenchWindow.h"

#include "app/Main.h"
#include "app/MainActions.h"
#include "editor/control/EditorControl.h"
#include "support/ProcessMemory.h"

#include <QAction>
#include <QProgressDialog>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <malloc.h>
#include <set>

using namespace kestrim;

namespace {

constexpr std::size_t MegaByte = std::size_t{1} << 20;

double CpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double MegaBytes(std::size_t Bytes)
{
    return static_cast<double>(Bytes) / static_cast<double>(MegaByte);
}

void RunShell(const std::string& Command)
{
    if (std::system(Command.c_str()) != 0)
        throw std::runtime_error("failed: " + Command);
}

// The window with the shipped Perl configuration and Script on its script page, also written to
// the folder for the shell.
struct TScriptWindow {
    explicit TScriptWindow(const std::string& Script) : Bench("[Run]\nOutputLimitMB=2048\n")
    {
        Bench.Write("script.pl", Script);
        Bench.Window->tedScript->SetEncodedText(Script, TTextEncoding::ShiftJis);
    }
    std::string Shell(const std::string& Tail) const
    {
        return "cd '" + Bench.Folder.path().toStdString() + "' && " + Tail;
    }
    TfrmKestrim& Window() { return *Bench.Window; }
    TEditor& Result() { return *Bench.Window->tedResult; }
    QAction& WordWrap()
    {
        for (QAction* action : Bench.Window->findChildren<QAction*>())
            if (action->text() == QStringLiteral("折り返し(&O)"))
                return *action;
        throw std::runtime_error("no word wrap command");
    }

    TBenchWindow Bench;
};

// Milliseconds of Work, painting what it changed as the event loop would.
template <typename Work>
double Millis(Work&& work)
{
    const auto start = Clock::now();
    work();
    TBenchWindow::PaintChanges();
    return Seconds(Clock::now() - start) * 1000;
}

// Arg(0): 0 for ASCII, 1 for two-byte Shift-JIS characters; Arg(1): 1 for a final line break.
void LongLine(benchmark::State& State)
{
    const bool sjis = State.range(0) == 1;
    const bool lineBreak = State.range(1) == 1;
    const std::size_t size = 200 * MegaByte;
    const std::string script = std::string("print ") + (sjis ? "\"\\x82\\xa0\" x (100 << 20)" : "\"x\" x (200 << 20)")
                               + (lineBreak ? ", \"\\n\"" : "") + ";\r\n";
    TScriptWindow bench(script);
    TEditor& result = bench.Result();
    const std::string shell = bench.Shell("perl -w -Mopen=:std,IN,:crlf script.pl < /dev/null > out.txt");
    std::vector<double> ratios, times, shellTimes, gaps, growth, peaks;
    std::vector<double> toEnd, paging, typing, wrapOn, wrapOff, wrapGaps, wrappedEnd, wrappedPaging, wrappedTyping;
    for (auto _ : State) {
        const auto shellStart = Clock::now();
        RunShell(shell);
        const double shellTime = Seconds(Clock::now() - shellStart);
        result.SetEncodedText({}, TTextEncoding::ShiftJis);
        ::malloc_trim(0);
        const std::size_t before = test::StatusBytes("VmRSS");
        test::ResetPeakMemory();
        const auto start = Clock::now();
        gaps.push_back(LongestEventGap([&] {
            bench.Window().Actions().actRun->trigger();
            bench.Bench.Paint(result);
        }));
        const double ours = Seconds(Clock::now() - start);
        peaks.push_back(static_cast<double>(test::StatusBytes("VmHWM") - before) / static_cast<double>(size));
        ::malloc_trim(0);
        growth.push_back(static_cast<double>(test::StatusBytes("VmRSS") - before) / static_cast<double>(size));
        if (result.Lines().Count() != 1 || result.Lines().Get(0).size() != size || result.ReadOnly())
            throw std::runtime_error("the line is not on a writable result page");
        State.SetIterationTime(ours);
        ratios.push_back(ours / shellTime);
        times.push_back(ours * 1000);
        shellTimes.push_back(shellTime * 1000);

        result.setFocus();
        result.SetRowCol(0, 0);
        toEnd.push_back(Millis([&] { QTest::keyClick(&result, Qt::Key_End); }));
        if (result.Col() == 0)
            throw std::runtime_error("the caret did not move");
        paging.push_back(Millis([&] { QTest::keyClick(&result, Qt::Key_PageUp); }));
        paging.push_back(Millis([&] { QTest::keyClick(&result, Qt::Key_PageDown); }));
        typing.push_back(Millis([&] {
            result.SetRowCol(0, 0);
            QTest::keyClick(&result, Qt::Key_End);
            QTest::keyClick(&result, Qt::Key_Y);
        }));
        if (result.Lines().Get(0).back() != 'y')
            throw std::runtime_error("the typed key is not at the end");
        QAction& wrap = bench.WordWrap();
        double on = 0;
        wrapGaps.push_back(LongestEventGap([&] { on = Millis([&] { wrap.trigger(); }); }));
        wrapOn.push_back(on);
        result.SetRowCol(0, 0);
        wrappedEnd.push_back(Millis([&] { QTest::keyClick(&result, Qt::Key_End, Qt::ControlModifier); }));
        wrappedPaging.push_back(Millis([&] { QTest::keyClick(&result, Qt::Key_PageUp); }));
        wrappedTyping.push_back(Millis([&] {
            QTest::keyClick(&result, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(&result, Qt::Key_Z);
        }));
        double off = 0;
        wrapGaps.push_back(LongestEventGap([&] { off = Millis([&] { wrap.trigger(); }); }));
        wrapOff.push_back(off);
        if (result.Lines().Get(result.Lines().Count() - 1).back() != 'z')
            throw std::runtime_error("typing with word wrap was lost");
    }
    ReportTimes(State, times);
    ReportTimes(State, shellTimes, "shell_");
    ReportTimes(State, ratios, "ratio_");
    ReportTimes(State, gaps, "gap_");
    ReportTimes(State, growth, "rss/line_");
    ReportTimes(State, peaks, "peak/line_");
    ReportTimes(State, toEnd, "end_");
    ReportTimes(State, paging, "page_");
    ReportTimes(State, typing, "type_");
    ReportTimes(State, wrappedEnd, "wrapped_end_");
    ReportTimes(State, wrappedPaging, "wrapped_page_");
    ReportTimes(State, wrappedTyping, "wrapped_type_");
    ReportTimes(State, wrapOn, "wrap_on_");
    ReportTimes(State, wrapOff, "wrap_off_");
    ReportTimes(State, wrapGaps, "wrap_gap_");
    State.SetLabel(std::string(sjis ? "Shift-JIS" : "ASCII") + (lineBreak ? ", line break" : ", no line break"));
}
BENCHMARK(LongLine)->ArgsProduct({{0, 1}, {0, 1}})->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Arg(0): the pause in seconds. The window's CPU time during the middle of the pause, per
// second, against the window left idle as long in the same iteration; the status bar's texts.
void PausedOutput(benchmark::State& State)
{
    const int pause = static_cast<int>(State.range(0));
    TScriptWindow bench("$| = 1; print \"a\\n\"; sleep " + std::to_string(pause) + "; print \"b\\n\";\r\n");
    std::vector<double> busy, idle, gaps;
    std::set<QString> texts;
    for (auto _ : State) {
        // The idle window: events served as the run's loop would, for as long as the pause.
        double idleStart = 0;
        QTimer::singleShot(500, [&] { idleStart = CpuSeconds(); });
        QEventLoop wait;
        QTimer::singleShot(pause * 1000 - 500, [&] {
            idle.push_back((CpuSeconds() - idleStart) / (pause - 1) * 1000);
            wait.quit();
        });
        wait.exec();

        double pauseStart = 0;
        QTimer::singleShot(500, [&] { pauseStart = CpuSeconds(); });
        QTimer::singleShot(pause * 1000 - 500, [&] {
            busy.push_back((CpuSeconds() - pauseStart) / (pause - 1) * 1000);
            texts.insert(bench.Window().StatusPanelText(1));
        });
        QTimer sample;
        sample.callOnTimeout([&] { texts.insert(bench.Window().StatusPanelText(1)); });
        sample.start(300);
        const auto start = Clock::now();
        gaps.push_back(LongestEventGap([&] { bench.Window().Actions().actRun->trigger(); }));
        State.SetIterationTime(Seconds(Clock::now() - start));
        if (bench.Result().Lines().Text() != "a\r\nb\r\n")
            throw std::runtime_error("not both lines arrived");
    }
    ReportTimes(State, busy, "run_cpu_ms/s_");
    ReportTimes(State, idle, "idle_cpu_ms/s_");
    ReportTimes(State, gaps, "gap_");
    State.counters["status_texts"] = static_cast<double>(texts.size());
    for (const QString& text : texts)
        std::fprintf(stderr, "status: %s\n", text.toUtf8().constData());
}
BENCHMARK(PausedOutput)->Arg(2)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Arg(0) MB of data saved from the data page through its Save command.
void SaveData(benchmark::State& State)
{
    const std::size_t size = static_cast<std::size_t>(State.range(0)) * MegaByte;
    TBenchWindow bench;
    TfrmKestrim& window = *bench.Window;
    std::size_t bytes = 0;
    {
        const std::string data = DataText(size);
        bytes = data.size();
        bench.Write("data.txt", data);
        window.tedData->SetEncodedText(data, TTextEncoding::ShiftJis);
    }
    window.Actions().actViewData->trigger();
    bench.Dialogs->File = bench.Folder.filePath("saved.txt");
    const std::string folder = "cd '" + bench.Folder.path().toStdString() + "' && ";
    std::vector<double> times, copies, flushed, gaps, peaks;
    std::set<QString> texts;
    bool barShown = false;
    for (auto _ : State) {
        auto start = Clock::now();
        RunShell(folder + "cp data.txt copy.txt");
        copies.push_back(Seconds(Clock::now() - start) * 1000);
        std::filesystem::remove(bench.Folder.filePath("copy.txt").toStdString());
        start = Clock::now();
        RunShell(folder + "dd if=data.txt of=copy.txt bs=4M conv=fsync status=none");
        flushed.push_back(Seconds(Clock::now() - start) * 1000);
        std::filesystem::remove(bench.Folder.filePath("copy.txt").toStdString());

        ::malloc_trim(0);
        const std::size_t before = test::StatusBytes("VmRSS");
        test::ResetPeakMemory();
        QTimer sample;
        sample.callOnTimeout([&] {
            texts.insert(window.StatusPanelText(1));
            if (QProgressDialog* bar = window.findChild<QProgressDialog*>(); bar && bar->isVisible())
                barShown = true;
        });
        sample.start(50);
        start = Clock::now();
        gaps.push_back(LongestEventGap([&] { window.Actions().actDataSave->trigger(); }));
        const double ours = Seconds(Clock::now() - start);
        peaks.push_back(MegaBytes(test::StatusBytes("VmHWM") - before));
        State.SetIterationTime(ours);
        times.push_back(ours * 1000);
        if (std::filesystem::file_size(bench.Dialogs->File.toStdString()) != bytes)
            throw std::runtime_error("not saved");
        std::filesystem::remove(bench.Dialogs->File.toStdString());
    }
    ReportTimes(State, times);
    ReportTimes(State, copies, "cp_");
    ReportTimes(State, flushed, "dd_fsync_");
    ReportTimes(State, gaps, "gap_");
    ReportTimes(State, peaks, "peak_MB_");
    State.counters["progress_texts"] = static_cast<double>(texts.size());
    State.counters["bar_shown"] = barShown;
    std::filesystem::remove(bench.Folder.filePath("data.txt").toStdString());
}
BENCHMARK(SaveData)->Arg(100)->Arg(1024)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
