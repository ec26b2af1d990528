#include "editor/base/CodePage.h"
#include "editor/text/edAttributeArray.h"
#include "editor/text/edCellAttributes.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrim;

namespace {

std::string Sjis(const char* Utf8) { return Utf8ToSjis(Utf8); }

std::string Cells(const std::string& Line, int TabSpaceCount = 8, bool WordWrap = false, int WrapByte = 80)
{
    TEditorLayoutSettings layout;
    layout.SetTabSpaceCount(TabSpaceCount);
    return StrToAttributes(Line, layout, WordWrap, WrapByte);
}

} // namespace

TEST(CellAttributes, EachCharacterGetsItsCells)
{
    EXPECT_EQ(Cells(Sjis("a,漢\tｱ ")), "1245" "2333" "12");
    EXPECT_EQ(Cells(""), "");
    // a lead byte at the end of the line is one column wide
    EXPECT_EQ(Cells("ab\x8A"), "111");
    // a lead byte takes whatever byte follows it as its second half
    EXPECT_EQ(Cells("\x8A\tb"), "451");
}

TEST(CellAttributes, DelimiterSetBoundaries)
{
    const std::string bytes = "/0@A[^_`z{\x7F\x80\xA0\xA5\xA6\xDF\xFD\xFF";
    EXPECT_EQ(Cells(bytes), "2121221212222211" "22");
    TEditorLayoutSettings layout;
    EXPECT_TRUE(layout.IsDelimiter('\0'));
    EXPECT_TRUE(layout.IsDelimiter(':'));
    EXPECT_FALSE(layout.IsDelimiter('9'));
}

TEST(CellAttributes, TabsReachTheNextStopButNotPastTheRowEnd)
{
    EXPECT_EQ(Cells("\t"), "23333333");
    EXPECT_EQ(Cells("abc\t", 4), "1112");
    EXPECT_EQ(Cells("a\t", 2), "12");
    // a tab in column 28 of a 30-column row fills 28-30 with word wrap, 28-32 without
    const std::string line = std::string(27, 'a') + "\tb";
    EXPECT_EQ(Cells(line, 8, true, 30), std::string(27, '1') + "233" "1");
    EXPECT_EQ(Cells(line, 8, false, 30), std::string(27, '1') + "23333" "1");

    TEditorLayoutSettings layout;
    layout.SetTabSpaceCount(0); // kept at one column: no tab stop may vanish
    EXPECT_EQ(layout.TabSpaceCount(), 1);
    EXPECT_EQ(StrToAttributes("\t\t", layout, false, 80), "22");
}

TEST(CellAttributes, BuildingStopsPastTheRowWithoutSplittingACharacter)
{
    EXPECT_EQ(Cells(std::string(30, 'a'), 8, true, 20).size(), 23u);
    EXPECT_EQ(Cells(std::string(22, 'a') + Sjis("漢漢"), 8, true, 20), std::string(22, '1') + "45");
    EXPECT_EQ(Cells(std::string(1500, 'a')).size(), 1000u);
}

TEST(CellAttributes, DisplayWidthIsTheUncutNumberOfCells)
{
    TEditorLayoutSettings layout;
    const std::string tabs = Sjis("漢字\tab\t\tｶﾞ");
    EXPECT_EQ(DisplayWidth(tabs, layout, false, 20), 26);
    EXPECT_EQ(DisplayWidth(tabs, layout, true, 80), 26);
    EXPECT_EQ(DisplayWidth(tabs, layout, true, 20), 22); // the tab at column 17 stops at 20
    EXPECT_EQ(DisplayWidth(tabs, layout, true, 20), static_cast<int>(Cells(tabs, 8, true, 20).size()));
    EXPECT_EQ(DisplayWidth(std::string(3000, 'x'), layout, false, 80), 3000);
    EXPECT_EQ(DisplayWidth("\x8A", layout, true, 80), 1);
}
