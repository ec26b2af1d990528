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

TUndoData& TEditorUndoObj::NewUndoData(TUndoData Step)
{
    FRedoList.clear();
    return AddUndo(std::move(Step));
}

TUndoData& TEditorUndoObj::AddUndo(TUndoData Step)
{
    TakeCaret(FOwner.ActiveEditor(), Step);
    FUndoList.push_back(std::move(Step));
    TrimUndoList();
    return FUndoList.back();
}

void TEditorUndoObj::TrimUndoList()
{
    std::size_t bytes = 0;
    for (const TUndoData& step : FUndoList)
        bytes += step.Str.size();
    const auto tooMany = [&] { return static_cast<int>(FUndoList.size()) > FUndoListMax || bytes > FUndoBytesMax; };
    while (FUndoList.size() > 1 && tooMany()) {
        bytes -= FUndoList.front().Str.size();
        FUndoList.pop_front();
    }
}

void TEditorUndoObj::SetUndoListMax(int Value)
{
    FUndoListMax = std::max(Value, MinUndoListMax);
    TrimUndoList();
}

void TEditorUndoObj::SetUndoBytesMax(std::size_t Value)
{
    FUndoBytesMax = Value;
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

template <typename Apply>
void TEditorUndoObj::RevertLast(TUndoDataList& Steps, Apply&& apply)
{
    if (Steps.empty())
        return;
    TEditorLink* active = FOwner.ActiveEditor();
    const TUndoData& step = Steps.back();
    {
        TCaretLock lock(active);
        WithinUpdate(FOwner, [&] { apply(step); });
        if (active)
            active->SetRowCol(step.Row, step.Col);
    }
    Steps.pop_back();
}

// The inverse step gets the caret as it is now, before the caret goes back.
void TEditorUndoObj::Undo()
{
    RevertLast(FUndoList, [this](const TUndoData& Step) { AddRedo(ApplyStep(Step)); });
}

void TEditorUndoObj::Redo()
{
    RevertLast(FRedoList, [this](const TUndoData& Step) { AddUndo(ApplyStep(Step)); });
}

// Step names the rows now in place (RowCount from StartRow) and the text they replaced (Str,
// whose last row ended as Attribute; raInvalid when they replaced nothing, and in Encoding
// when the step changed the encoding).
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
    if (Step.Encoding) {
        inverse.Encoding = FOwner.Encoding();
        FOwner.SetEncoding(*Step.Encoding);
    }
    TEditorStringList rows;
    if (Step.Attribute != raInvalid) {
        FOwner.StrToWrapList(Step.Str, rows);
        const int last = rows.Count() - 1;
        if (Step.Attribute == raWrapped && rows.Str(last).empty())
            rows.Delete(last);
        if (rows.Count() > 0)
            rows.SetRows(rows.Count() - 1, Step.Attribute);
    }
    inverse.RowCount = rows.Count();
    FOwner.StoreRows(Step.StartRow, replacedRows, rows);
    return inverse;
}

} // namespace kestrim
