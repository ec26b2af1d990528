// The edit-control operations of TEditor.

#include "editor/control/EditorControl.h"

namespace kestrim {

std::pair<int, int> TEditor::GetSel() const { return {0, 0}; }
void TEditor::SetSel(int, int) {}
int TEditor::GetLineCount() const { return FStrings->Count(); }
int TEditor::LineIndex(int) const { return -1; }
int TEditor::LineLength(int) const { return 0; }
int TEditor::LineFromChar(int) const { return 0; }
std::string TEditor::GetLine(int) const { return {}; }
void TEditor::ReplaceSel(const std::string&) {}
QPoint TEditor::PosFromChar(int) const { return {}; }
std::optional<std::pair<int, int>> TEditor::CharFromPos(const QPoint&) const { return std::nullopt; }
std::string TEditor::GetText() const { return {}; }
void TEditor::SetText(const std::string&) {}
int TEditor::GetTextLength() const { return 0; }

} // namespace kestrim
