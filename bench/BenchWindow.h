#pragma once
// The main window as the window benchmarks drive it: a folder and settings of its own, the
// shipped configuration, dialogs that answer without asking, and what the benchmarks measure
// around it.

#include "app/Main.h"
#include "app/ProgramDir.h"
#include "app/UserDialogs.h"
#include "editor/control/EditorControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrim {

using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration Duration)
{
    return std::chrono::duration<double>(Duration).count();
}

// Lines of 40 to 58 bytes ending in CR LF, some two-byte characters among them: 50 bytes a line
// on average, so that 100 MB are 2,000,000 lines.
std::string DataText(std::size_t Size)
{
    std::mt19937 random(11);
    std::string text;
    text.reserve(Size + 128);
    while (text.size() < Size) {
        const std::size_t length = 40 + random() % 19;
        for (std::size_t i = 0; i < length; ++i) {
            if (random() % 12 == 0) {
                text += '\x82';
                text += static_cast<char>(0xA0 + random() % 80);
                ++i;
            } else {
                text += static_cast<char>('a' + random() % 26);
            }
        }
        text += "\r\n";
    }
    return text;
}

// Answers every file dialog with the file the benchmark names; asks nothing else.
class TBenchDialogs : public TUserDialogs {
public:
    QString File;

    std::optional<QString> ChooseFile(const TFileDialogOptions&) override { return File; }
    TSaveAnswer AskYesNoCancel(const QString&) override { return TSaveAnswer::No; }
    void ShowError(const QString& Text) override { throw std::runtime_error(Text.toStdString()); }
    void ShowMessage(const QString&) override {}
    void ShowInformation(const QString&) override {}
    void ErrorMessage(const QString& Text) override { throw std::runtime_error(Text.toStdString()); }
    void ShowAbout(TAboutDialog&) override {}
};

// A window of its own folder and settings, shown at full-screen size.
struct TBenchWindow {
    // Settings: the user's settings file of the window's first start, empty for none.
    explicit TBenchWindow(const std::string& Settings = {})
    {
        if (!Settings.empty()) {
            QDir(Folder.path()).mkpath("settings/Vek");
            Write("settings/Vek/Kestrim.ini", Settings);
        }
        const QDir shipped(QStringLiteral(KESTRIM_CONF_DIR));
        QDir(Folder.path()).mkpath("conf");
        for (const QString& name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), Folder.filePath("conf/" + name));
        OverrideProgramDir(Folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.filePath("settings"));
        auto dialogs = std::make_unique<TBenchDialogs>();
        Dialogs = dialogs.get();
        Window = std::make_unique<TfrmKestrim>(std::move(dialogs));
        Window->resize(1920, 1080);
        Window->show();
        QCoreApplication::processEvents();
    }
    ~TBenchWindow()
    {
        Window->tedScript->SetModified(false);
        Window.reset();
        OverrideProgramDir(QString());
    }

    QString Write(const QString& Name, const std::string& Bytes) const
    {
        const QString path = Folder.filePath(Name);
        std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << Bytes;
        return path;
    }
    // Paints what the data page shows now, as the screen would.
    void Paint(TEditor& Editor) const { Editor.viewport()->repaint(); }
    // Paints what the widgets asked to have painted again, as the window's event loop would.
    static void PaintChanges() { QCoreApplication::processEvents(); }

    QTemporaryDir Folder;
    TBenchDialogs* Dialogs = nullptr;
    std::unique_ptr<TfrmKestrim> Window;
};

// The longest time between two events of a 10 ms timer while Work runs.
template <typename Work>
double LongestEventGap(Work&& work)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    timer.start();
    work();
    longest = std::max(longest, clock.elapsed() - last);
    return static_cast<double>(longest);
}

// Keys "x" posted to Editor every IntervalMs, as typing puts them in the queue, until Count of
// them have changed it; each one's wait is the time from its posting until the editor changed.
// BeforeKey runs before each key is posted.
std::vector<double> KeyWaits(TEditor& Editor, int IntervalMs, std::size_t Count,
                             const std::function<void()>& BeforeKey = {})
{
    std::vector<double> waits;
    Clock::time_point posted;
    const QMetaObject::Connection taken = QObject::connect(&Editor, &TEditor::OnChange, [&] {
        waits.push_back(Seconds(Clock::now() - posted) * 1000);
    });
    QTimer keys;
    keys.setTimerType(Qt::PreciseTimer);
    keys.callOnTimeout([&] {
        if (BeforeKey)
            BeforeKey();
        posted = Clock::now();
        QCoreApplication::postEvent(&Editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
        QCoreApplication::postEvent(&Editor, new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x"));
    });
    keys.start(IntervalMs);
    while (waits.size() < Count)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    keys.stop();
    QObject::disconnect(taken);
    return waits;
}

// The median, the 99th percentile and the worst of Times (milliseconds) as counters.
void ReportTimes(benchmark::State& State, std::vector<double> Times, const std::string& Prefix = {})
{
    if (Times.empty())
        return;
    std::sort(Times.begin(), Times.end());
    State.counters[Prefix + "median_ms"] = Times[Times.size() / 2];
    State.counters[Prefix + "p99_ms"] = Times[Times.size() * 99 / 100];
    State.counters[Prefix + "worst_ms"] = Times.back();
}

} // namespace

} // namespace kestrim
