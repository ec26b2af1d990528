#include "editor/control/EditorPopupMenu.h"

#include "editor/control/EditorControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace kestrim {

TEditorPopupMenu::TEditorPopupMenu(TEditor& Editor, const TEditModel& Model)
    : QMenu(&Editor), FEditor(Editor), FModel(Model)
{
    CreateMenuItems();
    connect(this, &QMenu::aboutToShow, this, &TEditorPopupMenu::MenuPopup);
}

QAction* TEditorPopupMenu::AddCommand(const QString& Caption, const QKeySequence& Key, void (TEditorPopupMenu::*Command)())
{
    QAction* action = addAction(Caption);
    action->setShortcut(Key);
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, Command);
    return action;
}

// Redo is on Ctrl+A and select all has no key, as the menu has always had them.
void TEditorPopupMenu::CreateMenuItems()
{
    QMenu* setMark = addMenu(QStringLiteral("マーク設定"));
    QMenu* jumpMark = addMenu(QStringLiteral("マークジャンプ"));
    for (int mark = 0; mark <= 9; ++mark) {
        const QString digit = QString::number(mark);
        QAction* set = setMark->addAction(digit);
        set->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + mark)));
        set->setCheckable(true);
        set->setData(mark);
        connect(set, &QAction::triggered, this, [this, mark] { SetMarkClick(mark); });
        FSetMarks.append(set);
        QAction* jump = jumpMark->addAction(digit);
        jump->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + mark)));
        jump->setCheckable(true);
        jump->setData(mark);
        connect(jump, &QAction::triggered, this, [this, mark] { JumpMarkClick(mark); });
        FJumpMarks.append(jump);
    }
    addSeparator();
    FUndo = AddCommand(QStringLiteral("元に戻す(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z), &TEditorPopupMenu::UndoClick);
    FRedo = AddCommand(QStringLiteral("やり直し(&R)"), QKeySequence(Qt::CTRL | Qt::Key_A), &TEditorPopupMenu::RedoClick);
    addSeparator();
    FCut = AddCommand(QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X), &TEditorPopupMenu::CutClick);
    FCopy = AddCommand(QStringLiteral("コピー(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C), &TEditorPopupMenu::CopyClick);
    FPaste = AddCommand(QStringLiteral("貼り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V), &TEditorPopupMenu::PasteClick);
    FBoxPaste = AddCommand(QStringLiteral("Box貼り付け(&B)"), QKeySequence(Qt::CTRL | Qt::Key_B),
                           &TEditorPopupMenu::BoxPasteClick);
    FDelete = AddCommand(QStringLiteral("削除(&D)"), QKeySequence(), &TEditorPopupMenu::DeleteClick);
    addSeparator();
    FSelectAll = AddCommand(QStringLiteral("すべて選択(&A)"), QKeySequence(), &TEditorPopupMenu::SelectAllClick);
    addSeparator();
    FBoxMode = AddCommand(QStringLiteral("Box選択モード(&K)"), QKeySequence(Qt::CTRL | Qt::Key_K),
                          &TEditorPopupMenu::BoxModeClick);
    FBoxMode->setCheckable(true);
    FBoxMode->setEnabled(true);
    // The items' keys work through the editor, not as shortcuts of their own, so that they
    // never compete with the keys of an owner's commands.
    for (QAction* action : actions())
        action->setShortcutContext(Qt::WidgetShortcut);
}

void TEditorPopupMenu::MenuPopup()
{
    const bool selected = FEditor.HasSelectedText();
    const bool writable = !FEditor.ReadOnly();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const bool text = clipboard && clipboard->hasText();
    FUndo->setEnabled(FEditor.CanUndo() && writable);
    FRedo->setEnabled(FEditor.CanRedo() && writable);
    FCut->setEnabled(selected && writable);
    FCopy->setEnabled(selected);
    FPaste->setEnabled(text && writable);
    FBoxPaste->setEnabled(text && writable);
    FDelete->setEnabled(selected && writable);
    FSelectAll->setEnabled(FEditor.GetTextLength() > 0);
    FBoxMode->setChecked(FEditor.SelectionMode() == smBox);
    const TRowMarks marks = FModel.ListMarks();
    for (int mark = 0; mark <= 9; ++mark) {
        FSetMarks[mark]->setChecked(marks & RowMark(mark));
        FJumpMarks[mark]->setChecked(marks & RowMark(mark));
    }
}

namespace {

QKeySequence SequenceOf(const QKeyEvent* Event)
{
    return QKeySequence(Event->keyCombination());
}

// Every action of Menu and its submenus that carries Key.
QAction* ActionWithKey(const QMenu& Menu, const QKeySequence& Key)
{
    for (QAction* action : Menu.actions()) {
        if (action->menu()) {
            if (QAction* found = ActionWithKey(*action->menu(), Key))
                return found;
        } else if (!action->shortcut().isEmpty() && action->shortcut() == Key) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

bool TEditorPopupMenu::IsShortcut(const QKeyEvent* Event) const
{
    return ActionWithKey(*this, SequenceOf(Event)) != nullptr;
}

bool TEditorPopupMenu::HandleShortcut(const QKeyEvent* Event)
{
    QAction* action = ActionWithKey(*this, SequenceOf(Event));
    if (!action)
        return false;
    MenuPopup();
    if (action->isEnabled())
        action->trigger();
    return true;
}

void TEditorPopupMenu::SetMarkClick(int Mark)
{
    const int row = FEditor.Row();
    if (FEditor.RowMarks(row) & RowMark(Mark))
        FEditor.DeleteRowMark(row, Mark);
    else
        FEditor.PutRowMark(row, Mark);
}

void TEditorPopupMenu::JumpMarkClick(int Mark)
{
    FEditor.GotoRowMark(Mark);
}

void TEditorPopupMenu::UndoClick()
{
    FEditor.Undo();
}

void TEditorPopupMenu::RedoClick()
{
    FEditor.Redo();
}

void TEditorPopupMenu::CutClick()
{
    FEditor.CutToClipboard();
}

void TEditorPopupMenu::CopyClick()
{
    FEditor.CopyToClipboard();
}

void TEditorPopupMenu::PasteClick()
{
    FEditor.PasteFromClipboard();
}

void TEditorPopupMenu::BoxPasteClick()
{
    FEditor.PasteBox(FEditor.ClipboardText());
}

void TEditorPopupMenu::DeleteClick()
{
    FEditor.ClearSelection();
}

void TEditorPopupMenu::SelectAllClick()
{
    FEditor.SelectAll();
}

void TEditorPopupMenu::BoxModeClick()
{
    FEditor.SetSelectionMode(FBoxMode->isChecked() ? smBox : smStream);
}

} // namespace kestrim
