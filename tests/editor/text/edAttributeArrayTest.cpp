#include "editor/base/CodePage.h"
#include "editor/text/edAttributeArray.h"
#include "editor/text/edCellAttributes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrim;

namespace {

struct CellState {
    char Ch;
    int ByteIndex;
    std::string Char;
    bool operator==(const CellState&) const = default;
};

CellState StateOf(const TEditorAttributeArray& Cursor)
{
    return {Cursor.Ch(), Cursor.ByteIndex(), std::string(Cursor.CurrentChar())};
}

// "a", a tab (two fill cells at tab width 4), "漢", "b".
const std::string Line = Utf8ToSjis("a\t漢b");
const std::string Kanji = Utf8ToSjis("漢");
const std::vector<CellState> Expected{
    {'1', 1, "a"}, {'2', 2, "\t"}, {'3', 2, "\t"}, {'3', 2, "\t"}, {'4', 3, Kanji}, {'5', 4, Kanji}, {'1', 5, "b"},
};

} // namespace

TEST(AttributeArray, ByteIndexIsTheSameGoingForwardAndBack)
{
    TEditorAttributeArray cursor(Line, "1233451");
    ASSERT_EQ(cursor.CellCount(), 7);
    for (int position = 1; position <= 7; ++position) {
        EXPECT_EQ(cursor.Position(), position);
        EXPECT_EQ(StateOf(cursor), Expected[position - 1]) << position;
        if (position < 7)
            EXPECT_EQ(cursor.NextChar(), Expected[position].Char) << position;
        cursor.Next();
    }
    EXPECT_EQ(cursor.Ch(), CellEnd);
    EXPECT_EQ(cursor.CurrentChar(), "");
    EXPECT_EQ(cursor.NextChar(), "");
    cursor.Next(); // stays at the end
    EXPECT_EQ(cursor.Position(), 8);

    // back from the end: the tab stays counted on its fill cells and its own cell
    for (int position = 7; position >= 1; --position) {
        cursor.Prev();
        EXPECT_EQ(StateOf(cursor), Expected[position - 1]) << position;
    }
    cursor.Prev(); // stays at the first cell
    EXPECT_EQ(cursor.Position(), 1);
}

TEST(AttributeArray, PrevCharAndMoveToStepOverWholeCharacters)
{
    TEditorAttributeArray cursor(Line, "1233451");
    cursor.MoveTo(7);
    cursor.PrevChar();
    EXPECT_EQ(cursor.Position(), 6);
    cursor.PrevChar(); // over both halves of the two-byte character
    EXPECT_EQ(cursor.Position(), 4);
    EXPECT_EQ(cursor.ByteIndex(), 2);

    cursor.MoveTo(100);
    EXPECT_EQ(cursor.Position(), 8);
    EXPECT_EQ(cursor.Ch(), CellEnd);
    cursor.MoveTo(-3);
    EXPECT_EQ(StateOf(cursor), Expected[0]);

    cursor.Init("", "");
    EXPECT_EQ(cursor.Ch(), CellEnd);
    EXPECT_EQ(cursor.CellCount(), 0);
    cursor.PrevChar();
    EXPECT_EQ(cursor.Position(), 1);
}
