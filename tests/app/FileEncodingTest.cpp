#include "app/FileEncoding.h"

#include "editor/base/CodePage.h"
#include "editor/control/EditorControl.h"

#include <gtest/gtest.h>

using namespace kestrim;

namespace {

constexpr TTextEncoding InSjis = TTextEncoding::ShiftJis;
constexpr TTextEncoding InUtf8 = TTextEncoding::Utf8;

} // namespace

// A conversion either changes the whole text as one undo step, or is refused with the count
// and the first place of what the other encoding cannot hold, and then changes nothing.
TEST(FileEncodingTest, APageIsConvertedWholeOrNotAtAll)
{
    struct TCase {
        std::string Text;
        TTextEncoding From;
        std::string Converted; // empty: refused
        QString Refusal;
    };
    const TCase cases[] = {
        {"日本\r\nαβ~\r\n", InUtf8, Utf8ToSjis("日本\r\nαβ~\r\n"), {}},
        {Utf8ToSjis("表示\r\nｶﾅ"), InSjis, "表示\r\nｶﾅ", {}},
        {"名前\r\n😀 と 🍣\r\n", InUtf8, {},
         "Shift-JIS で表せない文字が 2 個あるため、Shift-JIS に変換しませんでした。最初の文字は 2 行目の 1 文字目の \"😀\" (U+1F600) です。"},
        {"a\r\nb\x80\xFF", InSjis, {},
         "UTF-8 で表せない文字が 2 個あるため、UTF-8 に変換しませんでした。最初の文字は 2 行目の 2 文字目の 0x80 です。"},
        {"ok\xE3\x81", InUtf8, {},
         "Shift-JIS で表せない文字が 2 個あるため、Shift-JIS に変換しませんでした。最初の文字は 1 行目の 3 文字目の 0xE3 です。"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TEditor editor;
        editor.SetEncodedText(c.Text, c.From);
        const TTextEncoding to = OtherEncoding(c.From);
        const std::optional<QString> refusal = ConvertPageText(editor, to);
        if (c.Converted.empty()) {
            EXPECT_EQ(refusal, c.Refusal);
            EXPECT_EQ(editor.Encoding(), c.From);
            EXPECT_EQ(editor.Lines().Text(), c.Text);
            EXPECT_FALSE(editor.CanUndo());
            continue;
        }
        EXPECT_FALSE(refusal);
        EXPECT_EQ(editor.Encoding(), to);
        EXPECT_EQ(editor.Lines().Text(), c.Converted);
        editor.Undo();
        EXPECT_EQ(editor.Encoding(), c.From);
        EXPECT_EQ(editor.Lines().Text(), c.Text);
        EXPECT_FALSE(editor.CanUndo()) << "one step";
    }
}

TEST(FileEncodingTest, TheStatusNamesTheEncodingAndTheFilesLineEnds)
{
    TTextFileFormat format = NewFileFormat(InUtf8);
    EXPECT_EQ(FormatStatusText(InUtf8, format), "UTF-8  LF");
    format.ByteOrderMark = true;
    EXPECT_EQ(FormatStatusText(InUtf8, format), "UTF-8 (BOM)  LF");
    EXPECT_EQ(FormatStatusText(InSjis, format), "Shift-JIS  LF") << "no byte-order mark before Shift-JIS";
    format.LineEnds = {TLineEnd::Lf, TLineEnd::CrLf};
    EXPECT_EQ(FormatStatusText(InSjis, format), "Shift-JIS  LF (混在)");
    EXPECT_EQ(FormatStatusText(InSjis, NewFileFormat(InSjis)), "Shift-JIS  CR LF");
}
