// What the window keeps of the user's work: the data page's edits at exit, the run file out of
// other users' and windows' reach, the clipboard after Run with clipboard, and the notice of
// characters that became "?" on the way.

#include "MainWindowFixture.h"

#include "editor/control/SjisQString.h"

#include <QStandardPaths>

namespace {

class UserDataTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        FOldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("home")));
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        qputenv("XDG_DATA_HOME", FOldDataHome);
    }

    // The file the script ran from, as perl names it.
    static QString RunFile(TfrmKestrim& Window)
    {
        Window.tedScript->Lines().SetText("print __FILE__;");
        Window.Actions().actRun->trigger();
        return SjisToQString(Window.tedResult->Lines().Text());
    }

    static unsigned Permissions(const QString& Name)
    {
        struct stat info {};
        return ::stat(QFile::encodeName(Name).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
    }

private:
    QByteArray FOldDataHome;
};

const QString DataQuestion = QStringLiteral("\r\nの内容は変更されています。\r\n保存しますか？");

} // namespace

TEST_F(UserDataTest, AModifiedDataPageIsAskedAboutAtExitByItsFileName)
{
    TfrmKestrim& window = ShownWindow();
    window.tedData->Lines().SetText("edited");
    Log.Answers = {TSaveAnswer::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_EQ(Log.Questions, std::vector<QString>{"データ: 無題" + DataQuestion});

    // Yes without a file name asks for one and saves there; the name is then the question's.
    Log.Answers = {TSaveAnswer::Yes};
    Log.Files = {Path("data.txt")};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Bytes(Path("data.txt")), "edited");

    ShownWindow();
    window.tedData->Lines().SetText("again");
    Log.Answers = {TSaveAnswer::Yes};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Log.Questions.back(), "データ: " + Path("data.txt") + DataQuestion);
    EXPECT_EQ(Bytes(Path("data.txt")), "again");
    EXPECT_EQ(Log.FileRequests.size(), 1u) << "a named data page is saved without a dialog";

    // Saved data asks nothing.
    ShownWindow();
    Log.Questions.clear();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(Log.Questions.empty());
}

TEST_F(UserDataTest, EachWindowRunsFromAnOwnerOnlyFolderOfTheUserAndAnAbsoluteScriptPathIsKept)
{
    TfrmKestrim& first = Window();
    TfrmKestrim second(std::make_unique<TFakeDialogs>(Log));
    const QString firstFile = RunFile(first);
    const QString secondFile = RunFile(second);
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_NE(firstFile, secondFile);
    for (const QString& file : {firstFile, secondFile}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_TRUE(file.startsWith(userDir + "/"));
        EXPECT_TRUE(file.endsWith("/script.pl")) << "the name stays the configuration's";
        EXPECT_EQ(Permissions(QFileInfo(file).path()), 0700u);
    }
    EXPECT_EQ(Permissions(userDir), 0700u);
    EXPECT_FALSE(QFile::exists(Path("script.pl"))) << "nothing in the program's folder";

    Write(Path("conf/Mine.ini"), "[Command]\r\nCommand=perl\r\nScript=" + Path("mine.pl").toStdString() + "\r\n");
    first.LoadConfig(Path("conf/Mine.ini"));
    EXPECT_EQ(RunFile(first), Path("mine.pl"));
}

TEST_F(UserDataTest, RunWithClipboardLeavesTheResultOnTheClipboardEvenWhenEmpty)
{
    TfrmKestrim& window = ShownWindow();
    QClipboard& clipboard = *QGuiApplication::clipboard();
    for (const char* script : {"print uc while <STDIN>;", "# prints nothing"}) {
        SCOPED_TRACE(script);
        clipboard.setText("input");
        SetScript(script);
        window.Actions().actRunClipboard->trigger();
        EXPECT_EQ(clipboard.text(), QString::fromStdString(window.tedResult->Lines().Text()));
    }
    EXPECT_EQ(clipboard.text(), "");
}

TEST_F(UserDataTest, CharactersThatBecameQuestionMarksInRunWithClipboardAreToldBesideTheOutcome)
{
    TfrmKestrim& window = ShownWindow();
    SetScript("print <STDIN>;");
    QGuiApplication::clipboard()->setText(QStringLiteral("© é"));
    window.Actions().actRunClipboard->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), "? ?");
    const QString status = window.StatusPanelText(1);
    EXPECT_TRUE(status.startsWith("終了コード 0")) << status.toStdString();
    EXPECT_TRUE(status.contains("\"?\" に置き換えました")) << status.toStdString();

    // A clean run says only how it ended.
    QGuiApplication::clipboard()->setText("plain");
    window.Actions().actRunClipboard->trigger();
    EXPECT_FALSE(window.StatusPanelText(1).contains("\"?\"")) << window.StatusPanelText(1).toStdString();
}
