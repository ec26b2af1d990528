#include "app/EditorFeatureCommands.h"

#include "app/Main.h"
#include "editor/control/EditorControl.h"
#include "settings/UKestrimReg.h"

#include <QAction>
#include <QMenu>

namespace kestrim {

TEditorFeatureCommands::TEditorFeatureCommands(TfrmKestrim& Window, QMenu& Edit, QMenu& View, TRunCommand RunCommand)
    : QObject(&Window), FWindow(Window), FRunCommand(std::move(RunCommand))
{
    Edit.addSeparator();
    actBoxMode = AddCommand(Edit, QStringLiteral("Box選択モード(&K)"), QKeySequence(Qt::CTRL | Qt::Key_K),
                            QStringLiteral("Box選択モード|矩形で選択するモードを切り替えます。"), [this] {
                                FWindow.CurrentEditor().SetSelectionMode(actBoxMode->isChecked() ? smBox : smStream);
                            });
    actBoxMode->setCheckable(true);
    actBoxPaste = AddCommand(Edit, QStringLiteral("Box貼り付け(&B)"), QKeySequence(Qt::CTRL | Qt::Key_B),
                             QStringLiteral("Box貼り付け|クリップボードの内容を矩形で貼り付けます。"), [this] {
                                 TEditor& editor = FWindow.CurrentEditor();
                                 editor.PasteBox(editor.ClipboardText());
                             });
    AddBookmarkMenus(Edit);

    View.addSeparator();
    actViewRuler = AddCommand(View, QStringLiteral("ルーラー(&L)"), {},
                              QStringLiteral("ルーラーの表示／非表示を切り替えます。"),
                              [this] { SetRuler(actViewRuler->isChecked()); });
    actViewLineNumber = AddCommand(View, QStringLiteral("行番号(&N)"), {},
                                   QStringLiteral("行番号の表示／非表示を切り替えます。"),
                                   [this] { SetLineNumbers(actViewLineNumber->isChecked()); });
    for (QAction* action : {actViewRuler, actViewLineNumber})
        action->setCheckable(true);

    connect(&Edit, &QMenu::aboutToShow, this, &TEditorFeatureCommands::UpdateBoxMode);
    connect(&Window, &TfrmKestrim::CurrentEditorChanged, this, &TEditorFeatureCommands::UpdateBoxMode);
    for (TEditor* editor : Window.Editors())
        connect(editor, &TEditor::OnSelectionModeChange, this, &TEditorFeatureCommands::UpdateBoxMode);
}

QAction* TEditorFeatureCommands::AddCommand(QMenu& Menu, const QString& Caption, const QKeySequence& Key,
                                            const QString& Hint, const std::function<void()>& Handler)
{
    QAction* action = Menu.addAction(Caption);
    action->setShortcut(Key);
    action->setToolTip(Hint.section(QLatin1Char('|'), 0, 0));
    action->setStatusTip(Hint.section(QLatin1Char('|'), -1));
    connect(action, &QAction::triggered, this, [this, Handler] { FRunCommand(Handler); });
    return action;
}

// Shift+Ctrl and a digit sets or clears a bookmark on the caret's row, as in the editor's own
// menu; jumping to one has Alt and the digit, since Ctrl and a digit choose the page here.
void TEditorFeatureCommands::AddBookmarkMenus(QMenu& Edit)
{
    QMenu* setMark = Edit.addMenu(QStringLiteral("マーク設定"));
    QMenu* jumpMark = Edit.addMenu(QStringLiteral("マークジャンプ"));
    for (int mark = 0; mark <= 9; ++mark) {
        const Qt::Key digit = static_cast<Qt::Key>(Qt::Key_0 + mark);
        AddCommand(*setMark, QString::number(mark), QKeySequence(Qt::SHIFT | Qt::CTRL | digit),
                   QStringLiteral("マーク設定|カーソルのある行にマーク %1 を付けるか外します。").arg(mark),
                   [this, mark] { ToggleBookmark(mark); });
        AddCommand(*jumpMark, QString::number(mark), QKeySequence(Qt::ALT | digit),
                   QStringLiteral("マークジャンプ|マーク %1 の行へ移動します。").arg(mark),
                   [this, mark] { FWindow.CurrentEditor().GotoRowMark(mark); });
    }
}

void TEditorFeatureCommands::ToggleBookmark(int Mark)
{
    TEditor& editor = FWindow.CurrentEditor();
    if (editor.RowMarks(editor.Row()) & RowMark(Mark))
        editor.DeleteRowMark(editor.Row(), Mark);
    else
        editor.PutRowMark(editor.Row(), Mark);
}

// A paste or a selection in box mode looks like any other: the status bar says so.
void TEditorFeatureCommands::UpdateBoxMode()
{
    const bool box = FWindow.CurrentEditor().SelectionMode() == smBox;
    actBoxMode->setChecked(box);
    FWindow.ShowBoxMode(box);
}

void TEditorFeatureCommands::SetRuler(bool Visible)
{
    actViewRuler->setChecked(Visible);
    for (TEditor* editor : FWindow.Editors())
        editor->Ruler().SetVisible(Visible);
}

void TEditorFeatureCommands::SetLineNumbers(bool Visible)
{
    actViewLineNumber->setChecked(Visible);
    for (TEditor* editor : FWindow.Editors())
        editor->Leftbar().SetVisible(Visible);
}

void TEditorFeatureCommands::ApplySettings(const TKestrimReg& Settings)
{
    SetRuler(Settings.Ruler);
    SetLineNumbers(Settings.LineNumbers);
}

void TEditorFeatureCommands::StoreSettings(TKestrimReg& Settings) const
{
    Settings.Ruler = actViewRuler->isChecked();
    Settings.LineNumbers = actViewLineNumber->isChecked();
}

} // namespace kestrim
