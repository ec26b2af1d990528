#include "FakeEditor.h"

#include "editor/base/CodePage.h"
#include "editor/base/TextConversion.h"
#include "editor/base/edUtils.h"
#include "editor/text/edCellAttributes.h"
#include "editor/text/edRowCells.h"
#include "editor/text/edWordWrap.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace kestrim;
using kestrim::test::Dump;

namespace {

std::string Sjis(const std::string& Utf8) { return Utf8ToSjis(Utf8); }
std::string Repeat(const std::string& Text, int Count)
{
    std::string result;
    for (int i = 0; i < Count; ++i)
        result += Text;
    return result;
}

class WordWrapTest : public testing::Test {
protected:
    WordWrapTest() { Wrap.SetWordWrap(true); }

    std::string Wrapped(const std::string& Text)
    {
        TEditorStringList list;
        Wrap.StrToWrapList(Text, list);
        return Dump(list);
    }

    TEditorWrapOption Option;
    TEditorLayoutSettings Layout;
    TEditorWordWrap Wrap{Option, Layout};
};

const std::string A79 = std::string(79, 'a');
const std::string A80 = std::string(80, 'a');

} // namespace

TEST_F(WordWrapTest, AnExactlyFullRowEndsWithAnEmptyRowUnlessFollowRetMark)
{
    EXPECT_EQ(Wrapped(A80), "[" + A80 + "|W][|C]");
    EXPECT_EQ(Wrap.WrapCount(A80), 2);
    EXPECT_EQ(Wrapped(A79), "[" + A79 + "|C]");
    EXPECT_EQ(Wrapped(A80 + "b"), "[" + A80 + "|W][b|C]");
    Option.SetFollowRetMark(true);
    EXPECT_EQ(Wrapped(A80), "[" + A80 + "|C]");
    EXPECT_EQ(Wrap.WrapCount(A80), 1);
    EXPECT_EQ(Wrapped(A80 + A80), "[" + A80 + "|W][" + A80 + "|C]");
}

TEST_F(WordWrapTest, ATwoByteCharacterAcrossTheRowEndMovesWhole)
{
    EXPECT_EQ(Wrapped(A79 + Sjis("漢b")), Sjis("[" + A79 + "|W][漢b|C]"));
    EXPECT_EQ(Wrapped(std::string(78, 'a') + Sjis("漢字")), Sjis("[" + std::string(78, 'a') + "漢|W][字|C]"));
}

TEST_F(WordWrapTest, PunctuationHangsAtMostTwoColumnsPastTheRow)
{
    const std::string line = Sjis(A80 + "、b");
    EXPECT_EQ(Wrapped(line), Sjis("[" + A80 + "|W][、b|C]"));
    Option.SetFollowPunctuation(true);
    EXPECT_EQ(Wrapped(line), Sjis("[" + A80 + "、|W][b|C]"));
    EXPECT_EQ(Wrapped(A80 + ".,b"), "[" + A80 + ".,|W][b|C]");
    // after one hanging column a two-byte mark would reach column 83: it starts the next row
    EXPECT_EQ(Wrapped(Sjis(A80 + ".、b")), Sjis("[" + A80 + ".|W][、b|C]"));
    EXPECT_EQ(Wrapped(Sjis(A79 + "漢。b")), Sjis("[" + A79 + "|W][漢。b|C]"));
    EXPECT_EQ(Wrapped(Sjis(A79 + "。、b")), Sjis("[" + A79 + "。|W][、b|C]"));
}

TEST_F(WordWrapTest, LineStartAndLineEndRules)
{
    Option.SetLeading(true);
    const std::string a78(78, 'a');
    // "「" in columns 79-80 does not end the row
    EXPECT_EQ(Wrapped(Sjis(a78 + "「bb")), Sjis("[" + a78 + "|W][「bb|C]"));
    // "」" in columns 81-82 takes the character before it along
    EXPECT_EQ(Wrapped(Sjis(a78 + "漢」b")), Sjis("[" + a78 + "|W][漢」b|C]"));
    EXPECT_EQ(Wrapped(A80 + ")b"), "[" + A79 + "|W][a)b|C]");
    // the rules stop at column 64
    EXPECT_EQ(Wrapped(Sjis(std::string(60, 'a') + Repeat("」", 20))),
              Sjis("[" + std::string(60, 'a') + "」」|W][" + Repeat("」", 18) + "|C]"));
    Option.SetLeading(false);
    EXPECT_EQ(Wrapped(Sjis(a78 + "「bb")), Sjis("[" + a78 + "「|W][bb|C]"));
}

TEST_F(WordWrapTest, WordBreakCutsAfterTheLastBreakBeforeTheRowEnd)
{
    Option.SetWordBreak(true);
    const std::string a70(70, 'a'), b20(20, 'b');
    EXPECT_EQ(Wrapped(a70 + " " + b20), "[" + a70 + " |W][" + b20 + "|C]");
    EXPECT_EQ(Wrapped(a70 + "\t" + b20), "[" + a70 + "\t|W][" + b20 + "|C]");
    EXPECT_EQ(Wrapped(Sjis(std::string(60, 'a') + "漢" + std::string(30, 'b'))),
              Sjis("[" + std::string(60, 'a') + "漢|W][" + std::string(30, 'b') + "|C]"));
    // a run without a break is cut at column 26
    const std::string a26(26, 'a');
    EXPECT_EQ(Wrapped(std::string(200, 'a')), Repeat("[" + a26 + "|W]", 5) + "[" + std::string(70, 'a') + "|C]");
    EXPECT_EQ(Wrap.WrapCount(std::string(200, 'a')), 6);
    // a rest that fits is not broken again
    EXPECT_EQ(Wrapped(Repeat("abc ", 20)), "[" + Repeat("abc ", 20) + "|W][|C]");
}

TEST_F(WordWrapTest, ATabNeverReachesPastTheRowEnd)
{
    Option.SetWrapByte(30);
    EXPECT_EQ(Wrapped(std::string(27, 'a') + "\tbbbbb"), "[" + std::string(27, 'a') + "\t|W][bbbbb|C]");
    // the fourth tab stops at column 30 instead of 32, so four tabs fill a row exactly
    EXPECT_EQ(Wrapped(std::string(8, '\t')), "[\t\t\t\t|W][\t\t\t\t|W][|C]");
}

TEST_F(WordWrapTest, EveryCutTakesAWholeCharacter)
{
    // tabs, "！" and "改" with all four rules on once cut nothing and looped for ever
    const std::string line = "\x09\x09\x81\x49\x09\x89\xFC\x09\x09";
    Option.SetWrapByte(20);
    Option.SetFollowRetMark(true);
    Option.SetFollowPunctuation(true);
    Option.SetLeading(true);
    Option.SetWordBreak(true);
    EXPECT_EQ(Wrapped(line), "[\t\t\x81\x49\t|W][\x89\xFC\t\t|C]");
    EXPECT_EQ(Wrap.WrapCount(line), 2);
}

TEST_F(WordWrapTest, StrToWrapListSplitsTheTextIntoLines)
{
    TEditorStringList list;
    list.Add("old");
    int changes = 0;
    list.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    Wrap.StrToWrapList("", list);
    EXPECT_EQ(Dump(list), "[|C]");
    EXPECT_EQ(changes, 1);

    EXPECT_EQ(Wrapped("abc\r\n"), "[abc|C]");
    EXPECT_EQ(Wrapped("a\r\n\r\n"), "[a|C][|C]");
    EXPECT_EQ(Wrapped("a\rb\nc"), "[a|C][b|C][c|C]");
    EXPECT_EQ(Wrapped(A80 + "b\r\nc"), "[" + A80 + "|W][b|C][c|C]");

    Wrap.SetWordWrap(false);
    EXPECT_EQ(Wrapped(A80 + "b\r\nc\r\n"), "[" + A80 + "b|C][c|C]");
    EXPECT_EQ(Wrap.WrapCount(A80 + A80), 1);
    EXPECT_EQ(Wrapped(""), "[|C]");

    // rows come out not parsed, so that highlighting parses them
    Wrap.SetWordWrap(true);
    Wrap.StrToWrapList(A80 + A80, list);
    EXPECT_EQ(list.Brackets(0), -2);
    EXPECT_EQ(list.Brackets(1), -2);
}

namespace {

// A random line of letters, blanks and signs, two-byte characters (including the marks of the
// wrap rules), half-width kana with voiced marks and tabs, sometimes ending on a lone lead byte.
std::string RandomLine(std::mt19937& Random)
{
    static const std::vector<std::string> pieces = [] {
        std::vector<std::string> list;
        for (const char* utf8 : {"a", "b", "z", "_", "0", " ", ",", ".", "(", ")", "!", "?", "-", "\t", "\t",
                                 "漢", "字", "あ", "ー", "、", "。", "「", "」", "（", "）", "！", "ゝ", "ａ",
                                 "ｱ", "ｶﾞ", "ﾊﾟ", "｡", "｢", "｣", "ｰ", "ﾞ", "ソ", "表"})
            list.push_back(Utf8ToSjis(utf8));
        return list;
    }();
    std::uniform_int_distribution<int> length(0, 260);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::string line;
    for (int n = length(Random); n > 0; --n)
        line += pieces[piece(Random)];
    if (Random() % 5 == 0)
        line += "\x8A";
    return line;
}

// The 0-based offsets at which a character starts.
std::vector<bool> CharacterStarts(const std::string& Line)
{
    std::vector<bool> starts(Line.size() + 1, false);
    for (std::size_t offset = 0; offset < Line.size(); offset += StartsTwoByteChar(Line, offset) ? 2 : 1)
        starts[offset] = true;
    starts[Line.size()] = true;
    return starts;
}

} // namespace

TEST_F(WordWrapTest, RandomLinesUnderEveryOptionCombination)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        const std::string line = RandomLine(random);
        const std::vector<bool> starts = CharacterStarts(line);
        for (int wrapByte : {20, 27, 41}) {
            Option.SetWrapByte(wrapByte);
            Layout.SetTabSpaceCount(wrapByte == 27 ? 4 : 8);
            for (int options = 0; options < 16; ++options) {
                Option.SetFollowRetMark(options & 1);
                Option.SetFollowPunctuation(options & 2);
                Option.SetLeading(options & 4);
                Option.SetWordBreak(options & 8);
                TEditorStringList list;
                Wrap.StrToWrapList(line, list);
                SCOPED_TRACE(testing::Message() << "round " << round << " width " << wrapByte << " options " << options);

                ASSERT_EQ(Wrap.WrapCount(line), list.Count());
                std::string joined;
                for (int i = 0; i < list.Count(); ++i) {
                    const std::string row = list.Get(i);
                    EXPECT_TRUE(starts[joined.size()]) << "row " << i << " starts on a trail byte";
                    EXPECT_LE(DisplayWidth(row, Layout, true, wrapByte), wrapByte + 2) << "row " << i;
                    EXPECT_EQ(list.Rows(i), i + 1 < list.Count() ? raWrapped : raCrlf) << "row " << i;
                    joined += row;
                }
                ASSERT_EQ(joined, line);
            }
        }
    }
}

namespace {

std::string ToUtf8(const std::string& Sjis)
{
    return ConvertText(Sjis, TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text;
}

// Where byte Byte of Line lies, in characters: the index of the character that holds it and
// whether the byte starts it; past the end, one character per byte.
std::pair<std::size_t, bool> CharPlace(TTextEncoding Encoding, std::string_view Line, std::size_t Byte)
{
    std::size_t index = 0;
    std::size_t offset = 0;
    for (; offset < Line.size(); ++index) {
        const std::size_t next = offset + CharByteCount(Encoding, Line, offset);
        if (Byte < next)
            return {index, Byte == offset};
        offset = next;
    }
    return {index + (Byte - offset), true};
}

// The columns of a row in both encodings: the same cells, width and drawn text, and the same
// characters at every column and the same column for every character.
void ExpectSameColumns(const std::string& Sjis, const std::string& Utf8, const TEditorLayoutSettings& SjisLayout,
                       const TEditorLayoutSettings& Utf8Layout, bool WordWrap, int WrapByte)
{
    const TRowCells sjis(Sjis, SjisLayout, WordWrap, WrapByte), utf8(Utf8, Utf8Layout, WordWrap, WrapByte);
    ASSERT_EQ(utf8.Cells(), sjis.Cells());
    EXPECT_EQ(DisplayWidth(Utf8, Utf8Layout, WordWrap, WrapByte), DisplayWidth(Sjis, SjisLayout, WordWrap, WrapByte));
    EXPECT_EQ(ToUtf8(ExpandTabs(Sjis, SjisLayout, WordWrap, WrapByte)), ExpandTabs(Utf8, Utf8Layout, WordWrap, WrapByte));
    EXPECT_EQ(CharPlace(TTextEncoding::Utf8, Utf8, static_cast<std::size_t>(utf8.CoveredBytes())),
              CharPlace(TTextEncoding::ShiftJis, Sjis, static_cast<std::size_t>(sjis.CoveredBytes())));
    for (int col = 0; col <= sjis.Width() + 2; ++col)
        ASSERT_EQ(CharPlace(TTextEncoding::Utf8, Utf8, static_cast<std::size_t>(utf8.ByteOfCol(col))),
                  CharPlace(TTextEncoding::ShiftJis, Sjis, static_cast<std::size_t>(sjis.ByteOfCol(col))))
            << "column " << col;
    std::size_t u = 0;
    for (std::size_t s = 0; s < Sjis.size(); s += CharByteCount(TTextEncoding::ShiftJis, Sjis, s)) {
        ASSERT_EQ(utf8.ColOfByte(static_cast<int>(u)), sjis.ColOfByte(static_cast<int>(s))) << "byte " << s;
        if (CharByteCount(TTextEncoding::ShiftJis, Sjis, s) == 2) { // inside the character
            ASSERT_EQ(utf8.ColOfByte(static_cast<int>(u) + 1), sjis.ColOfByte(static_cast<int>(s) + 1)) << "byte " << s;
        }
        u += CharByteCount(TTextEncoding::Utf8, Utf8, u);
    }
}

} // namespace

// The same characters in Shift-JIS and in UTF-8 give the same rows and the same columns.
TEST_F(WordWrapTest, AUtf8TextWrapsAsItsShiftJisForm)
{
    TEditorLayoutSettings utf8Layout(TTextEncoding::Utf8);
    TEditorWordWrap utf8Wrap(Option, utf8Layout);
    utf8Wrap.SetWordWrap(true);
    std::mt19937 random(20250301);
    for (int round = 0; round < 200; ++round) {
        std::string sjis = RandomLine(random);
        if (!sjis.empty() && sjis.back() == '\x8A')
            sjis.pop_back(); // a lone lead byte has no UTF-8 form
        const std::string utf8 = ToUtf8(sjis);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ExpectSameColumns(sjis, utf8, Layout, utf8Layout, false, 80);
        for (int wrapByte : {20, 27, 41}) {
            Option.SetWrapByte(wrapByte);
            Layout.SetTabSpaceCount(wrapByte == 27 ? 4 : 8);
            utf8Layout.SetTabSpaceCount(Layout.TabSpaceCount());
            for (int options = 0; options < 16; ++options) {
                Option.SetFollowRetMark(options & 1);
                Option.SetFollowPunctuation(options & 2);
                Option.SetLeading(options & 4);
                Option.SetWordBreak(options & 8);
                SCOPED_TRACE(testing::Message() << "width " << wrapByte << " options " << options);
                TEditorStringList sjisRows, utf8Rows;
                Wrap.StrToWrapList(sjis, sjisRows);
                utf8Wrap.StrToWrapList(utf8, utf8Rows);
                ASSERT_EQ(utf8Rows.Count(), sjisRows.Count());
                ASSERT_EQ(utf8Wrap.WrapCount(utf8), utf8Rows.Count());
                for (int i = 0; i < sjisRows.Count(); ++i) {
                    ASSERT_EQ(ConvertText(utf8Rows.Get(i), TTextEncoding::Utf8, TTextEncoding::ShiftJis).Text,
                              sjisRows.Get(i))
                        << "row " << i;
                    if (options == 0)
                        ExpectSameColumns(sjisRows.Get(i), utf8Rows.Get(i), Layout, utf8Layout, true, wrapByte);
                }
            }
        }
    }
}

// Characters that Shift-JIS cannot hold: a row takes at most its width in columns, a wide
// character or a character with its marks is never split, and no byte is lost.
TEST_F(WordWrapTest, Utf8CharactersBeyondShiftJisAreNeverSplit)
{
    TEditorLayoutSettings utf8Layout(TTextEncoding::Utf8);
    TEditorWordWrap utf8Wrap(Option, utf8Layout);
    utf8Wrap.SetWordWrap(true);
    Option.SetWrapByte(20);
    const std::string a19(19, 'a'), marks = Repeat("\u0301", 40);
    const struct {
        std::string Line, Rows;
    } cases[] = {
        {Repeat("é", 25), "[" + Repeat("é", 20) + "|W][" + Repeat("é", 5) + "|C]"},
        {a19 + "😀b", "[" + a19 + "|W][😀b|C]"},
        {a19 + "e\u0301\u0302x", "[" + a19 + "e\u0301\u0302|W][x|C]"},
        {a19 + "한\u0301b", "[" + a19 + "|W][한\u0301b|C]"},
        {a19 + "\xFF\x80\xE3\x81", "[" + a19 + "\xFF|W][\x80\xE3\x81|C]"},
        // a mark run keeps 64 bytes with its character; the rest is a character of its own
        {a19 + "e" + marks + "b", "[" + a19 + "e" + marks.substr(0, 62) + "|W][" + marks.substr(62) + "b|C]"},
    };
    for (const auto& c : cases) {
        TEditorStringList rows;
        utf8Wrap.StrToWrapList(c.Line, rows);
        EXPECT_EQ(Dump(rows), c.Rows);
    }

    // with every rule on, random runs of these characters join back to the line
    std::mt19937 random(7);
    const std::vector<std::string> pieces{"a", " ", "é", "😀", "\u0301", "한", "\xFF", "\xE3\x81", "、", "「", "\t", "."};
    Option.SetFollowPunctuation(true);
    Option.SetLeading(true);
    Option.SetWordBreak(true);
    for (int round = 0; round < 300; ++round) {
        std::string line;
        for (int n = static_cast<int>(random() % 120); n > 0; --n)
            line += pieces[random() % pieces.size()];
        TEditorStringList rows;
        utf8Wrap.StrToWrapList(line, rows);
        std::string joined;
        for (int i = 0; i < rows.Count(); ++i) {
            EXPECT_LE(DisplayWidth(rows.Get(i), utf8Layout, true, 20), 22);
            joined += rows.Get(i);
        }
        ASSERT_EQ(joined, line);
    }
}
