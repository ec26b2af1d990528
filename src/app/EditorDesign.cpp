#include "app/EditorDesign.h"

#include "editor/control/EditorControl.h"

namespace kestrim {

void ApplyEditorDesign(TEditor& Editor)
{
    TEditorCaret& caret = Editor.Caret();
    caret.BeginUpdate();
    caret.SetAutoIndent(true);
    caret.SetBackSpaceUnIndent(true);
    caret.SetNextLine(true);
    caret.SetRowSelect(true);
    caret.SetSelMove(true);
    caret.SetTabIndent(true);
    caret.SetFreeCaret(false);
    caret.SetFreeRow(false);
    caret.SetInTab(false);
    caret.SetKeepCaret(false);
    caret.SetSoftTab(false);
    caret.SetTabSpaceCount(8);
    caret.EndUpdate();
    Editor.Margin().SetLeft(1);
    Editor.SetUndoListMax(64);
    Editor.SetHitStyle(hsSelect);
    Editor.SetWordWrap(false);
}

} // namespace kestrim
