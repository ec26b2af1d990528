#pragma once
// TFileProgress: how far a long read or write of a file has come, in the status bar (bytes and
// percent) and, once it has taken a second, in a progress bar whose Cancel button (or Esc)
// gives it up. The window goes on meanwhile, but takes no input that could change a page:
// until the progress bar shows, input waits; then the bar holds the window.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kestrim {

class TFileProgress {
public:
    // Title says what is done ("a.txt を開いています"); Show puts a line in the status bar.
    TFileProgress(QWidget& Window, const QString& Title, std::function<void(const QString&)> Show);
    ~TFileProgress();
    TFileProgress(const TFileProgress&) = delete;
    TFileProgress& operator=(const TFileProgress&) = delete;

    // Done of Total, Bytes read or written so far; from any thread.
    void Report(std::uint64_t Done, std::uint64_t Total, std::uint64_t Bytes);
    // Set once the user gave up, or the window is closing; read from any thread.
    const std::atomic<bool>& CancelFlag() const { return FCancel; }
    void Cancel() { FCancel = true; }
    // Shows the figures and lets the window handle what has come in.
    void Pump();
    // Runs Work on a worker thread, the window going on, until it has ended; raises what it
    // raised.
    void RunOffThread(const std::function<void()>& Work);

private:
    void ShowFigures();
    bool BarShown() const;
    void HandleEvents(QEventLoop::ProcessEventsFlags Wait);

    QWidget& FWindow;
    QString FTitle;
    std::function<void(const QString&)> FShow;
    std::atomic<std::uint64_t> FDone{0};
    std::atomic<std::uint64_t> FTotal{0};
    std::atomic<std::uint64_t> FBytes{0};
    std::atomic<bool> FCancel{false};
    QElapsedTimer FSinceStart;
    QElapsedTimer FSinceFigures;
    std::unique_ptr<QProgressDialog> FBar;
};

} // namespace kestrim
