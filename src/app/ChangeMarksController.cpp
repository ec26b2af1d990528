#include "app/ChangeMarksController.h"

#include "app/LineJump.h"
#include "app/Main.h"
#include "app/MainActions.h"
#include "editor/control/EditorControl.h"
#include "editor/text/DiffMarks.h"
#include "editor/text/edEditorStrings.h"
#include "settings/UKestrimReg.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QLabel>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <optional>

namespace kestrim {
namespace {

// A slice of reading stops after this long, so that a 10 ms timer of the window never waits
// much longer than that; it checks the clock after every few thousand lines.
constexpr int SliceMs = 8;
constexpr int LinesPerRead = 2048;

QString CountText(const TLineDiff& Diff)
{
    if (Diff.Hunks.empty())
        return QStringLiteral("変更はありません");
    const QString counts =
        QStringLiteral("変更 %1 行、追加 %2 行、削除 %3 行").arg(Diff.Changed()).arg(Diff.Added()).arg(Diff.Removed());
    if (Diff.Complete)
        return counts;
    return counts + QStringLiteral(" (比較を途中で打ち切りました。以降は一つの変更として表示しています)");
}

} // namespace

TChangeMarksController::TChangeMarksController(TfrmKestrim& Window, const TMainActions& Actions, QLabel& Panel,
                                               TRunCommand RunCommand, TShowHint ShowHint)
    : FWindow(Window)
    , FActions(Actions)
    , FShowHint(std::move(ShowHint))
    , FPanel(Panel)
{
    FOld.Editor = Window.tedData;
    FNew.Editor = Window.tedResult;
    FPause.callOnTimeout(this, &TChangeMarksController::Start);
    FSlice.setSingleShot(true);
    FSlice.callOnTimeout(this, &TChangeMarksController::ReadSlice);
    connect(Window.tedResult, &TEditor::OnChange, this, [this] { PageChanged(FNew); });
    FOldChange = connect(Window.tedData, &TEditor::OnChange, this, [this] { PageChanged(FOld); });
    connect(Actions.actViewChanges, &QAction::triggered, this, &TChangeMarksController::SetEnabled);
    connect(Actions.actNextChange, &QAction::triggered, this,
            [this, RunCommand] { RunCommand([this] { GoToChange(1); }); });
    connect(Actions.actPrevChange, &QAction::triggered, this,
            [this, RunCommand] { RunCommand([this] { GoToChange(-1); }); });
}

TChangeMarksController::~TChangeMarksController()
{
    Cancel();
    FOld.Editor->SetChangeMarks(nullptr);
    FWindow.tedResult->SetChangeMarks(nullptr);
}

void TChangeMarksController::SetOldEditor(TEditor& Editor)
{
    if (&Editor == FOld.Editor)
        return;
    Cancel();
    RemoveMarks();
    disconnect(FOldChange);
    FOld.Editor = &Editor;
    FOldChange = connect(&Editor, &TEditor::OnChange, this, [this] { PageChanged(FOld); });
    FOld.Keys.reset();
    if (FEnabled && !FRunning)
        Start();
}

void TChangeMarksController::ApplySettings(const TKestrimReg& Settings)
{
    SetEnabled(Settings.ChangeMarks);
}

void TChangeMarksController::StoreSettings(TKestrimReg& Settings) const
{
    Settings.ChangeMarks = FEnabled;
}

void TChangeMarksController::SetEnabled(bool Enabled)
{
    FActions.actViewChanges->setChecked(Enabled);
    if (Enabled == FEnabled)
        return;
    FEnabled = Enabled;
    if (Enabled && !FRunning) {
        Start();
        return;
    }
    Cancel();
    RemoveMarks();
    FOld.Keys.reset();
    FNew.Keys.reset();
}

void TChangeMarksController::SetRunning(bool Running)
{
    if (Running == FRunning)
        return;
    FRunning = Running;
    if (!FEnabled)
        return;
    if (Running) {
        Cancel();
        RemoveMarks();
    } else {
        Start();
    }
}

// The old marks stay for the pause: they are near enough while the user types. A run's own
// change of the result is followed by the run's end.
void TChangeMarksController::PageChanged(TKeyReading& Page)
{
    Page.Keys.reset();
    if (!FEnabled || FRunning)
        return;
    Cancel();
    FPause.start();
}

void TChangeMarksController::Start()
{
    Cancel();
    for (TKeyReading* reading : {&FOld, &FNew})
        if (!reading->Keys) {
            reading->NextRow = 0;
            reading->Read.clear();
            reading->Read.reserve(reading->Editor->GetLineCount());
        }
    if (!FDiff)
        ShowStatus(QStringLiteral("変更箇所を比較しています..."));
    FSlice.start();
}

void TChangeMarksController::Cancel()
{
    ++FGeneration;
    FPause.stop();
    FSlice.stop();
    if (FCancel)
        *FCancel = true;
    FCancel.reset();
}

void TChangeMarksController::ReadSlice()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < SliceMs) {
        TKeyReading* reading = !FOld.Keys ? &FOld : !FNew.Keys ? &FNew : nullptr;
        if (!reading) {
            Compare();
            return;
        }
        ReadLines(*reading, LinesPerRead);
    }
    FSlice.start();
}

void TChangeMarksController::ReadLines(TKeyReading& Reading, int MaxLines)
{
    const TTextEncoding encoding = Reading.Editor->Encoding();
    const std::size_t before = Reading.Read.size();
    Reading.NextRow = Reading.Editor->Lines().ReadLines(Reading.NextRow, MaxLines, [&](std::string_view Line) {
        Reading.Read.push_back(LineKey(Line, encoding));
    });
    if (Reading.Read.size() - before < static_cast<std::size_t>(MaxLines))
        Reading.Keys = std::make_shared<const std::vector<std::uint64_t>>(std::move(Reading.Read));
}

void TChangeMarksController::Compare()
{
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    FCancel = cancel;
    const std::uint64_t generation = FGeneration;
    // A watcher of this controller's own, not a continuation with it as context: a comparison
    // that ends after the window has gone must find nothing to call.
    auto* watcher = new QFutureWatcher<std::optional<TLineDiff>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        try {
            std::optional<TLineDiff> diff = watcher->result();
            if (generation == FGeneration && diff)
                Show(std::move(*diff));
        } catch (const std::exception& Error) {
            if (generation == FGeneration)
                ShowStatus(QStringLiteral("変更箇所を比較できませんでした: %1").arg(QString::fromUtf8(Error.what())));
        }
    });
    watcher->setFuture(
        QtConcurrent::run([Old = FOld.Keys, New = FNew.Keys, cancel] { return DiffLines(*Old, *New, *cancel); }));
}

void TChangeMarksController::Show(TLineDiff Diff)
{
    FCancel.reset();
    FDiff = std::make_shared<const TLineDiff>(std::move(Diff));
    TEditor& data = *FOld.Editor;
    TEditor& result = *FWindow.tedResult;
    result.SetChangeMarks(std::make_shared<TDiffMarks>(FDiff, TDiffSide::New, result.Lines(), result.Encoding(),
                                                       data.Lines(), data.Encoding()));
    data.SetChangeMarks(std::make_shared<TDiffMarks>(FDiff, TDiffSide::Old, data.Lines(), data.Encoding(),
                                                     result.Lines(), result.Encoding()));
    FActions.actNextChange->setEnabled(true);
    FActions.actPrevChange->setEnabled(true);
    ShowStatus(CountText(*FDiff));
}

void TChangeMarksController::RemoveMarks()
{
    FDiff.reset();
    FOld.Editor->SetChangeMarks(nullptr);
    FWindow.tedResult->SetChangeMarks(nullptr);
    FActions.actNextChange->setEnabled(false);
    FActions.actPrevChange->setEnabled(false);
    ShowStatus(QString());
}

void TChangeMarksController::ShowStatus(const QString& Text)
{
    FPanel.setText(Text);
    FPanel.setVisible(!Text.isEmpty());
}

// The data page goes through its own changes, the result page through its own. From the script
// (or the Web) page the keys go to the result page's changes: the changes are what the script
// made of the data, and the result page is where they are seen.
void TChangeMarksController::GoToChange(int Direction)
{
    if (!FDiff)
        return;
    TEditor* editor = &FWindow.CurrentEditor();
    if (editor != FOld.Editor && editor != FWindow.tedResult) {
        FWindow.ShowPage(TfrmKestrim::pgResult);
        editor = FWindow.tedResult;
    }
    const TDiffSide side = editor == FOld.Editor ? TDiffSide::Old : TDiffSide::New;
    const TEditorStrings& lines = editor->Lines();
    const int current = lines.RowToLine(editor->Row());
    std::optional<int> line = NextChange(*FDiff, side, current, Direction);
    // Lines the other text has after this one's last line stand in a gap past it, where the
    // caret cannot go: on the last line, that change is the one it stands at.
    if (line && std::min(*line, std::max(lines.Count() - 1, 0)) == current)
        line = NextChange(*FDiff, side, *line, Direction);
    if (!line) {
        QApplication::beep();
        FShowHint(Direction > 0 ? QStringLiteral("次の変更箇所はありません") : QStringLiteral("前の変更箇所はありません"));
        return;
    }
    MoveCaretToLine(*editor, *line + 1, [](std::string_view) { return std::size_t{0}; });
    editor->ScrollCaret();
    FWindow.UpdateCaretStatus(editor);
    editor->SetFocus();
}

} // namespace kestrim
