#include "editor/base/CodePage.h"

#include <gtest/gtest.h>

using namespace kestrim;

TEST(CodePage, LeadByteRanges)
{
    // The edges of the two ranges, as bytes of a text.
    const std::string edges = "\x80\x81\x9F\xA0\xDF\xE0\xFC\xFD" "A";
    std::string leads;
    for (const char byte : edges)
        leads += IsDBCSLeadByte(byte) ? '1' : '0';
    EXPECT_EQ(leads, "011001100");
}

TEST(CodePage, DecodesAsciiKanaAndKanji)
{
    // "A", half-width katakana "ｱ", hiragana "あ", kanji "漢", full-width "Ａ"
    const std::string sjis = "A\xB1\x82\xA0\x8A\xBF\x82\x60";
    EXPECT_EQ(SjisToUtf16(sjis), u"Aｱあ漢Ａ");
    EXPECT_EQ(SjisToUtf8(sjis), "Aｱあ漢Ａ");
    EXPECT_EQ(Utf8ToSjis("Aｱあ漢Ａ"), sjis);
}

TEST(CodePage, DuplicateCodesComeBackAsThePlatformsChoice)
{
    // The backslash byte stays a backslash, and characters with two codes in code page 932
    // go back to the code the platform picks: 0xED 0xEE (NEC-selected IBM extension) and
    // 0xFB 0x4D are the same character.
    EXPECT_EQ(SjisToUtf16("\\"), u"\\");
    EXPECT_EQ(Utf8ToSjis("∵"), "\x81\xE6");
    EXPECT_EQ(Utf8ToSjis("ⅰ"), "\xFA\x40");
    EXPECT_EQ(SjisToUtf16("\x87\x40"), u"①");
    EXPECT_EQ(SjisToUtf16("\xED\xEE"), SjisToUtf16("\xFB\x4D"));
    EXPECT_EQ(Utf16ToSjis(SjisToUtf16("\xED\xEE")), "\xFB\x4D");
}

TEST(CodePage, CharactersShiftJisCannotHoldBecomeQuestionMarks)
{
    bool lost = false;
    EXPECT_EQ(Utf8ToSjis("a€b😀c", &lost), "a?b?c");
    EXPECT_TRUE(lost);
    EXPECT_EQ(Utf8ToSjis("abc", &lost), "abc");
    EXPECT_FALSE(lost);
}

TEST(CodePage, AnyByteStringSurvivesTheRoundTrip)
{
    // every byte on its own, so that no two of them form a character
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
        all += '\n';
    }
    // stray trail bytes, a lead byte with a bad trail byte, a lead byte at the end, NUL bytes
    const std::string odd = std::string("\x80\xA0\xFD\xFE\xFF\x81\x0A\x00x\x82", 10);
    for (const std::string& bytes : {all, odd, std::string("\x81", 1)}) {
        bool lost = true;
        EXPECT_EQ(Utf16ToSjis(SjisToUtf16(bytes), &lost), bytes);
        EXPECT_FALSE(lost);
    }
}
