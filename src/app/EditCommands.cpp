#include "app/EditCommands.h"

#include "app/Main.h"
#include "app/MainActions.h"
#include "dialogs/FindDialog.h"
#include "dialogs/InputInteger.h"
#include "editor/control/EditorControl.h"
#include "editor/control/TextQString.h"

#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <climits>

namespace kestrim {
namespace {

// Beyond every row and column: the editor clamps it to the end of the text.
constexpr int PastTheEnd = INT_MAX;

} // namespace

TEditCommands::TEditCommands(TfrmKestrim& Window, const TMainActions& Actions, QMenu& mniEdit,
                             TRunCommand RunCommand)
    : QObject(&Window), FWindow(Window), FActions(Actions), FRunCommand(std::move(RunCommand))
{
    CreateDialogs();
    ConnectCommands();
    for (TEditor* editor : Window.Editors())
        connect(editor, &TEditor::OnDblClick, Actions.actSelectWord, &QAction::trigger);
    connect(&mniEdit, &QMenu::aboutToShow, this, &TEditCommands::UpdateUndoRedo);
    connect(Window.popMain, &QMenu::aboutToShow, this, &TEditCommands::UpdateUndoRedo);
}

void TEditCommands::CreateDialogs()
{
    dlgFind = new TFindDialog(&FWindow);
    connect(dlgFind, &TFindDialog::OnFind, this, [this] {
        FRunCommand([this] { dlgFindFind(); });
        ReturnToFindDialog();
    });
    dlgMoveLineNumber = new TIntegerDialog(this);
    dlgMoveLineNumber->setObjectName("dlgMoveLineNumber");
    dlgMoveLineNumber->SetCaption(QStringLiteral("指定行へ移動"));
    dlgMoveLineNumber->SetInformation(QStringLiteral("移動先の行番号を入力"));
}

void TEditCommands::ConnectCommand(QAction* Action, void (TEditCommands::*Handler)())
{
    connect(Action, &QAction::triggered, this,
            [this, Handler] { FRunCommand([this, Handler] { (this->*Handler)(); }); });
}

void TEditCommands::ConnectCommands()
{
    const TMainActions& a = FActions;
    ConnectCommand(a.actUndo, &TEditCommands::actUndoExecute);
    ConnectCommand(a.actRedo, &TEditCommands::actRedoExecute);
    ConnectCommand(a.actCut, &TEditCommands::actCutExecute);
    ConnectCommand(a.actCopy, &TEditCommands::actCopyExecute);
    ConnectCommand(a.actPaste, &TEditCommands::actPasteExecute);
    ConnectCommand(a.actSelectAll, &TEditCommands::actSelectAllExecute);
    ConnectCommand(a.actSelectWord, &TEditCommands::actSelectWordExecute);
    ConnectCommand(a.actFind, &TEditCommands::actFindExecute);
    ConnectCommand(a.actFindNext, &TEditCommands::actFindNextExecute);
    ConnectCommand(a.actFindPrev, &TEditCommands::actFindPrevExecute);
    ConnectCommand(a.actMoveTop, &TEditCommands::actMoveTopExecute);
    ConnectCommand(a.actMoveLineNumber, &TEditCommands::actMoveLineNumberExecute);
    ConnectCommand(a.actMoveBottom, &TEditCommands::actMoveBottomExecute);
    ConnectCommand(a.actViewStatusBar, &TEditCommands::actViewStatusBarExecute);
    ConnectCommand(a.actViewToolBar, &TEditCommands::actViewToolBarExecute);
    ConnectCommand(a.actFont, &TEditCommands::actFontExecute);
}

void TEditCommands::UpdateUndoRedo()
{
    const TEditor& editor = FWindow.CurrentEditor();
    FActions.actUndo->setEnabled(editor.CanUndo());
    FActions.actRedo->setEnabled(editor.CanRedo());
}

void TEditCommands::CaretMoved(TEditor& Editor)
{
    FWindow.UpdateCaretStatus(&Editor);
    FWindow.UpdateCutCopy();
}

// ---------------------------------------------------------------------------------------------
// Edit

void TEditCommands::actUndoExecute()
{
    TEditor& editor = FWindow.CurrentEditor();
    editor.Undo();
    CaretMoved(editor);
}

void TEditCommands::actRedoExecute()
{
    TEditor& editor = FWindow.CurrentEditor();
    editor.Redo();
    CaretMoved(editor);
}

void TEditCommands::actCutExecute()
{
    FWindow.CurrentEditor().CutToClipboard();
    FWindow.UpdateCutCopy();
}

void TEditCommands::actCopyExecute()
{
    FWindow.CurrentEditor().CopyToClipboard();
    FWindow.UpdateCutCopy();
}

void TEditCommands::actPasteExecute()
{
    FWindow.CurrentEditor().PasteFromClipboard();
    FWindow.UpdateCutCopy();
}

void TEditCommands::actSelectAllExecute()
{
    FWindow.CurrentEditor().SelectAll();
    FWindow.UpdateCutCopy();
}

void TEditCommands::actSelectWordExecute()
{
    TEditor& editor = FWindow.CurrentEditor();
    editor.SelectTokenAt(editor.CaretPos(), false, false);
    CaretMoved(editor);
}

// ---------------------------------------------------------------------------------------------
// Find

void TEditCommands::actFindExecute()
{
    dlgFind->Execute();
}

void TEditCommands::dlgFindFind()
{
    Search(dlgFind->Down());
}

void TEditCommands::actFindNextExecute()
{
    SearchAgain(true);
}

void TEditCommands::actFindPrevExecute()
{
    SearchAgain(false);
}

// Nothing to search for yet: the dialog asks for it.
void TEditCommands::SearchAgain(bool Down)
{
    if (dlgFind->FindText().isEmpty())
        actFindExecute();
    else
        Search(Down);
}

void TEditCommands::Search(bool Down)
{
    TEditor& editor = FWindow.CurrentEditor();
    bool lostCharacters = false;
    const std::string pattern = QStringToText(editor.Encoding(), dlgFind->FindText(), &lostCharacters);
    TSearchOptions options = 0;
    if (Down)
        options |= soDown;
    if (dlgFind->MatchCase())
        options |= soMatchCase;
    if (dlgFind->WholeWord())
        options |= soWholeWord;
    // A character the text cannot hold cannot occur in it; its "?" stand-in must not be found.
    if (lostCharacters || !editor.Search(pattern, options)) {
        ReportNotFound();
        return;
    }
    CaretMoved(editor);
}

// Owned by the find dialog while it is open, so that closing the box gives the dialog back the
// focus rather than the editor.
void TEditCommands::ReportNotFound()
{
    QApplication::beep();
    QWidget* owner = dlgFind->isVisible() ? static_cast<QWidget*>(dlgFind) : &FWindow;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("検索"), QStringLiteral("見つかりませんでした。"),
                    QMessageBox::Ok, owner);
    box.exec();
}

// A message box of a search hands the activation to the main window when it closes; the next
// Enter would then type a line break over the selected hit instead of searching again.
void TEditCommands::ReturnToFindDialog()
{
    if (!dlgFind->isVisible())
        return;
    dlgFind->raise();
    dlgFind->activateWindow();
}

// ---------------------------------------------------------------------------------------------
// Caret

void TEditCommands::actMoveTopExecute()
{
    TEditor& editor = FWindow.CurrentEditor();
    editor.SetRowCol(0, 0);
    CaretMoved(editor);
}

// Anything the dialog refuses (a number below 0, one past 32 bits, not a number) gets one
// message with the lines there are; 0 and numbers past the end are taken and clamped.
void TEditCommands::actMoveLineNumberExecute()
{
    const QString range = QStringLiteral("1 から %1 までの行番号を入力してください。")
                              .arg(std::max(1, FWindow.CurrentEditor().Lines().Count()));
    dlgMoveLineNumber->SetErrorMessage(range);
    dlgMoveLineNumber->SetRangeMessage(range);
    if (!dlgMoveLineNumber->Execute())
        return;
    // Taken after the dialog: a run that ended meanwhile may have shown another page.
    TEditor& editor = FWindow.CurrentEditor();
    editor.SetRow(dlgMoveLineNumber->Value() - 1);
    editor.SetCol(0);
    CaretMoved(editor);
}

// The last row, after its last character: the end of the text.
void TEditCommands::actMoveBottomExecute()
{
    TEditor& editor = FWindow.CurrentEditor();
    editor.SetRow(PastTheEnd);
    editor.SetCol(PastTheEnd);
    CaretMoved(editor);
}

// ---------------------------------------------------------------------------------------------
// View

void TEditCommands::actViewStatusBarExecute()
{
    FWindow.SetStatusBarVisible(FWindow.statusBar()->isHidden());
}

void TEditCommands::actViewToolBarExecute()
{
    FWindow.SetToolBarVisible(FWindow.tlbMain->isHidden());
}

// The three editors share one monospaced font; the script editor's is the one offered. Its face name may
// be a substitute ("ＭＳ ゴシック") that the dialog does not list and would exchange for its own
// first choice: it is offered as the installed face the editors show.
void TEditCommands::actFontExecute()
{
    QFont offered = FWindow.tedScript->Font();
    offered.setFamily(QFontInfo(offered).family());
    QFontDialog dialog(&FWindow);
    // The editors lay text out in cells of one width: proportional faces would break the grid.
    dialog.setOption(QFontDialog::MonospacedFonts);
    dialog.setCurrentFont(offered);
    if (dialog.exec() == QDialog::Accepted)
        FWindow.SetEditorFont(dialog.selectedFont());
}

} // namespace kestrim
