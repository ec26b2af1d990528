#include "app/FileProgress.h"

#include "app/AmountText.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QTimer>

#include <exception>
#include <thread>

namespace kestrim {
namespace {

constexpr qint64 BarAfterMs = 1000;
constexpr qint64 FiguresEveryMs = 100;
constexpr int BarSteps = 1000;

} // namespace

TFileProgress::TFileProgress(QWidget& Window, const QString& Title, std::function<void(const QString&)> Show)
    : FWindow(Window), FTitle(Title), FShow(std::move(Show))
{
    FSinceStart.start();
}

TFileProgress::~TFileProgress() = default;

void TFileProgress::Report(std::uint64_t Done, std::uint64_t Total, std::uint64_t Bytes)
{
    FDone = Done;
    FTotal = Total;
    FBytes = Bytes;
}

bool TFileProgress::BarShown() const
{
    return FBar && FBar->isVisible();
}

void TFileProgress::ShowFigures()
{
    const std::uint64_t total = FTotal;
    const std::uint64_t done = std::min<std::uint64_t>(FDone, total);
    const int steps = total > 0 ? static_cast<int>(done * BarSteps / total) : 0;
    const QString text = QStringLiteral("%1: %2 (%3%)").arg(FTitle, AmountText(FBytes)).arg(steps / 10);
    FShow(text);
    if (!FBar && FSinceStart.elapsed() >= BarAfterMs && !FCancel) {
        FBar = std::make_unique<QProgressDialog>(text, QStringLiteral("キャンセル"), 0, BarSteps, &FWindow);
        FBar->setWindowModality(Qt::WindowModal);
        FBar->setMinimumDuration(0);
        FBar->setAutoReset(false);
        FBar->setAutoClose(false);
        QObject::connect(FBar.get(), &QProgressDialog::canceled, [this] { FCancel = true; });
        FBar->show();
    }
    if (FBar) {
        FBar->setLabelText(text);
        FBar->setValue(steps);
    }
    FSinceFigures.start();
}

void TFileProgress::Pump()
{
    HandleEvents(QEventLoop::AllEvents);
}

// Input that arrives before the bar shows is handled once the work is done.
void TFileProgress::HandleEvents(QEventLoop::ProcessEventsFlags Wait)
{
    if (!FSinceFigures.isValid() || FSinceFigures.elapsed() >= FiguresEveryMs)
        ShowFigures();
    QCoreApplication::processEvents((BarShown() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents) | Wait);
}

void TFileProgress::RunOffThread(const std::function<void()>& Work)
{
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance();
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            Work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        dispatcher->wakeUp();
    });
    // Wakes the wait below, so that the figures move while nothing else happens.
    QTimer tick;
    tick.start(static_cast<int>(FiguresEveryMs));
    try {
        while (!finished)
            HandleEvents(QEventLoop::WaitForMoreEvents);
    } catch (...) {
        Cancel();
        worker.join();
        throw;
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace kestrim
