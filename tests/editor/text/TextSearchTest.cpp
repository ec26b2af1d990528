#include "editor/base/CodePage.h"
#include "editor/base/TextConversion.h"
#include "editor/text/TextSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

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

namespace {

std::optional<Hit> FindUtf8(const std::string& Text, const std::string& Pattern, TSearchOptions Options,
                            int Position = 0)
{
    int length = 0;
    if (!SearchText(Text, Position, length, Pattern, Options, TTextEncoding::Utf8))
        return std::nullopt;
    return Hit{Position, length};
}

// The byte offset of every character start of Text, and its end.
std::vector<int> CharBounds(TTextEncoding Encoding, const std::string& Text)
{
    std::vector<int> bounds;
    for (std::size_t offset = 0; offset < Text.size(); offset += CharByteCount(Encoding, Text, offset))
        bounds.push_back(static_cast<int>(offset));
    bounds.push_back(static_cast<int>(Text.size()));
    return bounds;
}

int CharIndex(const std::vector<int>& Bounds, int Offset)
{
    return static_cast<int>(std::lower_bound(Bounds.begin(), Bounds.end(), Offset) - Bounds.begin());
}

// Characters of the random texts, in UTF-8: ASCII of both cases, delimiters, blanks, line
// breaks, kana, kanji, wide letters and digits, Greek, half-width kana and voicing marks.
const std::vector<std::string> Twins = {"a", "B", "b", "k", "_", "1", " ", "\t", "\r\n", "\\", "~", "-",
                                        "あ", "カ", "ガ", "パ", "漢", "Ａ", "ａ", "１", "α", "Α", "ー", "・",
                                        "ｶ", "ﾊ", "ｳ", "ﾞ", "ﾟ", "･", "　", "Я", "я"};

std::string RandomTwinText(std::mt19937& Random, std::size_t Count)
{
    std::string text;
    for (std::size_t n = 0; n < Count; ++n)
        text += Twins[Random() % Twins.size()];
    return text;
}

} // namespace

// A UTF-8 text finds what its Shift-JIS twin finds, counted in characters, for every option set.
TEST(TextSearch, Utf8TextFindsTheSameCharactersAsItsShiftJisTwin)
{
    std::mt19937 random(23);
    int hits = 0;
    for (int trial = 0; trial < 600; ++trial) {
        const std::string utf8Text = RandomTwinText(random, random() % 16);
        std::string utf8Pattern = RandomTwinText(random, 1 + random() % 3);
        const std::vector<int> bounds = CharBounds(TTextEncoding::Utf8, utf8Text);
        if (random() % 2 == 0 && bounds.size() > 1) { // a piece of the text, to find more often
            const std::size_t first = random() % (bounds.size() - 1);
            const std::size_t end = std::min(bounds.size() - 1, first + 1 + random() % 3);
            utf8Pattern = utf8Text.substr(bounds[first], bounds[end] - bounds[first]);
        }
        const std::string sjisText = Utf8ToSjis(utf8Text), sjisPattern = Utf8ToSjis(utf8Pattern);
        ASSERT_EQ(ConvertText(sjisText, TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text, utf8Text);
        const std::vector<int> sjisBounds = CharBounds(TTextEncoding::ShiftJis, sjisText);
        const std::vector<int> utf8Bounds = CharBounds(TTextEncoding::Utf8, utf8Text);
        ASSERT_EQ(sjisBounds.size(), utf8Bounds.size());
        const std::size_t start = random() % sjisBounds.size();
        const std::size_t current = random() % 3 == 0 ? random() % (sjisBounds.size() - start) : 0;
        for (TSearchOptions options = 0; options < 64; ++options) {
            const TSearchOptions set = static_cast<TSearchOptions>((options & 0xF) | (options & 0x10 ? soAcrossLines : 0)
                                                                   | (options & 0x20 ? soIgnoreSpaces : 0));
            SCOPED_TRACE(testing::Message() << "trial " << trial << " options " << set << " text " << utf8Text
                                            << " pattern " << utf8Pattern << " start " << start);
            int sjisPosition = sjisBounds[start], sjisLength = sjisBounds[start + current] - sjisBounds[start];
            int utf8Position = utf8Bounds[start], utf8Length = utf8Bounds[start + current] - utf8Bounds[start];
            const bool sjisFound = SearchText(sjisText, sjisPosition, sjisLength, sjisPattern, set);
            const bool utf8Found =
                SearchText(utf8Text, utf8Position, utf8Length, utf8Pattern, set, TTextEncoding::Utf8);
            ASSERT_EQ(utf8Found, sjisFound);
            if (!sjisFound)
                continue;
            ++hits;
            ASSERT_EQ(CharIndex(utf8Bounds, utf8Position), CharIndex(sjisBounds, sjisPosition));
            ASSERT_EQ(CharIndex(utf8Bounds, utf8Position + utf8Length), CharIndex(sjisBounds, sjisPosition + sjisLength));
        }
    }
    EXPECT_GT(hits, 3000);
}

TEST(TextSearch, Utf8CharactersBeyondShiftJis)
{
    const std::string combining = "e\xCC\x81"; // e and COMBINING ACUTE ACCENT
    const TSearchOptions word = Down | soWholeWord;
    const struct {
        std::string Text, Pattern;
        TSearchOptions Options;
        std::optional<Hit> Expected;
    } cases[] = {
        {"xÉ", "é", Down, Hit{1, 2}},
        {"xé", "É", Down, Hit{1, 2}},
        {"xÉ", "é", Down | soMatchCase, std::nullopt},
        {"ς", "Σ", Down, Hit{0, 2}}, // final sigma folds to a Shift-JIS letter
        {"a😀b", "😀b", Down, Hit{1, 5}},
        {"a😀", "😀", Up, Hit{1, 4}},
        {combining, "e", Down, std::nullopt}, // no hit between a character and its mark
        {"a" + combining + "b", combining, Down, Hit{1, 3}},
        {"a" + combining + "b", "\xCC\x81" "b", Down, std::nullopt},
        {"a\xFF\xC0z", "\xFF\xC0", Down, Hit{1, 2}},
        {"\xE3\x81z", "z", Down, Hit{2, 1}}, // a cut character: two bytes of their own
        {"\xE3\x81", "\xE3\x81\x82", Down, std::nullopt},
        {"\xFF", "ÿ", Down, std::nullopt},
        {"é foo", "foo", word, Hit{3, 3}},
        {"éfoo", "foo", word, std::nullopt}, // é is a letter
        {"fooé", "foo", word, std::nullopt},
        {"😀foo😀", "foo", word, Hit{4, 3}}, // an emoji is not
        {"\xFF" "foo", "foo", word, Hit{1, 3}},
        {"x " + combining, combining, word, Hit{2, 3}},
        {"a\u200Db b", "b", Down, Hit{6, 1}}, // a joiner joins what follows it
        {"a\u200D\tb", "\tb", Down, Hit{4, 2}}, // but no control character
        {"👨\u200D👩x", "👩", Down, std::nullopt},
        {"👨\u200D👩x", "👨\u200D👩", Down, Hit{0, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text + " / " + c.Pattern);
        const int from = (c.Options & soDown) ? 0 : static_cast<int>(c.Text.size());
        EXPECT_EQ(FindUtf8(c.Text, c.Pattern, c.Options, from), c.Expected);
    }
}
