#include "app/Main.h"
#include "app/UserDialogs.h"
#include "dialogs/FindDialog.h"
#include "dialogs/InputDialog.h"
#include "editor/control/EditorControl.h"
#include "editor/control/EditorFonts.h"
#include "support/ModalWindows.h"
#include "web/WebPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDialog>
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
    test::DriveModal<QFontDialog>([&] { Actions().actFont->trigger(); }, [&](QFontDialog& Dialog) {
        offered = Dialog.currentFont();
        QFont larger = offered;
        larger.setPointSize(offered.pointSize() + 6);
        Dialog.setCurrentFont(larger);
        chosen = Dialog.currentFont();
        Dialog.accept();
    });
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

// Ruler, line numbers and word wrap reach all three editors and the next start; box mode and
// the bookmarks work on the current editor through the window's keys.
TEST_F(EditCommandsTest, TheEditorsFeaturesAreTheWindowsCommands)
{
    const auto find = [&](const QString& Caption) {
        for (QAction* action : Window().findChildren<QAction*>())
            if (action->text() == Caption)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    find(QStringLiteral("ルーラー(&L)"))->trigger();
    find(QStringLiteral("行番号(&N)"))->trigger();
    for (TEditor* editor : {Window().tedScript, Window().tedData, Window().tedResult})
        EXPECT_TRUE(editor->Ruler().Visible() && editor->Leftbar().Visible() && !editor->WordWrap());
    StartWindow();
    EXPECT_TRUE(Window().tedResult->Ruler().Visible()) << "kept for the next start";
    EXPECT_TRUE(find(QStringLiteral("行番号(&N)"))->isChecked());

    TEditor& script = *Window().tedScript;
    SetText(script, "abc\r\ndef\r\nghi\r\n");
    script.SetFocus();
    Press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(script.SelectionMode(), smBox);
    Press(Qt::Key_Right, Qt::ShiftModifier);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(script.SelText(), "a\r\nd\r\n");
    Press(Qt::Key_Down);
    Press(Qt::Key_3, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(script.RowMarks(2), RowMark(3));
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(script.Row(), 2);
}
