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
        Rows.ReplaceRows(row, 1, std::string(Rows.Str(row)) + Ch);
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

// Each key typed on a row records the whole row: the oldest steps go once the text the steps
// hold passes the budget, and the newest step stays even when it alone passes it.
TEST_F(UndoTest, TheUndoListDropsItsOldestStepsBeyondItsBytesAndKeepsTheNewest)
{
    UndoObj.SetUndoBytesMax(20);
    SetRows(Rows, "12345678$");
    for (char ch : std::string("abc"))
        Type(ch); // the steps hold 8, 9 and 10 bytes
    EXPECT_EQ(UndoObj.UndoList().size(), 2u);
    Rows.Undo();
    Rows.Undo();
    Rows.Undo();
    EXPECT_EQ(Dump(Rows), "[12345678a|E]");

    UndoObj.SetUndoBytesMax(5);
    Type('d');
    ASSERT_EQ(UndoObj.UndoList().size(), 1u);
    Rows.Undo();
    EXPECT_EQ(Dump(Rows), "[12345678a|E]");
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

// The whole text in another encoding is one step. Its undo brings the old bytes back in the old
// encoding, wrapped by that encoding's characters (wrapped by the other one's, a row would end
// inside a character), and the steps before it then undo in the old encoding again.
TEST_F(UndoTest, AnEncodingChangeIsOneStepThatUndoAndRedoTakeBackWhole)
{
    Rows.WrapOption().SetWrapByte(20);
    Rows.SetWordWrap(true);
    std::string sjis;
    std::string utf8;
    for (int i = 0; i < 11; ++i) {
        sjis += "\x82\xa0"; // あ
        utf8 += "あ";
    }
    Rows.ReplaceRows(0, 0, sjis + "\r\nz");
    const std::string sjisRows = "[" + sjis.substr(0, 20) + "|W][\x82\xa0|C][z|E]";
    ASSERT_EQ(Dump(Rows), sjisRows);

    Rows.ReplaceAllRows(utf8 + "\r\nz", TTextEncoding::Utf8);
    const std::string utf8Rows = "[" + utf8.substr(0, 30) + "|W][あ|C][z|E]";
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(Dump(Rows), utf8Rows);
    EXPECT_EQ(UndoObj.UndoList().size(), 2u);

    Rows.Undo();
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::ShiftJis);
    EXPECT_EQ(Dump(Rows), sjisRows);
    Rows.Redo();
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(Dump(Rows), utf8Rows);
    Rows.Undo();
    Rows.Undo();
    EXPECT_EQ(Dump(Rows), "");
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::ShiftJis);
}
