// The workbench file commands in the window: a workbench saved and opened again brings back
// every text byte for byte, its samples and its language; a file that cannot be read changes
// nothing; leaving a changed workbench asks once, for the workbench.

#include "MainWindowFixture.h"

#include "app/Samples.h"
#include "editor/text/WorkbenchFile.h"

namespace {

class WorkbenchCommandsTest : public MainWindowTest {
protected:
    // Two samples: Shift-JIS with CR LF and a NUL, and UTF-8 with a byte-order mark, LF and an
    // expected result; the second current.
    static std::vector<TSample> TwoSamples()
    {
        return {{"最初", {Sjis("名前,値\r\nA\0B,1\r\n"), TTextEncoding::ShiftJis}, {}},
                {"二番目", {"\xEF\xBB\xBF" "é,ü\n", TTextEncoding::Utf8}, TWorkbenchText{"É\n", TTextEncoding::Utf8}}};
    }

    void SaveAs(const QString& Name)
    {
        Log.Files.push_back(Name);
        Window().Actions().actWorkbenchSaveAs->trigger();
    }
    void Open(const QString& Name)
    {
        Log.Files.push_back(Name);
        Window().Actions().actWorkbenchOpen->trigger();
    }
    std::string ScriptBytes() { return Window().tedScript->Lines().Text(); }
};

TEST_F(WorkbenchCommandsTest, SavedWorkbenchOpensAgainWithEveryTextItsSamplesAndLanguage)
{
    TfrmKestrim& window = Window();
    window.LoadConfig("Ruby.ini");
    SetScript("puts '日本語'\r\n");
    window.Samples().Reset(TwoSamples(), 1);
    EXPECT_TRUE(window.windowTitle().startsWith("*ワークベンチ")) << window.windowTitle().toStdString();

    const QString file = Path("task.kestrim");
    SaveAs(file);
    ASSERT_EQ(window.WorkbenchFileName(), file);
    EXPECT_TRUE(window.windowTitle().startsWith("task.kestrim - ")) << window.windowTitle().toStdString();
    const TWorkbench stored = ReadWorkbenchFile(file.toStdString());
    EXPECT_EQ(stored.Language, "Ruby.ini");
    EXPECT_EQ(stored.ScriptExtension, ".rb");
    EXPECT_EQ(stored.Samples, TwoSamples());

    window.Actions().actWorkbenchNew->trigger();
    EXPECT_TRUE(Log.Questions.empty()) << "nothing was changed since the save";
    EXPECT_EQ(ScriptBytes(), "");
    EXPECT_EQ(window.Samples().Count(), 1u);
    EXPECT_TRUE(window.WorkbenchFileName().isEmpty());
    window.LoadConfig("Perl.ini");

    Open(file);
    EXPECT_EQ(window.Settings().ConfigFile, "Ruby.ini");
    EXPECT_EQ(ScriptBytes(), Sjis("puts '日本語'\r\n"));
    EXPECT_EQ(window.Samples().Samples(), TwoSamples());
    EXPECT_EQ(window.Samples().Current(), 1u);
    EXPECT_EQ(window.tedData->Encoding(), TTextEncoding::Utf8);
    EXPECT_TRUE(window.windowTitle().startsWith("task.kestrim - ")) << window.windowTitle().toStdString();
    EXPECT_TRUE(Log.Errors.empty());
}

// The current sample's data is read from the file straight into the data page, and its bytes
// come back from there, whatever they are.
TEST_F(WorkbenchCommandsTest, CurrentDataReadFromTheFileKeepsItsBytes)
{
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    const TWorkbenchText cases[] = {
        {"a\r\nb\nc\rd", TTextEncoding::ShiftJis},   {"text\r\n\x1A", TTextEncoding::ShiftJis},
        {"\xEF\xBB\xBF", TTextEncoding::Utf8},         {"", TTextEncoding::Utf8},
        {everyByte + "\r\n", TTextEncoding::ShiftJis}, {everyByte, TTextEncoding::Utf8},
    };
    for (const TWorkbenchText& data : cases) {
        const std::vector<TSample> samples = {{"other", {"x\n", TTextEncoding::Utf8}, {}}, {"current", data, {}}};
        Window().Samples().Reset(samples, 1);
        SaveAs(Path("bytes.kestrim"));
        Open(Path("bytes.kestrim"));
        EXPECT_EQ(Window().Samples().Samples(), samples) << data.Bytes;
        Window().Samples().SetCurrent(0);
        EXPECT_EQ(Window().Samples().Samples(), samples) << data.Bytes;
    }
    EXPECT_TRUE(Log.Errors.empty());
}

TEST_F(WorkbenchCommandsTest, WorkbenchThatCannotBeReadSaysWhyAndChangesNothing)
{
    // Each kind of unreadable file has its reason from the reader (tested there); here the
    // window shows it and keeps what it holds.
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {{"garbage.kestrim", "PK\x03\x04 not really a zip"}, {"empty.kestrim", ""}};
    SetScript("print 1;\r\n");
    Window().tedScript->SetModified(true);
    for (const auto& c : cases) {
        Write(Path(c.Name), c.Bytes);
        Log.Errors.clear();
        Open(Path(c.Name));
        EXPECT_EQ(Log.Errors.size(), 1u) << c.Name;
        EXPECT_TRUE(Log.Questions.empty()) << c.Name << ": asked before the file was read";
    }
    Log.Errors.clear();
    Open(Path("missing.kestrim"));
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors.front().contains("missing.kestrim")) << Log.Errors.front().toStdString();
    EXPECT_EQ(ScriptBytes(), Sjis("print 1;\r\n"));
    EXPECT_TRUE(Window().WorkbenchFileName().isEmpty());
}

TEST_F(WorkbenchCommandsTest, LeavingChangedWorkbenchAsksOnceForTheWorkbench)
{
    TfrmKestrim& window = ShownWindow();
    window.Samples().Reset(TwoSamples(), 0);
    SaveAs(Path("task.kestrim"));
    SetScript("print 2;\r\n");
    window.tedData->Lines().SetText("changed");
    EXPECT_TRUE(window.windowTitle().startsWith("*task.kestrim - ")) << window.windowTitle().toStdString();

    Log.Answers = {TSaveAnswer::Cancel};
    EXPECT_FALSE(window.close());
    ASSERT_EQ(Log.Questions.size(), 1u);
    EXPECT_TRUE(Log.Questions[0].startsWith("ワークベンチ: " + Path("task.kestrim")));

    Log.Answers = {TSaveAnswer::Yes};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Log.Questions.size(), 2u) << "the script and the data are in the workbench";
    const TWorkbench saved = ReadWorkbenchFile(Path("task.kestrim").toStdString());
    EXPECT_EQ(saved.Script.Bytes, "print 2;\r\n");
    EXPECT_EQ(saved.Samples[0].Data.Bytes, "changed");
}

TEST_F(WorkbenchCommandsTest, ScriptWithFileOfItsOwnIsStillAskedAbout)
{
    TfrmKestrim& window = ShownWindow();
    Write(Path("own.pl"), "print 1;\r\n");
    Log.Files.push_back(Path("own.pl"));
    window.Actions().actLoad->trigger();
    window.Samples().Reset(TwoSamples(), 0);
    SaveAs(Path("task.kestrim"));
    SetScript("print 3;\r\n");

    Log.Answers = {TSaveAnswer::No, TSaveAnswer::Cancel};
    EXPECT_FALSE(window.close());
    ASSERT_EQ(Log.Questions.size(), 2u);
    EXPECT_TRUE(Log.Questions[0].startsWith("ワークベンチ: "));
    EXPECT_TRUE(Log.Questions[1].startsWith(Path("own.pl")));
}

// From outside (the command line, a drop, the recent files) a workbench opens as the workbench,
// a data file given with it on its current sample.
TEST_F(WorkbenchCommandsTest, WorkbenchFromOutsideOpensAsTheWorkbenchAndIsRemembered)
{
    TfrmKestrim& window = Window();
    window.Samples().Reset(TwoSamples(), 0);
    SaveAs(Path("task.kestrim"));
    window.Actions().actWorkbenchNew->trigger();
    Write(Path("more.txt"), "more\r\n");

    window.OpenFiles({Path("task.kestrim"), Path("more.txt")}, TfrmKestrim::pgResult);
    EXPECT_TRUE(Log.Errors.empty()) << Log.Errors.front().toStdString();
    EXPECT_EQ(window.WorkbenchFileName(), Path("task.kestrim"));
    EXPECT_EQ(window.Samples().Count(), 2u);
    EXPECT_EQ(window.tedData->Lines().Text(), "more\r\n");
    const auto& recent = window.Settings().RecentFiles.Items();
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0].Path, Path("more.txt").toStdString());
    EXPECT_EQ(recent[1].Kind, TRecentKind::Workbench);
}

} // namespace
