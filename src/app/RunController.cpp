#include "app/RunController.h"

#include "app/AllocatorTuning.h"
#include "app/AmountText.h"
#include "app/ConsoleCommand.h"
#include "app/MessageList.h"
#include "app/ProgramDir.h"
#include "app/RunOutput.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/control/EditorControl.h"
#include "editor/control/SjisQString.h"
#include "editor/text/LinesSource.h"
#include "settings/UConfigFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <exception>

namespace kestrim {
namespace {

// A configuration without the setting Key (empty or missing) cannot run: the message names it,
// rather than the folder an empty file name would stand for.
void RequireSetting(const TConfigFile& Config, const std::string& Value, const char* Key, const char* Meaning)
{
    if (!Value.empty())
        return;
    const std::string file =
        Config.FileName().empty() ? std::string("設定ファイルの") : "設定ファイル \"" + Config.FileName() + "\" の";
    throw Exception("実行できません。" + file + " [Command] に " + Key + " (" + Meaning + ") が設定されていません。");
}


// The command line carries the path as Shift-JIS; a path that Shift-JIS cannot spell would
// start the interpreter on a file that does not exist.
std::string ScriptPathForCommandLine(const QString& Path)
{
    bool lost = false;
    std::string sjis = QStringToSjis(Path, &lost);
    if (lost)
        throw Exception("スクリプトファイルのパス \"" + Path.toStdString()
                        + "\" には Shift-JIS で表せない文字が含まれています。");
    return sjis;
}

// Both quoted parts stand as they are: nothing inside them is escaped.
std::string FormatCommandLine(const std::string& Command, const std::string& Option, const std::string& Script)
{
    return "\"" + Command + "\" " + Option + " \"" + Script + "\"";
}

// A normal run shows its progress after this long, this often.
constexpr int ProgressAfterMs = 500;
constexpr int ProgressIntervalMs = 250;

} // namespace

TRunController::TRunController(TConsoleCommand& ConsoleCommand, TEditor& Script, TEditor& Data, TEditor& Result,
                               TMessageList& Messages, TRunHost& Host)
    : FConsoleCommand(ConsoleCommand)
    , FScript(Script)
    , FData(Data)
    , FResult(Result)
    , FMessages(Messages)
    , FHost(Host)
{
}

TRunController::~TRunController() = default;

void TRunController::actRunExecute()
{
    Run(TRunStyle{});
}

void TRunController::RunLive(int TimeLimitMs)
{
    Run(TRunStyle{true, TimeLimitMs});
}

void TRunController::Run(const TRunStyle& Style)
{
    // One interpreter at a time: a run asked for inside another (from the event processing
    // of the first) ends silently.
    if (FRunning)
        throw EAbort();
    // A live run leaves the run commands as they are: F9 stays at hand and takes over.
    if (!Style.Live)
        FHost.SetRunning(true);
    FRunning = true;
    const auto leaveRunning = qScopeGuard([this, &Style] {
        FRunning = false;
        if (!Style.Live)
            FHost.SetRunning(false);
    });
    TRunOutcome outcome;
    // Until the configuration is read, the pages' own: a run that fails before its interpreter
    // starts empties them.
    TRunEncodings encodings = PlanRunEncodings({}, FScript.Encoding(), FData.Encoding());
    std::optional<TRunOutput> output;
    FShowingOutput = true;
    const auto shown = qScopeGuard([this] { FShowingOutput = false; });
    std::exception_ptr failure;
    try {
        const TRunPlan plan = PlanRun();
        encodings = plan.Encodings;
        FMessages.SetRunFolder(QFileInfo(QString::fromStdString(plan.ScriptFile)).path());
        // The interpreter reads the script from the system's cache: a run need not wait for the disk.
        WriteFileBytes(plan.ScriptFile,
                       TextForInterpreter(FScript.Lines().Text(), FScript.Encoding(), encodings.Script,
                                          encodings.LineEnd, "スクリプトタブ"),
                       TFileFlush::NotNeeded);
        FConsoleCommand.SetCommandLine(plan.CommandLine);
        FConsoleCommand.SetLimits(FHost.OutputLimits());
        // A normal run's output is seen as it comes; a live run leaves the pages where they are.
        std::function<void()> firstOutput;
        if (!Style.Live)
            firstOutput = [this] { FHost.ShowResultPage(); };
        output.emplace(FResult, FMessages, encodings, Style.Live, std::move(firstOutput), FData.GetLineCount(),
                       &FFreer);
        RunInterpreter(Style, encodings, *output, outcome);
    } catch (const EOutputLimit& limit) {
        failure = std::make_exception_ptr(Exception(LimitMessage(limit).toStdString()));
    } catch (...) {
        failure = std::current_exception();
    }
    FLastRunSucceeded = Succeeded(outcome);
    FLastRunEnd = outcome.End;
    FLastRunSeconds = outcome.Seconds;
    FLastRunExitCode.reset();
    if (outcome.End == TRunEnd::Ended && !FConsoleCommand.ExitedBySignal())
        FLastRunExitCode = FConsoleCommand.ExitCode();
    if (!output)
        output.emplace(FResult, FMessages, encodings, Style.Live, nullptr, 0, &FFreer);
    ShowOutput(Style, *output, outcome);
    output.reset();
    FLastRunOutcome = RunOutcomeText(outcome);
    FHost.ShowRunOutcome(FLastRunOutcome);
    FHost.RunShown();
    // Not after a live run: it would come between the user's keys.
    if (!Style.Live)
        ReturnFreedMemory();
    if (failure)
        std::rethrow_exception(failure);
}

void TRunController::actRunClipboardExecute()
{
    if (FRunning)
        throw EAbort();
    FData.Lines().Clear();
    FData.PasteFromClipboard();
    actRunExecute();
    FResult.CopyAllToClipboard();
}

void TRunController::ShowKeptResult(const std::string& Bytes, TTextEncoding Encoding)
{
    FShowingOutput = true;
    const auto shown = qScopeGuard([this] { FShowingOutput = false; });
    FResult.SetEncodedText(Bytes, Encoding);
}

void TRunController::actTerminateExecute()
{
    FConsoleCommand.Terminate();
}

// Everything is taken from the configuration now: a configuration loaded during the run
// does not change it.
TRunController::TRunPlan TRunController::PlanRun()
{
    const TConfigFile& config = ConfigOrDefaults(FHost.Config());
    RequireSetting(config, config.Command(), "Command", "実行するインタプリタ");
    RequireSetting(config, config.Script(), "Script", "実行の前にスクリプトを書き出すファイル");
    const TEncodingRun run = config.EncodingRun(FData.Encoding());
    const QString scriptPath = ScriptPath(config.Script());
    TRunPlan plan;
    plan.ScriptFile = scriptPath.toStdString();
    plan.CommandLine = FormatCommandLine(config.Command(), run.Option, ScriptPathForCommandLine(scriptPath));
    plan.Encodings = PlanRunEncodings(run, FScript.Encoding(), FData.Encoding());
    return plan;
}

// A script name without a folder part lives in this controller's run folder; any other is used
// as it stands, a relative one resolving against the current folder.
QString TRunController::ScriptPath(const std::string& Script)
{
    const QString name = SjisToQString(Script);
    return name.contains(QLatin1Char('/')) ? name : QDir(RunFolder()).filePath(name);
}

// A folder per controller rather than a name per controller: the file keeps the name the
// configuration gives it, which its error-line pattern may match.
QString TRunController::RunFolder()
{
    if (!FRunFolder) {
        const QString userDir = ScriptDir();
        auto folder = std::make_unique<QTemporaryDir>(QDir(userDir).filePath(QStringLiteral("run-XXXXXX")));
        if (!folder->isValid())
            throw Exception("実行用のフォルダを \"" + userDir.toStdString() + "\" の中に作れません: "
                            + folder->errorString().toStdString());
        FRunFolder = std::move(folder);
    }
    return FRunFolder->path();
}

void TRunController::RunInterpreter(const TRunStyle& Style, const TRunEncodings& Encodings, TRunOutput& Output,
                                    TRunOutcome& Outcome)
{
    const TLinesLoss loss = LinesLoss(FData.Lines(), FData.Encoding(), Encodings.Input);
    if (loss.Count > 0)
        throw Exception(InterpreterLossMessage("データタブ", loss.Count, loss.First, Encodings.Input));
    // No hourglass for a live run: it would flicker under the user's typing.
    if (!Style.Live)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([&Style] {
        if (!Style.Live)
            QGuiApplication::restoreOverrideCursor();
    });
    bool timedOut = false;
    QTimer timeLimit;
    timeLimit.setSingleShot(true);
    timeLimit.callOnTimeout([this, &timedOut] {
        timedOut = true;
        FConsoleCommand.Terminate();
    });
    if (Style.Live)
        timeLimit.start(Style.TimeLimitMs);
    QElapsedTimer clock;
    clock.start();
    const auto stopClock = qScopeGuard([&] { Outcome.Seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9; });
    // A live run stays quiet; a normal one that takes a while tells how far it got.
    QTimer progress;
    progress.callOnTimeout([&] {
        if (clock.elapsed() >= ProgressAfterMs)
            FHost.ShowRunProgress(ProgressText(static_cast<double>(clock.elapsed()) / 1000));
    });
    if (!Style.Live)
        progress.start(ProgressIntervalMs);
    FConsoleCommand.OnOutput = [&Output](TOutputChannel Channel, std::string_view Bytes) {
        Output.Take(Channel, Bytes);
    };
    const auto detach = qScopeGuard([this] { FConsoleCommand.OnOutput = nullptr; });
    try {
        ExecuteOnData(Style, Encodings);
        Outcome.End = TRunEnd::Ended;
    } catch (const EOutputLimit& limit) {
        Outcome.End = TRunEnd::LimitReached;
        Outcome.CutChannel = limit.Channel();
        Outcome.Limit = limit.Limit();
        throw;
    } catch (const ECommandTerminate&) {
        if (!timedOut) {
            Outcome.End = TRunEnd::Stopped;
            throw;
        }
        Outcome.End = TRunEnd::TimeLimitReached;
        throw ETimeLimit(QStringLiteral("実行が時間制限の %1 秒を超えたので中断しました。")
                             .arg(Style.TimeLimitMs / 1000.0)
                             .toStdString());
    }
}

// The lines are given from the page itself, not from a copy: they must stay as they are until
// the last is given. A normal run makes the page read-only for its time; what changes it all
// the same (a file opened into it) stops the run, as a change stops a live run, rather than
// give the interpreter a text that never stood on the page.
void TRunController::ExecuteOnData(const TRunStyle& Style, const TRunEncodings& Encodings)
{
    TLinesSource input(FData.Lines(), FData.Encoding(), Encodings.Input, Encodings.LineEnd);
    const bool wasReadOnly = FData.ReadOnly();
    if (!Style.Live)
        FData.SetReadOnly(true);
    bool changed = false;
    const QMetaObject::Connection watch = QObject::connect(&FData, &TEditor::OnChange, [&] {
        if (!input.AtEnd() && !changed) {
            changed = true;
            FConsoleCommand.Terminate();
        }
    });
    const auto leave = qScopeGuard([&] {
        QObject::disconnect(watch);
        FData.SetReadOnly(wasReadOnly);
    });
    try {
        FConsoleCommand.Execute(input);
    } catch (const EOutputLimit&) {
        throw;
    } catch (const ECommandTerminate&) {
        if (changed)
            throw ECommandTerminate("データタブが実行中に変わったので、コマンド処理を中断しました。");
        throw;
    }
}

bool TRunController::Succeeded(const TRunOutcome& Outcome) const
{
    return Outcome.End == TRunEnd::Ended && !FConsoleCommand.ExitedBySignal() && FConsoleCommand.ExitCode() == 0;
}

void TRunController::ShowOutput(const TRunStyle& Style, TRunOutput& Output, const TRunOutcome& Outcome)
{
    Output.Finish();
    if (!Style.Live) {
        if (!FLastRunSucceeded && Output.OutputBytes() == 0)
            FHost.ShowScriptPage();
        else
            FHost.ShowResultPage();
    }
    if (Outcome.End == TRunEnd::LimitReached)
        FMessages.AddNotice(QStringLiteral("(%1は上限の %2 で打ち切られています)")
                                .arg(QString::fromStdString(OutputChannelName(Outcome.CutChannel)),
                                     QString::fromStdString(SizeText(Outcome.Limit))));
    if (!Style.Live)
        FResult.ScrollCaret();
}

QString TRunController::LimitMessage(const EOutputLimit& Limit) const
{
    return QString::fromUtf8(Limit.what())
           + QStringLiteral("\r\nそこまでの出力は結果タブとメッセージ一覧にあります。\r\n上限は %1 の値 (メガバイト) で変えられます。")
                 .arg(FHost.OutputLimitSetting(Limit.Channel()));
}

QString TRunController::ProgressText(double Seconds) const
{
    return QStringLiteral("実行中 (経過時間 %1 秒、入力 %2、出力 %3)")
        .arg(QString::number(Seconds, 'f', 1), AmountText(FConsoleCommand.BytesWritten()),
             AmountText(FConsoleCommand.BytesRead()));
}

QString TRunController::RunOutcomeText(const TRunOutcome& Outcome) const
{
    const QString elapsed = QStringLiteral(" (経過時間 %1 秒)").arg(Outcome.Seconds, 0, 'f', 2);
    switch (Outcome.End) {
    case TRunEnd::NotStarted:
        return {};
    case TRunEnd::Stopped:
        return QStringLiteral("中断") + elapsed;
    case TRunEnd::LimitReached:
        return QStringLiteral("出力の上限で中断") + elapsed;
    case TRunEnd::TimeLimitReached:
        return QStringLiteral("時間制限で中断") + elapsed;
    case TRunEnd::Ended:
        break;
    }
    if (FConsoleCommand.ExitedBySignal())
        return QStringLiteral("シグナル %1 で終了").arg(FConsoleCommand.ExitSignal()) + elapsed;
    return QStringLiteral("終了コード %1").arg(FConsoleCommand.ExitCode()) + elapsed;
}

} // namespace kestrim
