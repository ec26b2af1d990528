#include "app/ToolkitTranslation.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace kestrim;

// The save question's buttons speak the program's language: the translation is installed
// with the program (scripts/deps.sh) and found.
TEST(ToolkitTranslationTest, MessageBoxButtonsReadJapanese)
{
    ASSERT_TRUE(InstallToolkitTranslation(*qApp));
    QMessageBox box(QMessageBox::Question, "t", "t", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "はい(&Y)");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "いいえ(&N)");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "キャンセル");
}
