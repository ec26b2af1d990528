// The editor on a UTF-8 page as a user meets it: keys, the input method, the clipboard and
// painting over characters that Shift-JIS cannot hold, and pages of the two encodings side by
// side.

#include "editor/control/EditorControl.h"

#include "editor/base/TextConversion.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrim {
namespace {

constexpr auto Utf8 = TTextEncoding::Utf8;
constexpr auto ShiftJis = TTextEncoding::ShiftJis;

// a, é, 表 (wide), 😀 (wide, beyond the plane), e with a combining acute, x.
const std::string Mixed = "a\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80" "e\xCC\x81x";

std::string ToSjis(std::string_view Text)
{
    return ConvertText(Text, Utf8, ShiftJis).Text;
}

class EditorUtf8 : public testing::Test {
public:
    EditorUtf8()
    {
        QFont font(QStringLiteral("Monospace"));
        font.setPixelSize(15);
        for (TEditor* editor : {&Editor, &Other}) {
            editor->SetFont(font);
            editor->resize(500, 200);
        }
        Editor.show();
        Editor.setFocus();
        Editor.Caret().SetFreeCaret(false);
    }

    void Key(int KeyCode, Qt::KeyboardModifiers Modifiers = {})
    {
        QTest::keyClick(&Editor, static_cast<Qt::Key>(KeyCode), Modifiers);
    }
    std::string Text() { return Editor.Lines().Text(); }
    // Whether any pixel of the viewport's cell at Row, Col is darker than the background.
    bool HasInk(int Row, int Col)
    {
        const QImage image = Editor.viewport()->grab().toImage();
        const QRect cell = Editor.CellRect(Row, Col);
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (image.rect().contains(x, y) && qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    }

    TEditor Editor;
    TEditor Other;
};

// Right steps over whole characters, each taking its columns; Backspace takes a letter with its
// mark; every character's cells hold its ink, a byte that is no UTF-8 shows as one.
TEST_F(EditorUtf8, TheCaretAndThePaintKeepToTheCharactersColumns)
{
    Editor.SetEncodedText(Mixed + "\r\n\xFF", Utf8);
    std::vector<int> cols;
    for (int i = 0; i < 6; ++i) {
        Key(Qt::Key_Right);
        cols.push_back(Editor.Col());
    }
    EXPECT_EQ(cols, (std::vector<int>{1, 2, 4, 6, 7, 8}));
    for (const int col : {0, 1, 2, 3, 4, 5, 6, 7})
        EXPECT_TRUE(HasInk(0, col)) << "column " << col;
    EXPECT_TRUE(HasInk(1, 0)) << "the invalid byte";
    Key(Qt::Key_Left);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Editor.SelText(), "e\xCC\x81");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "a\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80x\r\n\xFF");
}

// A box over wide characters and a long wrapped line with the line-break rules come out alike
// on a Shift-JIS and a UTF-8 page of the same characters.
TEST_F(EditorUtf8, BoxesAndWrappedRowsAreThoseOfAShiftJisPage)
{
    const std::string text = "表表表表\r\nab表c\r\n"
                             "「日本語の文章を、折り返します。」「次の文」ーーーーーーーーー、おわり。";
    for (TEditor* editor : {&Editor, &Other}) {
        const bool utf8 = editor == &Editor;
        editor->SetEncodedText(utf8 ? text : ToSjis(text), utf8 ? Utf8 : ShiftJis);
        TEditorWrapOption& wrap = editor->WrapOption();
        wrap.SetWrapByte(12);
        wrap.SetLeading(true);
        wrap.SetLeadStr(ToSjis("「"));
        wrap.SetFollowStr(ToSjis("」、。ー"));
        editor->SetWordWrap(true);
        editor->SetSelectionMode(smBox);
        editor->SetRowCol(1, 1);
        editor->InitSelection();
        editor->SetRowCol(0, 4);
        editor->SelectionToCaret();
    }
    EXPECT_EQ(Editor.SelText(), "表\r\nb表\r\n");
    EXPECT_EQ(ToSjis(Editor.SelText()), Other.SelText());
    ASSERT_EQ(Editor.GetLineCount(), Other.GetLineCount());
    for (int row = 0; row < Editor.GetLineCount(); ++row)
        EXPECT_EQ(ToSjis(Editor.GetLine(row)), Other.GetLine(row)) << "row " << row;
}

// Text from other programs (paste, the input method) arrives whole on a UTF-8 page; a
// Shift-JIS page keeps what it can hold and says that it lost the rest.
TEST_F(EditorUtf8, TextFromOtherProgramsArrivesWholeOnAUtf8Page)
{
    const QString mixed = QString::fromUtf8("é表😀\nx");
    for (TEditor* editor : {&Editor, &Other}) {
        const bool utf8 = editor == &Editor;
        editor->SetEncodedText("", utf8 ? Utf8 : ShiftJis);
        QSignalSpy lost(editor, &TEditor::OnCharactersLost);
        QApplication::clipboard()->setText(mixed);
        editor->PasteFromClipboard();
        QInputMethodEvent committed;
        committed.setCommitString(QString::fromUtf8("😀é"));
        QApplication::sendEvent(editor, &committed);
        EXPECT_EQ(editor->Lines().Text(), utf8 ? "\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80\r\nx\xF0\x9F\x98\x80\xC3\xA9"
                                              : "?\x95\\?\r\nx??")
            << EncodingName(editor->Encoding());
        EXPECT_EQ(lost.count(), utf8 ? 0 : 2);
    }
}

// A copy between two UTF-8 pages keeps every byte, invalid ones too; between pages of the two
// encodings every character the other can hold.
TEST_F(EditorUtf8, CopiesBetweenPagesKeepWhatTheTargetCanHold)
{
    const auto copy = [&](TEditor& From, TEditor& To) {
        From.SelectAll();
        From.CopyToClipboard();
        To.SetEncodedText("", To.Encoding());
        To.PasteFromClipboard();
        return To.Lines().Text();
    };
    TEditor third;
    third.SetEncodedText("", Utf8);
    Editor.SetEncodedText(Mixed + "\xFF", Utf8);
    EXPECT_EQ(copy(Editor, third), Mixed + "\xFF");
    Other.SetEncodedText("", ShiftJis);
    EXPECT_EQ(copy(Editor, Other), "a?\x95\\?" "e?x?");
    Other.SetEncodedText("\xED\x40\x87\x9A", ShiftJis); // NEC and IBM duplicates
    EXPECT_EQ(copy(Other, Editor), "\xE7\xBA\x8A\xE2\x88\xB5");
}

} // namespace
} // namespace kestrim
