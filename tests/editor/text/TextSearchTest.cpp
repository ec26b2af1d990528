#include "editor/base/CodePage.h"
#include "editor/text/TextSearch.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

using namespace kestrim;

namespace {

struct Hit {
    int Position;
    int Length;
    bool operator==(const Hit&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& Out, const Hit& H)
{
    return Out << "{" << H.Position << ", " << H.Length << "}";
}

std::optional<Hit> Find(const std::string& Text, const std::string& Pattern, TSearchOptions Options, int Position = 0,
                        int Length = 0)
{
    if (!SearchText(Text, Position, Length, Pattern, Options))
        return std::nullopt;
    return Hit{Position, Length};
}

std::string Sjis(const char* Utf8) { return Utf8ToSjis(Utf8); }

constexpr TSearchOptions Down = soDown;
constexpr TSearchOptions Up = 0;

} // namespace

TEST(TextSearch, RejectsBadArgumentsAndLeavesThemAlone)
{
    EXPECT_EQ(Find("abc", "", Down), std::nullopt);
    EXPECT_EQ(Find("", "a", Down), std::nullopt);
    EXPECT_EQ(Find("abc", "a", Up, 4), std::nullopt);
    EXPECT_EQ(Find("abc", "a", Down, -1), std::nullopt);
    int position = 2, length = -1;
    EXPECT_FALSE(SearchText("abc", position, length, "c", Down));
    EXPECT_EQ(position, 2);
    EXPECT_EQ(length, -1);
    EXPECT_EQ(Find("abc", "a", Up, 0), std::nullopt);
    EXPECT_EQ(Find("abc", "c", Down, 2, 2), std::nullopt); // the current hit reaches past the end
}

TEST(TextSearch, ForwardStepsOverTheCurrentHitAndBackwardFitsThePatternBeforeThePosition)
{
    EXPECT_EQ(Find("abab", "ab", Down, 0, 2), (Hit{2, 2}));
    EXPECT_EQ(Find("abab", "ab", Down, 0, 0), (Hit{0, 2}));
    EXPECT_EQ(Find("abab", "ab", Up, 4), (Hit{2, 2}));
    EXPECT_EQ(Find("abab", "ab", Up, 3), (Hit{0, 2}));
    EXPECT_EQ(Find("abab", "ab", Up, 4, 2), (Hit{2, 2})); // the hit length only matters forward
    EXPECT_EQ(Find(std::string("a\0foo", 5), "foo", Down), (Hit{2, 3}));
}

TEST(TextSearch, HitsNeverStartOnATrailByte)
{
    const std::string katakanaA = "\x83\x41"; // trail byte 'A'
    EXPECT_EQ(Find(katakanaA, "A", Down | soMatchCase), std::nullopt);
    EXPECT_EQ(Find(katakanaA + "A", "A", Down | soMatchCase), (Hit{2, 1}));
    EXPECT_EQ(Find(katakanaA + "A", "a", Up, 3), (Hit{2, 1}));
    EXPECT_EQ(Find(katakanaA + "A", "a", Up, 2), std::nullopt);
    EXPECT_EQ(Find(katakanaA + "A", "A", Down, 1), (Hit{2, 1})); // a start on a trail byte moves on
    EXPECT_EQ(Find("\x83\xB6", "\xB6", Down | soIgnoreWidth), std::nullopt);
    // Upper-casing the pattern leaves the trail byte 'a' of a two-byte character alone.
    EXPECT_EQ(Find(katakanaA + "\x83\x61", "\x83\x61", Down), (Hit{2, 2}));
}

TEST(TextSearch, IgnoringCaseFoldsLettersOfBothWidths)
{
    EXPECT_EQ(Find("xabc", "ABC", Down), (Hit{1, 3}));
    EXPECT_EQ(Find("xabc", "ABC", Down | soMatchCase), std::nullopt);
    EXPECT_EQ(Find(Sjis("ａ"), Sjis("Ａ"), Down), (Hit{0, 2}));
    EXPECT_EQ(Find(Sjis("Ａ"), Sjis("ａ"), Down), (Hit{0, 2}));
    EXPECT_EQ(Find(Sjis("ａ"), Sjis("Ａ"), Down | soMatchCase), std::nullopt);
    EXPECT_EQ(Find(Sjis("ωя"), Sjis("ΩЯ"), Down), (Hit{0, 4}));
    EXPECT_EQ(Find(Sjis("но"), Sjis("НО"), Down), (Hit{0, 4})); // on both sides of the gap at 0x847F
    EXPECT_EQ(Find("\xEE\xEF", Sjis("Ⅰ"), Down), (Hit{0, 2}));
}

TEST(TextSearch, IgnoringWidthMatchesHalfWidthFormsAndVoicedKana)
{
    const TSearchOptions width = Down | soIgnoreWidth;
    EXPECT_EQ(Find(Sjis("ガギ"), Sjis("ｶﾞｷﾞ"), width), (Hit{0, 4}));
    EXPECT_EQ(Find(Sjis("xｶﾞｷﾞ"), Sjis("ガギ"), width), (Hit{1, 4}));
    EXPECT_EQ(Find(Sjis("ａｂｃ"), "abc", width), (Hit{0, 6}));
    EXPECT_EQ(Find(Sjis("ａｂｃ"), "ABC", width), (Hit{0, 6}));
    EXPECT_EQ(Find(Sjis("ＡＢＣ"), "abc", width | soMatchCase), std::nullopt);
    EXPECT_EQ(Find(Sjis("パヴ"), Sjis("ﾊﾟｳﾞ"), width), (Hit{0, 4}));
    EXPECT_EQ(Find(Sjis("ｶﾞ"), Sjis("カ"), width), std::nullopt); // the mark belongs to the kana
    EXPECT_EQ(Find(Sjis("ｶﾞ"), Sjis("゛"), width), (Hit{1, 1}));
    EXPECT_EQ(Find(Sjis("ｶﾞ"), Sjis("ガ"), Up | soIgnoreWidth, 2), (Hit{0, 2}));
    EXPECT_EQ(Find("a c", Sjis("ａ　ｃ"), width), (Hit{0, 3}));
    EXPECT_EQ(Find("abc", Sjis("ａｂｃ"), Down), std::nullopt);
}

// A semi-voiced mark combines only with ha..ho, and the half-width middle dot is the
// katakana middle dot, not a full stop.
TEST(TextSearch, IgnoringWidthKeepsOtherKanaAndTheMiddleDotApart)
{
    const TSearchOptions width = Down | soIgnoreWidth;
    EXPECT_EQ(Find(Sjis("キ"), Sjis("ｶﾟ"), width), std::nullopt);
    EXPECT_EQ(Find(Sjis("カ゜"), Sjis("ｶﾟ"), width), (Hit{0, 4}));
    EXPECT_EQ(Find(Sjis("ｶﾟ"), Sjis("キ"), width), std::nullopt);
    EXPECT_EQ(Find(Sjis("・"), Sjis("･"), width), (Hit{0, 2}));
    EXPECT_EQ(Find(Sjis("･"), ".", width), std::nullopt);
}

TEST(TextSearch, WholeWordsStartAfterADelimiterAndEndBeforeOne)
{
    const TSearchOptions word = Down | soWholeWord;
    EXPECT_EQ(Find("foo_bar", "foo", word), (Hit{0, 3}));
    EXPECT_EQ(Find("a foo b", "foo", word), (Hit{2, 3}));
    EXPECT_EQ(Find("foobar", "foo", word), std::nullopt);
    EXPECT_EQ(Find("foobar foo", "foo", word), (Hit{7, 3}));
    EXPECT_EQ(Find("foo foo", "foo", Up | soWholeWord, 6), (Hit{0, 3}));
    EXPECT_EQ(Find("foo" + Sjis("あ"), "foo", word), std::nullopt); // a two-byte character is part of a word
    // The trail byte 0xA0 of this character is a delimiter byte, but the character is not.
    EXPECT_EQ(Find(Sjis("あ") + "foo", "foo", word), std::nullopt);
}

TEST(TextSearch, WholeWordRulesHoldAtTheLastStartPosition)
{
    EXPECT_EQ(Find("xfoo", "foo", Down | soWholeWord), std::nullopt);
    EXPECT_EQ(Find("a xfoo", "foo", Down | soWholeWord, 1), std::nullopt);
    EXPECT_EQ(Find("foobar", "foo", Up | soWholeWord, 6), std::nullopt);
    EXPECT_EQ(Find("foobar", "foo", Up | soWholeWord, 3), std::nullopt);
    EXPECT_EQ(Find("x foo", "foo", Down | soWholeWord), (Hit{2, 3}));
    EXPECT_EQ(Find("foo x", "foo", Up | soWholeWord, 5), (Hit{0, 3}));
}

TEST(TextSearch, SkipsLineBreaksAndBlanksOnlyInsideAHit)
{
    EXPECT_EQ(Find("a\r\nb", "ab", Down | soAcrossLines), (Hit{0, 4}));
    EXPECT_EQ(Find("a\r\nb", "ab", Down), std::nullopt);
    EXPECT_EQ(Find("a \t" + Sjis("　") + "b", "ab", Down | soIgnoreSpaces), (Hit{0, 6}));
    EXPECT_EQ(Find("a\r\nb", "ab", Down | soIgnoreSpaces), std::nullopt);
    EXPECT_EQ(Find("\r\n b", "b", Down | soAcrossLines | soIgnoreSpaces), (Hit{3, 1}));
    EXPECT_EQ(Find("xa\r\n\r\nb", "ab", Up | soAcrossLines, 7), (Hit{1, 6}));
}
