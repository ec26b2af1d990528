// The random test retraces texts and carets through undo and redo; these are the rules it does
// not see.
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

TEST_F(UndoTest, AnUndoneInsertionHandsTheMarksOfItsRowsOnAndRedoRestoresIt)
{
    SetRows(Rows, "a\n");
    Rows.ReplaceRows(1, 0, "b\r\nc\r\n");
    ASSERT_EQ(UndoObj.UndoList().back().Attribute, raInvalid) << "nothing was removed";
    Rows.SetRowMarks(1, RowMark(4));
    Rows.IncludeListMarks(RowMark(4));
    Rows.Undo();
    EXPECT_EQ(Dump(Rows), "[a|C#4]");
    EXPECT_EQ(Rows.ListMarks(), RowMark(4));
    EXPECT_EQ(Editor.Changes.back().OldRowCount, 2);
    EXPECT_EQ(Editor.Changes.back().NewRowCount, 0);
    Rows.Redo();
    EXPECT_EQ(Dump(Rows), "[a|C#4][b|C][c|C]");
}
