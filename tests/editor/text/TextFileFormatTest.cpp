#include "FakeEditor.h"
#include "TempFolder.h"

#include "editor/base/FileIO.h"
#include "editor/base/Utf8Check.h"
#include "editor/text/TextFileFormat.h"
#include "editor/text/TextFileWrite.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edUndo.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

using namespace kestrim;
using namespace kestrim::test;

namespace {

constexpr TTextEncoding InSjis = TTextEncoding::ShiftJis;
constexpr TTextEncoding InUtf8 = TTextEncoding::Utf8;

class TextFileFormatTest : public testing::Test {
protected:
    std::string FileWith(const std::string& Bytes) { return FFolder.FileWith(Bytes); }

    // Loads Bytes as a file with every block size from 1 to 9 and the default one, which must
    // all agree; the format of the last load.
    TTextFileFormat Load(const std::string& Bytes, TTextEncoding Default)
    {
        const std::string name = FileWith(Bytes);
        const TTextFileFormat format = Lines.LoadTextFile(name, std::nullopt, Default);
        const std::string text = Lines.Text();
        for (std::size_t blockSize = 1; blockSize <= 9; ++blockSize) {
            const TTextFileFormat again = Lines.LoadTextFile(name, std::nullopt, Default, blockSize);
            EXPECT_EQ(Lines.Text(), text) << "block size " << blockSize;
            EXPECT_EQ(again.LineEnd, format.LineEnd) << "block size " << blockSize;
            EXPECT_EQ(again.LineEnds, format.LineEnds) << "block size " << blockSize;
        }
        return format;
    }

    TTempFolder FFolder{"kestrim-format-"};
    TFakeEditor Editor;
    TEditorStrings Lines{Editor};
};

std::string RandomBytes(unsigned Seed)
{
    std::mt19937 random(Seed);
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>(random() % 256);
    return bytes + "\x1A\x1A";
}

} // namespace

// A file opens in the encoding its bytes show, keeps its byte-order mark out of the text and
// is written back byte for byte, whatever its line ends.
TEST_F(TextFileFormatTest, FilesOpenInTheEncodingTheyShowAndAreWrittenBackUnchanged)
{
    struct TCase {
        const char* Name;
        std::string Bytes;
        TTextEncoding Default;
        TTextEncoding Encoding;
        bool Bom;
        const char* LineEnd;
        bool Mixed;
    };
    const TCase cases[] = {
        {"UTF-8 with BOM, CR LF", "\xEF\xBB\xBF日本語\r\nb\r\n", InSjis, InUtf8, true, "CR LF", false},
        {"UTF-8, LF, emoji", "é\n😀 x\n", InSjis, InUtf8, false, "LF", false},
        {"UTF-8, CR, no final break", "日本\rx", InSjis, InUtf8, false, "CR", false},
        {"BOM before invalid bytes", "\xEF\xBB\xBF" "a\xFF\xE3\x81\n", InSjis, InUtf8, true, "LF", false},
        {"invalid UTF-8 is Shift-JIS", "é\xFF\n", InUtf8, InSjis, false, "LF", false},
        {"UTF-8 cut short is Shift-JIS", "a\r\n\xE3\x81", InUtf8, InSjis, false, "CR LF", false},
        {"Shift-JIS", "\x82\xa0\r\n\t x", InUtf8, InSjis, false, "CR LF", false},
        {"ASCII in the default", "a\nb\n", InUtf8, InUtf8, false, "LF", false},
        {"ASCII in the default", "a\r\n", InSjis, InSjis, false, "CR LF", false},
        {"mixed line ends", "a\r\nb\nc\n\rd\r", InSjis, InSjis, false, "LF", true},
        {"empty, a new file's ends", "", InUtf8, InUtf8, false, "LF", false},
        {"binary", RandomBytes(5), InUtf8, InSjis, false, nullptr, true},
        {"binary", RandomBytes(6) + "\r", InUtf8, InSjis, false, nullptr, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTextFileFormat format = Load(c.Bytes, c.Default);
        EXPECT_EQ(Editor.ScreenStrings().Encoding(), c.Encoding);
        EXPECT_EQ(format.Encoding, c.Encoding);
        EXPECT_EQ(format.ByteOrderMark, c.Bom);
        if (c.LineEnd) {
            EXPECT_EQ(LineEndName(format.LineEnd), c.LineEnd);
        }
        EXPECT_EQ(format.MixedLineEnds(), c.Mixed);
        EXPECT_EQ(FileBytesOf(Lines.Text(), format), c.Bytes);
    }
    Load("\xEF\xBB\xBFx", InSjis);
    EXPECT_EQ(Lines.Text(), "x") << "the byte-order mark is no text";
    Lines.LoadTextFile(FileWith("\xEF\xBB\xBFx"), InSjis, InUtf8);
    EXPECT_EQ(Lines.Text(), "\xEF\xBB\xBFx") << "read as Shift-JIS, it is";
}

// Lines beyond a mixed file's own ends take its most frequent one; text converted to Shift-JIS
// keeps the file's line ends but loses the byte-order mark.
TEST_F(TextFileFormatTest, AFormatWritesAnyTextInItsLineEnds)
{
    TTextFileFormat format = NewFileFormat(InUtf8);
    format.ByteOrderMark = true;
    EXPECT_EQ(FileBytesOf("a\r\n\r\nb", format), "\xEF\xBB\xBF" "a\n\nb");
    format.Encoding = InSjis;
    format.LineEnd = TLineEnd::Cr;
    EXPECT_EQ(FileBytesOf("a\r\n\r\nb", format), "a\r\rb");
    format.LineEnds = {TLineEnd::Lf};
    EXPECT_EQ(FileBytesOf("a\r\nb\r\nc\r\n", format), "a\nb\rc\r");
    EXPECT_EQ(LineEndName(NewFileFormat(InSjis).LineEnd), "CR LF");
}

// Whether bytes are UTF-8 is known whatever the blocks they come in.
TEST(Utf8CheckTest, ChecksCharactersSplitBetweenBlocks)
{
    struct TCase {
        std::string Bytes;
        bool Complete;
        bool BeyondAscii;
    };
    const TCase cases[] = {
        {"plain ascii, longer than eight bytes", true, false},
        {"aé漢😀\xF4\x8F\xBF\xBF", true, true},
        {"\xC0\x80", false, true},          // overlong
        {"\xE0\x9F\xBF", false, true},      // overlong
        {"\xED\xA0\x80", false, true},      // surrogate
        {"\xF4\x90\x80\x80", false, true},  // beyond U+10FFFF
        {"abcdefgh\x80", false, true},      // stray continuation
        {"ab\xE3\x81", false, true},        // cut short
    };
    for (const TCase& c : cases)
        for (std::size_t split = 0; split <= c.Bytes.size(); ++split) {
            TUtf8Check check;
            check.Feed(std::string_view(c.Bytes).substr(0, split));
            check.Feed(std::string_view(c.Bytes).substr(split));
            EXPECT_EQ(check.Complete(), c.Complete) << c.Bytes << " split at " << split;
            EXPECT_EQ(check.BeyondAscii(), c.BeyondAscii) << c.Bytes;
        }
}

// Bytes in memory load as the same bytes in a file do: the same text, rows and format, with a
// fresh undo history, whatever the block size.
TEST_F(TextFileFormatTest, BytesInMemoryLoadAsTheSameBytesInAFile)
{
    const std::string cases[] = {
        "",
        "\xEF\xBB\xBF日本語\r\nb\r\n",
        "\xEF\xBB",
        "a\r\nb\r\nc",
        "a\nb\n",
        "a\rb\r",
        "a\r\nb\nc\rd\n\r",
        std::string("a\0b\r\n\0", 7),
        "x\x1A\x1A",
        "\x1A",
        "\x1Ax\x1A",
        "\x82\xa0\x82\xa2\r\n\x83\x41\r\n",
        "é\n😀\r\n",
        RandomBytes(7),
    };
    for (const std::string& bytes : cases) {
        for (const std::size_t blockSize : {std::size_t{1}, std::size_t{2}, std::size_t{3}, TFileLines::DefaultBlockSize}) {
            SCOPED_TRACE(testing::PrintToString(bytes) + " block size " + std::to_string(blockSize));
            for (const std::optional<TTextEncoding> encoding : {std::optional<TTextEncoding>(), std::optional(InUtf8)}) {
                const TTextFileFormat fromFile = Lines.LoadTextFile(FileWith(bytes), encoding, InSjis, blockSize);
                const std::string text = Lines.Text();
                const int rows = Editor.ScreenStrings().Count();
                Lines.Add("an edit to forget");
                const TTextFileFormat fromMemory = Lines.LoadTextBytes(bytes, encoding, InSjis, blockSize);
                EXPECT_EQ(Lines.Text(), text);
                EXPECT_EQ(Editor.ScreenStrings().Count(), rows);
                EXPECT_EQ(fromMemory.Encoding, fromFile.Encoding);
                EXPECT_EQ(fromMemory.ByteOrderMark, fromFile.ByteOrderMark);
                EXPECT_EQ(fromMemory.LineEnd, fromFile.LineEnd);
                EXPECT_EQ(fromMemory.LineEnds, fromFile.LineEnds);
                EXPECT_EQ(fromMemory.EofMarks, fromFile.EofMarks);
                EXPECT_FALSE(Editor.ScreenStrings().UndoObj().CanUndo());
            }
        }
    }
}

// Written a slice of lines at a time, word wrap on or off, a text gives the bytes it was read
// from; given up, the writing stops after the slice it was given up in.
TEST_F(TextFileFormatTest, WritingInSlicesGivesTheBytesTheTextWasReadFrom)
{
    const std::string cases[] = {
        "", "\xEF\xBB\xBF日本語\r\nb\r\n", "a\r\nb\nc\rd\n\r", "a line longer than the wrap\r\nx", "x\x1A\x1A",
        RandomBytes(8),
    };
    Editor.ScreenStrings().WrapOption().SetWrapByte(8);
    for (const bool wrap : {false, true}) {
        Editor.ScreenStrings().SetWordWrap(wrap);
        for (const std::string& bytes : cases) {
            const TTextFileFormat format = Lines.LoadTextFile(FileWith(bytes), std::nullopt, InSjis);
            for (const int slice : {1, 3}) {
                SCOPED_TRACE(testing::PrintToString(bytes) + (wrap ? " wrapped" : "") + " slice " + std::to_string(slice));
                std::string written;
                EXPECT_TRUE(WriteTextLines(Lines, format, [&](std::string_view Bytes) { written += Bytes; }, {}, nullptr, slice));
                EXPECT_EQ(written, bytes);
            }
        }
    }

    const TTextFileFormat format = Lines.LoadTextFile(FileWith("a\r\nb\r\nc\r\n"), std::nullopt, InSjis);
    std::string written;
    std::atomic<bool> cancel{false};
    std::vector<std::uint64_t> done;
    const auto progress = [&](std::uint64_t Done, std::uint64_t Total) {
        done.push_back(Done);
        cancel = Total == 3;
    };
    EXPECT_FALSE(WriteTextLines(Lines, format, [&](std::string_view Bytes) { written += Bytes; }, progress, &cancel, 1));
    EXPECT_EQ(written, "a\r\n");
    EXPECT_EQ(done, std::vector<std::uint64_t>{1});
}
