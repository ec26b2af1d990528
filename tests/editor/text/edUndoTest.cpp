#include "FakeEditor.h"

#include "editor/text/edUndo.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrim;
using namespace kestrim::test;

namespace {

class UndoTest : public testing::Test {
protected:
    // Types Ch at the end of the last row as the editor does: the row is replaced by its text
    // with the character added.
    void Type(char Ch)
    {
        const int row = Rows.Count() - 1;
        Editor.SetRowCol(row, static_cast<int>(Rows.Str(row).size()));
        Rows.ReplaceRows(row, 1, Rows.Str(row) + Ch);
    }

    TFakeEditor Editor;
    TEditorScreenStrings& Rows = Editor.ScreenStrings();
    TEditorUndoObj& UndoObj = Rows.UndoObj();
};

} // namespace

TEST_F(UndoTest, TheUndoListKeepsTheLast64StepsAndNeverFewer)
{
    SetRows(Rows, "$");
    const std::string typed = std::string(35, 'a') + std::string(35, 'b');
    for (char ch : typed)
        Type(ch);
    for (int i = 0; i < 70; ++i)
        Rows.Undo();
    EXPECT_EQ(Dump(Rows), "[aaaaaa|E]");
    EXPECT_FALSE(UndoObj.CanUndo());
    EXPECT_TRUE(UndoObj.CanRedo());

    UndoObj.SetUndoListMax(10);
    EXPECT_EQ(UndoObj.UndoListMax(), 64);
    UndoObj.SetUndoListMax(100);
    EXPECT_EQ(UndoObj.UndoListMax(), 100);
}

TEST_F(UndoTest, UndoAndRedoAreInverseSteps)
{
    SetRows(Rows, "a\nb$");
    const std::string before = Dump(Rows);
    Rows.ReplaceRows(1, 1, "b\r\nc\r\nd"); // two lines added after b
    Rows.ReplaceRows(0, 2, "");            // whole lines deleted
    Rows.ReplaceRows(1, 1, "d\r\n");       // the last line gets a line break
    const std::string after = Dump(Rows);
    EXPECT_EQ(after, "[c|C][d|C]");
    while (UndoObj.CanUndo())
        Rows.Undo();
    EXPECT_EQ(Dump(Rows), before);
    while (UndoObj.CanRedo())
        Rows.Redo();
    EXPECT_EQ(Dump(Rows), after);
    EXPECT_EQ(UndoObj.UndoList().size(), 3u);
}

TEST_F(UndoTest, UndoOfAnInsertionDeletesTheRowsAndRedoBringsThemBack)
{
    SetRows(Rows, "a\n");
    Rows.ReplaceRows(1, 0, "b\r\nc\r\n");
    ASSERT_EQ(UndoObj.UndoList().back().Attribute, raInvalid) << "nothing was removed";
    Rows.Undo();
    EXPECT_EQ(Dump(Rows), "[a|C]");
    EXPECT_EQ(Editor.Changes.back().OldRowCount, 2);
    EXPECT_EQ(Editor.Changes.back().NewRowCount, 0);
    Rows.Redo();
    EXPECT_EQ(Dump(Rows), "[a|C][b|C][c|C]");
}

TEST_F(UndoTest, ANewChangeEmptiesTheRedoList)
{
    SetRows(Rows, "$");
    Type('a');
    Type('b');
    Rows.Undo();
    EXPECT_TRUE(UndoObj.CanRedo());
    Type('c');
    EXPECT_FALSE(UndoObj.CanRedo());
    EXPECT_EQ(Dump(Rows), "[ac|E]");
}

TEST_F(UndoTest, UndoPutsTheCaretWhereItWasBeforeTheChangeAndRedoWhereItWasAtTheUndo)
{
    SetRows(Rows, "abc\ndef\n");
    Editor.SetRowCol(0, 3);
    Rows.ReplaceRows(0, 1, "abcX\r\n");
    Editor.SetRowCol(1, 2); // the user moves on
    Rows.Undo();
    EXPECT_EQ(Editor.Row(), 0);
    EXPECT_EQ(Editor.Col(), 3);
    EXPECT_EQ(Editor.CaretLocks, 0) << "the caret bracket is closed";
    Editor.SetRowCol(1, 0);
    Rows.Redo();
    EXPECT_EQ(Editor.Row(), 1);
    EXPECT_EQ(Editor.Col(), 2);
    Rows.Undo();
    EXPECT_EQ(Editor.Row(), 1);
    EXPECT_EQ(Editor.Col(), 0) << "the redo recorded the caret before it";
}

TEST_F(UndoTest, MarksOfRowsThatAnUndoRemovesGoToTheRowInTheirPlace)
{
    SetRows(Rows, "a\n");
    Rows.ReplaceRows(1, 0, "b\r\n");
    Rows.SetRowMarks(1, RowMark(4));
    Rows.IncludeListMarks(RowMark(4));
    Rows.Undo();
    EXPECT_EQ(Dump(Rows), "[a|C#4]");
    EXPECT_EQ(Rows.ListMarks(), RowMark(4));
}
