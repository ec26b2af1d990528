#include "dialogs/FindDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrim;

TEST(FindDialogTest, StartsDownwardsAndFindsOnlyWithAText)
{
    TFindDialog dialog;
    QSignalSpy finds(&dialog, &TFindDialog::OnFind);
    dialog.Execute();
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(dialog.Down());
    EXPECT_FALSE(dialog.MatchCase());
    EXPECT_FALSE(dialog.WholeWord());
    EXPECT_FALSE(dialog.bbnFindNext->isEnabled());
    QTest::keyClick(dialog.edtFindText, Qt::Key_Return);
    EXPECT_EQ(finds.count(), 0);

    QTest::keyClicks(dialog.edtFindText, "abc");
    QTest::mouseClick(dialog.bbnFindNext, Qt::LeftButton);
    QTest::keyClick(dialog.edtFindText, Qt::Key_Return);
    EXPECT_EQ(finds.count(), 2);
    EXPECT_TRUE(dialog.isVisible()) << "the window stays open for the next search";
    EXPECT_EQ(dialog.FindText(), QString("abc"));
}

TEST(FindDialogTest, OptionsFollowTheControlsAndEscapeOnlyHides)
{
    TFindDialog dialog;
    dialog.Execute();
    QTest::mouseClick(dialog.rbnUp, Qt::LeftButton);
    QTest::mouseClick(dialog.chkMatchCase, Qt::LeftButton);
    QTest::mouseClick(dialog.chkWholeWord, Qt::LeftButton);
    EXPECT_FALSE(dialog.Down());
    EXPECT_TRUE(dialog.MatchCase());
    EXPECT_TRUE(dialog.WholeWord());

    dialog.SetFindText("abc");
    QTest::keyClick(dialog.edtFindText, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    // Shown again, it keeps the text and the options, the text selected for typing over.
    dialog.Execute();
    EXPECT_EQ(dialog.edtFindText->selectedText(), QString("abc"));
    EXPECT_FALSE(dialog.Down());
    EXPECT_TRUE(dialog.MatchCase());
}
