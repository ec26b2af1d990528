#include "app/FileEncoding.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace kestrim;

namespace {

std::optional<std::string> Offered(const std::string& Bytes)
{
    QTemporaryDir folder;
    const std::string name = QDir(folder.path()).filePath("f.txt").toStdString();
    WriteFileBytes(name, Bytes);
    return ReadUtf8Text(name);
}

} // namespace

TEST(FileEncodingTest, OnlyUtf8TextBeyondAsciiThatIsNoPlainShiftJisIsOffered)
{
    const struct {
        const char* Case;
        std::string Bytes;
        bool Offered;
    } cases[] = {
        {"Japanese", "print \"日本語\";\r\n", true},
        {"Latin", "café\n", true},
        {"with a byte-order mark", "\xEF\xBB\xBF" "abc\n", true},
        {"ASCII only", "print 1;\n", false},
        {"Shift-JIS", Utf8ToSjis("print \"日本語\";\r\n"), false},
        {"Shift-JIS half-width katakana", Utf8ToSjis("ﾃｽﾄ"), false},
        {"overlong form", "a\xC0\xAF", false},
        {"surrogate", "a\xED\xA0\x80", false},
        {"beyond U+10FFFF", "a\xF4\x90\x80\x80", false},
        {"cut at the end", "a\xE3\x81", false},
        {"UTF-8 that reads as plain Shift-JIS too", "\xE3\x81\x82\xE3\x81\x84", false},
        {"a character across the block boundary", std::string(65535, 'a') + "日本", true},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> bytes = Offered(c.Bytes);
        EXPECT_EQ(bytes.has_value(), c.Offered) << c.Case;
        if (bytes) {
            EXPECT_EQ(*bytes, c.Bytes) << c.Case;
        }
    }
    EXPECT_THROW(ReadUtf8Text("/nonexistent/f.txt"), EFOpenError);
}

TEST(FileEncodingTest, ConvertsOnlyWhenShiftJisHoldsEveryCharacter)
{
    TSjisConversion held = Utf8TextToSjis("\xEF\xBB\xBF" "日本語\r\n");
    EXPECT_EQ(held.Sjis, Utf8ToSjis("日本語\r\n"));
    EXPECT_EQ(held.Encoding, TFileEncoding::Utf8WithBom);
    EXPECT_EQ(held.LostCount, 0);
    EXPECT_EQ(SjisToFileBytes(held.Sjis, held.Encoding), "\xEF\xBB\xBF" "日本語\r\n");

    // Lines end at CR LF, CR and LF; columns count characters. U+F741 is the stand-in of a
    // byte, no character of the file's text.
    const TSjisConversion lost = Utf8TextToSjis("ab\r\n\r日本\n語😀c😀\xEF\x9D\x81");
    EXPECT_EQ(lost.Encoding, TFileEncoding::Utf8);
    EXPECT_EQ(lost.LostCount, 3);
    EXPECT_EQ(lost.FirstLost, U'😀');
    EXPECT_EQ(lost.FirstLostLine, 4);
    EXPECT_EQ(lost.FirstLostColumn, 2);
}

// Any Shift-JIS text written as UTF-8 comes back with the same characters; bytes that start no
// Shift-JIS character come back reported, never silently.
TEST(FileEncodingTest, SeededRandomTextsSurviveTheRoundTrip)
{
    std::mt19937 random(15);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    std::bernoulli_distribution ascii(0.5);
    int clean = 0;
    for (int run = 0; run < 2000; ++run) {
        // Half ASCII, so that many texts are whole characters only.
        std::string sjis;
        for (int i = length(random); i > 0; --i)
            sjis += static_cast<char>(ascii(random) ? byte(random) % 128 : byte(random));
        const std::u16string characters = SjisToUtf16(sjis);
        const bool holdsStrayBytes = std::any_of(characters.begin(), characters.end(),
                                                 [](char16_t Ch) { return Ch >= 0xF700 && Ch <= 0xF7FF; });
        clean += holdsStrayBytes ? 0 : 1;
        const TSjisConversion back = Utf8TextToSjis(SjisToFileBytes(sjis, TFileEncoding::Utf8));
        ASSERT_EQ(back.LostCount > 0, holdsStrayBytes) << run;
        if (!holdsStrayBytes) {
            ASSERT_EQ(SjisToUtf16(back.Sjis), characters) << run;
        }
    }
    EXPECT_GT(clean, 200) << "the texts without stray bytes were too few to tell";
}
