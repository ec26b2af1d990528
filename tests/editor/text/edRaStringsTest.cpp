#include "FakeEditor.h"

#include "editor/text/edUndo.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrim;
using namespace kestrim::test;

namespace {

class ScreenStringsTest : public testing::Test {
protected:
    ScreenStringsTest() { AddBlockComment(Editor.Fountain); }

    void Mark(int Row, int Mark)
    {
        Rows.SetRowMarks(Row, Rows.RowMarks(Row) | RowMark(Mark));
        Rows.IncludeListMarks(RowMark(Mark));
    }

    TFakeEditor Editor;
    TEditorScreenStrings& Rows = Editor.ScreenStrings();
};

const std::string A20(20, 'a');

} // namespace

TEST_F(ScreenStringsTest, ReplaceRowsAppendsRowsAndTellsTheEditorsOnce)
{
    Rows.ReplaceRows(0, 0, "abc\r\n");
    EXPECT_EQ(Dump(Rows), "[abc|C]");
    Rows.ReplaceRows(1, 0, "def\r\n");
    EXPECT_EQ(Dump(Rows), "[abc|C][def|C]");
    ASSERT_EQ(Editor.Changes.size(), 2u);
    const TRowsChange& change = Editor.Changes.back();
    EXPECT_TRUE(change.ChangeValid);
    EXPECT_EQ(change.FirstRow, 1);
    EXPECT_EQ(change.OldRowCount, 0);
    EXPECT_EQ(change.NewRowCount, 1);
    EXPECT_FALSE(Rows.ChangeRecord().ChangeValid); // only while the editors are told

    SetRows(Rows, "abc$");
    Rows.ReplaceRows(0, 1, "abc\r\nx");
    EXPECT_EQ(Dump(Rows), "[abc|C][x|E]");
    Rows.ReplaceRows(1, 1, "x\r");
    EXPECT_EQ(Dump(Rows), "[abc|C][x|C]") << "a text ending in a lone CR ends its line";

    Editor.Changes.clear();
    Rows.ReplaceRows(-1, 1, "x");
    Rows.ReplaceRows(1, 2, "x");
    Rows.ReplaceRows(3, 0, "x");
    Rows.ReplaceRows(1, 0, "");
    EXPECT_EQ(Dump(Rows), "[abc|C][x|C]") << "rows outside the text are ignored";
    EXPECT_TRUE(Editor.Changes.empty());
}

TEST_F(ScreenStringsTest, WholeLinesGoAndTheirMarksMoveToTheRowThatTakesTheirPlace)
{
    SetRows(Rows, "a\nb\nc\nd\n");
    Mark(1, 1);
    Mark(2, 2);
    Rows.ReplaceRows(1, 2, "");
    EXPECT_EQ(Dump(Rows), "[a|C][d|C#1#2]");
    EXPECT_EQ(Editor.Changes.back().OldRowCount, 2);
    EXPECT_EQ(Editor.Changes.back().NewRowCount, 0);
    EXPECT_EQ(Rows.ListMarks(), RowMark(1) | RowMark(2));

    Rows.ReplaceRows(1, 1, "");
    EXPECT_EQ(Dump(Rows), "[a|C#1#2]") << "the last row's marks go up";
    Rows.ReplaceRows(0, 1, "");
    EXPECT_EQ(Rows.Count(), 0);
    EXPECT_EQ(Rows.ListMarks(), 0) << "no row is left to carry them";
}

TEST_F(ScreenStringsTest, ALineBreakLeavesTheMarkWithTheTextItWasOn)
{
    SetRows(Rows, "abc\n");
    Mark(0, 5);
    Editor.SetRowCol(0, 0);
    Rows.ReplaceRows(0, 1, "\r\nabc\r\n"); // Return at the start of the row
    EXPECT_EQ(Dump(Rows), "[|C][abc|C#5]");

    SetRows(Rows, "abc\n");
    Mark(0, 5);
    Editor.SetRowCol(0, 2);
    Rows.ReplaceRows(0, 1, "ab\r\nc\r\n"); // Return inside the row
    EXPECT_EQ(Dump(Rows), "[ab|C#5][c|C]");
}

TEST_F(ScreenStringsTest, ChangesInAWrappedLineReWrapTheWholeLine)
{
    Rows.WrapOption().SetWrapByte(20);
    Rows.SetWordWrap(true);
    Rows.ReplaceRows(0, 0, A20 + "bbbbb\r\nnext\r\n");
    EXPECT_EQ(Dump(Rows), "[" + A20 + "|W][bbbbb|C][next|C]");
    EXPECT_EQ(Rows.LineStartRow(1), 0);
    EXPECT_EQ(Rows.LineEndRow(0), 1);
    const TRowsText line = Rows.RowsText(1, -1);
    EXPECT_EQ(line.Text, "bbbbb\r\n");
    EXPECT_EQ(line.Rows, 1);
    EXPECT_EQ(Rows.RowsText(0, -1).Text, A20 + "bbbbb\r\n");

    // a character taken from the first row pulls the next row's first character up
    Rows.ReplaceRows(0, 1, std::string(19, 'a'));
    EXPECT_EQ(Dump(Rows), "[" + std::string(19, 'a') + "b|W][bbbb|C][next|C]");
    Rows.ReplaceRows(0, 2, "");
    EXPECT_EQ(Dump(Rows), "[next|C]");

    // Return at the end of an exactly full last row: the empty row after it ends the text
    Rows.ReplaceRows(0, 1, A20);
    EXPECT_EQ(Dump(Rows), "[" + A20 + "|W][|E]");
    Rows.ReplaceRows(0, 1, A20 + "\r\n");
    EXPECT_EQ(Dump(Rows), "[" + A20 + "|W][|C]") << "the line break is kept";
}

TEST_F(ScreenStringsTest, DistanceToRowByteCountsLineBreaksAsTwoBytes)
{
    SetRows(Rows, "ab|cd\nef$");
    EXPECT_EQ(Rows.DistanceToRowByte(0, 1), (TRowByte{0, 1}));
    EXPECT_EQ(Rows.DistanceToRowByte(0, 2), (TRowByte{1, 0})) << "the end of a wrapped row is the next row's start";
    EXPECT_EQ(Rows.DistanceToRowByte(0, 4), (TRowByte{1, 2}));
    EXPECT_EQ(Rows.DistanceToRowByte(0, 5), (TRowByte{1, 2})) << "inside the line break";
    EXPECT_EQ(Rows.DistanceToRowByte(0, 6), (TRowByte{2, 0}));
    EXPECT_EQ(Rows.DistanceToRowByte(1, 99), (TRowByte{2, 2})) << "the last row without a line break";
    SetRows(Rows, "ab\n");
    EXPECT_EQ(Rows.DistanceToRowByte(0, 4), (TRowByte{1, 0})) << "the empty line after a final break";
}

// Display rows 2: re-parsing runs at most 4 rows past the change.
TEST_F(ScreenStringsTest, ReParsingStopsWhereTheStoredStateHoldsOrTwiceTheDisplayBelow)
{
    Editor.DisplayRows = 2;
    Editor.FullParse = true;
    SetRows(Rows, "x\nx\nx\nx\nx\nx\nx\nx\nx\nx\n");
    Rows.InitBrackets();

    Rows.ReplaceRows(1, 1, "x/*\r\n");
    EXPECT_EQ(Editor.Changes.back().ParsedRowCount, 5);
    EXPECT_EQ(Editor.InvalidatedRows, 5);
    for (int row = 2; row <= 5; ++row)
        EXPECT_EQ(Rows.Brackets(row), 0) << row;
    for (int row = 6; row < 10; ++row)
        EXPECT_EQ(Rows.Brackets(row), -2) << row << " is parsed when it is painted";
    EXPECT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1);

    Rows.ReplaceRows(8, 1, "y\r\n"); // below the parsed rows: parsing resumes from row 5
    EXPECT_EQ(Rows.Brackets(8), 0);
    EXPECT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1);

    Rows.ReplaceRows(0, 1, "z\r\n"); // the state after row 1 is unchanged
    EXPECT_EQ(Editor.Changes.back().ParsedRowCount, 2);
    Rows.ReplaceRows(3, 1, "*/\r\n");
    EXPECT_EQ(Rows.Brackets(5), -1);
    EXPECT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1);

    Rows.UpdateBrackets(9, false);
    EXPECT_NE(Rows.Brackets(9), -2);
    EXPECT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1);
}

// Parsing never runs through the rows of a long text that a change does not reach: without
// brackets a row far down is painted from its own line, and its edit parses nothing above it.
TEST(ScreenStrings, EditsAndPaintingParseOnlyNearTheirRows)
{
    TFakeEditor editor;
    editor.Fountain.SetQuotation("\"");
    editor.DisplayRows = 5;
    TEditorScreenStrings& rows = editor.ScreenStrings();
    std::string text;
    for (int i = 0; i < 10'000; ++i)
        text += "say \"row\"\n";
    SetRows(rows, text);
    rows.InitBrackets();
    EXPECT_EQ(rows.ParsedRowEnd(), 11);

    rows.ReplaceRows(5, 1, "say \"row x\r\n");
    EXPECT_EQ(rows.ParsedRowEnd(), 11) << "the unclosed string ends with its line";
    rows.ReplaceRows(9000, 1, "x\r\n");
    EXPECT_EQ(rows.ParsedRowEnd(), 11);
    EXPECT_EQ(rows.RowStartState(9001), rows.GetRowAttributeData(3)) << "a line starts afresh";

    AddBlockComment(editor.Fountain); // now a state may run on into the next line
    rows.ReplaceRows(9000, 1, "/*\r\n");
    EXPECT_EQ(rows.ParsedRowEnd(), 9011);
    EXPECT_EQ(rows.RowStartState(9001).OpenBracket, 0);
    EXPECT_EQ(FirstStaleRow(rows, editor.Fountain), -1);
}

// Rows far down one wrapped line, painted in any order and after edits, start in the state that
// parsing the line from its start gives.
TEST(ScreenStrings, RowsOfALongWrappedLineStartInTheStateOfTheirLine)
{
    TFakeEditor editor;
    editor.Fountain.SetQuotation("\"");
    TEditorScreenStrings& rows = editor.ScreenStrings();
    SetRows(rows, "say \"" + std::string(100'000, 'x') + "\"\nsay\n");
    rows.WrapOption().SetWrapByte(20);
    rows.SetWordWrap(true);
    ASSERT_EQ(rows.LineEndRow(0), 5000);
    const auto expectFresh = [&](std::initializer_list<int> order) {
        TEditorStringList fresh;
        FreshRowStates(rows, editor.Fountain, fresh);
        for (const int row : order) {
            SCOPED_TRACE(row);
            EXPECT_EQ(rows.RowStartState(row), fresh.GetRowAttributeData(row));
        }
    };
    expectFresh({4500, 4501, 4502, 3000, 1025, 5000, 5001});
    rows.ReplaceRows(1, 1, "\"" + std::string(rows.Str(1))); // the string now ends there
    expectFresh({4500, 2000, 4501, 5001});
    rows.ReplaceRows(4000, 1, "y\r\n");
    expectFresh({4002, 4999, 3999, 1});
}

TEST_F(ScreenStringsTest, InitBracketsParsesTheRowsNearTheTopUnlessToldToParseAll)
{
    std::string rows;
    for (int i = 0; i < 100; ++i)
        rows += "row\n";
    SetRows(Rows, rows);
    Editor.DisplayRows = 10;
    Editor.Top = 20;
    Rows.InitBrackets();
    EXPECT_NE(Rows.Brackets(40), -2);
    EXPECT_EQ(Rows.Brackets(41), -2);

    Editor.FullParse = true;
    Rows.InitBrackets();
    EXPECT_NE(Rows.Brackets(99), -2);

    Editor.IsLoading = true;
    SetRows(Rows, "row\n");
    Rows.InitBrackets();
    EXPECT_EQ(Rows.Brackets(0), -2) << "nothing while the editor is loading";
}

TEST_F(ScreenStringsTest, WrappingOnAndOffKeepsLinesAndMarksAndDropsTheUndoHistory)
{
    Rows.WrapOption().SetWrapByte(20);
    SetRows(Rows, "short\n" + std::string(50, 'a') + "\nend$");
    Mark(1, 1);
    Mark(2, 2);
    Rows.ReplaceRows(0, 1, "Short\r\n");
    Editor.SetRowCol(1, 7);

    Rows.SetWordWrap(true);
    EXPECT_EQ(Dump(Rows), "[Short|C][" + A20 + "|W#1][" + A20 + "|W][" + std::string(10, 'a') + "|C][end|E#2]");
    EXPECT_FALSE(Rows.UndoObj().CanUndo());
    EXPECT_EQ(Editor.Col(), 0);
    EXPECT_EQ(Editor.Refreshes, 1);
    EXPECT_GE(Editor.SelectionDrops, 1);

    Mark(3, 3);
    Rows.WrapOption().SetWrapByte(25); // a wrap option change re-wraps at once
    EXPECT_EQ(Dump(Rows), "[Short|C][" + std::string(25, 'a') + "|W#1][" + std::string(25, 'a') + "|W][|C#3][end|E#2]");

    Rows.SetWordWrap(false);
    EXPECT_EQ(Dump(Rows), "[Short|C][" + std::string(50, 'a') + "|C#1#3][end|E#2]");
    EXPECT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1);
}

TEST_F(ScreenStringsTest, CaretAndTopRowsBeyondTheTextComeBackWhenABatchEnds)
{
    SetRows(Rows, "a\nb\nc\n");
    Editor.SetRowCol(3, 0);
    Editor.SetTopRow(3);
    Rows.ReplaceRows(2, 1, "");
    EXPECT_EQ(Editor.Row(), 2) << "the empty line after a final line break";
    EXPECT_EQ(Editor.TopRow(), 2);
    Rows.ReplaceRows(1, 1, "b");
    EXPECT_EQ(Dump(Rows), "[a|C][b|E]");
    EXPECT_EQ(Editor.Row(), 1);
    Rows.ReplaceRows(0, 2, "");
    EXPECT_EQ(Editor.Row(), 0);
}

TEST_F(ScreenStringsTest, ClearDropsMarksAndUndoAndPutsTheCaretAtTheStart)
{
    SetRows(Rows, "a\nb\n");
    Mark(1, 4);
    Rows.ReplaceRows(0, 1, "A\r\n");
    Editor.SetRowCol(1, 1);
    Editor.Changes.clear();

    Rows.Clear();
    EXPECT_EQ(Rows.Count(), 0);
    EXPECT_EQ(Rows.ListMarks(), 0);
    EXPECT_FALSE(Rows.UndoObj().CanUndo());
    EXPECT_EQ(Editor.Row(), 0);
    EXPECT_EQ(Editor.Col(), 0);
    ASSERT_EQ(Editor.Changes.size(), 1u);
    EXPECT_EQ(Editor.Changes[0].OldRowCount, 2);
    EXPECT_EQ(Editor.Changes[0].NewRowCount, 0);
    EXPECT_FALSE(Rows.ChangeRecord().ChangeValid);

    Rows.Clear();
    EXPECT_EQ(Editor.Changes.size(), 1u) << "clearing no rows tells nobody";
}

TEST(ScreenStrings, SharedByEditorsTheFocusedOneIsActiveAndTheTextOutlivesItsFirstEditor)
{
    auto first = std::make_unique<TFakeEditor>();
    TFakeEditor second(first->SharedStrings());
    TEditorScreenStrings& rows = second.ScreenStrings();
    EXPECT_EQ(rows.Owner(), first.get());
    EXPECT_EQ(rows.ActiveEditor(), first.get());
    second.Focused = true;
    EXPECT_EQ(rows.ActiveEditor(), &second);

    rows.ReplaceRows(0, 0, "x\r\n");
    EXPECT_EQ(first->Changes.size(), 1u);
    EXPECT_EQ(second.Changes.size(), 1u);

    first.reset();
    EXPECT_EQ(rows.Owner(), &second);
    EXPECT_EQ(Dump(rows), "[x|C]");
}
