// Selection of TEditor: stream, box and row selection, search hits, and the selected text.

#include "editor/control/EditorControl.h"

namespace kestrim {

int TEditor::SelLength() const { return 0; }
void TEditor::SetSelLength(int) {}
void TEditor::SelectAll() {}
void TEditor::ClearSelection() {}
void TEditor::SelectTokenAt(const QPoint&, bool, bool) {}
bool TEditor::Search(const std::string&, TSearchOptions) { return false; }
void TEditor::SetSelectionMode(TSelectionMode Value) { FSelectionMode = Value; }
int TEditor::SelStart() const { return 0; }
void TEditor::SetSelStart(int) {}
std::string TEditor::SelText() const { return {}; }
void TEditor::SetSelText(const std::string&) {}
void TEditor::InitSelection() {}
void TEditor::SelectionToCaret() {}
void TEditor::CleanSelection() { FSelectionState = ssNone; }
bool TEditor::IsInSelection(int, int) const { return false; }
bool TEditor::CanDragSelection() const { return false; }
void TEditor::StartRowSelect(int) {}
void TEditor::ExtendRowSelect(int) {}
void TEditor::ShowHit(int) {}

} // namespace kestrim
