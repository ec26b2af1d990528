#pragma once
// The values the main window gives each of its three editors when it creates them: the caret
// rules of a plain text editor (no free caret, automatic and tab indentation, Right going on to
// the next line), a narrow left margin, at least 64 undo steps and hits shown as selections.

namespace kestrim {

class TEditor;

void ApplyEditorDesign(TEditor& Editor);

} // namespace kestrim
