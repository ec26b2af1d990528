// The clipboard of TEditor.

#include "editor/control/EditorControl.h"

namespace kestrim {

void TEditor::CopyToClipboard() {}
void TEditor::CutToClipboard() {}
void TEditor::PasteFromClipboard() {}

} // namespace kestrim
