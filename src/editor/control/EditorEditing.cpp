// Editing of TEditor: the edit model's operations, with what only the window knows: which
// modifier keys count, and the image bar that shows the marks of rows.

#include "editor/control/EditorControl.h"

namespace kestrim {

void TEditor::InsertText(const std::string& Text)
{
    FModel.InsertText(Text);
}

void TEditor::DeleteSelection()
{
    FModel.DeleteSelection();
}

void TEditor::PasteText(const std::string& Text)
{
    FModel.PasteText(Text);
}

void TEditor::PasteBox(const std::string& Text)
{
    FModel.PasteBox(Text);
}

void TEditor::TypeChar(const std::string& Character)
{
    FModel.TypeChar(Character);
}

void TEditor::TypeTab(Qt::KeyboardModifiers Modifiers)
{
    if (!(Modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) && FWantTabs)
        FModel.TypeTab();
}

void TEditor::TypeReturn(Qt::KeyboardModifiers Modifiers)
{
    FModel.TypeReturn(Modifiers.testFlag(Qt::ShiftModifier));
}

void TEditor::TypeBackSpace()
{
    FModel.TypeBackSpace();
}

void TEditor::TypeDelete()
{
    FModel.TypeDelete();
}

// ---------------------------------------------------------------------------------------------
// Marks of rows

TRowMarks TEditor::RowMarks(int ARow) const
{
    return FModel.RowMarks(ARow);
}

void TEditor::SetRowMarks(int ARow, TRowMarks Value)
{
    FModel.SetRowMarks(ARow, Value);
}

void TEditor::PutRowMark(int ARow, int Mark)
{
    FModel.PutRowMark(ARow, Mark);
}

void TEditor::DeleteRowMark(int ARow, int Mark)
{
    FModel.DeleteRowMark(ARow, Mark);
}

void TEditor::GotoRowMark(int Mark)
{
    FModel.GotoRowMark(Mark);
}

void TEditor::RowMarksChanged(int ARow)
{
    if (FImagebar.Visible())
        viewport()->update(QRect(0, RowTop(ARow), FMetrics.ImagebarWidth, FMetrics.RowPitch));
}

} // namespace kestrim
