#include "dialogs/About.h"

#include "dialogs/AboutDialog.h"
#include "dialogs/ApplicationTitle.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace kestrim;

namespace {

struct TShownLines {
    QString WindowTitle;
    QString Title;
    QString Version;
    QString Copyright;
};

// Runs Execute and, once the box is up, reads its lines and lets Close end it.
bool ExecuteAndClose(TAboutDialog& Dialog, TShownLines& Shown, const std::function<void(TAboutBox&)>& Close)
{
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no modal About box";
            QApplication::activeModalWidget()->close();
            return;
        }
        Shown = {box->windowTitle(), box->Title->text(), box->Version->text(), box->Copyright->text()};
        Close(*box);
    });
    return Dialog.Execute();
}

void ClickOk(TAboutBox& Box)
{
    QTest::mouseClick(Box.Button1, Qt::LeftButton);
}

} // namespace

TEST(AboutTest, ShowsTheMainWindowsLinesAndOkReturnsTrue)
{
    TAboutDialog dialog;
    dialog.SetTitle("Kestrim");
    dialog.SetVersion("0.9.0");
    dialog.SetYear("2003-2024");
    dialog.SetCopyright("Vek");
    TShownLines shown;
    EXPECT_TRUE(ExecuteAndClose(dialog, shown, ClickOk));
    EXPECT_EQ(shown.WindowTitle, QString("バージョン情報"));
    EXPECT_EQ(shown.Title, QString("Kestrim"));
    EXPECT_EQ(shown.Version, QString("Version 0.9.0"));
    EXPECT_EQ(shown.Copyright, QString("Copyright(C) 2003-2024 Vek"));
}

TEST(AboutTest, EmptyPropertiesFallBackAndOnlyOkReturnsTrue)
{
    SetApplicationTitle("Kestrim test");
    TAboutDialog dialog;
    dialog.SetCaption("About Kestrim");
    TShownLines shown;
    EXPECT_FALSE(ExecuteAndClose(dialog, shown, [](TAboutBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }));
    EXPECT_EQ(shown.WindowTitle, QString("About Kestrim"));
    EXPECT_EQ(shown.Title, QString("Kestrim test"));
    EXPECT_EQ(shown.Version, QString("Version "));
    EXPECT_EQ(shown.Copyright, QString("Copyright(C)  "));
    EXPECT_FALSE(ExecuteAndClose(dialog, shown, [](TAboutBox& box) { box.close(); }));
    // Enter presses the default button.
    EXPECT_TRUE(ExecuteAndClose(dialog, shown, [](TAboutBox& box) { QTest::keyClick(&box, Qt::Key_Return); }));
}
