#include "dialogs/InputInteger.h"

#include "dialogs/ApplicationTitle.h"
#include "dialogs/InputDialog.h"
#include "support/ModalWindows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace kestrim;

namespace {

bool ExecuteWith(TIntegerDialog& Dialog, const std::function<void(TIntegerDlg&)>& Drive)
{
    bool confirmed = false;
    test::DriveModal<TIntegerDlg>([&] { confirmed = Dialog.Execute(); }, Drive);
    return confirmed;
}

// Types Text over the box's content and presses OK. Returns the text of the error box this
// brings up, or an empty text when none comes up.
QString Confirm(TIntegerDlg& Form, const QString& Text)
{
    Form.InputValue->clear();
    QTest::keyClicks(Form.InputValue, Text);
    return test::CloseMessageBoxDuring([&] { QTest::mouseClick(Form.bbnOK, Qt::LeftButton); }).Text;
}

void Cancel(TIntegerDlg& Form)
{
    QTest::mouseClick(Form.bbnCancel, Qt::LeftButton);
}

} // namespace

TEST(InputIntegerTest, BoundsStayOrderedWhenOnePassesTheOther)
{
    TIntegerDialog dialog;
    EXPECT_EQ(dialog.Min(), 0);
    EXPECT_EQ(dialog.Max(), INT_MAX);
    dialog.SetMax(-5);
    EXPECT_EQ(dialog.Min(), -5);
    EXPECT_EQ(dialog.Max(), -5);
    dialog.SetMin(10);
    EXPECT_EQ(dialog.Max(), 10);
    dialog.SetMin(3);
    EXPECT_EQ(dialog.Max(), 10) << "a bound moved inside the range leaves the other alone";
}

TEST(InputIntegerTest, OutOfRangeValuesAreRefusedWithTheBoundAndTheFormStaysOpen)
{
    TIntegerDialog dialog;
    dialog.SetMin(1);
    dialog.SetMax(100);
    QString below, above, inRange;
    bool openAfterErrors = false;
    const bool confirmed = ExecuteWith(dialog, [&](TIntegerDlg& form) {
        below = Confirm(form, "0");
        above = Confirm(form, "101");
        openAfterErrors = form.isVisible() && form.InputValue->text() == "101";
        inRange = Confirm(form, "100");
    });
    EXPECT_EQ(below, QString("値が小さすぎます\r\n1 以上の数値を入力して下さい"));
    EXPECT_EQ(above, QString("値が大きすぎます\r\n100 以下の数値を入力して下さい"));
    EXPECT_TRUE(openAfterErrors);
    EXPECT_EQ(inRange, QString());
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(dialog.Value(), 100);
}

TEST(InputIntegerTest, OnlyWholeNumbersPassAndOneTooLargeFor32BitsIsNoNumber)
{
    TIntegerDialog dialog;
    dialog.SetMin(-100);
    QString letters, tooLarge;
    EXPECT_TRUE(ExecuteWith(dialog, [&](TIntegerDlg& form) {
        letters = Confirm(form, "abc");
        tooLarge = Confirm(form, "2147483648");
        Confirm(form, " -$10");
    }));
    EXPECT_EQ(letters, QString("整数値を入力してください"));
    EXPECT_EQ(tooLarge, QString("整数値を入力してください"));
    EXPECT_EQ(dialog.Value(), -16);

    dialog.SetErrorMessage("行番号を数字で入力してください");
    EXPECT_TRUE(ExecuteWith(dialog, [&](TIntegerDlg& form) {
        letters = Confirm(form, "12x");
        Confirm(form, "0x1F");
    }));
    EXPECT_EQ(letters, QString("行番号を数字で入力してください"));
    EXPECT_EQ(dialog.Value(), 31);
}

TEST(InputIntegerTest, EmptyInputAndCancelLeaveValueUnchanged)
{
    TIntegerDialog dialog;
    ASSERT_TRUE(ExecuteWith(dialog, [](TIntegerDlg& form) { Confirm(form, "7"); }));
    QString emptyMessage = "not run";
    EXPECT_FALSE(ExecuteWith(dialog, [&](TIntegerDlg& form) { emptyMessage = Confirm(form, ""); }));
    EXPECT_EQ(emptyMessage, QString()) << "an empty box closes silently";
    EXPECT_FALSE(ExecuteWith(dialog, [](TIntegerDlg& form) {
        QTest::keyClicks(form.InputValue, "8");
        Cancel(form);
    }));
    EXPECT_EQ(dialog.Value(), 7);
    // Enter presses OK.
    EXPECT_TRUE(ExecuteWith(dialog, [](TIntegerDlg& form) {
        QTest::keyClicks(form.InputValue, "12");
        QTest::keyClick(form.InputValue, Qt::Key_Return);
    }));
    EXPECT_EQ(dialog.Value(), 12);
}

TEST(InputIntegerTest, EmptyPropertiesFallBackAndThePasswordCharacterMasksTheInput)
{
    SetApplicationTitle("Kestrim test");
    TIntegerDialog dialog;
    dialog.SetPasswordChar('*');
    QString title, prompt, shownText;
    ExecuteWith(dialog, [&](TIntegerDlg& form) {
        title = form.windowTitle();
        prompt = form.Information->text();
        QTest::keyClicks(form.InputValue, "123");
        shownText = form.InputValue->displayText();
        Cancel(form);
    });
    EXPECT_EQ(title, QString("Kestrim test"));
    EXPECT_EQ(prompt, QString("整数値を入力してください"));
    EXPECT_EQ(shownText, QString("***"));
}
