#pragma once
// Support for the text model's tests: a stand-in for the editor control that keeps a caret and a
// top row, answers with settable metrics and counts what the text model tells it; row dumps as
// "[abc|C][def|E]" (C raCrlf, W raWrapped, E raEof; a row's marks as "#3" after its attribute);
// and a check of the stored highlighting states against a parse from the top.

#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/TokenDump.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edRaStrings.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrim::test {

class TFakeEditor : public TEditorLink {
public:
    // Attaches itself to Strings, or to strings of its own.
    explicit TFakeEditor(std::shared_ptr<TEditorScreenStrings> Strings = std::make_shared<TEditorScreenStrings>())
        : FStrings(std::move(Strings))
    {
        FStrings->AttachEditor(*this);
    }
    ~TFakeEditor() { FStrings->DetachEditor(*this); }

    TEditorScreenStrings& ScreenStrings() override { return *FStrings; }
    std::shared_ptr<TEditorScreenStrings> SharedStrings() const { return FStrings; }
    TRowStates& RowStates() override { return Fountain; }
    int DisplayRowCount() const override { return DisplayRows; }
    bool InitBracketsFull() const override { return FullParse; }
    bool Loading() const override { return IsLoading; }
    bool Destroying() const override { return false; }
    bool HasFocus() const override { return Focused; }
    int Row() const override { return CaretRow; }
    int Col() const override { return CaretCol; }
    int TopRow() const override { return Top; }

    void SetRowCol(int ARow, int ACol) override
    {
        CaretRow = ARow;
        CaretCol = ACol;
    }
    void SetTopRow(int ARow) override { Top = ARow; }
    // Without tabs or wide characters a byte is a column.
    void DistanceToCaret(int ARow, int Distance) override
    {
        const TRowByte place = FStrings->DistanceToRowByte(ARow, Distance);
        SetRowCol(place.Row, place.Byte);
    }
    void LockCaret() override { ++CaretLocks; }
    void UnlockCaret() override { --CaretLocks; }
    void CleanSelection() override { ++SelectionDrops; }
    void TextChanged() override { Changes.push_back(FStrings->ChangeRecord()); }
    void KeepResponsive() override {}
    void InvalidateRow(int) override { ++InvalidatedRows; }
    void Refresh() override { ++Refreshes; }
    void BeginLinesUpdate() override { ++LinesUpdates; }
    void EndLinesUpdate() override { --LinesUpdates; }

    TEditorFountain Fountain;
    int DisplayRows = 30;
    bool FullParse = false;
    bool IsLoading = false;
    bool Focused = false;
    int CaretRow = 0;
    int CaretCol = 0;
    int Top = 0;

    int CaretLocks = 0;
    int SelectionDrops = 0;
    int InvalidatedRows = 0;
    int Refreshes = 0;
    int LinesUpdates = 0;
    std::vector<TRowsChange> Changes;

private:
    std::shared_ptr<TEditorScreenStrings> FStrings;
};

inline std::string Dump(const TRowAttributeStringList& List)
{
    std::string dump;
    for (int i = 0; i < List.Count(); ++i) {
        dump.append("[").append(List.Str(i)).append("|") += "CWE?"[List.Rows(i)];
        for (int mark = 0; mark < 16; ++mark)
            if (List.RowMarks(i) & RowMark(mark))
                dump += "#" + std::to_string(mark);
        dump += "]";
    }
    return dump;
}

inline std::string Dump(const TEditorScreenStrings& Strings)
{
    return Dump(Strings.RowList());
}

// Rows of a text in which "|" ends a wrapped row, "\n" a line and "$" the text without a
// final line break.
inline void SetRows(TRowAttributeStringList& List, std::string_view Rows)
{
    List.Clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        if (Rows[i] != '|' && Rows[i] != '\n' && Rows[i] != '$')
            continue;
        const TRowAttribute attribute = Rows[i] == '|' ? raWrapped : Rows[i] == '$' ? raEof : raCrlf;
        List.SetRows(List.Add(std::string(Rows.substr(start, i - start))), attribute);
        start = i + 1;
    }
}

// The screen strings take such rows as a whole text just loaded.
inline void SetRows(TEditorScreenStrings& Strings, std::string_view Rows)
{
    TEditorStringList list;
    SetRows(list, Rows);
    Strings.LoadRows(list, Strings.Encoding());
}

// The rows' start states as parsing every row from the top gives them.
inline void FreshRowStates(const TEditorScreenStrings& Rows, TFountain& Fountain, TEditorStringList& Fresh)
{
    Fresh.Clear();
    for (int row = 0; row < Rows.Count(); ++row)
        Fresh.SetRows(Fresh.Add(std::string(Rows.Str(row))), Rows.Rows(row));
    ComputeAllRowStates(*Fountain.NewParser(Rows.Encoding()), Fresh);
}

// The first row whose stored start state differs from what parsing every row from the top
// gives, or -1. Rows not parsed yet (Brackets -2) are left out; none of them may lie before a
// parsed row that ParsedRowEnd leaves out.
inline int FirstStaleRow(const TEditorScreenStrings& Rows, TFountain& Fountain)
{
    TEditorStringList fresh;
    FreshRowStates(Rows, Fountain, fresh);
    for (int row = 0; row < Rows.Count(); ++row) {
        if (Rows.Brackets(row) == -2)
            continue;
        if (row >= Rows.ParsedRowEnd() || !(Rows.GetRowAttributeData(row) == fresh.GetRowAttributeData(row)))
            return row;
    }
    return -1;
}

// A definition with the block comment "/*" ... "*/", so that a change can alter the state of
// the rows after it.
inline void AddBlockComment(TFountain& Fountain)
{
    TFountainBracketItem* comment = Fountain.Brackets().Add();
    comment->SetLeftBracket("/*");
    comment->SetRightBracket("*/");
}

} // namespace kestrim::test
