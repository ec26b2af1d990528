#pragma once
// TLiveRun: live runs. While they are on, every pause in the user's typing on the script or the
// data page runs the script over the data, as Run does but without a message box, without
// bringing the result page to the front and with a time limit. A change during a live run stops
// it and starts the pause anew, so that the latest text wins. F9, Run with clipboard and Stop go
// through here as well: a normal run never starts inside a live one, it takes over from it.

#include "app/TypingPause.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

namespace kestrim {

class TEditor;
class TMessageList;
class TRunController;

// What the result page shows, as far as the live runs know.
enum class TResultState {
    Fresh,   // the last run ended well on the texts as they are now
    Running, // a run is going on
    Stale,   // the script or the data changed since the last run
    Failed,  // the last run failed or its interpreter reported failure
    Stopped, // the last run was stopped: by the user, the time limit or an output limit
};

// What live runs need of the window.
class TLiveRunHost {
public:
    virtual ~TLiveRunHost() = default;
    // Runs a command as the window runs its commands: an error that leaves it is shown.
    virtual void ExecuteCommand(const std::function<void()>& Command) = 0;
    // The result's state while live runs are on, with the reason of a failure or a stop;
    // Shown false when they were switched off.
    virtual void ShowResultState(bool Shown, TResultState State, const QString& Reason) = 0;
    // A live run started or ended: Stop reaches a live run too.
    virtual void LiveRunningChanged() = 0;
    // Live runs were switched off by the program (not by the user), for the reason in Note.
    virtual void LiveRunsSwitchedOff(const QString& Note) = 0;
};

class TLiveRun : public QObject {
public:
    TLiveRun(TRunController& Controller, TEditor& Script, TEditor& Data, TEditor& Result, TMessageList& Messages,
             TLiveRunHost& Host);

    // Switching on runs the script after one pause; switching off stops a live run at once.
    void SetEnabled(bool Enabled);
    bool Enabled() const { return FEnabled; }
    void SetPauseMs(int Ms) { FPause.setInterval(Ms); }
    void SetTimeLimitMs(int Ms) { FTimeLimitMs = Ms; }
    bool LiveRunning() const { return FLiveRunning; }
    TResultState State() const { return FState; }

    // F9 and Run with clipboard: Run raises as the run commands raise. Inside a live run the
    // live run is stopped and Run follows once it has ended, as a command of its own.
    void RunNormally(const std::function<void()>& Run);
    // Stop: also stops a live run, and a pause that has not ended yet.
    void Stop();

private:
    void ScriptOrDataChanged();
    void ResultChanged();
    void PauseEnded();
    void RunLive();
    // The state of a run whose interpreter ended: fresh, or stale, or failed by its exit.
    void SetEndedState(std::uint64_t StartGeneration);
    void AfterRun(std::uint64_t StartGeneration);
    void SetState(TResultState State, const QString& Reason = QString());
    void SetLiveRunning(bool Running);

    TRunController& FController;
    TEditor& FResult;
    TMessageList& FMessages;
    TLiveRunHost& FHost;
    TTypingPause FPause;
    int FTimeLimitMs = 0;
    bool FEnabled = false;
    bool FLiveRunning = false;
    bool FInNormalRun = false;
    // Every change of the script or the data counts one up: a run is fresh when it did not.
    std::uint64_t FGeneration = 0;
    // Why the live run in progress is being stopped, when it is.
    enum class TStopCause { None, Change, User, NormalRun } FStopCause = TStopCause::None;
    // A normal run waiting for the live run to end.
    std::function<void()> FNormalRun;
    TResultState FState = TResultState::Stale;
    QString FReason;
};

} // namespace kestrim
