// Selection of TEditor: the edit model's selection, with what only the window knows: the
// mouse pointer over a selection, the dragging rule, and the place under a point.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorCursors.h"

namespace kestrim {

void TEditor::InitSelection()
{
    FModel.InitSelection();
}

void TEditor::SelectionToCaret()
{
    FModel.SelectionToCaret();
}

void TEditor::CleanSelection()
{
    FModel.CleanSelection();
}

bool TEditor::IsInSelection(int ARow, int ACol) const
{
    return FModel.IsInSelection(ARow, ACol);
}

bool TEditor::CanDragSelection() const
{
    return !ReadOnly() && SelectionState() == ssSelected && SelectionMode() == smStream && FCaret.SelMove();
}

// The mode stays while a selection is dragged.
void TEditor::SetSelectionMode(TSelectionMode Value)
{
    if (FDragState != dsDragging)
        FModel.SetSelectionMode(Value);
}

void TEditor::SelectionModeChanged()
{
    if (SelectionMode() == smBox)
        viewport()->setCursor(EditorCursor(FCaret.Cursors().DefaultCursor()));
    emit OnSelectionModeChange();
}

void TEditor::StartRowSelect(int ARow)
{
    FModel.StartRowSelect(ARow);
}

void TEditor::ExtendRowSelect(int ARow)
{
    FModel.ExtendRowSelect(ARow);
}

int TEditor::SelStart() const
{
    return FModel.SelStart();
}

void TEditor::SetSelStart(int Value)
{
    FModel.SetSelStart(Value);
}

int TEditor::SelLength() const
{
    return FModel.SelLength();
}

bool TEditor::HasSelectedText() const
{
    return FModel.HasSelectedText();
}

void TEditor::SetSelLength(int Value)
{
    FModel.SetSelLength(Value);
}

void TEditor::SelectAll()
{
    FModel.SelectAll();
}

std::string TEditor::SelText() const
{
    return FModel.SelText();
}

void TEditor::SetSelText(const std::string& Value)
{
    PasteText(Value);
}

void TEditor::ClearSelection()
{
    if (!ReadOnly())
        DeleteSelection();
}

void TEditor::ShowHit(int Length)
{
    FModel.ShowHit(Length);
}

bool TEditor::Search(const std::string& Pattern, TSearchOptions Options)
{
    return FModel.Search(Pattern, Options);
}

void TEditor::SelectTokenAt(const QPoint& Point, bool UseDefinition, bool KeepBrackets)
{
    const QPoint inViewport = viewport()->mapFrom(this, Point);
    if (inViewport.x() < FMetrics.TextLeft)
        return;
    const TRowCol place = PixelToRowCol(inViewport, false);
    FModel.SelectTokenAt(place.Row, place.Col, UseDefinition, KeepBrackets);
}

} // namespace kestrim
