#pragma once
// The main window's command table: every user command as a QAction with its caption,
// shortcut, hint and tool-button image. A hint is written "short|long": the short part is the
// tool tip, the long part the status-bar text.

#include <QList>
#include <QString>

class QAction;
class QActionGroup;
class QObject;

namespace kestrim {

// The tool tip and status-bar text of a hint written "short|long"; a hint without "|" is both.
QString ShortHint(const QString& Hint);
QString LongHint(const QString& Hint);

struct TMainActions {
    // The actions are children of Owner.
    explicit TMainActions(QObject* Owner);

    // Every action above, for adding them to the window so that their shortcuts work
    // wherever the focus is.
    QList<QAction*> All() const;

    // Script file commands.
    QAction* actNew;
    QAction* actLoad;
    QAction* actSave;
    QAction* actSaveAs;
    // Workbench file commands: the script, the samples and the language in one file.
    QAction* actWorkbenchNew;
    QAction* actWorkbenchOpen;
    QAction* actWorkbenchSave;
    QAction* actWorkbenchSaveAs;
    // The visible page's encoding: its file opened again in the other one, its text converted.
    QAction* actReopenEncoding;
    QAction* actConvertEncoding;
    // Edit commands on the current editor.
    QAction* actUndo;
    QAction* actRedo;
    QAction* actCut;
    QAction* actCopy;
    QAction* actPaste;
    QAction* actSelectAll;
    QAction* actSelectWord;
    QAction* actFind;
    // Searches again for the find dialog's text, towards the end or the start.
    QAction* actFindNext;
    QAction* actFindPrev;
    // Pages: one radio group, the visible page checked.
    QAction* actViewScript;
    QAction* actViewData;
    QAction* actViewResult;
    QAction* actViewWeb;
    QActionGroup* grpViewPage;
    // The pages side by side instead of one tab each; checked while they are.
    QAction* actViewWorkbench;
    // The samples table above the data, the expected result under the result; checked while shown.
    QAction* actViewSamples;
    QAction* actViewExpected;
    // Caret and view commands.
    QAction* actMoveTop;
    QAction* actMoveLineNumber;
    QAction* actMoveBottom;
    QAction* actViewStatusBar;
    QAction* actViewToolBar;
    // Change marks of the data and result pages, and going from change to change on a page.
    QAction* actViewChanges;
    QAction* actNextChange;
    QAction* actPrevChange;
    // Running.
    QAction* actRun;
    QAction* actTerminate;
    QAction* actRunClipboard;
    // Live runs on every pause in typing; checked while they are on.
    QAction* actLiveRun;
    // The script over every sample in turn, and the result page's text as the current sample's
    // expected result.
    QAction* actRunAllSamples;
    QAction* actResultToExpected;
    // Settings.
    QAction* actFont;
    QAction* actConfig;
    // Data and result pages.
    QAction* actDataClear;
    QAction* actDataOpen;
    QAction* actDataSave;
    QAction* actResultCopy;
    QAction* actResultSave;
    // Web page history.
    QAction* actWebBack;
    QAction* actWebForward;
    // Menu commands without a command of their own.
    QAction* mniExit;
    QAction* mniHelp;
    QAction* mniAbout;
};

} // namespace kestrim
