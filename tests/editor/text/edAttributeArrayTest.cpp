#include "editor/base/CodePage.h"
#include "editor/text/edAttributeArray.h"
#include "editor/text/edCellAttributes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrim;

TEST(AttributeArray, ByteIndexAndCharactersAreTheSameGoingForwardAndBack)
{
    // "a", a tab with two fill cells (tab width 4), "漢", "b"
    const std::string line = Utf8ToSjis("a\t漢b"), kanji = Utf8ToSjis("漢");
    const std::vector<int> byteIndex{1, 2, 2, 2, 3, 4, 5};
    const std::vector<std::string> chars{"a", "\t", "\t", "\t", kanji, kanji, "b"};
    TEditorAttributeArray cursor(line, "1233451");
    for (int position = 1; position <= 7; ++position, cursor.Next()) {
        EXPECT_EQ(cursor.ByteIndex(), byteIndex[position - 1]) << position;
        EXPECT_EQ(cursor.CurrentChar(), chars[position - 1]) << position;
        EXPECT_EQ(cursor.NextChar(), position < 7 ? chars[position] : "") << position;
    }
    EXPECT_EQ(cursor.Ch(), CellEnd);
    EXPECT_EQ(cursor.CurrentChar(), "");
    // back from the end: the tab stays counted on its fill cells and on its own cell
    for (int position = 7; position >= 1; --position) {
        cursor.Prev();
        EXPECT_EQ(cursor.ByteIndex(), byteIndex[position - 1]) << position;
        EXPECT_EQ(cursor.CurrentChar(), chars[position - 1]) << position;
    }
    cursor.Prev();
    EXPECT_EQ(cursor.Position(), 1);

    cursor.MoveTo(6);
    cursor.PrevChar(); // over both halves of "漢"
    EXPECT_EQ(cursor.Position(), 4);
    cursor.MoveTo(100);
    EXPECT_EQ(cursor.Position(), 8);
    cursor.Init("", "");
    EXPECT_EQ(cursor.Ch(), CellEnd);
    EXPECT_EQ(cursor.CellCount(), 0);
}
