// The editor as a user types into it: keys in, text and caret out, with the caret rules the main
// window gives its editors.

#include "editor/control/EditorControl.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>

namespace kestrim {
namespace {

const std::string A = "\x82\xa0"; // あ
const std::string I = "\x82\xa2"; // い

class EditorTyping : public testing::Test {
public:
    EditorTyping()
    {
        Editor.resize(600, 300);
        Editor.show();
        Editor.setFocus();
        TEditorCaret& caret = Editor.Caret();
        caret.SetFreeCaret(false);
        caret.SetNextLine(true);
        caret.SetTabIndent(true);
    }

    void Key(int KeyCode, Qt::KeyboardModifiers Modifiers = {}) { QTest::keyClick(&Editor, static_cast<Qt::Key>(KeyCode), Modifiers); }
    // Types Utf8 as the keyboard sends it: one key event per character.
    void Type(const QString& Text)
    {
        for (const QChar c : Text)
            QTest::sendKeyEvent(QTest::Click, &Editor, Qt::Key_unknown, QString(c), {});
    }
    void Set(const std::string& Text, int Row, int Col)
    {
        Editor.Lines().SetText(Text);
        Editor.SetRowCol(Row, Col);
    }
    std::string Text() { return Editor.Lines().Text(); }
    std::pair<int, int> Caret() const { return {Editor.Row(), Editor.Col()}; }

    TEditor Editor;
};

TEST_F(EditorTyping, CharactersTabsAndIndentation)
{
    struct {
        const char* Name;
        std::string Before;
        int Row, Col;
        std::function<void(EditorTyping&)> Keys;
        std::string After;
        std::pair<int, int> Caret;
    } cases[] = {
        {"letters", "", 0, 0, [](EditorTyping& t) { t.Type("abc"); }, "abc", {0, 3}},
        {"two-byte characters", "x", 0, 1, [](EditorTyping& t) { t.Type(QString::fromUtf8("あい")); }, "x" + A + I, {0, 5}},
        {"a tab character", "abc", 0, 3, [](EditorTyping& t) { t.Key(Qt::Key_Tab); }, "abc\t", {0, 8}},
        {"auto indent", "    x", 0, 5, [](EditorTyping& t) { t.Key(Qt::Key_Return); }, "    x\r\n    ", {1, 4}},
        {"indent with tabs", std::string(10, ' ') + "x", 0, 11, [](EditorTyping& t) { t.Key(Qt::Key_Return); },
         std::string(10, ' ') + "x\r\n\t  ", {1, 10}},
        {"return inside the indent", "    x", 0, 2, [](EditorTyping& t) { t.Key(Qt::Key_Return); }, "  \r\n    x", {1, 2}},
        {"shift return opens a line above", "  ab\r\n", 0, 3, [](EditorTyping& t) { t.Key(Qt::Key_Return, Qt::ShiftModifier); },
         "  \r\n  ab\r\n", {0, 2}},
        {"un-indent to the row above", "    a\r\n        ", 1, 8, [](EditorTyping& t) { t.Key(Qt::Key_Backspace); },
         "    a\r\n    ", {1, 4}},
        {"un-indent only inside the indent", "    a\r\n  x  y", 1, 6, [](EditorTyping& t) { t.Key(Qt::Key_Backspace); },
         "    a\r\n  x  ", {1, 5}},
        {"backspace over a two-byte character", "a" + A, 0, 3, [](EditorTyping& t) { t.Key(Qt::Key_Backspace); }, "a", {0, 1}},
        {"backspace joins lines", "ab\r\ncd", 1, 0, [](EditorTyping& t) { t.Key(Qt::Key_Backspace); }, "abcd", {0, 2}},
        {"return then backspace after the last line", "a", 0, 1,
         [](EditorTyping& t) {
             t.Key(Qt::Key_Return);
             t.Key(Qt::Key_Backspace);
         },
         "a", {0, 1}},
        {"delete joins the next line", "ab\r\ncd", 0, 2, [](EditorTyping& t) { t.Key(Qt::Key_Delete); }, "abcd", {0, 2}},
        {"delete at the very end", "ab", 0, 2, [](EditorTyping& t) { t.Key(Qt::Key_Delete); }, "ab", {0, 2}},
        {"right goes on to the next line", "ab\r\ncd", 0, 2, [](EditorTyping& t) { t.Key(Qt::Key_Right); }, "ab\r\ncd", {1, 0}},
        {"up onto a tab never stops in its fill", "\tx\r\nabcd", 1, 3, [](EditorTyping& t) { t.Key(Qt::Key_Up); }, "\tx\r\nabcd", {0, 0}},
        {"ctrl end reaches the row after a final break", "ab\r\n", 0, 0, [](EditorTyping& t) { t.Key(Qt::Key_End, Qt::ControlModifier); },
         "ab\r\n", {1, 0}},
        {"shift right then typing replaces", "abc", 0, 0,
         [](EditorTyping& t) {
             t.Key(Qt::Key_Right, Qt::ShiftModifier);
             t.Type("X");
         },
         "Xbc", {0, 1}},
    };
    for (const auto& c : cases) {
        Set(c.Before, c.Row, c.Col);
        c.Keys(*this);
        EXPECT_EQ(Text(), c.After) << c.Name;
        EXPECT_EQ(Caret(), c.Caret) << c.Name;
        while (Editor.CanUndo())
            Editor.Undo();
        EXPECT_EQ(Text(), c.Before) << c.Name << ": undo takes every edit back";
    }
}

TEST_F(EditorTyping, TheCaretRulesOfVerticalMoves)
{
    Editor.Caret().SetKeepCaret(true);
    Set(std::string(30, 'a') + "\r\nbbbbb\r\n" + std::string(30, 'c'), 0, 20);
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), std::make_pair(1, 5));
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), std::make_pair(2, 20)) << "back to the column where the run of moves began";

    Editor.Caret().SetFreeCaret(true);
    Set("ab", 0, 5);
    Key(Qt::Key_Return); // in the free space right of the text: the cut is at the text's end
    EXPECT_EQ(Text(), "ab\r\n");
    EXPECT_EQ(Caret(), std::make_pair(1, 0));
}

// Past column 1000 the caret and the selection hold bytes, so nothing is lost or reversed.
TEST_F(EditorTyping, RowsLongerThanAThousandColumnsKeepEveryByte)
{
    const std::string longRow(1500, 'a');
    Set("x\r\n" + longRow, 1, 0);
    Editor.SelectAll();
    Editor.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text().size(), 1502) << "x, LF and all 1500 bytes";

    Set(longRow, 0, 0);
    Key(Qt::Key_End);
    EXPECT_EQ(Editor.CaretByte(), 1500);
    Type("xyz");
    EXPECT_EQ(Text(), longRow + "xyz") << "typed in order at the row's end";

    Set(std::string(999, 'a') + A, 0, 0);
    Key(Qt::Key_End);
    EXPECT_EQ(Editor.Col(), 1001) << "after the two-byte character, not on its trail byte";
    EXPECT_EQ(Editor.CaretByte(), 1001);

    Set(std::string(1200, 'a') + "x" + std::string(100, 'a'), 0, 0);
    ASSERT_TRUE(Editor.Search("x", soDown));
    EXPECT_EQ(Editor.SelText(), "x");
    EXPECT_FALSE(Editor.Search("x", soDown)) << "Find next goes past the hit";
}

TEST_F(EditorTyping, PasteTurnsEveryLineBreakIntoCrLfAndPutsTheCaretAfterIt)
{
    Editor.Lines().Clear();
    QApplication::clipboard()->setText("a\nb\nc");
    Editor.PasteFromClipboard();
    EXPECT_EQ(Text(), "a\r\nb\r\nc");
    EXPECT_EQ(Caret(), std::make_pair(2, 1));

    QApplication::clipboard()->setText("x\ry\r\n");
    Editor.PasteFromClipboard();
    EXPECT_EQ(Text(), "a\r\nb\r\ncx\r\ny\r\n");
}

// Copy and paste between editors keep bytes that Unicode would rewrite (NEC and IBM duplicates),
// and tell other programs the text with LF line breaks.
TEST_F(EditorTyping, TheClipboardCarriesTheShiftJisBytesAndTheBoxMark)
{
    const std::string duplicates = "\xed\x40\x87\x9a\xee\xf9\xfa\x54\r\nz";
    Set(duplicates, 0, 0);
    Editor.SelectAll();
    Editor.CopyToClipboard();
    EXPECT_FALSE(QApplication::clipboard()->text().contains(QLatin1Char('\r')));
    TEditor other;
    other.PasteFromClipboard();
    EXPECT_EQ(other.Lines().Text(), duplicates);

    QApplication::clipboard()->setText("keep");
    Editor.SetSelLength(0);
    Editor.CopyToClipboard();
    Editor.CutToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "keep") << "nothing selected: the clipboard stays";

    // A box of two rows pasted as a box lands column-aligned, short rows padded with blanks.
    Set("abcd\r\nefgh\r\nx\r\n", 0, 1);
    Editor.SetSelectionMode(smBox);
    Editor.InitSelection();
    Editor.SetRowCol(1, 3);
    Editor.SelectionToCaret();
    EXPECT_EQ(Editor.SelText(), "bc\r\nfg\r\n");
    Editor.CopyToClipboard();
    ASSERT_TRUE(QApplication::clipboard()->mimeData()->formats().join(' ').contains("box"));
    Editor.SetSelectionMode(smStream);
    Editor.SetSelLength(0);
    Editor.SetRowCol(2, 1);
    Editor.PasteFromClipboard();
    EXPECT_EQ(Text(), "abcd\r\nefgh\r\nxbc\r\n fg\r\n");
    EXPECT_EQ(Caret(), std::make_pair(3, 3));
}

TEST_F(EditorTyping, BoxEdgesStayOnTheirRow)
{
    Editor.Caret().SetInTab(true);
    Set("ab\tc\r\nabcdefgh\r\n", 0, 3);
    Editor.SetSelectionMode(smBox);
    Editor.InitSelection();
    Editor.SetRowCol(1, 5);
    Editor.SelectionToCaret();
    EXPECT_EQ(Editor.SelText(), "\r\nde\r\n") << "the tab is only partly in the box";
    Editor.ClearSelection();
    EXPECT_EQ(Text(), "ab\tc\r\nabcfgh\r\n");
}

TEST_F(EditorTyping, ThePreeditStaysOutOfTheTextAndTheCommitIsOneEdit)
{
    Set("ab", 0, 1);
    QInputMethodEvent composing(QString::fromUtf8("かん"), {});
    QApplication::sendEvent(&Editor, &composing);
    EXPECT_EQ(Text(), "ab");
    QInputMethodEvent committed;
    committed.setCommitString(QString::fromUtf8("漢\n字"));
    QApplication::sendEvent(&Editor, &committed);
    EXPECT_EQ(Text(), "a\x8a\xbf\r\n\x8e\x9a" "b");
    EXPECT_EQ(Caret(), std::make_pair(1, 2));
    Editor.Undo();
    EXPECT_EQ(Text(), "ab");
}

// The built-in menu and its keys serve an editor whose owner gives it no menu of its own.
TEST_F(EditorTyping, TheBuiltInMenuKeysWorkOnlyWithoutAnOwnersMenu)
{
    Set("ab", 0, 2);
    Type("c");
    Editor.Undo();
    Key(Qt::Key_A, Qt::ControlModifier); // redo, as the built-in menu has it
    EXPECT_EQ(Text(), "abc");
    Key(Qt::Key_1, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(Editor.RowMarks(0) & RowMark(1));

    Editor.setContextMenuPolicy(Qt::CustomContextMenu);
    Editor.Undo();
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Text(), "ab") << "the owner's keys decide";
}

} // namespace
} // namespace kestrim

namespace kestrim {
namespace {

// A change of the text in the middle of a mouse gesture (a run ending, a window command) ends
// the gesture: the release that follows moves nothing.
TEST_F(EditorTyping, AChangeOfTheTextEndsAMouseGesture)
{
    Set("abcdef\r\nxyz\r\n", 0, 0);
    Editor.SetSelLength(3);
    const QPoint inSelection = Editor.CellRect(0, 1).center();
    const QPoint drop = Editor.CellRect(1, 2).center();
    QTest::mousePress(Editor.viewport(), Qt::LeftButton, {}, inSelection);
    QTest::mouseMove(Editor.viewport(), drop);
    Editor.Lines().SetText("new text\r\n");
    QTest::mouseRelease(Editor.viewport(), Qt::LeftButton, {}, drop);
    EXPECT_EQ(Text(), "new text\r\n");
    EXPECT_EQ(Editor.SelText(), "");
}

// The button held still below or above the text keeps scrolling and extending the selection,
// as if the mouse went on moving; the release stops it.
TEST_F(EditorTyping, HoldingTheButtonOutsideTheTextKeepsScrolling)
{
    std::string text;
    for (int row = 0; row < 300; ++row)
        text += "row " + std::to_string(row) + "\r\n";
    Set(text, 0, 0);
    QWidget* view = Editor.viewport();
    const QPoint below(view->width() / 2, view->height() + 5);
    QTest::mousePress(view, Qt::LeftButton, {}, Editor.CellRect(1, 0).center());
    QTest::mouseMove(view, below);
    QTest::qWait(400);
    QTest::mouseRelease(view, Qt::LeftButton, {}, below);
    const int top = Editor.TopRow();
    EXPECT_GE(top, 4);
    EXPECT_EQ(Editor.Row(), top + Editor.VisibleRowCount() - 1) << "the caret on the last row in view";
    EXPECT_EQ(Editor.SelText().substr(0, 12), "row 1\r\nrow 2") << "selected from the press on";
    QTest::qWait(200);
    EXPECT_EQ(Editor.TopRow(), top) << "the release stops the scrolling";

    QTest::mousePress(view, Qt::LeftButton, {}, Editor.CellRect(top + 2, 0).center());
    QTest::mouseMove(view, QPoint(view->width() / 2, -5));
    QTest::qWait(300);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(view->width() / 2, -5));
    EXPECT_LT(Editor.TopRow(), top - 2);
    EXPECT_EQ(Editor.Row(), Editor.TopRow());
}

// A view of no width still has a column: keys never scroll the caret out of it.
TEST_F(EditorTyping, ACollapsedViewKeepsTheCaretInView)
{
    Editor.resize(10, 10);
    Set(std::string(50, 'a'), 0, 0);
    for (int i = 0; i < 20; ++i) {
        Key(Qt::Key_Right);
        EXPECT_LE(Editor.TopCol(), Editor.Col());
        EXPECT_GE(Editor.VisibleColCount(), 1);
    }
}

} // namespace
} // namespace kestrim
