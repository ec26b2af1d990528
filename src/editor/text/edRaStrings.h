#pragma once
// TEditorScreenStrings: the one store of an editor's text, as screen rows. A logical line is a
// run of rows in which every row but the last is raWrapped; without word wrap each row is a
// line. Every change of the text goes through ReplaceRows, which re-wraps, keeps the marks,
// records undo, re-parses and leaves a change record for the editors to repaint from. The row
// list is a private base: its rows can be read from outside, never written.
//
// Several editors may show one text. Each holds the screen strings through a std::shared_ptr
// and attaches itself; the text lives as long as some editor uses it. The first attached
// editor is the owner, which supplies the highlighting definition and the display metrics.

#include "editor/text/edLayoutSettings.h"
#include "editor/text/edStringList.h"
#include "editor/text/edWordWrap.h"
#include "editor/text/edWrapOption.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

class TEditorLink;
class TEditorUndoObj;
class TRowStateParser;
struct TUndoData;

// What the last change did, for the editors to repaint only that. Valid while the editors are
// told of the change; cleared when the update batch ends.
struct TRowsChange {
    int FirstRow = 0;       // first row rebuilt
    int OldRowCount = 0;    // rows removed from FirstRow on
    int NewRowCount = 0;    // rows put there
    int ParsedRowCount = 0; // rows whose stored highlighting state changed
    bool ChangeValid = false;
};

// A run of rows as text.
struct TRowsText {
    std::string Text;                    // the rows joined, "\r\n" after each raCrlf row
    TRowAttribute Attribute = raInvalid; // attribute of the last row; raInvalid for no rows
    int Rows = 0;
};

// A place in the rows: a row and a byte offset in its text.
struct TRowByte {
    int Row = 0;
    int Byte = 0;

    bool operator==(const TRowByte&) const = default;
};

class TEditorScreenStrings : private TEditorStringList {
public:
    // The text's encoding is chosen here and changes with a text loaded anew (LoadRows) or
    // put in place of the whole text (ReplaceAllRows).
    explicit TEditorScreenStrings(TTextEncoding Encoding = TTextEncoding::ShiftJis);
    ~TEditorScreenStrings() override;

    TTextEncoding Encoding() const { return FLayout.Encoding(); }

    // --- Reading the rows
    using TEditorStringList::Brackets;
    using TEditorStringList::CarryKinds;
    using TEditorStringList::CarryLengths;
    using TEditorStringList::Count;
    using TEditorStringList::ExtraBytes;
    using TEditorStringList::ExtraInts1;
    using TEditorStringList::ExtraInts2;
    using TEditorStringList::ExtraStrings;
    using TEditorStringList::Get;
    using TEditorStringList::GetCount;
    using TEditorStringList::GetRowAttributeData;
    using TEditorStringList::PrevRows;
    using TEditorStringList::RowMarks;
    using TEditorStringList::Rows;
    using TEditorStringList::Str;
    // The rows as a read-only list, for the search and the tokenizer.
    const TRowAttributeStringList& RowList() const { return *this; }

    // A batch of changes notifies the editors once, at its end.
    using TEditorStringList::BeginUpdate;
    using TEditorStringList::EndUpdate;
    using TEditorStringList::UpdateCount;

    void AttachEditor(TEditorLink& Editor);
    void DetachEditor(TEditorLink& Editor);
    const std::vector<TEditorLink*>& Editors() const { return FEditors; }
    // The first attached editor, or nullptr.
    TEditorLink* Owner() const;
    // The first attached editor that has the focus, else the owner.
    TEditorLink* ActiveEditor() const;

    // First and last row of the logical line that holds Row.
    int LineStartRow(int Row) const;
    int LineEndRow(int Row) const;
    // Where Row starts in its logical line: the bytes of the line's rows above it.
    int RowOffsetInLine(int Row) const;
    // The logical line of Row, 0 <= Row <= Count() (the row after the last gives the line
    // count), and the first row of Line (Count() for a line past the text). With word wrap the
    // lines are counted from the row asked last, which changes of the text keep valid, so that
    // rows and lines asked near each other cost little however long the text.
    int LineOfRow(int Row) const;
    int RowOfLine(int Line) const;
    // RowCount rows from Row, or the rest of Row's logical line when RowCount is -1. Rows
    // outside the text are left out; an empty result for none.
    TRowsText RowsText(int Row, int RowCount) const;
    // The text of the logical line that starts at LineStart, without its line break.
    std::string LineText(int LineStart) const;
    // The place Distance bytes after the start of Row (a raCrlf row spans its length + 2, a
    // raEof row its length + 1): the first row whose span goes past Distance, or a raEof row,
    // at the remaining bytes (at most the row's length); the row after the last when the rows
    // run out.
    TRowByte DistanceToRowByte(int Row, int Distance) const;

    // The one primitive of every change of the text. Without RecordUndo the change leaves no
    // undo step: for text that only its program writes (a run's output streaming in), whose
    // history starts when it is done.
    void ReplaceRows(int Row, int RowCount, std::string_view Text, bool RecordUndo = true);
    // The same change for the whole text, which takes Encoding: one undo step, whose undo puts
    // the old text back in its own encoding.
    void ReplaceAllRows(std::string_view Text, TTextEncoding Encoding);
    // Puts Rows, not parsed yet and in Encoding, in place of the whole text and leaves the old
    // text's rows in Rows, for the caller to free when it suits; see ReplaceRows for why this
    // bypasses undo. Marks: the marks the rows carry, when the caller knows them (rows read
    // from a file carry none), so that millions of rows need not be looked through.
    void LoadRows(TEditorStringList& Rows, TTextEncoding Encoding, std::optional<TRowMarks> Marks = std::nullopt);
    // Removes every row; the undo history and the marks go, the carets go to row 0, column 0.
    void Clear() override;

    // Marks are no text: setting them records no undo step and changes no row.
    using TEditorStringList::SetRowMarks;
    // The marks that some row of the text carries.
    TRowMarks ListMarks() const { return FListMarks; }
    void ExcludeListMarks(TRowMarks Marks) { FListMarks &= static_cast<TRowMarks>(~Marks); }
    void IncludeListMarks(TRowMarks Marks) { FListMarks |= Marks; }

    // Brings the stored start-of-row highlighting states up to date after rows from Row on
    // changed; returns how many rows got a new state (counted, and invalidated in the editors,
    // only with Notify).
    int UpdateBrackets(int Row, bool Notify);
    // Resets every row's state and parses the rows near the owner's top row again.
    void InitBrackets();
    // The highlighting state at the start of Row, for painting it: the stored one, or when the
    // row is not parsed yet, the one parsed from its line's start when lines share no states,
    // else the one UpdateBrackets stores from the parsed rows above on.
    TRowAttributeData RowStartState(int Row);
    // Rows from this one on are not parsed yet; rows above may be.
    int ParsedRowEnd() const { return FParsedEnd; }

    // Rebuild every row with or without wrapping.
    void WrapAll();
    void UnwrapAll();
    bool WordWrap() const { return FWordWrap.WordWrap(); }
    // Re-wraps or unwraps the text; the undo history is emptied.
    void SetWordWrap(bool Value);
    TEditorWrapOption& WrapOption() { return FWrapOption; }
    const TEditorWrapOption& WrapOption() const { return FWrapOption; }
    TEditorLayoutSettings& LayoutSettings() { return FLayout; }
    const TEditorLayoutSettings& LayoutSettings() const { return FLayout; }
    // The rows of Text by the wrap rules; the caller sets the attribute of the last one.
    void StrToWrapList(std::string_view Text, TEditorStringList& List) const { FWordWrap.StrToWrapList(Text, List); }
    int WrapCount(std::string_view Line) const { return FWordWrap.WrapCount(Line); }

    TEditorUndoObj& UndoObj() { return *FUndoObj; }
    void Undo();
    void Redo();

    const TRowsChange& ChangeRecord() const { return FChange; }

protected:
    void SetUpdateState(bool Updating) override;
    void Changing() override;

private:
    friend class TEditorUndoObj;

    template <typename Action>
    void ForEachEditor(Action&& action) const;
    std::unique_ptr<TRowStateParser> NewOwnerParser() const;
    int DisplayRowCount() const;
    // Stores Data as the start state of Row, then advances it to the state after Row when a row
    // follows.
    void StoreAndParse(TRowStateParser& Parser, int Row, TRowAttributeData& Data);
    // The state at the start of Row, parsed from the start of its logical line, or from the
    // nearest state kept in FLineStates above Row in that line.
    TRowAttributeData ParseFromLineStart(int Row) const;
    // Resets the parsed rows from Row on.
    void ForgetParsedRowsFrom(int Row);
    // Puts caret and top rows past the last row back onto the text.
    void ClampEditorRows();
    void WrapOptionChanged();
    void Rewrap(bool Wrap);

    // Records the undo step of putting NewRowCount rows in place of OldRowCount rows from
    // FirstRow.
    TUndoData& RecordUndoStep(int FirstRow, int OldRowCount, int NewRowCount);
    // For a change of the whole text only (ReplaceAllRows, and its undo and redo): the rows
    // that follow are wrapped and parsed in the new encoding.
    void SetEncoding(TTextEncoding Encoding) { FLayout.SetEncoding(Encoding); }
    // Where every change of the text, an edit or its undo or redo, lands: puts NewRows (left
    // empty) in place of OldRowCount rows from FirstRow inside the open update batch, hands the
    // old rows' marks on, re-parses what the change reaches and sets the change record.
    void StoreRows(int FirstRow, int OldRowCount, TEditorStringList& NewRows);
    // Removes RowCount rows from Row; returns the union of their marks.
    TRowMarks DeleteRows(int Row, int RowCount);
    // Replaces RowCount rows from Row by the rows of List (left empty), handing the old rows'
    // marks on to the new ones.
    void ReplaceRowsFromList(int Row, int RowCount, TEditorStringList& List);
    // Hands the marks of removed rows to the row now at Row, or drops them from ListMarks
    // when no row is left.
    void KeepMarksOfRemovedRows(int Row, TRowMarks Marks);
    // The parsed rows follow a replacement of OldRowCount rows from FirstRow by NewRowCount
    // rows, which are not parsed.
    void ShiftParsedRowEnd(int FirstRow, int OldRowCount, int NewRowCount);
    void SetChange(int FirstRow, int OldRowCount, int NewRowCount, int ParsedRowCount);
    // Moves the line anchor to Row (at most Count()), counting the line ends passed.
    void MoveLineAnchor(int Row) const;
    // Rows from FirstRow on are about to change: the anchor moves up to FirstRow, whose line
    // stays what it is.
    void KeepLineAnchorAbove(int FirstRow) { if (FLineAnchor.Row > FirstRow) MoveLineAnchor(FirstRow); }

    std::vector<TEditorLink*> FEditors;
    TRowsChange FChange;
    // A row and its logical line, for LineOfRow and RowOfLine; row 0, line 0 is always right,
    // and is where a change of the whole text puts it back.
    struct TLineAnchor {
        int Row = 0;
        int Line = 0;
    };
    mutable TLineAnchor FLineAnchor;
    TRowMarks FListMarks = 0;
    // Every row from here on is not parsed (Brackets -2).
    int FParsedEnd = 0;
    // Start states that ParseFromLineStart found, by row: of every LineStateStep-th row it
    // passed and of the rows asked for, so that the rows far down a wrapped line of millions of
    // rows are not each parsed from the line's start when painted. Any change of the rows or of
    // their parsing forgets them.
    mutable std::map<int, TRowAttributeData> FLineStates;
    std::unique_ptr<TEditorUndoObj> FUndoObj;
    TEditorWrapOption FWrapOption;
    TEditorLayoutSettings FLayout;
    TEditorWordWrap FWordWrap{FWrapOption, FLayout};
};

} // namespace kestrim
