#include "editor/base/CodePage.h"
#include "editor/text/edCellAttributes.h"
#include "editor/text/edRowCells.h"

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

TEST(CellAttributes, Utf8CharactersTakeTheirColumns)
{
    const TEditorLayoutSettings layout(TTextEncoding::Utf8);
    std::string marks = "e"; // e and 40 two-byte marks
    for (int i = 0; i < 40; ++i)
        marks += "\u0301";
    const struct {
        std::string Line, Cells;
    } cases[] = {
        {"é", "1"},                      // a letter beyond Shift-JIS is a word character
        {"😀", "45"},                    // a wide symbol
        {"e\u0301x", "11"},              // the mark joins the e
        {"\u0301", "1"},                 // a mark with nothing before it stands alone
        {"\xFF\x80\xE3\x81", "2222"},    // invalid bytes, one column each
        {"ｶ､a_,€", "121122"},            // half-width kana keep their Shift-JIS rule
        {"漢。ａ", "454545"},
        {marks, "11"},                   // 64 bytes at most in one character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToAttributes(c.Line, layout, false, 80), c.Cells) << c.Line;
        EXPECT_EQ(DisplayWidth(c.Line, layout, false, 80), static_cast<int>(c.Cells.size())) << c.Line;
    }
    EXPECT_EQ(StrToAttributes(std::string(22, 'a') + "😀😀", layout, true, 20), std::string(22, '1') + "45");
}

TEST(RowCells, Utf8ColumnsAndBytes)
{
    TEditorLayoutSettings layout(TTextEncoding::Utf8);
    layout.SetTabSpaceCount(4);
    // bytes: a 0, 😀 1-4, é 5-6, tab 7, b 8; columns: a 0, 😀 1-2, é 3, tab 4 filled to 7, b 8
    const std::string row = "a😀é\tb";
    const TRowCells cells(row, layout, false, 80);
    EXPECT_EQ(cells.Cells(), "1451" "2333" "1");
    EXPECT_EQ(cells.CoveredBytes(), 9);
    const int byteOfCol[] = {0, 1, 2, 5, 7, 8, 8, 8, 8, 9, 10};
    for (int col = 0; col < 11; ++col)
        EXPECT_EQ(cells.ByteOfCol(col), byteOfCol[col]) << col;
    const int colOfByte[] = {0, 1, 2, 2, 2, 3, 3, 4, 8, 9, 10};
    for (int byte = 0; byte < 11; ++byte)
        EXPECT_EQ(cells.ColOfByte(byte), colOfByte[byte]) << byte;
    EXPECT_EQ(ExpandTabs(row, layout, false, 80), "a😀é    b");
    // the cut at the limit keeps whole characters
    const TRowCells cut(std::string(999, 'a') + "😀b", layout, false, 80);
    EXPECT_EQ(cut.Width(), 1001);
    EXPECT_EQ(cut.CoveredBytes(), 1003);
    EXPECT_EQ(ExpandTabs(std::string(999, 'a') + "é\tb", layout, false, 80), std::string(999, 'a') + "é");
}
