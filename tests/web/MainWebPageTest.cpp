// The Web page inside the main window: the URL file at start-up and the browser's status text.
#include "app/Main.h"

#include "app/ProgramDir.h"
#include "app/UserDialogs.h"
#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/control/EditorControl.h"
#include "web/WebPage.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kestrim;

namespace {

constexpr int LoadTimeoutMs = 20000;

struct TMessageLog {
    std::vector<QString> Messages; // plain message boxes
    std::vector<QString> Errors;   // error displays of every kind
};

// Tells the log instead of the user; no question is ever asked in these tests.
class TLoggedDialogs : public TUserDialogs {
public:
    explicit TLoggedDialogs(TMessageLog& Log) : FLog(Log) {}
    std::optional<QString> ChooseFile(const TFileDialogOptions&) override { return std::nullopt; }
    TSaveAnswer AskYesNoCancel(const QString&) override { return TSaveAnswer::Cancel; }
    void ShowError(const QString& Text) override { FLog.Errors.push_back(Text); }
    void ShowMessage(const QString& Text) override { FLog.Messages.push_back(Text); }
    void ShowInformation(const QString& Text) override { FLog.Messages.push_back(Text); }
    void ErrorMessage(const QString& Text) override { FLog.Errors.push_back(Text); }
    void ShowAbout(TAboutDialog&) override {}

private:
    TMessageLog& FLog;
};

class MainWebPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFolder.isValid());
        QDir(FFolder.path()).mkpath("conf");
        OverrideProgramDir(FFolder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Path("settings"));
        WriteFileBytes(Path("page.html").toStdString(), "<html><body>page</body></html>");
    }
    void TearDown() override
    {
        FWindow.reset();
        OverrideProgramDir(QString());
    }

    QString Path(const QString& Name) const { return QDir(FFolder.path()).filePath(Name); }
    QString PageUrl() const { return QUrl::fromLocalFile(Path("page.html")).toString(); }

    void StoreUrlFileSetting(const QString& Name)
    {
        QSettings(Path("settings/Vek/Kestrim.ini"), QSettings::IniFormat).setValue("Conf/UrlFile", Name);
    }

    TfrmKestrim& Window()
    {
        FWindow = std::make_unique<TfrmKestrim>(std::make_unique<TLoggedDialogs>(FLog));
        return *FWindow;
    }

    QTemporaryDir FFolder;
    TMessageLog FLog;
    std::unique_ptr<TfrmKestrim> FWindow;
};

} // namespace

// The browser is made when the page is first shown, not at start.
TEST_F(MainWebPageTest, StartUpFillsTheListFromConfShowsABlankPageAndStatusReachesPanelTwo)
{
    WriteFileBytes(Path("conf/url.txt").toStdString(),
                   Utf8ToSjis("# pages\r\n検索," + PageUrl().toStdString() + "?q={key}\r\n目次,https://x/\r\n"));
    TfrmKestrim& window = Window();
    TWebPage& web = *window.tbsWeb;
    EXPECT_TRUE(FLog.Messages.empty());
    ASSERT_EQ(web.cmbWebItem->count(), 2);
    EXPECT_EQ(web.cmbWebItem->currentText(), "検索");
    EXPECT_TRUE(web.edtKeyword->isEnabled());
    window.show();
    EXPECT_EQ(web.findChild<QWebEngineView*>(), nullptr);

    window.ShowPage(TfrmKestrim::pgWeb);
    ASSERT_NE(web.findChild<QWebEngineView*>(), nullptr);
    QWebEngineView& browser = *web.findChild<QWebEngineView*>();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return browser.url() == QUrl("about:blank") && window.StatusPanelText(1) == "ページが表示されました"; },
        LoadTimeoutMs));
    web.edtKeyword->setText("perl");
    QSignalSpy finished(&browser, &QWebEngineView::loadFinished);
    web.bbnGo->click();
    ASSERT_TRUE(finished.wait(LoadTimeoutMs));
    EXPECT_EQ(window.StatusPanelText(1), "ページが表示されました");
    EXPECT_EQ(browser.url().toString(), PageUrl() + "?q=perl");
}

TEST_F(MainWebPageTest, UnreadableUrlFileIsReportedOnceAndStartUpGoesOn)
{
    StoreUrlFileSetting(Path("mine/urls.txt"));
    TfrmKestrim& window = Window();
    ASSERT_EQ(FLog.Messages.size(), 1u);
    EXPECT_TRUE(FLog.Messages[0].contains(Path("mine/urls.txt"))) << FLog.Messages[0].toStdString();
    EXPECT_EQ(window.tbsWeb->cmbWebItem->count(), 0);
    EXPECT_EQ(window.edtLanguageName->text(), "Perl");
    window.tbsWeb->bbnGo->click();
    EXPECT_TRUE(FLog.Errors.empty());
    EXPECT_EQ(window.tbsWeb->findChild<QWebEngineView*>(), nullptr); // nothing was opened

    // A name with a folder is taken as it stands.
    QDir(FFolder.path()).mkpath("mine");
    WriteFileBytes(Path("mine/urls.txt").toStdString(), "mine,https://x/\r\n");
    EXPECT_EQ(Window().tbsWeb->cmbWebItem->count(), 1);
    EXPECT_EQ(FLog.Messages.size(), 1u);
}

// A box of the page the browser shows takes the edit shortcuts as the keyword box does.
TEST_F(MainWebPageTest, TheBrowsersTextBoxesTakeTheEditShortcuts)
{
    WriteFileBytes(Path("form.html").toStdString(), "<html><body><input id=k autofocus></body></html>");
    TfrmKestrim& window = Window();
    window.tedScript->Lines().SetText("script");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.ShowPage(TfrmKestrim::pgWeb);
    QWebEngineView& browser = *window.tbsWeb->findChild<QWebEngineView*>();
    const QUrl form = QUrl::fromLocalFile(Path("form.html"));
    bool loaded = false;
    QObject::connect(&browser, &QWebEngineView::loadFinished, [&](bool Ok) { loaded = Ok && browser.url() == form; });
    browser.load(form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded && browser.focusProxy() != nullptr; }, LoadTimeoutMs));
    browser.setFocus();
    QGuiApplication::clipboard()->setText("keyword");
    QTest::keyClick(browser.focusProxy(), Qt::Key_V, Qt::ControlModifier);
    // The page answers later, at the latest when it is destroyed: the answer lives as long.
    auto value = std::make_shared<QString>();
    auto asking = std::make_shared<bool>(false);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (!*asking) {
                *asking = true;
                browser.page()->runJavaScript("document.getElementById('k').value",
                                              [value, asking](const QVariant& Result) {
                                                  *value = Result.toString();
                                                  *asking = false;
                                              });
            }
            return *value == "keyword";
        },
        LoadTimeoutMs))
        << value->toStdString();
    EXPECT_EQ(window.tedScript->Lines().Text(), "script");
}
