#include "dialogs/FindDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrim;

TEST(FindDialogTest, FindsOnlyWithATextStaysOpenAndKeepsItsOptions)
{
    TFindDialog dialog;
    QSignalSpy finds(&dialog, &TFindDialog::OnFind);
    dialog.Execute();
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(dialog.Down());
    QTest::keyClick(dialog.edtFindText, Qt::Key_Return);
    EXPECT_EQ(finds.count(), 0) << "nothing to find";

    QTest::keyClicks(dialog.edtFindText, "abc");
    QTest::mouseClick(dialog.bbnFindNext, Qt::LeftButton);
    QTest::keyClick(dialog.edtFindText, Qt::Key_Return);
    EXPECT_EQ(finds.count(), 2);
    EXPECT_TRUE(dialog.isVisible());

    QTest::mouseClick(dialog.rbnUp, Qt::LeftButton);
    QTest::mouseClick(dialog.chkMatchCase, Qt::LeftButton);
    QTest::keyClick(dialog.edtFindText, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    // Shown again: the text selected for typing over, the options as they were.
    dialog.Execute();
    EXPECT_EQ(dialog.edtFindText->selectedText(), QString("abc"));
    EXPECT_FALSE(dialog.Down());
    EXPECT_TRUE(dialog.MatchCase());
    EXPECT_FALSE(dialog.WholeWord());
}
