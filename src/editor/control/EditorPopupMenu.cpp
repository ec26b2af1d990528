#include "editor/control/EditorPopupMenu.h"

#include "editor/control/EditorControl.h"

namespace kestrim {

TEditorPopupMenu::TEditorPopupMenu(TEditor& Editor) : QMenu(&Editor), FEditor(Editor) {}

bool TEditorPopupMenu::HandleShortcut(const QKeyEvent*)
{
    return false;
}

bool TEditorPopupMenu::IsShortcut(const QKeyEvent*) const
{
    return false;
}

void TEditorPopupMenu::MenuPopup() {}

} // namespace kestrim
