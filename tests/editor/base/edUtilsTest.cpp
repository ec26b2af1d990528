#include "editor/base/StringList.h"
#include "editor/base/edUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrim;

namespace {

// "a", then the two-byte characters "ソ" (83 5C) and "漢" (8A BF), then "b".
const std::string Mixed = "a\x83\x5C\x8A\xBF" "b";

std::vector<std::string> LinesOf(const TStrings& Strings)
{
    std::vector<std::string> lines;
    for (int i = 0; i < Strings.Count(); ++i)
        lines.push_back(Strings.Get(i));
    return lines;
}

} // namespace

TEST(edUtils, ByteKindsAreFoundFromTheStartOfTheText)
{
    const std::vector<bool> lead{false, true, false, true, false, false};
    const std::vector<bool> trail{false, false, true, false, true, false};
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(IsDBCS1(Mixed, n), lead[n - 1]) << n;
        EXPECT_EQ(IsDBCS2(Mixed, n), trail[n - 1]) << n;
    }
    // a byte that looks like a lead byte is a trail byte when the scan says so
    EXPECT_TRUE(IsDBCS2("\x8A\x8A\x8A", 2));
    EXPECT_TRUE(IsDBCS1("\x8A\x8A\x8A\x8A", 3));
    // a lead byte at the very end starts no two-byte character
    EXPECT_FALSE(IsDBCS1("a\x8A", 2));
    EXPECT_FALSE(StartsTwoByteChar("a\x8A", 1));
    for (int n : {0, 7, -1}) {
        EXPECT_FALSE(IsDBCS1(Mixed, n));
        EXPECT_FALSE(IsDBCS2(Mixed, n));
    }
}

TEST(edUtils, CharAtAndCountCharStayInsideTheString)
{
    EXPECT_EQ(CharAt("abc", 1), 'a');
    EXPECT_EQ(CharAt("abc", 3), 'c');
    EXPECT_EQ(CharAt("abc", 0), '\0');
    EXPECT_EQ(CharAt("abc", 4), '\0');
    EXPECT_EQ(CharAt("", 1), '\0');

    EXPECT_EQ(CountChar("2333123", '3', 4), 3);
    EXPECT_EQ(CountChar("2333123", '3', 100), 4);
    EXPECT_EQ(CountChar("2333123", '3', 0), 0);
    EXPECT_EQ(CountChar("2333123", '3', -5), 0);
}

TEST(edUtils, StrIncludesMatchesOnlyAtCharacterBoundaries)
{
    // the trail byte of "ソ" is a backslash; it is not found inside the character
    EXPECT_FALSE(StrIncludes("\\", "a\x83\x5C"));
    EXPECT_TRUE(StrIncludes("\\", "a\x83\x5C\\"));
    EXPECT_TRUE(StrIncludes("\x83\x5C", Mixed));
    EXPECT_TRUE(StrIncludes("\x8A\xBF" "b", Mixed));
    EXPECT_FALSE(StrIncludes("\x5C\x8A", Mixed)); // starts on a trail byte
    EXPECT_TRUE(StrIncludes(Mixed, Mixed));
    EXPECT_FALSE(StrIncludes(Mixed + "x", Mixed));
    EXPECT_FALSE(StrIncludes("", Mixed));
    EXPECT_FALSE(StrIncludes("", ""));
}

TEST(edUtils, StrToLinesCutsAtEveryLineBreakInOneBatch)
{
    TStringList lines;
    int changes = 0;
    lines.OnChange = [&] { ++changes; };
    lines.Add("old");

    StrToLines("a\r\nb\r\n", lines);
    EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(changes, 2);

    StrToLines("a\n\n", lines); // two final breaks: one empty last line
    EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{"a", ""}));
    StrToLines("a\rb\nc\r\n\rd", lines);
    EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{"a", "b", "c", "", "d"}));
    StrToLines("\r\n", lines);
    EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{""}));

    // a NUL byte is text like any other: nothing after it is lost
    StrToLines(std::string("a\0b\nc", 5), lines);
    EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{std::string("a\0b", 3), "c"}));

    StrToLines("", lines);
    EXPECT_EQ(lines.Count(), 0);
}
