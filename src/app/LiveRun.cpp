#include "app/LiveRun.h"

#include "app/MessageList.h"
#include "app/RunController.h"
#include "editor/base/Exceptions.h"
#include "editor/control/EditorControl.h"

#include <QScopeGuard>
#include <QStringList>

#include <exception>

namespace kestrim {
namespace {

const QString UserStopReason = QStringLiteral("中断しました");

// A message of several lines, as the message list shows it: one item a line.
QStringList LinesOf(const QString& Text)
{
    return Text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

TLiveRun::TLiveRun(TRunController& Controller, TEditor& Script, TEditor& Data, TEditor& Result,
                   TMessageList& Messages, TLiveRunHost& Host)
    : FController(Controller)
    , FResult(Result)
    , FMessages(Messages)
    , FHost(Host)
{
    FPause.callOnTimeout(this, &TLiveRun::PauseEnded);
    connect(&Script, &TEditor::OnChange, this, &TLiveRun::ScriptOrDataChanged);
    connect(&Data, &TEditor::OnChange, this, &TLiveRun::ScriptOrDataChanged);
    connect(&Result, &TEditor::OnChange, this, &TLiveRun::ResultChanged);
}

void TLiveRun::SetEnabled(bool Enabled)
{
    if (Enabled == FEnabled)
        return;
    FEnabled = Enabled;
    if (Enabled) {
        // Whatever the result page holds, it was not made by a live run of these texts.
        FState = TResultState::Stale;
        FReason.clear();
        FHost.ShowResultState(true, FState, FReason);
        FPause.start();
        return;
    }
    FPause.stop();
    if (FLiveRunning) {
        FStopCause = TStopCause::User;
        FController.actTerminateExecute();
    }
    FHost.ShowResultState(false, FState, {});
}

void TLiveRun::RunNormally(const std::function<void()>& Run)
{
    if (FLiveRunning) {
        FNormalRun = Run;
        FStopCause = TStopCause::NormalRun;
        FController.actTerminateExecute();
        return;
    }
    FPause.stop();
    const std::uint64_t start = FGeneration;
    FInNormalRun = true;
    const auto leave = qScopeGuard([this, start] {
        FInNormalRun = false;
        AfterRun(start);
    });
    const TResultState before = FState;
    const QString reasonBefore = FReason;
    SetState(TResultState::Running);
    try {
        Run();
    } catch (const EAbort&) {
        // Nothing ran: the result is what it was.
        SetState(before, reasonBefore);
        throw;
    } catch (const ECommandTerminate&) {
        SetState(TResultState::Stopped, UserStopReason);
        throw;
    } catch (const std::exception& Error) {
        SetState(TResultState::Failed, LinesOf(QString::fromUtf8(Error.what())).value(0));
        throw;
    }
    SetEndedState(start);
}

void TLiveRun::Stop()
{
    FPause.stop();
    if (FLiveRunning && FStopCause == TStopCause::None)
        FStopCause = TStopCause::User;
    FController.actTerminateExecute();
}

// A normal run's own change before its interpreter starts (Run with clipboard pastes the data)
// is part of that run, not a change since.
void TLiveRun::ScriptOrDataChanged()
{
    if (FInNormalRun && !FController.Running())
        return;
    ++FGeneration;
    if (!FEnabled)
        return;
    // A live run in progress is stopped below; a normal run goes on and is stale when it ends.
    if (FState != TResultState::Running || FLiveRunning)
        SetState(TResultState::Stale);
    if (FLiveRunning && FStopCause == TStopCause::None) {
        FStopCause = TStopCause::Change;
        FController.actTerminateExecute();
    }
    FPause.start();
}

void TLiveRun::ResultChanged()
{
    if (!FEnabled || FController.ShowingOutput())
        return;
    SetEnabled(false);
    FHost.LiveRunsSwitchedOff(QStringLiteral("結果が編集されたので、自動実行をオフにしました。"));
}

// A pause that ends during a run waits for that run's end (AfterRun starts it again).
void TLiveRun::PauseEnded()
{
    if (FEnabled && !FController.Running())
        FHost.ExecuteCommand([this] { RunLive(); });
}

void TLiveRun::RunLive()
{
    const std::uint64_t start = FGeneration;
    FStopCause = TStopCause::None;
    SetState(TResultState::Running);
    SetLiveRunning(true);
    QString failure;
    bool timedOut = false;
    try {
        FController.RunLive(FTimeLimitMs);
    } catch (const ETimeLimit& Error) {
        failure = QString::fromUtf8(Error.what());
        timedOut = true;
    } catch (const ECommandTerminate&) {
    } catch (const EAbort&) {
    } catch (const std::exception& Error) {
        failure = QString::fromUtf8(Error.what());
    }
    SetLiveRunning(false);
    const TStopCause cause = std::exchange(FStopCause, TStopCause::None);
    if (!failure.isEmpty()) {
        // The failure goes where the user looks while typing: the message list and the state.
        const QStringList lines = LinesOf(failure);
        for (const QString& line : lines)
            FMessages.AddNotice(line);
        SetState(timedOut ? TResultState::Stopped : TResultState::Failed, lines.value(0));
    } else if (cause == TStopCause::User) {
        SetState(TResultState::Stopped, UserStopReason);
    } else {
        SetEndedState(start);
    }
    if (FNormalRun) {
        const std::function<void()> run = std::exchange(FNormalRun, nullptr);
        FHost.ExecuteCommand([this, run] { RunNormally(run); });
        return;
    }
    AfterRun(start);
}

void TLiveRun::SetEndedState(std::uint64_t StartGeneration)
{
    if (FGeneration != StartGeneration)
        SetState(TResultState::Stale);
    else if (FController.LastRunSucceeded())
        SetState(TResultState::Fresh);
    else
        SetState(TResultState::Failed, FController.LastRunOutcome());
}

// Text typed during a run waits for its own pause; a pause that ended during the run is
// taken up now.
void TLiveRun::AfterRun(std::uint64_t StartGeneration)
{
    if (FEnabled && FGeneration != StartGeneration && !FPause.isActive())
        FPause.start();
}

void TLiveRun::SetState(TResultState State, const QString& Reason)
{
    if (State == FState && Reason == FReason)
        return;
    FState = State;
    FReason = Reason;
    if (FEnabled)
        FHost.ShowResultState(true, FState, FReason);
}

void TLiveRun::SetLiveRunning(bool Running)
{
    FLiveRunning = Running;
    FHost.LiveRunningChanged();
}

} // namespace kestrim
