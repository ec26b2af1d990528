#include "editor/base/StringList.h"
#include "editor/base/edUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrim;

TEST(edUtils, ByteKindsAreFoundFromTheStartOfTheText)
{
    // "a", "ソ" (83 5C), "漢" (8A BF), "b"
    const std::string mixed = "a\x83\x5C\x8A\xBF" "b";
    const std::string lead = "010100", trail = "001010";
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(IsDBCS1(mixed, n), lead[n - 1] == '1') << n;
        EXPECT_EQ(IsDBCS2(mixed, n), trail[n - 1] == '1') << n;
    }
    EXPECT_TRUE(IsDBCS2("\x8A\x8A\x8A", 2)); // looks like a lead byte, is a trail byte
    EXPECT_FALSE(IsDBCS1("a\x8A", 2));       // a lead byte at the end starts nothing
    for (int n : {0, 7}) {
        EXPECT_FALSE(IsDBCS1(mixed, n) || IsDBCS2(mixed, n));
        EXPECT_EQ(CharAt(mixed, n), '\0');
    }
    EXPECT_EQ(CharAt(mixed, 6), 'b');
    EXPECT_EQ(CountChar("2333123", '3', 4), 3);
    EXPECT_EQ(CountChar("2333123", '3', 100), 4);
    EXPECT_EQ(CountChar("2333123", '3', -5), 0);
}

TEST(edUtils, StrIncludesMatchesOnlyAtCharacterBoundaries)
{
    // the trail byte of "ソ" is a backslash; it is not found inside the character
    EXPECT_FALSE(StrIncludes("\\", "a\x83\x5C"));
    EXPECT_TRUE(StrIncludes("\\", "a\x83\x5C\\"));
    EXPECT_TRUE(StrIncludes("\x8A\xBF" "b", "a\x83\x5C\x8A\xBF" "b"));
    EXPECT_FALSE(StrIncludes("\x5C\x8A", "a\x83\x5C\x8A\xBF")); // would start on a trail byte
    EXPECT_FALSE(StrIncludes("abc", "ab"));
    EXPECT_FALSE(StrIncludes("", "ab"));
}

TEST(edUtils, StrToLinesCutsAtEveryLineBreakInOneBatch)
{
    TStringList lines;
    int changes = 0;
    lines.OnChange = [&] { ++changes; };
    const auto linesOf = [&](const std::string& text) {
        StrToLines(text, lines);
        std::vector<std::string> result;
        for (int i = 0; i < lines.Count(); ++i)
            result.push_back(lines.Get(i));
        return result;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(linesOf("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(linesOf("a\n\n"), (Lines{"a", ""})); // two final breaks: one empty last line
    EXPECT_EQ(linesOf("a\rb\nc\r\n\rd"), (Lines{"a", "b", "c", "", "d"}));
    // a NUL byte is text like any other: nothing after it is lost
    EXPECT_EQ(linesOf(std::string("a\0b\nc", 5)), (Lines{std::string("a\0b", 3), "c"}));
    EXPECT_EQ(linesOf(""), Lines{});
}

TEST(edUtils, LineBreaksBecomeOneForm)
{
    const struct {
        std::string Text, CrLf, Lf;
    } cases[] = {
        {"", "", ""},
        {"abc", "abc", "abc"},
        {"a\r\nb\r\n", "a\r\nb\r\n", "a\nb\n"},
        {"a\nb\rc\r\n\rd", "a\r\nb\r\nc\r\n\r\nd", "a\nb\nc\n\nd"},
        {"\n\r\r\n\n", "\r\n\r\n\r\n\r\n", "\n\n\n\n"}, // LF CR, CR LF, LF
        {"x\r", "x\r\n", "x\n"},
        {std::string("a\0\nb", 4), std::string("a\0\r\nb", 5), std::string("a\0\nb", 4)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CrLfLineBreaks(c.Text), c.CrLf) << c.Text;
        EXPECT_EQ(LfLineBreaks(c.Text), c.Lf) << c.Text;
    }
}
