#include "editor/base/LineConverter.h"
#include "editor/base/TextConversion.h"
#include "editor/base/TextEncoding.h"
#include "editor/base/Utf8.h"

#include <gtest/gtest.h>

#include <random>

using namespace kestrim;

namespace {

constexpr auto Sjis = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;

// The characters of S as "bytes/columns" each, joined by spaces.
std::string Extents(TTextEncoding Encoding, std::string_view S)
{
    std::string out;
    for (std::size_t offset = 0; offset < S.size();) {
        const TCharExtent extent = CharExtentAt(Encoding, S, offset);
        out += (out.empty() ? "" : " ") + std::to_string(extent.Bytes) + "/" + std::to_string(extent.Columns);
        offset += extent.Bytes;
    }
    return out;
}

} // namespace

TEST(Utf8, DecodesShortestFormsAndReadsEveryOtherByteAlone)
{
    struct Case {
        std::string Bytes;
        std::string Expected; // code/bytes/valid of each step
    };
    const Case cases[] = {
        {"a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", "61/1/1 e9/2/1 3042/3/1 1f600/4/1"},
        {"\x80\xBF", "80/1/0 bf/1/0"},                    // stray continuation bytes
        {"\xC0\xAF\xE0\x80\xAF", "c0/1/0 af/1/0 e0/1/0 80/1/0 af/1/0"}, // overlong forms
        {"\xED\xA0\x80", "ed/1/0 a0/1/0 80/1/0"},         // a surrogate
        {"\xF4\x90\x80\x80", "f4/1/0 90/1/0 80/1/0 80/1/0"}, // beyond U+10FFFF
        {"\xE3\x81", "e3/1/0 81/1/0"},                    // cut at the end
        {std::string("\0\xFF", 2), "0/1/1 ff/1/0"},
    };
    for (const Case& c : cases) {
        std::string steps;
        for (std::size_t offset = 0; offset < c.Bytes.size();) {
            const TCodePoint point = DecodeUtf8(c.Bytes, offset);
            char step[32];
            std::snprintf(step, sizeof step, "%s%x/%d/%d", steps.empty() ? "" : " ", static_cast<unsigned>(point.Code),
                          point.Bytes, point.Valid ? 1 : 0);
            steps += step;
            offset += point.Bytes;
        }
        EXPECT_EQ(steps, c.Expected) << c.Bytes;
    }
}

TEST(Utf8, AnyByteStringSurvivesUtf16AndLoneSurrogatesAreCounted)
{
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        for (int i = 0; i < 40; ++i)
            bytes += static_cast<char>(byte(random));
        std::size_t unwritable = 1;
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(bytes), &unwritable), bytes);
        EXPECT_EQ(unwritable, 0u);
    }
    std::size_t unwritable = 0;
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800" u"b\xDC10", &unwritable), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(unwritable, 2u);
}

TEST(TextEncoding, CharactersTakeTheirBytesAndColumns)
{
    // Shift-JIS: a lead byte at the very end stands alone.
    EXPECT_EQ(Extents(Sjis, "a\x82\xA0\xB1\x81"), "1/1 2/2 1/1 1/1");
    struct Case {
        const char* Text;
        const char* Expected;
    };
    const Case cases[] = {
        {"aあｱ漢", "1/1 3/2 3/1 3/2"},       // as wide as their Shift-JIS forms
        {"é€ß", "2/1 3/1 2/1"},                  // beyond Shift-JIS, not wide
        {"§Ωα①", "2/2 2/2 2/2 3/2"},            // ambiguous width, but two bytes in Shift-JIS
        {"한😀", "3/2 4/2"},                     // wide beyond Shift-JIS
        {"¢‖−〜", "2/1 3/1 3/1 3/2"},            // look-alikes of Shift-JIS characters keep their own width
        {"e\xCC\x81x", "3/1 1/1"},               // a combining mark joins the character before it
        {"\xCC\x81" "a", "2/1 1/1"},             // but stands alone at the start
        {"👍\xF0\x9F\x8F\xBD☝\xF0\x9F\x8F\xBB", "8/2 7/1"}, // a skin tone belongs to its emoji
        {"\xF0\x9F\x8F\xBD", "4/2"},              // alone it is one of its own
        {"🇯🇵🇫", "8/1 4/1"},                    // regional indicators pair into flags
        {"👨\u200D👩\u200D👧", "18/2"},           // what a joiner joins is one character
        {"\t\xCC\x81", "1/1 2/1"},               // marks do not join a control character
        {"\xE3\x81" "a\xFF", "1/1 1/1 1/1 1/1"}, // invalid bytes alone
        {"❤\xEF\xB8\x8F", "6/1"},                // a variation selector joins, the width is the base's
    };
    for (const Case& c : cases)
        EXPECT_EQ(Extents(Utf8, c.Text), c.Expected) << c.Text;
}

TEST(TextEncoding, MarksAfterACharacterAreBounded)
{
    std::string text = "e";
    for (int i = 0; i < 100; ++i)
        text += "\xCC\x81";
    std::size_t characters = 0;
    for (std::size_t offset = 0; offset < text.size(); offset += CharByteCount(Utf8, text, offset))
        ++characters;
    EXPECT_GT(characters, 1u);
    EXPECT_LE(CharByteCount(Utf8, text, 0), 64u);
    EXPECT_EQ(CharCount(Utf8, text), characters);
}

TEST(TextConversion, BothWaysReportWhatTheTargetCannotHold)
{
    const std::string sjis = Utf8ToSjis("aあ漢ｱ①\r\n");
    const TConvertedText toUtf8 = ConvertText(sjis, Sjis, Utf8);
    EXPECT_EQ(toUtf8.Text, "aあ漢ｱ①\r\n");
    EXPECT_EQ(toUtf8.Loss.Count, 0u);
    EXPECT_EQ(ConvertText(toUtf8.Text, Utf8, Sjis).Text, sjis);

    const TConvertedText lost = ConvertText("ab\r\ncé😀\xFF", Utf8, Sjis);
    EXPECT_EQ(lost.Text, "ab\r\nc???");
    EXPECT_EQ(lost.Loss.Count, 3u);
    EXPECT_EQ(lost.Loss.First, 5u);
    const TTextPlace place = PlaceOfOffset(Utf8, "ab\r\ncé😀\xFF", lost.Loss.First);
    EXPECT_EQ(place.Line, 2);
    EXPECT_EQ(place.Column, 2);

    // A Shift-JIS byte that starts no character, and a lead byte at the end.
    const TConvertedText broken = ConvertText("a\xA0" "b\x81", Sjis, Utf8);
    EXPECT_EQ(broken.Loss.Count, 2u);
    EXPECT_EQ(broken.Loss.First, 1u);
}

// However a text is cut into blocks, the blocks converted one after the other give what the
// whole text gives, the lost characters and the place of the first included.
TEST(TextConversion, TextInBlocksConvertsAsAWhole)
{
    const struct {
        TTextEncoding From;
        TTextEncoding To;
        std::string Text;
    } cases[] = {
        {Sjis, Utf8, Utf8ToSjis("aあ\r\n漢ｱ\rb\n①") + "\x81\nx\xA0y\r\n\x81"},
        {Utf8, Sjis, "ab\r\ncé😀\n\xFF\xE3\x81\r\nあ"},
        {Utf8, Utf8, "a\xFF\r\nb"},
    };
    for (const auto& c : cases) {
        const TConvertedText whole = ConvertText(c.Text, c.From, c.To);
        const TTextPlace first = PlaceOfOffset(c.From, c.Text, whole.Loss.First);
        for (std::size_t blockSize = 1; blockSize <= 3; ++blockSize)
            for (std::size_t cut = 0; cut <= c.Text.size(); ++cut) {
                SCOPED_TRACE(c.Text + " block " + std::to_string(blockSize) + " from " + std::to_string(cut));
                TLineConverter converter(c.From, c.To);
                std::string out;
                converter.Convert(std::string_view(c.Text).substr(0, cut), out);
                for (std::size_t at = cut; at < c.Text.size(); at += blockSize)
                    converter.Convert(std::string_view(c.Text).substr(at, blockSize), out);
                converter.Finish(out);
                EXPECT_EQ(out, whole.Text);
                EXPECT_EQ(converter.LossCount(), whole.Loss.Count);
                if (whole.Loss.Count > 0) {
                    EXPECT_EQ(converter.FirstLoss().Line, first.Line);
                    EXPECT_EQ(converter.FirstLoss().Column, first.Column);
                }
            }
    }
}

TEST(TextConversion, LookAlikesOfThisPlatformEnterShiftJis)
{
    bool lost = true;
    EXPECT_EQ(Utf8ToSjis("〜‖−¢£¬", &lost), "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA");
    EXPECT_FALSE(lost);
    // They come back as the code page's own characters.
    EXPECT_EQ(SjisToUtf8("\x81\x60\x81\x7C"), "～－");
}

TEST(TextConversion, Utf16KeepsAnyByteStringOfEitherEncoding)
{
    const std::string bytes = std::string("a\x80\x81\xFF\xE3\x81\x82\0\xC3", 9);
    for (const TTextEncoding encoding : {Sjis, Utf8}) {
        TConversionLoss loss;
        EXPECT_EQ(Utf16ToText(encoding, TextToUtf16(encoding, bytes), loss), bytes);
        EXPECT_EQ(loss.Count, 0u);
    }
    TConversionLoss loss;
    EXPECT_EQ(Utf16ToText(Sjis, u"ab😀c", loss), "ab?c");
    EXPECT_EQ(loss.Count, 1u);
    EXPECT_EQ(loss.First, 2u);
    EXPECT_EQ(Utf16ToText(Utf8, u"ab\xD800", loss), "ab\xEF\xBF\xBD");
    EXPECT_EQ(loss.First, 2u);
}
