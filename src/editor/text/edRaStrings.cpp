#include "editor/text/edRaStrings.h"

#include "editor/base/Exceptions.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edRowStates.h"
#include "editor/text/edUndo.h"

#include <algorithm>
#include <cassert>

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

TEditorScreenStrings::TEditorScreenStrings(TTextEncoding Encoding)
    : FUndoObj(std::make_unique<TEditorUndoObj>(*this)), FLayout(Encoding)
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

int TEditorScreenStrings::RowOffsetInLine(int Row) const
{
    int offset = 0;
    for (int row = LineStartRow(Row); row < Row; ++row)
        offset += static_cast<int>(Str(row).size());
    return offset;
}

int TEditorScreenStrings::LineOfRow(int Row) const
{
    if (!WordWrap())
        return Row;
    MoveLineAnchor(Row);
    return FLineAnchor.Line;
}

int TEditorScreenStrings::RowOfLine(int Line) const
{
    if (!WordWrap())
        return Line;
    TLineAnchor& anchor = FLineAnchor;
    while (anchor.Line < Line && anchor.Row < Count())
        anchor.Line += Rows(anchor.Row++) != raWrapped ? 1 : 0;
    while (anchor.Row > 0 && (anchor.Line > Line || Rows(anchor.Row - 1) == raWrapped))
        anchor.Line -= Rows(--anchor.Row) != raWrapped ? 1 : 0;
    return anchor.Line == Line ? anchor.Row : Count();
}

void TEditorScreenStrings::MoveLineAnchor(int Row) const
{
    TLineAnchor& anchor = FLineAnchor;
    for (; anchor.Row < Row; ++anchor.Row)
        anchor.Line += Rows(anchor.Row) != raWrapped ? 1 : 0;
    for (; anchor.Row > Row; --anchor.Row)
        anchor.Line -= Rows(anchor.Row - 1) != raWrapped ? 1 : 0;
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
    const int oldCount = RowCount;
    const int newCount = List.Count();
    const auto give = [&](int oldRow, int newRow) {
        List.SetRowMarks(newRow, List.RowMarks(newRow) | RowMarks(oldRow));
    };
    if (newCount < oldCount) {
        const int removed = oldCount - newCount;
        TRowMarks marks = 0;
        for (int i = 0; i < removed; ++i)
            marks |= RowMarks(Row + i);
        for (int i = 0; i < newCount; ++i)
            give(Row + removed + i, i);
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
}

// ReplaceRows is the one door through which the text changes: typing, the editor's commands
// and the lines facade all come here, and here alone undo steps are recorded. Undo and redo
// put their steps back through the same storage routine, StoreRows, which re-wraps nothing
// but keeps the marks, the parsed states and the change record. Two things bypass undo on
// purpose, since they start the text anew and its rows get new numbers: loading a whole text
// (LoadRows, Clear) and re-wrapping it (WrapAll, UnwrapAll); both empty the undo history.
//
// Text holds the new contents of RowCount rows from Row, "\r\n" wherever a line is to end. The
// touched logical lines are rebuilt whole, from the row before Row when Row starts no line (a
// word cut by the wrap may now fit there), and with the next line as well when Text ends the
// last touched line without a line break (the two lines join). The last new row ends its line
// as the old one did; at the end of the text it ends as the new text does, so that a line
// break typed before the empty row after an exactly full last row is kept. Deleting whole
// lines rebuilds nothing.
void TEditorScreenStrings::ReplaceRows(int Row, int RowCount, std::string_view Text, bool RecordUndo)
{
    if (Row < 0 || RowCount < 0 || RowCount > Count() - Row || (RowCount == 0 && Text.empty()))
        return;
    WithinUpdate(*this, [&] {
        TEditorStringList rows;
        int first = Row;
        int last = Row + RowCount - 1;
        const bool wholeLines = Text.empty() && LineStartRow(Row) == Row && LineEndRow(last) == last;
        if (!wholeLines) {
            first = std::max(LineStartRow(Row), Row - 1);
            last = LineEndRow(last);
            if (last == Row + RowCount - 1 && last < Count() - 1)
                last = LineEndRow(last + 1);
            // Rows appended after whole lines, as a run's output comes, need no copy of Text.
            std::string joined;
            std::string_view lines = Text;
            if (first < Row || last >= Row + RowCount) {
                joined = RowsText(first, Row - first).Text;
                joined += Text;
                joined += RowsText(Row + RowCount, last - Row - RowCount + 1).Text;
                lines = joined;
            }
            StrToWrapList(lines, rows);
            const bool endsText = last >= Count() - 1;
            rows.SetRows(rows.Count() - 1, !endsText ? Rows(last) : EndsWithLineBreak(lines) ? raCrlf : raEof);
        }
        if (RecordUndo)
            RecordUndoStep(first, last - first + 1, rows.Count());
        StoreRows(first, last - first + 1, rows);
    });
}

// The encoding goes with the whole text, never with a part: the rows outside a change must
// stay readable in the encoding of the rows inside it, and the undo steps recorded before the
// change are undone only after it, in the old encoding again.
void TEditorScreenStrings::ReplaceAllRows(std::string_view Text, TTextEncoding Encoding)
{
    WithinUpdate(*this, [&] {
        const TTextEncoding oldEncoding = this->Encoding();
        SetEncoding(Encoding);
        TEditorStringList rows;
        if (!Text.empty()) {
            StrToWrapList(Text, rows);
            rows.SetRows(rows.Count() - 1, EndsWithLineBreak(Text) ? raCrlf : raEof);
        }
        RecordUndoStep(0, Count(), rows.Count()).Encoding = oldEncoding;
        StoreRows(0, Count(), rows);
    });
}

TUndoData& TEditorScreenStrings::RecordUndoStep(int FirstRow, int OldRowCount, int NewRowCount)
{
    TRowsText old = RowsText(FirstRow, OldRowCount);
    TUndoData step;
    step.StartRow = FirstRow;
    step.RowCount = NewRowCount;
    step.Attribute = old.Attribute;
    step.Str = std::move(old.Text);
    return FUndoObj->NewUndoData(std::move(step));
}

void TEditorScreenStrings::StoreRows(int FirstRow, int OldRowCount, TEditorStringList& NewRows)
{
    assert(UpdateCount() > 0 && "rows change only inside an update batch");
    if (FirstRow < 0 || OldRowCount < 0 || OldRowCount > Count() - FirstRow)
        throw EStringListError(SListIndexError);
    KeepLineAnchorAbove(FirstRow);
    const int newCount = NewRows.Count();
    if (newCount == 0)
        KeepMarksOfRemovedRows(FirstRow, DeleteRows(FirstRow, OldRowCount));
    else
        ReplaceRowsFromList(FirstRow, OldRowCount, NewRows);
    ShiftParsedRowEnd(FirstRow, OldRowCount, newCount);
    const int parsed = UpdateBrackets(FirstRow, true);
    SetChange(FirstRow, OldRowCount, newCount, parsed);
}

void TEditorScreenStrings::ShiftParsedRowEnd(int FirstRow, int OldRowCount, int NewRowCount)
{
    if (FirstRow + OldRowCount <= FParsedEnd)
        FParsedEnd += NewRowCount - OldRowCount;
    else
        FParsedEnd = std::min(FParsedEnd, FirstRow);
}

void TEditorScreenStrings::LoadRows(TEditorStringList& Rows, TTextEncoding Encoding, std::optional<TRowMarks> Marks)
{
    WithinUpdate(*this, [&] {
        const int oldCount = Count();
        TEditorStringList oldRows;
        oldRows.ReplaceItems(0, 0, *this);
        Clear();
        FLayout.SetEncoding(Encoding);
        TRowMarks marks = Marks.value_or(0);
        for (int row = 0; !Marks && row < Rows.Count(); ++row)
            marks |= Rows.RowMarks(row);
        ReplaceItems(0, 0, Rows);
        Rows.ReplaceItems(0, 0, oldRows);
        FListMarks = marks;
        FParsedEnd = 0;
        FLineAnchor = {};
        SetChange(0, oldCount, Count(), 0);
    });
}

void TEditorScreenStrings::SetChange(int FirstRow, int OldRowCount, int NewRowCount, int ParsedRowCount)
{
    FChange = {FirstRow, OldRowCount, NewRowCount, ParsedRowCount, true};
}

// --- Highlighting state

std::unique_ptr<TRowStateParser> TEditorScreenStrings::NewOwnerParser() const
{
    TEditorLink* owner = Owner();
    return owner ? owner->RowStates().NewRowStateParser(Encoding()) : nullptr;
}

int TEditorScreenStrings::DisplayRowCount() const
{
    const TEditorLink* owner = Owner();
    return owner ? std::max(owner->DisplayRowCount(), 1) : 1;
}

void TEditorScreenStrings::StoreAndParse(TRowStateParser& Parser, int Row, TRowAttributeData& Data)
{
    Data.RowAttribute = Rows(Row);
    PutRowAttributeData(Row, Data);
    FParsedEnd = std::max(FParsedEnd, Row + 1);
    // The state after the last row is worked out from its start state when a row follows it:
    // scanning a line of hundreds of megabytes that a run is still writing is not done for nothing.
    if (Row + 1 < Count())
        Parser.ComputeNextRowState(Row, *this, Data);
    Data.PrevRowAttribute = Rows(Row);
}

void TEditorScreenStrings::ForgetParsedRowsFrom(int Row)
{
    ResetParsedRowsFrom(Row, FParsedEnd);
    FParsedEnd = std::min(FParsedEnd, std::max(Row, 0));
}

// Parsing starts from the nearest parsed row above Row and runs on until a row already holds
// the state that reaches it. It stops at twice the display's rows below Row at the latest: the
// rows beyond are reset and parsed when they are painted. Rows below the parsed ones need no
// parsing when lines share no states: they are parsed from their line's start when painted, so
// that an edit far down a text just loaded does not parse the rows above it.
int TEditorScreenStrings::UpdateBrackets(int Row, bool Notify)
{
    if (Row < 0 || Row >= Count())
        return 0;
    TEditorLink* owner = Owner();
    if (!owner || (Row >= FParsedEnd && !owner->RowStates().StatesCrossLines()))
        return 0;
    const std::unique_ptr<TRowStateParser> parser = owner->RowStates().NewRowStateParser(Encoding());
    int start = std::min(Row, FParsedEnd);
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
    ForgetParsedRowsFrom(last + 1);
    return changed;
}

void TEditorScreenStrings::InitBrackets()
{
    FLineStates.clear();
    const TEditorLink* owner = Owner();
    if (!owner || owner->Loading() || owner->Destroying())
        return;
    ForgetParsedRowsFrom(0);
    const std::unique_ptr<TRowStateParser> parser = NewOwnerParser();
    const int last = owner->InitBracketsFull() ? Count() - 1
                                               : std::min(Count() - 1, 2 * DisplayRowCount() + owner->TopRow());
    TRowAttributeData data = InitialRowAttributeData();
    for (int row = 0; row <= last; ++row)
        StoreAndParse(*parser, row, data);
}

TRowAttributeData TEditorScreenStrings::RowStartState(int Row)
{
    TEditorLink* owner = Owner();
    if (Brackets(Row) == -2 && owner) {
        if (!owner->RowStates().StatesCrossLines())
            return ParseFromLineStart(Row);
        UpdateBrackets(Row, false);
    }
    return GetRowAttributeData(Row);
}

TRowAttributeData TEditorScreenStrings::ParseFromLineStart(int Row) const
{
    constexpr int LineStateStep = 1024;
    // The nearest kept state above Row counts when no line starts between it and Row.
    const auto kept = FLineStates.upper_bound(Row);
    const int keptRow = kept == FLineStates.begin() ? -1 : std::prev(kept)->first;
    int row = Row;
    while (row > 0 && row > keptRow && Rows(row - 1) == raWrapped)
        --row;
    TRowAttributeData data = row == keptRow ? std::prev(kept)->second : InitialRowAttributeData();
    const std::unique_ptr<TRowStateParser> parser = NewOwnerParser();
    for (; row < Row; ++row) {
        if (row % LineStateStep == 0)
            FLineStates.insert_or_assign(row, data);
        data.RowAttribute = Rows(row);
        parser->ComputeNextRowState(row, *this, data);
        data.PrevRowAttribute = Rows(row);
    }
    data.RowAttribute = Rows(Row);
    FLineStates.insert_or_assign(Row, data);
    return data;
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
        FParsedEnd = 0;
        FLineAnchor = {};
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
            Item(line).Text.SetText(text);
            SetRows(line, raCrlf);
            SetRowMarks(line, marks);
            row = lineEnd + 1;
        }
        SetRows(line - 1, lastAttribute);
        DeleteRows(line, Count() - line);
        FParsedEnd = std::min(FParsedEnd, Count());
        FLineAnchor = {};
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

void TEditorScreenStrings::Changing()
{
    FLineStates.clear();
    TEditorStringList::Changing();
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
    FParsedEnd = 0;
    FLineAnchor = {};
    FChange = {};
    ForEachEditor([](TEditorLink& editor) { editor.SetRowCol(0, 0); });
    ClampEditorRows();
    FListMarks = 0;
}

} // namespace kestrim
