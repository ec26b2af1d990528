#include "app/MainWindowFixture.h"

#include "app/RecentFilesMenu.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

class OpenFilesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        for (const char* name : {"a.pl", "b.pl", "d.txt", "e.txt", "w.kestrim"})
            Write(Path(name), name);
        QDir(FFolder.path()).mkdir("folder");
    }

    static std::string FirstLine(TEditor* Editor) { return Editor->Lines().Count() ? Editor->Lines().Get(0) : ""; }

    QStringList Paths(const QStringList& Names) const
    {
        QStringList paths;
        for (const QString& name : Names)
            paths << Path(name);
        return paths;
    }

    // Drops Mime on Target at Pos as a file manager would, the files opening once it has ended.
    static bool Drop(QWidget* Target, QPointF Pos, QMimeData& Mime)
    {
        QDragEnterEvent enter(Pos.toPoint(), Qt::CopyAction, &Mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &enter);
        QDropEvent drop(Pos, Qt::CopyAction, &Mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &drop);
        QCoreApplication::processEvents();
        return enter.isAccepted() && drop.isAccepted();
    }

    static void FileUrls(QMimeData& Mime, const QStringList& Files)
    {
        QList<QUrl> urls;
        for (const QString& file : Files)
            urls << QUrl::fromLocalFile(file);
        Mime.setUrls(urls);
    }
};

// The script page and the data page take a dropped file as theirs, a workbench excepted; the
// rest of the window opens it by its kind. One script and one data file open, the rest is named.
TEST_F(OpenFilesTest, FilesOpenByKindOrOnThePageTheyAreDroppedOn)
{
    using P = TfrmKestrim::TPage;
    const struct {
        QStringList Files;
        std::optional<P> Page;
        const char* Script;
        const char* Data;
        QStringList NotOpened;
    } cases[] = {
        {{"a.pl"}, {}, "a.pl", "", {}},
        {{"d.txt"}, {}, "", "d.txt", {}},
        {{"a.pl"}, P::pgData, "", "a.pl", {}},
        {{"d.txt"}, P::pgScript, "d.txt", "", {}},
        {{"a.pl", "d.txt"}, P::pgResult, "a.pl", "d.txt", {}},
        {{"d.txt", "a.pl", "e.txt", "b.pl"}, P::pgWeb, "a.pl", "d.txt", {"e.txt", "b.pl"}},
        {{"a.pl", "d.txt"}, P::pgScript, "a.pl", "", {"d.txt"}},
        {{"w.kestrim"}, P::pgScript, "", "", {}},
    };
    for (const auto& c : cases) {
        CloseWindow();
        Log = {};
        TfrmKestrim& window = Window();
        window.OpenFiles(Paths(c.Files), c.Page);
        const std::string trace = c.Files.join(' ').toStdString();
        EXPECT_EQ(FirstLine(window.tedScript), c.Script) << trace;
        EXPECT_EQ(FirstLine(window.tedData), c.Data) << trace;
        EXPECT_EQ(window.FileName(), *c.Script ? Path(c.Script) : QString()) << trace;
        const QString report = Log.Errors.empty() ? QString() : Log.Errors.back();
        for (const QString& name : c.NotOpened)
            EXPECT_TRUE(report.contains(Path(name))) << trace;
        if (*c.Data && !*c.Script) {
            EXPECT_EQ(Page(), 1) << trace;
        }
    }
}

// A missing file at the start is said, and everything else still opens.
TEST_F(OpenFilesTest, WhatCannotBeOpenedIsNamedInOneMessageAndNothingOnThePagesIsLost)
{
    TfrmKestrim& window = Window();
    SetScript("mine");
    window.OpenFiles(Paths({"gone.pl", "folder", "d.txt"}));
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].contains(Path("gone.pl") + ": ファイルが見つかりません")) << Log.Errors[0].toStdString();
    EXPECT_TRUE(Log.Errors[0].contains(Path("folder") + ": ファイルではなくフォルダーです")) << Log.Errors[0].toStdString();
    EXPECT_TRUE(Log.Questions.empty());
    EXPECT_EQ(FirstLine(window.tedScript), "mine");
    EXPECT_EQ(FirstLine(window.tedData), "d.txt");

    // The script's save question comes before any page changes; Cancel opens nothing.
    window.tedScript->SetModified(true);
    Log.Answers = {TSaveAnswer::Cancel};
    window.OpenFiles(Paths({"a.pl", "e.txt"}));
    EXPECT_EQ(Log.Questions.size(), 1u);
    EXPECT_EQ(FirstLine(window.tedScript), "mine");
    EXPECT_EQ(FirstLine(window.tedData), "d.txt");
}

TEST_F(OpenFilesTest, DroppedLocalFilesOpenOnThePageUnderTheDropAndTextOpensNothing)
{
    TfrmKestrim& window = ShownWindow();
    window.ShowPage(TfrmKestrim::pgData);
    QMimeData files;
    FileUrls(files, {Path("a.pl")});
    EXPECT_TRUE(Drop(window.tedData->viewport(), {5, 5}, files));
    EXPECT_EQ(FirstLine(window.tedData), "a.pl");

    // On the message list, outside the pages: by its kind.
    FileUrls(files, {Path("b.pl")});
    const QPoint messages = window.lsbMessage->mapTo(&window, window.lsbMessage->rect().center());
    EXPECT_TRUE(Drop(&window, messages, files));
    EXPECT_EQ(FirstLine(window.tedScript), "b.pl");

    // Side by side, the data editor under the mouse takes it.
    window.SetWorkbench(true);
    QCoreApplication::processEvents();
    FileUrls(files, {Path("d.txt")});
    EXPECT_TRUE(Drop(&window, window.tedData->mapTo(&window, window.tedData->rect().center()), files));
    EXPECT_EQ(FirstLine(window.tedData), "d.txt");

    QMimeData text;
    text.setText(Path("e.txt"));
    EXPECT_FALSE(Drop(window.tedScript->viewport(), {5, 5}, text));
    EXPECT_EQ(FirstLine(window.tedScript), "b.pl");
    EXPECT_TRUE(Log.Errors.empty());
}

// Every file opened or saved enters the list; it opens again as what it was.
TEST_F(OpenFilesTest, RecentFilesOutliveTheWindowAndOpenAsWhatTheyWere)
{
    EXPECT_FALSE(Window().mniRecent->menuAction()->isEnabled());
    Window().OpenFiles(Paths({"a.pl"}), TfrmKestrim::pgData);
    Window().OpenFiles(Paths({"b.pl"}));
    Log.Files = {Path("saved.txt")};
    Window().Actions().actDataSave->trigger();
    Window().OpenFiles(Paths({"b.pl"}));
    Window().RememberRecentFile(TRecentKind::Workbench, Path("gone.kestrim"));
    CloseWindow();

    TfrmKestrim& window = Window();
    const QList<QAction*> entries = window.mniRecent->actions();
    QStringList texts;
    for (const QAction* entry : entries)
        texts << entry->text();
    EXPECT_EQ(texts, QStringList({"&1 gone.kestrim (ワークベンチ)", "&2 b.pl (スクリプト)", "&3 saved.txt (データ)",
                                  "&4 a.pl (データ)", "", "一覧を消去(&C)"}));
    EXPECT_EQ(entries[3]->statusTip(), Path("a.pl"));

    entries[3]->trigger(); // a data file that looks like a script
    QCoreApplication::processEvents();
    EXPECT_EQ(FirstLine(window.tedData), "a.pl");
    EXPECT_TRUE(window.FileName().isEmpty());

    window.mniRecent->actions()[1]->trigger(); // the missing workbench, now second
    QCoreApplication::processEvents();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].contains(Path("gone.kestrim")));
    EXPECT_EQ(window.mniRecent->actions().size(), 3 + 2);

    window.mniRecent->actions().back()->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.mniRecent->menuAction()->isEnabled());
}

} // namespace
