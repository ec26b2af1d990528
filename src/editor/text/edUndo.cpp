#include "editor/text/edUndo.h"

#include "editor/base/edClasses.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edRaStrings.h"

#include <algorithm>

namespace kestrim {
namespace {

void TakeCaret(const TEditorLink* Editor, TUndoData& Step)
{
    Step.Row = Editor ? Editor->Row() : 0;
    Step.Col = Editor ? Editor->Col() : 0;
}

} // namespace

TUndoData& TEditorUndoObj::NewUndoData()
{
    return AppendUndoData(false);
}

TUndoData& TEditorUndoObj::AppendUndoData(bool KeepRedoList)
{
    TUndoData step;
    TakeCaret(FOwner.ActiveEditor(), step);
    FUndoList.push_back(std::move(step));
    TrimUndoList();
    if (!KeepRedoList)
        FRedoList.clear();
    return FUndoList.back();
}

void TEditorUndoObj::TrimUndoList()
{
    while (static_cast<int>(FUndoList.size()) > FUndoListMax)
        FUndoList.pop_front();
}

void TEditorUndoObj::SetUndoListMax(int Value)
{
    FUndoListMax = std::max(Value, MinUndoListMax);
    TrimUndoList();
}

void TEditorUndoObj::AddRedo(const TUndoData& Step)
{
    FRedoList.push_back(Step);
    TakeCaret(FOwner.ActiveEditor(), FRedoList.back());
}

void TEditorUndoObj::Clear()
{
    FUndoList.clear();
    FRedoList.clear();
}

void TEditorUndoObj::Undo()
{
    if (FUndoList.empty())
        return;
    TEditorLink* active = FOwner.ActiveEditor();
    const TUndoData& step = FUndoList.back();
    {
        TCaretLock lock(active);
        // The redo step gets the caret as it is now, before the caret goes back.
        WithinUpdate(FOwner, [&] { AddRedo(ApplyStep(step)); });
        if (active)
            active->SetRowCol(step.Row, step.Col);
    }
    FUndoList.pop_back();
}

void TEditorUndoObj::Redo()
{
    if (FRedoList.empty())
        return;
    TEditorLink* active = FOwner.ActiveEditor();
    const TUndoData& step = FRedoList.back();
    {
        TCaretLock lock(active);
        WithinUpdate(FOwner, [&] {
            TUndoData inverse = ApplyStep(step);
            TUndoData& undo = AppendUndoData(true);
            undo.StartRow = inverse.StartRow;
            undo.RowCount = inverse.RowCount;
            undo.Attribute = inverse.Attribute;
            undo.Str = std::move(inverse.Str);
        });
        if (active)
            active->SetRowCol(step.Row, step.Col);
    }
    FRedoList.pop_back();
}

// Step names the rows now in place (RowCount from StartRow) and the text they replaced (Str,
// whose last row ended as Attribute; raInvalid when they replaced nothing).
TUndoData TEditorUndoObj::ApplyStep(const TUndoData& Step)
{
    TUndoData inverse;
    inverse.StartRow = Step.StartRow;
    int replacedRows = 0;
    if (Step.RowCount > 0) {
        TRowsText now = FOwner.RowsText(Step.StartRow, Step.RowCount);
        inverse.Str = std::move(now.Text);
        inverse.Attribute = now.Attribute;
        replacedRows = now.Rows;
    }
    if (Step.Attribute == raInvalid) {
        FOwner.KeepMarksOfRemovedRows(Step.StartRow, FOwner.DeleteRows(Step.StartRow, replacedRows));
    } else {
        TEditorStringList rows;
        FOwner.StrToWrapList(Step.Str, rows);
        const int last = rows.Count() - 1;
        if (Step.Attribute == raWrapped && rows.Str(last).empty())
            rows.Delete(last);
        if (rows.Count() > 0)
            rows.SetRows(rows.Count() - 1, Step.Attribute);
        inverse.RowCount = rows.Count();
        FOwner.ReplaceRowsFromList(Step.StartRow, replacedRows, rows);
    }
    const int parsed = FOwner.UpdateBrackets(Step.StartRow, true);
    FOwner.SetChange(Step.StartRow, replacedRows, inverse.RowCount, parsed);
    return inverse;
}

} // namespace kestrim
