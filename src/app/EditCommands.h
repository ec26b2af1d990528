#pragma once
// TEditCommands: the main window's edit, find, caret and view commands. Each is a thin handler
// over an operation of the window's current editor (the script editor while the Web page is
// shown), and keeps the enabled states of Cut, Copy, Undo and Redo.

#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace kestrim {

class TEditor;
class TFindDialog;
class TIntegerDialog;
class TfrmKestrim;
struct TMainActions;

class TEditCommands : public QObject {
    Q_OBJECT

public:
    // The window's way of running a command handler, showing an error that leaves it.
    using TRunCommand = std::function<void(const std::function<void()>& Handler)>;

    // Connects the commands, the find dialog's Find next, the three editors' double-click
    // (Select word), and the Edit menu and the editors' context menu (Undo and Redo refresh).
    TEditCommands(TfrmKestrim& Window, const TMainActions& Actions, QMenu& mniEdit, TRunCommand RunCommand);

    // Undo and Redo are enabled when the current editor can undo or redo; refreshed only when
    // a menu that holds them opens.
    void UpdateUndoRedo();

    void actUndoExecute();
    void actRedoExecute();
    void actCutExecute();
    void actCopyExecute();
    void actPasteExecute();
    void actSelectAllExecute();
    void actSelectWordExecute();
    void actFindExecute();
    void dlgFindFind();
    // Search again with the find dialog's text and options, in the direction given (F3,
    // Shift+F3); the dialog opens when it holds no text yet.
    void actFindNextExecute();
    void actFindPrevExecute();
    void actMoveTopExecute();
    void actMoveLineNumberExecute();
    void actMoveBottomExecute();
    void actViewStatusBarExecute();
    void actViewToolBarExecute();
    void actFontExecute();

    TFindDialog* dlgFind;
    TIntegerDialog* dlgMoveLineNumber;

private:
    void CreateDialogs();
    void ConnectCommands();
    void ConnectCommand(QAction* Action, void (TEditCommands::*Handler)());
    // The caret and the selection moved: the status bar and Cut and Copy follow.
    void CaretMoved(TEditor& Editor);
    // Searches the current editor for the dialog's text with its case and word options.
    void Search(bool Down);
    void SearchAgain(bool Down);
    void ReportNotFound();
    void ReturnToFindDialog();

    TfrmKestrim& FWindow;
    const TMainActions& FActions;
    TRunCommand FRunCommand;
};

} // namespace kestrim
