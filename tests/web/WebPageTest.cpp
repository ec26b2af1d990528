#include "web/WebPage.h"

#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

using namespace kestrim;

namespace {

constexpr int LoadTimeoutMs = 20000;
// Long enough for a load that should not happen to have started.
constexpr int QuietMs = 300;

class WebPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFolder.isValid());
        WriteFileBytes(Path("one.html"), "<html><body style='margin:0'><a href='two.html' "
                                          "style='display:block;height:100px'>two</a></body></html>");
        WriteFileBytes(Path("two.html"), "<html><body>two</body></html>");
        FPage.resize(640, 400);
        // Shown, the page makes its browser, which opens a blank page.
        QSignalSpy status(&FPage, &TWebPage::StatusTextChanged);
        FPage.show();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !status.isEmpty() && status.last().value(0).toString() == "ページが表示されました"; },
            LoadTimeoutMs));
        ASSERT_EQ(Shown(), "about:blank");
    }

    QWebEngineView& View() { return *FPage.Browser()->findChild<QWebEngineView*>(); }

    std::string Path(const QString& Name) const { return FFolder.filePath(Name).toStdString(); }
    QString Url(const QString& Name) const { return QUrl::fromLocalFile(FFolder.filePath(Name)).toString(); }

    // Loads a URL file of the given lines (UTF-8 here, Shift-JIS in the file).
    void LoadUrlFile(const QString& Lines)
    {
        WriteFileBytes(Path("url.txt"), Utf8ToSjis(Lines.toStdString()));
        FPage.LoadUrlFile(Path("url.txt"));
    }

    // Whether Action makes the browser load a page (and waits until it has).
    bool Loads(const std::function<void()>& Action, int TimeoutMs = LoadTimeoutMs)
    {
        QSignalSpy finished(&View(), &QWebEngineView::loadFinished);
        Action();
        return finished.wait(TimeoutMs);
    }

    QString Shown() { return View().url().toString(QUrl::FullyEncoded); }

    QTemporaryDir FFolder;
    QAction FBack;
    QAction FForward;
    TWebPage FPage{FBack, FForward};
};

void TypeJapanese(QWidget* Widget, const QString& Text)
{
    QInputMethodEvent event;
    event.setCommitString(Text);
    QApplication::sendEvent(Widget, &event);
}

} // namespace

TEST_F(WebPageTest, EnterInTheKeywordBoxOpensTheTemplateWithTheEncodedKeyword)
{
    LoadUrlFile("# pages\r\n検索," + Url("one.html") + "?q={key}&again={key}\r\n");
    ASSERT_EQ(FPage.cmbWebItem->count(), 1);
    EXPECT_EQ(FPage.cmbWebItem->itemText(0), "検索");
    ASSERT_TRUE(FPage.edtKeyword->isEnabled());
    QSignalSpy status(&FPage, &TWebPage::StatusTextChanged);

    QTest::keyClicks(FPage.edtKeyword, "a b");
    TypeJapanese(FPage.edtKeyword, "あ");
    ASSERT_TRUE(Loads([&] { QTest::keyClick(FPage.edtKeyword, Qt::Key_Return); }));

    EXPECT_EQ(Shown(), Url("one.html") + "?q=a+b%82%A0&again=a+b%82%A0");
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last().value(0).toString(), "ページが表示されました");
}

TEST_F(WebPageTest, StatusTextShowsTheHoveredLinkThenTheLoadStatusAgain)
{
    LoadUrlFile("one," + Url("one.html") + "\n");
    ASSERT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    QWidget* view = View().focusProxy();
    ASSERT_NE(view, nullptr);
    QSignalSpy status(&FPage, &TWebPage::StatusTextChanged);

    QTest::mouseMove(view, QPoint(20, 50));
    ASSERT_TRUE(status.wait(LoadTimeoutMs));
    EXPECT_EQ(status.last().value(0).toString(), Url("two.html"));
    QTest::mouseMove(view, QPoint(20, 300));
    ASSERT_TRUE(status.wait(LoadTimeoutMs));
    EXPECT_EQ(status.last().value(0).toString(), "ページが表示されました");

    // Behind another page, loading leaves the status bar to the hints.
    FPage.hide();
    status.clear();
    ASSERT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    EXPECT_TRUE(status.isEmpty()) << status.last().value(0).toString().toStdString();
}

TEST_F(WebPageTest, EntryWithoutMarkerGreysTheKeywordAndEnterInTheListOpensItUnchanged)
{
    LoadUrlFile("keyed," + Url("one.html") + "?q={key}\n" + "plain," + Url("two.html") + "\n");
    FPage.edtKeyword->setText("kept");

    QTest::keyClick(FPage.cmbWebItem, Qt::Key_Down);
    ASSERT_EQ(FPage.cmbWebItem->currentIndex(), 1);
    EXPECT_FALSE(FPage.edtKeyword->isEnabled());
    EXPECT_EQ(FPage.edtKeyword->text(), "kept");
    ASSERT_TRUE(Loads([&] { QTest::keyClick(FPage.cmbWebItem, Qt::Key_Return); }));
    EXPECT_EQ(Shown(), Url("two.html"));

    QTest::keyClick(FPage.cmbWebItem, Qt::Key_Up);
    EXPECT_TRUE(FPage.edtKeyword->isEnabled());
    // An empty keyword removes the marker.
    FPage.edtKeyword->clear();
    ASSERT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    EXPECT_EQ(Shown(), Url("one.html") + "?q=");
}

TEST_F(WebPageTest, BackAndForwardWalkTheHistoryAndDoNothingAtItsEnds)
{
    LoadUrlFile("one," + Url("one.html") + "\ntwo," + Url("two.html") + "\n");
    ASSERT_TRUE(Loads([&] { FPage.Navigate("about:blank"); }));
    EXPECT_FALSE(Loads([&] { FBack.trigger(); }, QuietMs));
    EXPECT_EQ(Shown(), "about:blank");

    ASSERT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    FPage.cmbWebItem->setCurrentIndex(1);
    ASSERT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    ASSERT_TRUE(Loads([&] { FBack.trigger(); }));
    EXPECT_EQ(Shown(), Url("one.html"));
    ASSERT_TRUE(Loads([&] { FForward.trigger(); }));
    EXPECT_EQ(Shown(), Url("two.html"));
    EXPECT_FALSE(Loads([&] { FForward.trigger(); }, QuietMs));
    EXPECT_EQ(Shown(), Url("two.html"));
}

TEST_F(WebPageTest, EntryWithoutAddressIsReportedInsteadOfOpened)
{
    LoadUrlFile("nothing,\n");
    QSignalSpy errors(&FPage, &TWebPage::ErrorRaised);
    EXPECT_FALSE(Loads([&] { FPage.bbnGo->click(); }, QuietMs));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_FALSE(errors.first().value(0).toString().isEmpty());
}

// The process that draws the pages breaks down: the user is told, and Go! opens the page anew.
TEST_F(WebPageTest, ADisplayProcessThatEndsIsReportedAndGoStartsItAgain)
{
    LoadUrlFile("one," + Url("one.html") + "\n");
    ASSERT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    QSignalSpy errors(&FPage, &TWebPage::ErrorRaised);
    const qint64 drawing = View().page()->renderProcessPid();
    ASSERT_GT(drawing, 0);
    ::kill(static_cast<pid_t>(drawing), SIGKILL);
    ASSERT_TRUE(errors.wait(LoadTimeoutMs));
    EXPECT_TRUE(errors[0][0].toString().contains("ほかの機能はそのまま使えます")) << errors[0][0].toString().toStdString();
    EXPECT_TRUE(Loads([&] { FPage.bbnGo->click(); }));
    EXPECT_EQ(Shown(), Url("one.html"));
}

// The engine costs start-up time and memory: a page not yet shown has its list and keyword box,
// and makes its browser only when a page is to be opened.
TEST(WebPageNotShownTest, MakesItsBrowserOnlyWhenAPageIsOpened)
{
    QTemporaryDir folder;
    const std::string urlFile = folder.filePath("url.txt").toStdString();
    WriteFileBytes(urlFile, "keyed,https://x/?q={key}\r\n");
    QAction back, forward;
    TWebPage page(back, forward);
    page.LoadUrlFile(urlFile);
    EXPECT_EQ(page.cmbWebItem->count(), 1);
    EXPECT_TRUE(page.edtKeyword->isEnabled());
    back.trigger();
    forward.trigger();
    EXPECT_EQ(page.findChild<QWebEngineView*>(), nullptr);

    const QUrl blank("about:blank");
    page.Load(blank);
    ASSERT_NE(page.findChild<QWebEngineView*>(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.findChild<QWebEngineView*>()->url() == blank; }, LoadTimeoutMs));
}

// Without its helper program the toolkit would end the process when the browser is made: the
// page goes without one and says why, in its place and when Go! is pressed.
TEST(WebPageWithoutBrowserTest, SaysWhyInsteadOfEndingTheProgram)
{
    qputenv("QTWEBENGINEPROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    QAction back(nullptr), forward(nullptr);
    TWebPage page(back, forward);
    qunsetenv("QTWEBENGINEPROCESS_PATH");
    EXPECT_EQ(page.Browser(), nullptr);
    EXPECT_TRUE(page.BrowserMissing().contains("QtWebEngineProcess"));
    const auto* note = page.findChild<QLabel*>("webPageMissing");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), page.BrowserMissing());
    QSignalSpy errors(&page, &TWebPage::ErrorRaised);
    page.Navigate("https://x/");
    back.trigger();
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString(), page.BrowserMissing());
}
