#pragma once
// TRunController: Run, Run with clipboard and Stop. A run writes the script page to the
// configuration's script file, starts the interpreter on it with the data page as standard
// input, and puts standard output on the result page and standard error in the message list.
// The run keeps the window alive (the runner processes events), so Stop and the other commands
// are reached while Run is still on the stack.

#include "app/ConsoleCommand.h"
#include "app/RowsFreer.h"
#include "app/RunEncodings.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>

class QTemporaryDir;

namespace kestrim {

// How a live run that went past its time limit leaves the controller: stopped as Stop stops it.
class ETimeLimit : public ECommandTerminate {
public:
    using ECommandTerminate::ECommandTerminate;
};

class TConfigFile;
class TEditor;
class TMessageList;
class TRunOutput;

// What the controller needs of the window it runs in.
class TRunHost {
public:
    virtual ~TRunHost() = default;
    // The current language configuration; none after a configuration failed to load.
    virtual const TConfigFile* Config() const = 0;
    // Enables Stop and disables the two run commands while Running, the other way round after.
    virtual void SetRunning(bool Running) = 0;
    virtual void ShowResultPage() = 0;
    // A run that failed before it wrote any output shows the script page, where its messages
    // lead, rather than an empty result.
    virtual void ShowScriptPage() = 0;
    // How the last run ended, for the status bar; empty when no interpreter was started.
    virtual void ShowRunOutcome(const QString& Text) = 0;
    // What one run may collect of each stream, and where the user changes the limit of a
    // channel, for the message of a run that reached it.
    virtual TOutputLimits OutputLimits() const = 0;
    virtual QString OutputLimitSetting(TOutputChannel Channel) const = 0;
    // A run of either kind has shown its output, and the controller tells how it ended.
    virtual void RunShown() {}
    // How far a long run has got, for the status bar, a few times a second.
    virtual void ShowRunProgress(const QString& /*Text*/) {}
};

class TRunController {
public:
    // How a run ended: its interpreter not started, ended of itself, stopped by the user, at
    // an output limit or at the time limit.
    enum class TRunEnd { NotStarted, Ended, Stopped, LimitReached, TimeLimitReached };

    TRunController(TConsoleCommand& ConsoleCommand, TEditor& Script, TEditor& Data, TEditor& Result,
                   TMessageList& Messages, TRunHost& Host);
    // Removes the run folder with the script file in it.
    ~TRunController();

    // Where a bare script name is written: a folder of this controller's own (so two windows
    // never share a script file) in the user's folder of run files (ScriptDir), made with
    // owner-only permissions at the first call. Raises when it cannot be made.
    QString RunFolder();

    // Run. Whatever happens, the result page and the message list show what this run produced
    // (nothing when it failed before the interpreter started) and the window leaves the running
    // state; then a failure is raised: the file system's error, the runner's start failure or
    // its stop (ECommandTerminate). A run stopped at an output limit ends with a notice in the
    // message list and an Exception that names the limit and where to change it.
    void actRunExecute();
    // Replaces the data page by the clipboard's text, runs, and puts the whole result on the
    // clipboard, an empty text for an empty result. A failed run raises its error and leaves
    // the clipboard alone.
    void actRunClipboardExecute();
    // Asks the run in progress to stop; it then raises ECommandTerminate.
    void actTerminateExecute();
    // A run as Run makes it, except that the result page stays where it is (neither brought to
    // the front nor scrolled: its caret and top row are kept as far as the new text allows),
    // no hourglass is shown, and a run that goes past TimeLimitMs is stopped and raises
    // ETimeLimit. Raises what Run raises otherwise.
    void RunLive(int TimeLimitMs);
    // Puts a result kept from an earlier run on the result page, as a run puts its output there:
    // not an edit of the user's (which would switch live runs off).
    void ShowKeptResult(const std::string& Bytes, TTextEncoding Encoding);
    // True from the start of either kind of run until it has shown its output.
    bool Running() const { return FRunning; }
    // True while a run puts its output on the result page: the only changes of that page that
    // are not the user's.
    bool ShowingOutput() const { return FShowingOutput; }
    // How the last run ended, as the status bar shows it; empty when no interpreter started.
    const QString& LastRunOutcome() const { return FLastRunOutcome; }
    // True when the last run's interpreter ended of itself with exit code 0.
    bool LastRunSucceeded() const { return FLastRunSucceeded; }
    // The last run's exit code; none when its interpreter did not end of itself (not started,
    // stopped, ended by a signal).
    const std::optional<int>& LastRunExitCode() const { return FLastRunExitCode; }
    TRunEnd LastRunEnd() const { return FLastRunEnd; }
    // How long the last run's interpreter ran; 0 when none started.
    double LastRunSeconds() const { return FLastRunSeconds; }

private:
    // Live: a run on a pause in typing, as RunLive describes; otherwise Run's (F9).
    struct TRunStyle {
        bool Live = false;
        int TimeLimitMs = 0;
    };
    struct TRunPlan {
        std::string ScriptFile; // the path as the file system takes it (UTF-8)
        std::string CommandLine;
        TRunEncodings Encodings;
    };
    struct TRunOutcome {
        TRunEnd End = TRunEnd::NotStarted;
        double Seconds = 0;
        TOutputChannel CutChannel = TOutputChannel::Output;
        std::size_t Limit = 0;
    };

    void Run(const TRunStyle& Style);
    TRunPlan PlanRun();
    QString ScriptPath(const std::string& Script);
    // Feeds the data page to the interpreter and its output to Output as it comes. Outcome
    // tells how far the run got, also when this raises.
    void RunInterpreter(const TRunStyle& Style, const TRunEncodings& Encodings, TRunOutput& Output,
                        TRunOutcome& Outcome);
    // Runs the interpreter on the data page's lines as they stand now; a change of them before
    // they are all given stops the run.
    void ExecuteOnData(const TRunStyle& Style, const TRunEncodings& Encodings);
    bool Succeeded(const TRunOutcome& Outcome) const;
    void ShowOutput(const TRunStyle& Style, TRunOutput& Output, const TRunOutcome& Outcome);
    QString LimitMessage(const EOutputLimit& Limit) const;
    QString ProgressText(double Seconds) const;
    QString RunOutcomeText(const TRunOutcome& Outcome) const;

    TConsoleCommand& FConsoleCommand;
    TEditor& FScript;
    TEditor& FData;
    TEditor& FResult;
    TMessageList& FMessages;
    TRunHost& FHost;
    std::unique_ptr<QTemporaryDir> FRunFolder; // the script file's folder, owner-only
    TRowsFreer FFreer;                         // of the results runs replaced
    bool FRunning = false;
    bool FShowingOutput = false;
    QString FLastRunOutcome;
    bool FLastRunSucceeded = false;
    TRunEnd FLastRunEnd = TRunEnd::NotStarted;
    std::optional<int> FLastRunExitCode;
    double FLastRunSeconds = 0;
};

} // namespace kestrim
