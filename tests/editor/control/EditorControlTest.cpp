#include "editor/control/EditorControl.h"

#include "editor/control/EditorOptions.h"

#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/MemoryStream.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace kestrim {
namespace {

// Shift-JIS of あ, い, 漢, 字 and the full-width Ａ and ａ.
const std::string A = "\x82\xa0";
const std::string I = "\x82\xa2";
const std::string Kan = "\x8a\xbf";
const std::string Ji = "\x8e\x9a";
const std::string FullUpperA = "\x82\x60";
const std::string FullLowerA = "\x82\x81";

// The caret rules the main window gives its editors: no caret past the end of a line.
void WithoutFreeCaret(TEditor& Editor)
{
    Editor.Caret().SetFreeCaret(false);
}

std::string Selected(TEditor& Editor)
{
    // The selection as text, read through the clipboard like the application would.
    Editor.CopyToClipboard();
    return QApplication::clipboard()->text().toStdString();
}

TEST(EditorLines, LineBreaksBecomeCrLfAndAnEmptyTextLeavesAnEmptyDocument)
{
    TEditor editor;
    editor.Lines().SetText("a\rb\nc\r\nd");
    EXPECT_EQ(editor.Lines().Count(), 4);
    EXPECT_EQ(editor.Lines().Text(), "a\r\nb\r\nc\r\nd");
    EXPECT_FALSE(editor.Lines().TrailingLineBreak());

    editor.SetRowCol(1, 1);
    editor.SelectAll();
    editor.Lines().SetText("");
    EXPECT_EQ(editor.Lines().Count(), 0);
    EXPECT_EQ(editor.Lines().Text(), "");
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 0);
    EXPECT_EQ(editor.SelLength(), 0);
}

TEST(EditorLines, TextSurvivesStreamsAndFilesByteForByte)
{
    // Final break or not, empty lines, tabs, two-byte characters, NUL, a stray trail byte and
    // a lead byte that ends its line.
    const std::string texts[] = {"ab\r\nc\r\n", "ab\r\nc", "\r\n", A + "\tx\r\n\r\n",
                                 std::string("n\0l\r\n", 5) + "\xff\x40\r\nz\x81\r\n\x81"};
    QTemporaryDir folder;
    const std::string file = folder.filePath("text.txt").toStdString();
    for (const std::string& text : texts) {
        TEditor editor;
        TMemoryStream in(text);
        editor.Lines().LoadFromStream(in);
        TMemoryStream out;
        editor.Lines().SaveToStream(out);
        EXPECT_EQ(out.Bytes(), text);

        editor.Lines().SaveToFile(file);
        EXPECT_EQ(ReadFileBytes(file), text);
        TEditor reloaded;
        reloaded.Lines().LoadFromFile(file);
        EXPECT_EQ(reloaded.Lines().Text(), text);
    }
}

TEST(EditorLines, AFailedLoadLeavesTheTextAsItWas)
{
    TEditor editor;
    editor.Lines().SetText("keep\r\n");
    editor.SetModified(false);
    QTemporaryDir folder;
    EXPECT_THROW(editor.Lines().LoadFromFile(folder.filePath("missing.txt").toStdString()), EFOpenError);
    EXPECT_THROW(editor.Lines().LoadFromFile(folder.path().toStdString()), EFOpenError);
    EXPECT_EQ(editor.Lines().Text(), "keep\r\n");
    EXPECT_FALSE(editor.Modified());
}

TEST(EditorLines, LineEditsKeepTheFinalLineBreakStateAndAreOneUndoStepEach)
{
    TEditor editor;
    editor.Lines().SetText("a");
    editor.Lines().Add("b");
    EXPECT_EQ(editor.Lines().Text(), "a\r\nb");
    editor.Lines().SetText("a\r\n");
    editor.Lines().Add("b");
    EXPECT_EQ(editor.Lines().Text(), "a\r\nb\r\n");
    editor.Lines().Insert(0, "z");
    editor.Lines().Put(1, "y");
    EXPECT_EQ(editor.Lines().Text(), "z\r\ny\r\nb\r\n");
    editor.Lines().Delete(2);
    EXPECT_EQ(editor.Lines().Text(), "z\r\ny\r\n");
    EXPECT_THROW(editor.Lines().Delete(2), EStringListError);
    EXPECT_THROW(editor.Lines().Get(-1), EStringListError);

    for (const char* expected : {"z\r\ny\r\nb\r\n", "z\r\na\r\nb\r\n", "a\r\nb\r\n", "a\r\n"}) {
        ASSERT_TRUE(editor.CanUndo());
        editor.Undo();
        EXPECT_EQ(editor.Lines().Text(), expected);
    }
    EXPECT_FALSE(editor.CanUndo()); // setting the whole text started the history
    EXPECT_TRUE(editor.CanRedo());
    editor.Redo();
    EXPECT_EQ(editor.Lines().Text(), "a\r\nb\r\n");
}

TEST(EditorLines, WholeTextOperationsEmptyTheUndoHistoryAndCountAsChanges)
{
    TEditor editor;
    editor.Lines().Add("x");
    editor.SetModified(false);
    editor.Lines().Clear();
    EXPECT_FALSE(editor.CanUndo());
    EXPECT_TRUE(editor.Modified());
    editor.SetModified(false);
    editor.Lines().SetText("y");
    EXPECT_TRUE(editor.Modified());
}

// Undo steps hold columns: only a new tab width makes them void.
TEST(EditorUndo, OnlyANewTabWidthEmptiesTheHistory)
{
    TEditor editor;
    editor.Lines().Add("x");
    TEditorCaret same;
    same.Assign(editor.Caret());
    editor.SetCaret(same);
    editor.Caret().SetStyle(csBrief);
    EXPECT_TRUE(editor.CanUndo());
    editor.Caret().SetTabSpaceCount(4);
    EXPECT_FALSE(editor.CanUndo());
}

TEST(EditorUndo, KeepsAtLeastSixtyFourSteps)
{
    TEditor editor;
    for (int i = 0; i < 70; ++i)
        editor.Lines().Add(std::to_string(i));
    for (int i = 0; i < 64; ++i)
        editor.Undo();
    EXPECT_EQ(editor.Lines().Count(), 6);
}

TEST(EditorCaret, RowAndColCountDisplayColumns)
{
    TEditor editor;
    WithoutFreeCaret(editor);
    // A tab to column 8, あ in columns 8-9, b in column 10; a second, shorter line.
    editor.Lines().SetText("\t" + A + "b\r\nxy");
    struct {
        int Col, Expected;
    } cases[] = {{0, 0}, {3, 0}, {8, 8}, {9, 8}, {10, 10}, {11, 11}, {100, 11}, {-4, 0}};
    for (const auto& c : cases) {
        editor.SetRowCol(0, c.Col);
        EXPECT_EQ(editor.Col(), c.Expected) << "column " << c.Col;
    }
    editor.SetRowCol(0, 10);
    editor.SetRow(1); // the column is kept where the line allows
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_EQ(editor.Col(), 2);
    editor.SetCol(1);
    EXPECT_EQ(editor.Col(), 1);
}

TEST(EditorCaret, SetRowClampsToTheRowsThatExist)
{
    TEditor editor;
    WithoutFreeCaret(editor);
    editor.Lines().SetText("a\r\nb\r\nc");
    editor.SetRow(99);
    EXPECT_EQ(editor.Row(), 2);
    editor.SetRow(-3);
    EXPECT_EQ(editor.Row(), 0);
    editor.Lines().SetText("a\r\n"); // the empty row after a final break takes the caret
    editor.SetRow(5);
    EXPECT_EQ(editor.Row(), 1);
    editor.Lines().Clear();
    editor.SetRowCol(3, 3);
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 0);
}

TEST(EditorCaret, ScrollingMovesTheViewNotTheCaret)
{
    TEditor editor;
    editor.resize(300, 200);
    editor.show();
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    editor.Lines().SetText(text);
    ASSERT_GT(editor.VisibleRowCount(), 2);
    editor.ScrollLines(10);
    editor.ScrollLines(-3);
    EXPECT_EQ(editor.Row(), 0);

    editor.SetRowCol(400, 0);
    editor.ScrollLines(-200); // the caret is far off screen now
    editor.ScrollCaret();
    const int rows = editor.VisibleRowCount();
    const int top = editor.verticalScrollBar()->value();
    EXPECT_EQ(editor.TopRow(), top);
    EXPECT_EQ(top, 400 - rows / 3);
    EXPECT_GE(editor.CaretPos().y(), 0);
    EXPECT_LT(editor.CaretPos().y(), editor.height());

    // The bar reaches as far as the top row may go: the row after the final line break.
    EXPECT_EQ(editor.verticalScrollBar()->maximum(), 500);
    EXPECT_EQ(editor.verticalScrollBar()->pageStep(), rows);
    editor.Lines().SetText("a\r\nb\r\nc");
    EXPECT_EQ(editor.verticalScrollBar()->maximum(), 2);
    EXPECT_EQ(editor.verticalScrollBar()->value(), 0);
}

TEST(EditorSelection, SelLengthCountsALineBreakAsTwoBytes)
{
    TEditor editor;
    editor.Lines().SetText("ab\r\nc\r\n");
    editor.SelectAll();
    EXPECT_EQ(editor.SelLength(), 7);
    editor.SetSelLength(0);
    EXPECT_EQ(editor.SelLength(), 0);

    editor.SetRowCol(0, 0);
    editor.SetSelLength(3); // ends inside the line break: the whole break is taken
    EXPECT_EQ(editor.SelLength(), 4);
    editor.Lines().SetText(A + I + "x");
    editor.SetSelLength(3); // ends inside い
    EXPECT_EQ(editor.SelLength(), 4);
    EXPECT_EQ(editor.Col(), 4);
    editor.SetSelLength(100); // from the selection's start
    EXPECT_EQ(editor.SelLength(), 5);
    editor.SetSelLength(0);
    editor.SetRowCol(0, 2);
    editor.SetSelLength(2);
    EXPECT_EQ(Selected(editor), "\xe3\x81\x84"); // い
}

TEST(EditorSelection, SelectTokenAtTakesThePlainWordAtThePoint)
{
    TEditor editor;
    editor.resize(400, 200);
    editor.show();
    editor.Lines().SetText("foo_bar1 = " + Kan + Ji + A + I + "!\r\n");
    const auto tokenAt = [&](int Col) {
        editor.SetRowCol(0, Col);
        editor.SelectTokenAt(editor.CaretPos(), false, false);
        return editor.SelLength();
    };
    EXPECT_EQ(tokenAt(0), 8);  // foo_bar1
    EXPECT_EQ(tokenAt(3), 8);
    EXPECT_EQ(tokenAt(8), 8);  // on the blank just after the word: the word
    EXPECT_EQ(tokenAt(9), 1);  // "="
    EXPECT_EQ(tokenAt(11), 4); // 漢字, not the hiragana after it
    EXPECT_EQ(tokenAt(15), 4); // あい
    EXPECT_EQ(tokenAt(19), 1); // the "!" right after あい
    EXPECT_EQ(tokenAt(10), 1); // the blank right after "=": the token before
    editor.SetSelLength(0);
    editor.SelectTokenAt(QPoint(5, editor.height() - 5), false, false); // below the text
    EXPECT_EQ(editor.SelLength(), 0);
}

TEST(EditorSearch, FindsForwardAndBackwardFromTheSelection)
{
    TEditor editor;
    editor.Lines().SetText("abab\r\nxab");
    ASSERT_TRUE(editor.Search("ab", soDown));
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 2);
    EXPECT_EQ(editor.SelLength(), 2);
    ASSERT_TRUE(editor.Search("ab", soDown));
    EXPECT_EQ(editor.Col(), 4);
    ASSERT_TRUE(editor.Search("ab", soDown));
    EXPECT_EQ(editor.Row(), 1);
    EXPECT_FALSE(editor.Search("ab", soDown));
    EXPECT_EQ(editor.SelLength(), 2); // a miss leaves the last hit selected

    ASSERT_TRUE(editor.Search("ab", 0)); // backward from the selection's start
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 4);
    editor.SetSelLength(0); // moving the caret alone keeps a selection
    editor.SetRowCol(0, 0);
    EXPECT_FALSE(editor.Search("ab", 0));
    EXPECT_FALSE(editor.Search("", soDown));
    ASSERT_TRUE(editor.Search("b\r\nx", soDown)); // a hit across a line break
    EXPECT_EQ(editor.SelLength(), 4);
}

TEST(EditorSearch, OptionsReachTheSearchAndHitsAfterTwoByteCharactersTakeTheirColumns)
{
    TEditor editor;
    // ア is 0x83 0x41: its trail byte is an "A".
    editor.Lines().SetText("\x83\x41" "abc foobar foo_bar " + FullLowerA);
    EXPECT_FALSE(editor.Search("A", soDown | soMatchCase));
    EXPECT_TRUE(editor.Search("ABC", soDown));
    EXPECT_EQ(editor.Col(), 5);
    editor.SetSelLength(0);
    editor.SetRowCol(0, 0);
    EXPECT_FALSE(editor.Search("ABC", soDown | soMatchCase));
    EXPECT_TRUE(editor.Search(FullUpperA, soDown));
    EXPECT_EQ(editor.Col(), 23);

    editor.SetSelLength(0);
    editor.SetRowCol(0, 0);
    ASSERT_TRUE(editor.Search("foo", soDown | soWholeWord)); // in foo_bar, not in foobar
    EXPECT_EQ(editor.Col(), 16);
    EXPECT_FALSE(editor.Search("foo", soDown | soWholeWord));
}

TEST(EditorClipboard, TextGoesOutAsPlatformTextAndComesBackWithinShiftJis)
{
    TEditor editor;
    editor.Lines().SetText(A + "\r\nb");
    editor.SelectAll();
    EXPECT_EQ(Selected(editor), "\xe3\x81\x82\nb");

    editor.CutToClipboard();
    EXPECT_EQ(editor.Lines().Text(), "");
    editor.PasteFromClipboard();
    EXPECT_EQ(editor.Lines().Text(), A + "\r\nb");

    // The euro sign and an emoji have no Shift-JIS code.
    QApplication::clipboard()->setText(QString::fromUtf8("x\xe2\x82\xac\xf0\x9f\x98\x80y"));
    editor.Lines().Clear();
    editor.PasteFromClipboard();
    EXPECT_EQ(editor.Lines().Text(), "x??y");
}

TEST(EditorInput, TypedTextIsShiftJisAndEventsReachTheApplication)
{
    QWidget window;
    TEditor& editor = *new TEditor(&window);
    window.show();
    editor.SetFocus();
    QSignalSpy lost(&editor, &TEditor::OnCharactersLost);
    QSignalSpy keyUps(&editor, &TEditor::OnKeyUp);
    QSignalSpy clicks(&editor, &TEditor::OnClick);
    QSignalSpy doubleClicks(&editor, &TEditor::OnDblClick);
    QSignalSpy mouseUps(&editor, &TEditor::OnMouseUp);
    QWidget* edit = &editor;

    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_FALSE(editor.Lines().TrailingLineBreak());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(editor.Lines().TrailingLineBreak());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUtf8("\xe2\x82\xac"), {});
    EXPECT_EQ(editor.Lines().Text(), "a?");
    EXPECT_EQ(lost.count(), 1) << "the window is told why a \"?\" appeared";
    EXPECT_TRUE(editor.Modified());
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf8("\xe6\xbc\xa2\xe2\x82\xac")); // 漢€
    QApplication::sendEvent(edit, &composed);
    EXPECT_EQ(editor.Lines().Text(), "a?" + Kan + "?");
    EXPECT_EQ(lost.count(), 2);
    EXPECT_EQ(keyUps.count(), 4);

    QWidget* viewport = editor.viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(clicks.count(), 1); // the release after a double-click is no click
    EXPECT_EQ(mouseUps.count(), 2);
}

TEST(EditorInput, TheContextMenuAndTheWheelAreTheOwnersToHandle)
{
    QWidget window;
    auto* editor = new TEditor(&window);
    editor->resize(200, 100);
    window.show();
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "row\r\n";
    editor->Lines().SetText(text);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy menus(editor, &QWidget::customContextMenuRequested);
    QWidget* viewport = editor->viewport();

    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(viewport, &menu);
    ASSERT_EQ(menus.count(), 1);

    // Left unaccepted, a wheel event from the platform goes on to the parents.
    const QPointF at(10, 10);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    EXPECT_FALSE(wheel.isAccepted());
    EXPECT_EQ(editor->TopRow(), 0);
}

TEST(EditorView, MarksReachTheScreen)
{
    TEditor editor;
    editor.resize(300, 100);
    editor.show();
    editor.Lines().SetText("ab\r\ncd");
    const auto redPixels = [&] {
        const QImage image = editor.grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == QColor(Qt::red);
        return count;
    };
    EXPECT_EQ(redPixels(), 0);
    editor.Marks().RetMark().SetColor(clRed);
    editor.Marks().RetMark().SetVisible(true);
    EXPECT_GT(redPixels(), 0);
    editor.Marks().RetMark().SetVisible(false);
    EXPECT_EQ(redPixels(), 0);
}

TEST(EditorView, SettingTheSameReservedWordsChangesNothing)
{
    TEditor editor;
    TStringList words;
    words.Add("while");
    words.Add("if");
    editor.SetReserveWordList(words);
    EXPECT_EQ(editor.ReserveWordList().Text(), "if\r\nwhile\r\n");
    int notified = 0;
    editor.View().Fountain().NotifyEventList().Add(TNotifyEvent([&](TObject*) { ++notified; }));
    TStringList same;
    same.Add("while");
    same.Add("if");
    editor.SetReserveWordList(same);
    EXPECT_EQ(notified, 0);
    same.Add("else");
    editor.SetReserveWordList(same);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(editor.ReserveWordList().Count(), 3);
}

} // namespace
} // namespace kestrim
