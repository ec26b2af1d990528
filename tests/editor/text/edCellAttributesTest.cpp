#include "editor/base/CodePage.h"
#include "editor/text/edCellAttributes.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrim;

namespace {

std::string Cells(const std::string& Line, int TabSpaceCount = 8, bool WordWrap = false, int WrapByte = 80)
{
    TEditorLayoutSettings layout;
    layout.SetTabSpaceCount(TabSpaceCount);
    return StrToAttributes(Line, layout, WordWrap, WrapByte);
}

} // namespace

TEST(CellAttributes, EachCharacterGetsItsCells)
{
    EXPECT_EQ(Cells(Utf8ToSjis("a,漢\tｱ ")), "1245" "2333" "12");
    EXPECT_EQ(Cells("ab\x8A"), "111");  // a lead byte at the end is one column
    EXPECT_EQ(Cells("\x8A\tb"), "451"); // a lead byte takes any byte after it
    // the edges of the delimiter set
    EXPECT_EQ(Cells("/0@A[^_`z{\x7F\x80\xA0\xA5\xA6\xDF\xFD\xFF"), "212122121222221122");
}

TEST(CellAttributes, TabsStopAtTheRowEndWithWordWrap)
{
    EXPECT_EQ(Cells("abc\t", 4), "1112");
    // a tab in column 28 of a 30-column row fills 28-30 with word wrap, 28-32 without
    const std::string line = std::string(27, 'a') + "\tb";
    EXPECT_EQ(Cells(line, 8, true, 30), std::string(27, '1') + "233" "1");
    EXPECT_EQ(Cells(line, 8, false, 30), std::string(27, '1') + "23333" "1");
    EXPECT_EQ(Cells("\t\t", 0), "22"); // a tab width below 1 is kept at 1

    TEditorLayoutSettings layout;
    const std::string tabs = Utf8ToSjis("漢字\tab\t\tｶﾞ");
    EXPECT_EQ(DisplayWidth(tabs, layout, false, 20), 26);
    EXPECT_EQ(DisplayWidth(tabs, layout, true, 20), 22); // the tab at column 17 stops at 20
    EXPECT_EQ(DisplayWidth(tabs, layout, true, 20), static_cast<int>(Cells(tabs, 8, true, 20).size()));
    EXPECT_EQ(DisplayWidth(std::string(3000, 'x'), layout, false, 80), 3000);
}

TEST(CellAttributes, BuildingStopsPastTheRowWithoutSplittingACharacter)
{
    EXPECT_EQ(Cells(std::string(30, 'a'), 8, true, 20).size(), 23u);
    EXPECT_EQ(Cells(std::string(22, 'a') + Utf8ToSjis("漢漢"), 8, true, 20), std::string(22, '1') + "45");
    EXPECT_EQ(Cells(std::string(1500, 'a')).size(), 1000u);
}
