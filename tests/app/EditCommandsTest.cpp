#include "app/Main.h"
#include "app/UserDialogs.h"
#include "dialogs/FindDialog.h"
#include "dialogs/InputDialog.h"
#include "editor/control/EditorControl.h"
#include "editor/control/EditorFonts.h"
#include "editor/text/edWrapOption.h"
#include "support/ModalWindows.h"
#include "web/WebPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace kestrim;

namespace {

// The commands of these tests ask nothing through the window's dialogs; whatever they tell the
// user there is kept and must stay empty.
class TQuietDialogs : public TUserDialogs {
public:
    explicit TQuietDialogs(QStringList& Shown) : FShown(Shown) {}

    std::optional<QString> ChooseFile(const TFileDialogOptions&) override { return std::nullopt; }
    TSaveAnswer AskYesNoCancel(const QString& Text) override
    {
        FShown << Text;
        return TSaveAnswer::Cancel;
    }
    void ShowError(const QString& Text) override { FShown << Text; }
    void ShowMessage(const QString& Text) override { FShown << Text; }
    void ShowInformation(const QString& Text) override { FShown << Text; }
    void ErrorMessage(const QString& Text) override { FShown << Text; }
    void ShowAbout(TAboutDialog&) override {}

private:
    QStringList& FShown;
};

class EditCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FSettings.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FSettings.path());
        StartWindow();
    }
    // A new window, the old one (if any) closed first so that it stores its settings.
    void StartWindow()
    {
        FWindow.reset();
        FWindow = std::make_unique<TfrmKestrim>(std::make_unique<TQuietDialogs>(FShown));
        FWindow->show();
        FWindow->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
    }

    void TearDown() override
    {
        FWindow.reset();
        EXPECT_TRUE(FShown.isEmpty()) << FShown.join('\n').toStdString();
    }

    TfrmKestrim& Window() { return *FWindow; }
    // The window's command with this caption; a missing one fails the test.
    QAction* Action(const QString& Caption)
    {
        for (QAction* action : FWindow->findChildren<QAction*>())
            if (action->text() == Caption)
                return action;
        ADD_FAILURE() << "no command " << Caption.toStdString();
        return &FNoAction;
    }
    const TMainActions& Actions() { return FWindow->Actions(); }

    // Keys go where the user's keys would: to the focused control.
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Key, Modifiers);
    }

    static void SetText(TEditor& Editor, const char* Text) { Editor.Lines().SetText(Text); }
    static std::string Text(TEditor& Editor) { return Editor.Lines().Text(); }
    std::string CaretPanel() { return FWindow->StatusPanelText(0).toStdString(); }

    static void OpenAndClose(QMenu& Menu)
    {
        Menu.popup(QPoint(0, 0));
        Menu.close();
    }

    // Go to line with Entry typed in the dialog; an empty entry cancels.
    void MoveToLine(const QString& Entry)
    {
        test::DriveModal<TIntegerDlg>([&] { Actions().actMoveLineNumber->trigger(); }, [&](TIntegerDlg& Form) {
            FDialogTitle = Form.windowTitle();
            FDialogPrompt = Form.Information->text();
            if (Entry.isEmpty()) {
                QTest::mouseClick(Form.bbnCancel, Qt::LeftButton);
                return;
            }
            QTest::keyClicks(Form.InputValue, Entry);
            QTest::mouseClick(Form.bbnOK, Qt::LeftButton);
        });
    }

    TFindDialog& FindDialog()
    {
        Actions().actFind->trigger();
        auto* dialog = FWindow->findChild<TFindDialog*>("dlgFind");
        EXPECT_TRUE(dialog != nullptr && dialog->isVisible());
        return *dialog;
    }

    static test::TShownBox FindNext(TFindDialog& Dialog)
    {
        return test::CloseMessageBoxDuring([&] { QTest::mouseClick(Dialog.bbnFindNext, Qt::LeftButton); });
    }

    QString FDialogTitle;
    QString FDialogPrompt;
    QAction FNoAction; // stands in for a missing command, so that the test goes on

private:
    QTemporaryDir FSettings;
    QStringList FShown;
    std::unique_ptr<TfrmKestrim> FWindow;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Edit commands and their enabled states

// The keyword box takes the edit shortcuts, so that a keyword can be pasted and no keystroke
// meant for the box cuts the hidden script; the commands themselves act on the script editor.
TEST_F(EditCommandsTest, OnTheWebPageTheKeywordBoxTakesTheEditShortcutsAndCommandsActOnTheScript)
{
    TfrmKestrim& window = Window();
    SetText(*window.tedScript, "abc\r\ndef");
    window.tedScript->SetModified(false);
    window.ShowPage(TfrmKestrim::pgWeb);
    QLineEdit& keyword = *window.tbsWeb->edtKeyword;
    keyword.setFocus();
    QTest::keyClicks(&keyword, "print");

    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(keyword.selectedText(), QString("print"));
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "print");
    EXPECT_EQ(keyword.text(), QString());
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(keyword.text(), QString("printprint"));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(keyword.text(), QString("print"));
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(keyword.text(), QString("printprint"));
    EXPECT_EQ(Text(*window.tedScript), "abc\r\ndef");
    EXPECT_EQ(window.tedScript->SelLength(), 0);
    EXPECT_FALSE(window.tedScript->Modified());
    EXPECT_TRUE(window.tbsWeb->isVisible());

    // Elsewhere on the page the shortcuts are the commands', on the script editor.
    window.tbsWeb->cmbWebItem->setFocus();
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window.tedScript->SelLength(), 8);
    EXPECT_TRUE(Actions().actCopy->isEnabled());

    keyword.setFocus();
    Actions().actCopy->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("abc"));
    window.tedScript->SetSelLength(0);
    Actions().actMoveBottom->trigger();
    QGuiApplication::clipboard()->setText("XY");
    Actions().actPaste->trigger();
    EXPECT_EQ(Text(*window.tedScript), "abc\r\ndefXY");
    EXPECT_EQ(keyword.text(), QString("printprint"));
    Actions().actMoveTop->trigger();
    EXPECT_EQ(window.tedScript->Row(), 0);
    EXPECT_EQ(window.tedScript->Col(), 0);
}

TEST_F(EditCommandsTest, UndoAndRedoFollowTheCurrentEditorOnlyWhenAMenuOpens)
{
    TfrmKestrim& window = Window();
    const TMainActions& a = Actions();
    EXPECT_TRUE(a.actUndo->isEnabled());
    EXPECT_TRUE(a.actRedo->isEnabled());

    OpenAndClose(*window.mniEdit);
    EXPECT_FALSE(a.actUndo->isEnabled());
    EXPECT_FALSE(a.actRedo->isEnabled());

    window.tedScript->SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), "x");
    EXPECT_FALSE(a.actUndo->isEnabled()) << "no refresh before a menu opens";
    OpenAndClose(*window.mniEdit);
    EXPECT_TRUE(a.actUndo->isEnabled());

    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(*window.tedScript), "");
    OpenAndClose(*window.popMain);
    EXPECT_FALSE(a.actUndo->isEnabled());
    EXPECT_TRUE(a.actRedo->isEnabled());

    // The data editor has nothing to redo.
    window.ShowPage(TfrmKestrim::pgData);
    OpenAndClose(*window.mniEdit);
    EXPECT_FALSE(a.actRedo->isEnabled());
}

// ---------------------------------------------------------------------------------------------
// Find

TEST_F(EditCommandsTest, FindHonoursItsOptionsAndReportsAMissWithoutTouchingTheSelection)
{
    TfrmKestrim& window = Window();
    window.ShowPage(TfrmKestrim::pgData);
    TEditor& data = *window.tedData;
    SetText(data, "abc ABC abcd abc");
    TFindDialog& dialog = FindDialog();
    dialog.SetFindText("abc");
    dialog.SetMatchCase(true);
    dialog.SetWholeWord(true);
    EXPECT_FALSE(FindNext(dialog).Shown);
    EXPECT_FALSE(FindNext(dialog).Shown);
    EXPECT_GE(data.Col(), 13) << "\"ABC\" and \"abcd\" are passed over";
    EXPECT_EQ(data.SelLength(), 3);
    EXPECT_TRUE(Actions().actCopy->isEnabled());
    dialog.SetDown(false);
    EXPECT_FALSE(FindNext(dialog).Shown);
    EXPECT_LE(data.Col(), 3);

    // The last cannot be Shift-JIS; its "?" stand-in must not find the "?" in the text.
    SetText(data, "abc a??b");
    data.SetRowCol(0, 0);
    data.SetSelLength(3);
    dialog.SetDown(true);
    dialog.SetWholeWord(false);
    for (const char* absent : {"xyz", "\xf0\x9f\x98\x80"}) {
        dialog.SetFindText(QString::fromUtf8(absent));
        const test::TShownBox box = FindNext(dialog);
        EXPECT_EQ(box.Title, QString("検索"));
        EXPECT_EQ(box.Text, QString("見つかりませんでした。"));
        EXPECT_EQ(data.SelLength(), 3);
        EXPECT_EQ(data.Col(), 3);
    }
    EXPECT_TRUE(dialog.isVisible());

    // On a UTF-8 page the same text is found: the page's encoding holds it.
    data.SetEncodedText("abc a\xF0\x9F\x98\x80" "b", TTextEncoding::Utf8);
    data.SetRowCol(0, 0);
    EXPECT_FALSE(FindNext(dialog).Shown);
    EXPECT_EQ(data.SelText(), "\xF0\x9F\x98\x80");
}

// The user's way: Enter searches, Enter closes the box, Enter searches again. Each box gives the
// focus back to the dialog, so no Enter reaches the editor and types over the selected hit.
TEST_F(EditCommandsTest, EnterAfterTheNotFoundBoxSearchesAgainInsteadOfTypingOverTheHit)
{
    TEditor& script = *Window().tedScript;
    SetText(script, "abc abc");
    TFindDialog& dialog = FindDialog();
    QTest::qWait(100); // the main window's own activation, still on its way, comes first
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(dialog.edtFindText, "abc");
    // Enter where the focus is once it has settled, as the user's next key goes.
    const auto enter = [&] {
        if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }))
            return QString("the focus went nowhere");
        return test::CloseMessageBoxDuring([&] { Press(Qt::Key_Return); }, Qt::Key_Return).Text;
    };
    EXPECT_EQ(enter(), QString());
    EXPECT_EQ(enter(), QString());
    EXPECT_EQ(enter(), QString("見つかりませんでした。"));
    EXPECT_EQ(enter(), QString("見つかりませんでした。"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
    EXPECT_EQ(Text(script), "abc abc");
    EXPECT_EQ(script.SelText(), "abc") << "the last hit stays selected";
}

// The keys of other editors: F3 and Shift+F3 search again, in the editor, without the dialog;
// with nothing to search for yet, F3 opens it.
TEST_F(EditCommandsTest, F3AndShiftF3SearchAgainForTheDialogsText)
{
    TEditor& script = *Window().tedScript;
    SetText(script, "ab x ab x ab");
    script.SetFocus();
    Press(Qt::Key_F3);
    TFindDialog* dialog = Window().findChild<TFindDialog*>("dlgFind");
    ASSERT_TRUE(dialog != nullptr && dialog->isVisible());
    dialog->SetFindText("ab");
    dialog->SetDown(false); // the keys choose their own direction
    dialog->hide();
    script.SetFocus();
    Press(Qt::Key_F3);
    Press(Qt::Key_F3);
    EXPECT_EQ(script.Col(), 7);
    EXPECT_EQ(script.SelText(), "ab");
    Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(script.Col(), 2) << "the first hit";
    EXPECT_EQ(test::CloseMessageBoxDuring([&] { Press(Qt::Key_F3, Qt::ShiftModifier); }).Text,
              QString("見つかりませんでした。"));
}

TEST_F(EditCommandsTest, CtrlYAndCtrlShiftZRedo)
{
    TEditor& script = *Window().tedScript;
    script.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), "x");
    for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Text(script), "");
        Press(redo.key(), redo.keyboardModifiers());
        EXPECT_EQ(Text(script), "x");
    }
}

// ---------------------------------------------------------------------------------------------
// Caret commands

TEST_F(EditCommandsTest, MoveToLineClampsToTheTextAndMoveToEndReachesItsEnd)
{
    TfrmKestrim& window = Window();
    TEditor& script = *window.tedScript;
    SetText(script, "one\r\ntwo\r\nthree");
    script.SetRowCol(1, 2);

    MoveToLine("1");
    EXPECT_EQ(FDialogTitle, QString("指定行へ移動"));
    EXPECT_EQ(FDialogPrompt, QString("移動先の行番号を入力"));
    EXPECT_EQ(script.Row(), 0);
    EXPECT_EQ(script.Col(), 0);
    EXPECT_EQ(CaretPanel(), "1:1");

    MoveToLine("99");
    EXPECT_EQ(script.Row(), 2);
    EXPECT_EQ(CaretPanel(), "3:1");

    MoveToLine("0"); // the default bounds accept 0
    EXPECT_EQ(script.Row(), 0);

    script.SetRowCol(1, 2);
    MoveToLine(QString()); // cancelled
    EXPECT_EQ(script.Row(), 1);
    EXPECT_EQ(script.Col(), 2);

    // Move to end: after the last character, or at the start of the row a final line break opens.
    Actions().actMoveBottom->trigger();
    EXPECT_EQ(CaretPanel(), "3:6");
    SetText(script, "one\r\n");
    Actions().actMoveBottom->trigger();
    EXPECT_EQ(CaretPanel(), "2:1");
}

// What the dialog refuses gets one message that gives the range, whatever was wrong with it.
TEST_F(EditCommandsTest, MoveToLineRefusesWithTheRangeOfLines)
{
    SetText(*Window().tedScript, "one\r\ntwo\r\nthree");
    for (const char* entry : {"99999999999", "-5", "three"}) {
        test::DriveModal<TIntegerDlg>([&] { Actions().actMoveLineNumber->trigger(); }, [&](TIntegerDlg& Form) {
            EXPECT_EQ(Form.bbnCancel->text(), QString("キャンセル(&C)"));
            QTest::keyClicks(Form.InputValue, entry);
            const test::TShownBox box =
                test::CloseMessageBoxDuring([&] { QTest::mouseClick(Form.bbnOK, Qt::LeftButton); });
            EXPECT_EQ(box.Text, QString("1 から 3 までの行番号を入力してください。")) << entry;
            EXPECT_TRUE(Form.isVisible()) << entry;
            QTest::mouseClick(Form.bbnCancel, Qt::LeftButton);
        });
    }
    EXPECT_EQ(Window().tedScript->Row(), 0);
}

// ---------------------------------------------------------------------------------------------
// Font and activation

TEST_F(EditCommandsTest, AFontChosenOnTheDataPageReachesAllThreeEditors)
{
    TfrmKestrim& window = Window();
    // The face names that settings carry are substitutes for installed fonts.
    SubstituteEditorFonts();
    window.SetEditorFont(QFont("ＭＳ ゴシック", 11));
    window.ShowPage(TfrmKestrim::pgData);
    QFont offered, chosen;
    QStringList listed;
    test::DriveModal<QFontDialog>([&] { Actions().actFont->trigger(); }, [&](QFontDialog& Dialog) {
        offered = Dialog.currentFont();
        for (const QListView* list : Dialog.findChildren<QListView*>()) {
            QStringList items;
            for (int row = 0; row < list->model()->rowCount(); ++row)
                items << list->model()->index(row, 0).data().toString();
            if (items.contains(offered.family()))
                listed = items;
        }
        QFont larger = offered;
        larger.setPointSize(offered.pointSize() + 6);
        Dialog.setCurrentFont(larger);
        chosen = Dialog.currentFont();
        Dialog.accept();
    });
    // Only faces whose characters are all one width.
    ASSERT_FALSE(listed.isEmpty());
    for (const QString& family : listed)
        EXPECT_TRUE(QFontDatabase::isFixedPitch(family)) << family.toStdString();
    // The dialog starts on the face the editors show, which it lists, and their size.
    EXPECT_EQ(offered.family(), QFontInfo(window.tedScript->Font()).family());
    EXPECT_EQ(offered.pointSize(), 11);
    for (TEditor* editor : {window.tedScript, window.tedData, window.tedResult}) {
        EXPECT_EQ(editor->Font().family(), chosen.family());
        EXPECT_EQ(editor->Font().pointSize(), chosen.pointSize());
    }

    // Cancelling changes nothing.
    test::DriveModal<QFontDialog>([&] { Actions().actFont->trigger(); }, [](QFontDialog& Dialog) { Dialog.reject(); });
    EXPECT_EQ(window.tedData->Font().pointSize(), chosen.pointSize());
}

TEST_F(EditCommandsTest, ActivationFocusesTheCurrentPagesEditor)
{
    TfrmKestrim& window = Window();
    const auto reactivate = [&window] {
        QWidget other;
        other.show();
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    };
    window.ShowPage(TfrmKestrim::pgData);
    window.tedData->clearFocus();
    reactivate();
    EXPECT_TRUE(window.tedData->isAncestorOf(QApplication::focusWidget()));

    // On the Web page the hidden script editor cannot take it: the focus stays on the page.
    window.ShowPage(TfrmKestrim::pgWeb);
    window.tbsWeb->edtKeyword->setFocus();
    reactivate();
    EXPECT_FALSE(window.tedScript->isAncestorOf(QApplication::focusWidget()));
    EXPECT_TRUE(window.tbsWeb->isAncestorOf(QApplication::focusWidget()));
}

// The wrap rules and column of the View menu reach all three editors and the next start; the
// window's width follows the editor's width.
TEST_F(EditCommandsTest, TheWrapRulesAndColumnAreViewCommandsKeptForTheNextStart)
{
    const auto options = [&] {
        std::vector<std::tuple<bool, bool, bool, int>> all;
        for (TEditor* editor : {Window().tedScript, Window().tedData, Window().tedResult}) {
            const TEditorWrapOption& o = editor->WrapOption();
            all.emplace_back(o.Leading(), o.FollowPunctuation(), o.WordBreak(), o.WrapByte());
        }
        return all;
    };
    using TAll = std::vector<std::tuple<bool, bool, bool, int>>;
    EXPECT_EQ(options(), TAll(3, {false, false, false, 80})) << "the defaults";

    Action("禁則処理(&K)")->trigger();
    Action("単語単位で折り返す(&U)")->trigger();
    test::DriveModal<TIntegerDlg>([&] { Action("80 桁(&N)...")->trigger(); }, [](TIntegerDlg& Form) {
        QTest::keyClicks(Form.InputValue, "30");
        QTest::mouseClick(Form.bbnOK, Qt::LeftButton);
    });
    EXPECT_EQ(options(), TAll(3, {true, true, true, 30}));
    StartWindow();
    EXPECT_EQ(options(), TAll(3, {true, true, true, 30})) << "kept for the next start";
    EXPECT_TRUE(Action("30 桁(&N)...")->isChecked());

    // Hanging punctuation takes two columns past the wrap column: they stay in the window.
    TEditor& script = *Window().tedScript;
    Action("ウィンドウの幅(&W)")->trigger();
    EXPECT_EQ(script.WrapOption().WrapByte(), script.VisibleColCount() - 2);
    Window().resize(Window().width() + 200, Window().height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return script.WrapOption().WrapByte() == script.VisibleColCount() - 2; }));
    EXPECT_GT(script.WrapOption().WrapByte(), 80);
    // A cancelled choice of columns keeps the window's width.
    test::DriveModal<TIntegerDlg>([&] { Action("30 桁(&N)...")->trigger(); },
                                  [](TIntegerDlg& Form) { QTest::mouseClick(Form.bbnCancel, Qt::LeftButton); });
    EXPECT_TRUE(Action("ウィンドウの幅(&W)")->isChecked());
    StartWindow();
    EXPECT_TRUE(Action("ウィンドウの幅(&W)")->isChecked());
}

// Ruler, line numbers and word wrap reach all three editors and the next start; box mode and
// the bookmarks work on the current editor through the window's keys.
TEST_F(EditCommandsTest, TheEditorsFeaturesAreTheWindowsCommands)
{
    Action("ルーラー(&L)")->trigger();
    Action("行番号(&N)")->trigger();
    for (TEditor* editor : {Window().tedScript, Window().tedData, Window().tedResult})
        EXPECT_TRUE(editor->Ruler().Visible() && editor->Leftbar().Visible() && !editor->WordWrap());
    StartWindow();
    EXPECT_TRUE(Window().tedResult->Ruler().Visible()) << "kept for the next start";
    EXPECT_TRUE(Action("行番号(&N)")->isChecked());

    TEditor& script = *Window().tedScript;
    SetText(script, "abc\r\ndef\r\nghi\r\n");
    script.SetFocus();
    Press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(script.SelectionMode(), smBox);
    EXPECT_EQ(Window().StatusPanelText(4), "Box選択");
    Press(Qt::Key_Right, Qt::ShiftModifier);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(script.SelText(), "a\r\nd\r\n");
    Press(Qt::Key_Down);
    Press(Qt::Key_3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(script.RowMarks(2), RowMark(3));
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(script.Row(), 2);

    // A box paste keeps box mode on; the status bar tells it until the mode or the page changes.
    QGuiApplication::clipboard()->setText("b");
    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Window().StatusPanelText(4), "Box選択");
    Window().ShowPage(TfrmKestrim::pgData);
    EXPECT_EQ(Window().StatusPanelText(4), "");
    Window().ShowPage(TfrmKestrim::pgScript);
    EXPECT_EQ(Window().StatusPanelText(4), "Box選択");
    Press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Window().StatusPanelText(4), "");
}
