#pragma once
// TChangeMarksController: the change marks of the data and result pages. While they are on, the
// result page marks how its lines differ from the data page's lines, the data page marks the
// counterpart, and the status bar counts them. The marks follow edits of either page after a
// pause in typing, and each run's end; a run in progress removes them, since the result it is
// about to replace no longer belongs to the data.
//
// The comparison keeps the window answering however long the texts are: the lines' keys are
// read on the GUI thread in slices between events, and the keys are compared on a worker thread
// that never touches the editors. A newer comparison, a run or the window's end cancels an older
// one, whose result is then dropped.

#include "app/TypingPause.h"
#include "editor/text/LineDiff.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QString;

namespace kestrim {

class TEditor;
class TKestrimReg;
class TfrmKestrim;
struct TMainActions;

class TChangeMarksController : public QObject {
public:
    using TRunCommand = std::function<void(const std::function<void()>& Handler)>;
    using TShowHint = std::function<void(const QString& Hint)>;

    // Carries out Actions' switch and change commands on Window's data and result pages; Panel
    // gives the marks' counts, and is hidden while there are none.
    TChangeMarksController(TfrmKestrim& Window, const TMainActions& Actions, QLabel& Panel, TRunCommand RunCommand,
                           TShowHint ShowHint);
    // Cancels a comparison in progress and takes the marks from the editors, which the marks
    // of each other's text must not outlive. The window destroys it before its editors.
    ~TChangeMarksController() override;

    void ApplySettings(const TKestrimReg& Settings);
    void StoreSettings(TKestrimReg& Settings) const;
    // The pause after an edit before the marks are compared again: the live runs' pause.
    void SetPauseMs(int Ms) { FPause.setInterval(Ms); }
    // A run (of either kind) started or ended.
    void SetRunning(bool Running);
    // What the result page is compared with: the data page, or another editor (the expected
    // result while it is shown). The marks follow that editor's edits as they follow the data's.
    void SetOldEditor(TEditor& Editor);

private:
    // The keys of one page's lines, read a slice at a time. Once read to the end they serve
    // every comparison until the page changes: a run's end reads the result page only.
    struct TKeyReading {
        TEditor* Editor = nullptr;
        int NextRow = 0;
        std::vector<std::uint64_t> Read;
        std::shared_ptr<const std::vector<std::uint64_t>> Keys;
    };

    void SetEnabled(bool Enabled);
    void PageChanged(TKeyReading& Page);
    // Drops the comparison in progress and starts reading the pages anew.
    void Start();
    // Drops the comparison in progress, if any, and the result it would give.
    void Cancel();
    void ReadSlice();
    void ReadLines(TKeyReading& Reading, int MaxLines);
    void Compare();
    void Show(TLineDiff Diff);
    void RemoveMarks();
    void ShowStatus(const QString& Text);
    // Moves the caret of the current page to the next (Direction 1) or previous (-1) change.
    void GoToChange(int Direction);

    TfrmKestrim& FWindow;
    const TMainActions& FActions;
    TShowHint FShowHint;
    QLabel& FPanel;
    TTypingPause FPause;
    QTimer FSlice;
    bool FEnabled = false;
    bool FRunning = false;
    TKeyReading FOld; // the data page's, or the editor put in its place
    TKeyReading FNew; // the result page's
    QMetaObject::Connection FOldChange;
    // Counts the comparisons started: a result of an older one is not shown.
    std::uint64_t FGeneration = 0;
    std::shared_ptr<std::atomic<bool>> FCancel;
    // The comparison the editors show; none while they show no marks.
    std::shared_ptr<const TLineDiff> FDiff;
};

} // namespace kestrim
