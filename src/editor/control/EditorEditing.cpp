// Editing operations of TEditor: every change of the text is one ReplaceRows.

#include "editor/control/EditorControl.h"

namespace kestrim {

void TEditor::InsertText(const std::string&) {}
void TEditor::DeleteSelection() {}
void TEditor::PasteText(const std::string&) {}
void TEditor::PasteBox(const std::string&) {}
void TEditor::TypeChar(const std::string&) {}
void TEditor::TypeTab(Qt::KeyboardModifiers) {}
void TEditor::TypeReturn(Qt::KeyboardModifiers) {}
void TEditor::TypeBackSpace() {}
void TEditor::TypeDelete() {}
void TEditor::SetRowMarks(int, TRowMarks) {}
void TEditor::PutRowMark(int, int) {}
void TEditor::DeleteRowMark(int, int) {}
void TEditor::GotoRowMark(int) {}

} // namespace kestrim
