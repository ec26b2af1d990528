#pragma once
// TEditorPopupMenu: the editor's built-in context menu: bookmarks, undo and redo, the clipboard
// commands, select all and the box selection switch, each with its key. It serves only an editor
// whose owner gives it no menu of its own (the context-menu policy left at its default); the
// editor then also answers the menu's keys.

#include <QMenu>

class QAction;
class QKeyEvent;

namespace kestrim {

class TEditor;
class TEditModel;

class TEditorPopupMenu : public QMenu {
    Q_OBJECT

public:
    // Model: the editor's edit model, for the marks its rows carry.
    TEditorPopupMenu(TEditor& Editor, const TEditModel& Model);

    // Runs the command whose key Event is; false when it is none of the menu's keys.
    bool HandleShortcut(const QKeyEvent* Event);
    // Whether Event is one of the menu's keys.
    bool IsShortcut(const QKeyEvent* Event) const;

    // Enables and checks the items for the editor's present state, as before every pop-up.
    void MenuPopup();

private:
    void CreateMenuItems();
    QAction* AddCommand(const QString& Caption, const QKeySequence& Key, void (TEditorPopupMenu::*Command)());

    void SetMarkClick(int Mark);
    void JumpMarkClick(int Mark);
    void UndoClick();
    void RedoClick();
    void CutClick();
    void CopyClick();
    void PasteClick();
    void BoxPasteClick();
    void DeleteClick();
    void SelectAllClick();
    void BoxModeClick();

    TEditor& FEditor;
    const TEditModel& FModel;
    QList<QAction*> FSetMarks;
    QList<QAction*> FJumpMarks;
    QAction* FUndo = nullptr;
    QAction* FRedo = nullptr;
    QAction* FCut = nullptr;
    QAction* FCopy = nullptr;
    QAction* FPaste = nullptr;
    QAction* FBoxPaste = nullptr;
    QAction* FDelete = nullptr;
    QAction* FSelectAll = nullptr;
    QAction* FBoxMode = nullptr;
};

} // namespace kestrim
