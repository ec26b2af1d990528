#include "editor/text/edRaStrings.h"

#include "editor/base/Exceptions.h"
#include "editor/highlight/edFountain.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edUndo.h"

#include <algorithm>

namespace kestrim {
namespace {

// Takes the list's change event away for a scope: whole-text rebuilds tell the editors
// themselves once they are done.
class TChangeEventDetached {
public:
    explicit TChangeEventDetached(TheStringList& List) : FList(List), FSaved(std::move(List.OnChange)) {}
    ~TChangeEventDetached() { FList.OnChange = std::move(FSaved); }
    TChangeEventDetached(const TChangeEventDetached&) = delete;
    TChangeEventDetached& operator=(const TChangeEventDetached&) = delete;

private:
    TheStringList& FList;
    TNotifyEvent FSaved;
};

} // namespace

// An editor may detach itself while it is told something, so the list is copied first.
template <typename Action>
void TEditorScreenStrings::ForEachEditor(Action&& action) const
{
    const std::vector<TEditorLink*> editors = FEditors;
    for (TEditorLink* editor : editors)
        action(*editor);
}

TEditorScreenStrings::TEditorScreenStrings() : FUndoObj(std::make_unique<TEditorUndoObj>(*this))
{
    OnChange = TNotifyEvent([this](TObject*) { ForEachEditor([](TEditorLink& editor) { editor.TextChanged(); }); });
    FWrapOption.OnChange = TNotifyEvent([this](TObject*) { WrapOptionChanged(); });
}

TEditorScreenStrings::~TEditorScreenStrings() = default;

// --- Editors

void TEditorScreenStrings::AttachEditor(TEditorLink& Editor)
{
    if (std::find(FEditors.begin(), FEditors.end(), &Editor) == FEditors.end())
        FEditors.push_back(&Editor);
}

void TEditorScreenStrings::DetachEditor(TEditorLink& Editor)
{
    std::erase(FEditors, &Editor);
}

TEditorLink* TEditorScreenStrings::Owner() const
{
    return FEditors.empty() ? nullptr : FEditors.front();
}

TEditorLink* TEditorScreenStrings::ActiveEditor() const
{
    for (TEditorLink* editor : FEditors)
        if (editor->HasFocus())
            return editor;
    return Owner();
}

// --- Reading rows

int TEditorScreenStrings::LineStartRow(int Row) const
{
    while (Row > 0 && Row <= Count() && Rows(Row - 1) == raWrapped)
        --Row;
    return Row;
}

int TEditorScreenStrings::LineEndRow(int Row) const
{
    while (Row >= 0 && Row < Count() - 1 && Rows(Row) == raWrapped)
        ++Row;
    return Row;
}

TRowsText TEditorScreenStrings::RowsText(int Row, int RowCount) const
{
    TRowsText result;
    if (Row < 0 || Row >= Count() || RowCount == 0 || RowCount < -1)
        return result;
    const int last = RowCount == -1 ? LineEndRow(Row) : std::min(Row + RowCount - 1, Count() - 1);
    std::size_t size = 0;
    for (int row = Row; row <= last; ++row)
        size += Str(row).size() + (Rows(row) == raCrlf ? 2 : 0);
    result.Text.reserve(size);
    for (int row = Row; row <= last; ++row) {
        result.Text += Str(row);
        if (Rows(row) == raCrlf)
            result.Text += "\r\n";
    }
    result.Attribute = Rows(last);
    result.Rows = last - Row + 1;
    return result;
}

std::string TEditorScreenStrings::LineText(int LineStart) const
{
    std::string text;
    const int lineEnd = LineEndRow(LineStart);
    for (int row = LineStart; row <= lineEnd; ++row)
        text += Str(row);
    return text;
}

TRowByte TEditorScreenStrings::DistanceToRowByte(int Row, int Distance) const
{
    for (int row = std::max(Row, 0); row < Count(); ++row) {
        const int length = static_cast<int>(Str(row).size());
        const TRowAttribute attribute = Rows(row);
        const int span = length + (attribute == raCrlf ? 2 : attribute == raEof ? 1 : 0);
        if (span > Distance || attribute == raEof)
            return {row, std::clamp(Distance, 0, length)};
        Distance -= span;
    }
    return {Count(), 0};
}

// --- Row operations

TRowMarks TEditorScreenStrings::DeleteRows(int Row, int RowCount)
{
    if (Row < 0 || Row >= Count() || RowCount <= 0)
        return 0;
    RowCount = std::min(RowCount, Count() - Row);
    TRowMarks marks = 0;
    for (int row = Row; row < Row + RowCount; ++row)
        marks |= RowMarks(row);
    WithinUpdate(*this, [&] {
        TEditorStringList none;
        ReplaceItems(Row, RowCount, none);
    });
    return marks;
}

void TEditorScreenStrings::KeepMarksOfRemovedRows(int Row, TRowMarks Marks)
{
    if (Count() == 0) {
        ExcludeListMarks(Marks);
        return;
    }
    const int heir = std::min(Row, Count() - 1);
    SetRowMarks(heir, RowMarks(heir) | Marks);
}

// Old rows hand their marks to the new rows that take their text: when rows go, the marks of the
// first ones move to the first new row; when rows come, the first old row's marks stay with the
// text before the caret, or move down with the text when the caret is at the start of the row.
void TEditorScreenStrings::ReplaceRowsFromList(int Row, int RowCount, TEditorStringList& List)
{
    if (Row < 0 || RowCount < 0 || RowCount > Count() - Row)
        throw EStringListError(SListIndexError);
    const int oldCount = RowCount;
    const int newCount = List.Count();
    const auto give = [&](int oldRow, int newRow) {
        List.SetRowMarks(newRow, List.RowMarks(newRow) | RowMarks(oldRow));
    };
    WithinUpdate(*this, [&] {
        if (newCount < oldCount) {
            const int removed = oldCount - newCount;
            TRowMarks marks = 0;
            for (int i = 0; i < removed; ++i)
                marks |= RowMarks(Row + i);
            for (int i = 0; i < newCount; ++i)
                give(Row + removed + i, i);
            if (newCount == 0)
                ExcludeListMarks(marks);
            else
                List.SetRowMarks(0, List.RowMarks(0) | marks);
        } else if (newCount > oldCount) {
            const int added = newCount - oldCount;
            for (int i = 1; i < oldCount; ++i)
                give(Row + i, added + i);
            if (oldCount > 0) {
                const TEditorLink* active = ActiveEditor();
                give(Row, active && active->Col() != 0 ? 0 : added);
            }
        } else {
            for (int i = 0; i < newCount; ++i)
                give(Row + i, i);
        }
        ReplaceItems(Row, RowCount, List);
    });
}

// Every change of the text, from typing, the editor's commands, the lines facade, comes here, and
// only here are undo steps recorded, lines re-wrapped, marks handed on, rows re-parsed and the
// change record set. Text holds the new contents of RowCount rows from Row, "\r\n" wherever a
// line is to end.
void TEditorScreenStrings::ReplaceRows(int Row, int RowCount, std::string_view Text)
{
    if (Row < 0 || RowCount < 0 || RowCount > Count() - Row || (RowCount == 0 && Text.empty()))
        return;
    WithinUpdate(*this, [&] {
        const bool wholeLines = Text.empty() && LineStartRow(Row) == Row && LineEndRow(Row + RowCount - 1) == Row + RowCount - 1;
        if (wholeLines)
            DeleteWholeLines(Row, RowCount);
        else
            ReplaceWithinLines(Row, RowCount, Text);
    });
}

int TEditorScreenStrings::RecordUndoStep(int FirstRow, int OldRowCount, int NewRowCount)
{
    TUndoData& step = FUndoObj->NewUndoData();
    TRowsText old = RowsText(FirstRow, OldRowCount);
    step.StartRow = FirstRow;
    step.RowCount = NewRowCount;
    step.Attribute = old.Attribute;
    step.Str = std::move(old.Text);
    return old.Rows;
}

void TEditorScreenStrings::DeleteWholeLines(int Row, int RowCount)
{
    const int removed = RecordUndoStep(Row, RowCount, 0);
    KeepMarksOfRemovedRows(Row, DeleteRows(Row, RowCount));
    const int parsed = UpdateBrackets(Row, true);
    SetChange(Row, removed, 0, parsed);
}

// The touched logical lines are rebuilt whole, from the row before Row when Row starts no line
// (a word cut by the wrap may now fit there), and with the next line as well when Text ends the
// last touched line without a line break (the two lines join). The last new row ends its line
// as the old one did; at the end of the text it ends as the new text does, so that a line
// break typed before the empty row after an exactly full last row is kept.
void TEditorScreenStrings::ReplaceWithinLines(int Row, int RowCount, std::string_view Text)
{
    const int first = std::max(LineStartRow(Row), Row - 1);
    const int lastReplaced = Row + RowCount - 1;
    int last = LineEndRow(lastReplaced);
    if (last == lastReplaced && last < Count() - 1)
        last = LineEndRow(last + 1);

    std::string lines = RowsText(first, Row - first).Text;
    lines += Text;
    lines += RowsText(lastReplaced + 1, last - lastReplaced).Text;
    TEditorStringList rows;
    StrToWrapList(lines, rows);
    const bool endsText = last >= Count() - 1;
    rows.SetRows(rows.Count() - 1, !endsText ? Rows(last) : EndsWithLineBreak(lines) ? raCrlf : raEof);
    const int newCount = rows.Count();

    const int replaced = RecordUndoStep(first, last - first + 1, newCount);
    ReplaceRowsFromList(first, last - first + 1, rows);
    const int parsed = UpdateBrackets(first, true);
    SetChange(first, replaced, newCount, parsed);
}

void TEditorScreenStrings::SetChange(int FirstRow, int OldRowCount, int NewRowCount, int ParsedRowCount)
{
    FChange = {FirstRow, OldRowCount, NewRowCount, ParsedRowCount, true};
}

// --- Highlighting state

std::unique_ptr<TFountainParser> TEditorScreenStrings::NewOwnerParser() const
{
    TEditorLink* owner = Owner();
    return owner ? owner->ActiveFountain().NewParser() : nullptr;
}

int TEditorScreenStrings::DisplayRowCount() const
{
    const TEditorLink* owner = Owner();
    return owner ? std::max(owner->DisplayRowCount(), 1) : 1;
}

void TEditorScreenStrings::StoreAndParse(TFountainParser& Parser, int Row, TRowAttributeData& Data)
{
    Data.RowAttribute = Rows(Row);
    PutRowAttributeData(Row, Data);
    Parser.ComputeNextRowState(Row, *this, Data);
    Data.PrevRowAttribute = Rows(Row);
}

// Parsing starts from the nearest parsed row above Row and runs on until a row already holds
// the state that reaches it. It stops at twice the display's rows below Row at the latest: the
// rows beyond are reset and parsed when they are painted.
int TEditorScreenStrings::UpdateBrackets(int Row, bool Notify)
{
    if (Row < 0 || Row >= Count())
        return 0;
    const std::unique_ptr<TFountainParser> parser = NewOwnerParser();
    if (!parser)
        return 0;
    int start = Row;
    while (start > 0 && Brackets(start - 1) == -2)
        --start;
    TRowAttributeData data = InitialRowAttributeData();
    if (start > 0) {
        data = GetRowAttributeData(start - 1);
        parser->ComputeNextRowState(start - 1, *this, data);
        data.PrevRowAttribute = Rows(start - 1);
    }
    const int last = std::min(Row + 2 * DisplayRowCount(), Count() - 1);
    int changed = 0;
    for (int row = start; row <= last; ++row) {
        data.RowAttribute = Rows(row);
        if (GetRowAttributeData(row) == data)
            return changed;
        StoreAndParse(*parser, row, data);
        if (Notify) {
            ++changed;
            ForEachEditor([row](TEditorLink& editor) { editor.InvalidateRow(row); });
        }
    }
    ResetParsedRowsFrom(last + 1);
    return changed;
}

void TEditorScreenStrings::InitBrackets()
{
    const TEditorLink* owner = Owner();
    if (!owner || owner->Loading() || owner->Destroying())
        return;
    ResetParsedRowsFrom(0);
    const std::unique_ptr<TFountainParser> parser = NewOwnerParser();
    const int last = owner->InitBracketsFull() ? Count() - 1
                                               : std::min(Count() - 1, 2 * DisplayRowCount() + owner->TopRow());
    TRowAttributeData data = InitialRowAttributeData();
    for (int row = 0; row <= last; ++row)
        StoreAndParse(*parser, row, data);
}

// --- Wrapping

// Each logical line is wrapped anew; its new rows take the marks of its old rows in order, and
// the last new row those of any old rows left over.
void TEditorScreenStrings::WrapAll()
{
    const TEditorLink* owner = Owner();
    if (Count() == 0 || (owner && owner->Loading()))
        return;
    ForEachEditor([](TEditorLink& editor) { editor.CleanSelection(); });
    TChangeEventDetached detached(*this);
    WithinUpdate(*this, [&] {
        int newCount = 0;
        for (int row = 0; row < Count(); row = LineEndRow(row) + 1)
            newCount += WrapCount(LineText(row));
        TEditorStringList wrapped;
        wrapped.SetCapacity(newCount);
        TEditorStringList lineRows;
        for (int row = 0; row < Count();) {
            const int lineEnd = LineEndRow(row);
            StrToWrapList(LineText(row), lineRows);
            const int lastNew = lineRows.Count() - 1;
            for (int old = row; old <= lineEnd; ++old) {
                const int heir = std::min(old - row, lastNew);
                lineRows.SetRowMarks(heir, lineRows.RowMarks(heir) | RowMarks(old));
            }
            wrapped.ReplaceItems(wrapped.Count(), 0, lineRows);
            row = lineEnd + 1;
        }
        wrapped.SetRows(wrapped.Count() - 1, Rows(Count() - 1));
        ReplaceItems(0, Count(), wrapped);
    });
}

// Line k is written into row k with the marks of all its rows; the rows left over go.
void TEditorScreenStrings::UnwrapAll()
{
    if (Count() == 0)
        return;
    ForEachEditor([](TEditorLink& editor) { editor.CleanSelection(); });
    TChangeEventDetached detached(*this);
    WithinUpdate(*this, [&] {
        const TRowAttribute lastAttribute = Rows(Count() - 1) == raWrapped ? raEof : Rows(Count() - 1);
        int line = 0;
        for (int row = 0; row < Count(); ++line) {
            const int lineEnd = LineEndRow(row);
            std::string text = LineText(row);
            TRowMarks marks = 0;
            for (int part = row; part <= lineEnd; ++part)
                marks |= RowMarks(part);
            Item(line).Str = std::move(text);
            SetRows(line, raCrlf);
            SetRowMarks(line, marks);
            row = lineEnd + 1;
        }
        SetRows(line - 1, lastAttribute);
        DeleteRows(line, Count() - line);
    });
}

void TEditorScreenStrings::SetWordWrap(bool Value)
{
    if (Value == WordWrap())
        return;
    FWordWrap.SetWordWrap(Value);
    const TEditorLink* owner = Owner();
    if (!owner || !owner->Loading())
        Rewrap(Value);
}

void TEditorScreenStrings::WrapOptionChanged()
{
    const TEditorLink* owner = Owner();
    if (WordWrap() && (!owner || !owner->Loading()))
        Rewrap(true);
}

// Rows change numbers when the text is re-wrapped, so the undo steps, which name rows, go.
void TEditorScreenStrings::Rewrap(bool Wrap)
{
    FUndoObj->Clear();
    if (Wrap)
        WrapAll();
    else
        UnwrapAll();
    InitBrackets();
    ForEachEditor([](TEditorLink& editor) { editor.Refresh(); });
    ClampEditorRows();
    ForEachEditor([](TEditorLink& editor) { editor.SetRowCol(editor.Row(), 0); });
}

// --- Batches and clearing

void TEditorScreenStrings::Undo()
{
    FUndoObj->Undo();
}

void TEditorScreenStrings::Redo()
{
    FUndoObj->Redo();
}

void TEditorScreenStrings::SetUpdateState(bool Updating)
{
    TEditorStringList::SetUpdateState(Updating);
    if (Updating)
        return;
    FChange = {};
    ClampEditorRows();
}

// The row after the last is a place for the caret only after a final line break.
void TEditorScreenStrings::ClampEditorRows()
{
    const int count = Count();
    const int limit = count == 0 ? 0 : Rows(count - 1) == raEof ? count - 1 : count;
    ForEachEditor([&](TEditorLink& editor) {
        if (editor.Row() > limit)
            editor.SetRowCol(limit, editor.Col());
        if (editor.TopRow() > limit)
            editor.SetTopRow(limit);
    });
}

void TEditorScreenStrings::Clear()
{
    ForEachEditor([](TEditorLink& editor) { editor.CleanSelection(); });
    FUndoObj->Clear();
    SetChange(0, Count(), 0, 0);
    TEditorStringList::Clear();
    FChange = {};
    ForEachEditor([](TEditorLink& editor) { editor.SetRowCol(0, 0); });
    ClampEditorRows();
    FListMarks = 0;
}

} // namespace kestrim
