#include "app/MainWindowFixture.h"

#include "app/Samples.h"
#include "app/SamplesPanel.h"

#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>

namespace {

TSample Sample(const std::string& Name, std::string Data, TTextEncoding Encoding = TTextEncoding::ShiftJis,
               std::optional<std::string> Expected = std::nullopt)
{
    TSample sample{Name, {std::move(Data), Encoding}, std::nullopt};
    if (Expected)
        sample.Expected = TWorkbenchText{*Expected, Encoding};
    return sample;
}

std::vector<std::string> Names(const TSamples& Samples)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < Samples.Count(); ++i)
        names.push_back(Samples.Name(i));
    return names;
}

class SamplesTest : public MainWindowTest {
protected:
    TSamples& Samples() { return Window().Samples(); }
    TSamplesPanel& Panel() { return *Window().findChild<TSamplesPanel*>(); }
    QTableView& Table() { return Panel().Table(); }
};

// Whatever the bytes, a sample that was not edited comes back as it went in, through the
// editors and out again, and the data page saves it as those bytes.
TEST_F(SamplesTest, UneditedSamplesKeepTheirBytesThroughSwitches)
{
    TfrmKestrim& window = Window();
    const std::vector<TSample> samples = {
        Sample("sjis crlf", Sjis("日本語\r\nｶﾅ\r\n"), TTextEncoding::ShiftJis, Sjis("結果\r\n")),
        Sample("utf8 lf", "日本語\n😀 no end", TTextEncoding::Utf8, "期待\n"),
        Sample("bom", "\xEF\xBB\xBFwith mark\r\n", TTextEncoding::Utf8),
        Sample("cr", "one\rtwo\r", TTextEncoding::ShiftJis, "x\ry\r"),
        Sample("mixed", "a\r\nb\nc\rd", TTextEncoding::ShiftJis),
        Sample("nul", std::string("a\0b\r\n\0\r\n", 8), TTextEncoding::ShiftJis, std::string("\0", 1)),
        Sample("eof", "text\r\n\x1A", TTextEncoding::ShiftJis),
        Sample("empty utf8", "", TTextEncoding::Utf8, ""),
    };
    Samples().Reset(samples, 0);
    for (std::size_t i : {1, 2, 3, 4, 5, 6, 7, 0, 7, 3})
        Samples().SetCurrent(i);
    EXPECT_EQ(Samples().Samples(), samples);
    EXPECT_FALSE(Samples().Modified());

    for (std::size_t i = 0; i < samples.size(); ++i) {
        Samples().SetCurrent(i);
        EXPECT_EQ(window.tedData->Encoding(), samples[i].Data.Encoding) << samples[i].Name;
        Log.Files = {Path("saved")};
        window.Actions().actDataSave->trigger();
        EXPECT_EQ(Bytes(Path("saved")), samples[i].Data.Bytes) << samples[i].Name;
    }
}

// An edited text is written in its sample's format: the line ends and the mark it came with.
TEST_F(SamplesTest, EditedSamplesKeepTheirFormat)
{
    TfrmKestrim& window = Window();
    Samples().Reset({Sample("lf", "a\nb\n", TTextEncoding::Utf8), Sample("other", "")}, 0);
    window.tedData->Lines().Add("c");
    Samples().SetCurrent(1);
    EXPECT_EQ(Samples().Samples()[0].Data.Bytes, "a\nb\nc\n");
    EXPECT_TRUE(Samples().Modified());
}

// Each structural command, from the same two samples: the names after it, the current one,
// and whether it is a change and made another sample current.
TEST_F(SamplesTest, CommandsChangeTheListAndTheCurrentSample)
{
    struct TCase {
        const char* Name;
        std::function<void(TSamples&)> Command;
        std::vector<std::string> Names;
        std::size_t Current;
        bool Modified;
        bool CurrentChanged;
    };
    const TCase cases[] = {
        {"add", [](TSamples& S) { S.Add(); }, {"a", "サンプル1", "b"}, 1, true, true},
        {"duplicate", [](TSamples& S) { S.Duplicate(); }, {"a", "サンプル1", "b"}, 1, true, true},
        {"rename", [](TSamples& S) { S.Rename(1, "c"); }, {"a", "c"}, 0, true, false},
        {"same name", [](TSamples& S) { S.Rename(0, "a"); }, {"a", "b"}, 0, false, false},
        {"remove current", [](TSamples& S) { S.Remove(0); }, {"b"}, 0, true, true},
        {"remove other", [](TSamples& S) { S.Remove(1); }, {"a"}, 0, true, false},
        {"down", [](TSamples& S) { S.Move(0, 1); }, {"b", "a"}, 1, true, false},
        {"up at the top", [](TSamples& S) { S.Move(0, -1); }, {"a", "b"}, 0, false, false},
        {"switch", [](TSamples& S) { S.SetCurrent(1); }, {"a", "b"}, 1, false, true},
    };
    for (const TCase& c : cases) {
        Samples().Reset({Sample("a", "A\r\n"), Sample("b", "B\r\n", TTextEncoding::ShiftJis, "E\r\n")}, 0);
        QSignalSpy current(&Samples(), &TSamples::CurrentChanged);
        c.Command(Samples());
        EXPECT_EQ(Names(Samples()), c.Names) << c.Name;
        EXPECT_EQ(Samples().Current(), c.Current) << c.Name;
        EXPECT_EQ(Samples().Modified(), c.Modified) << c.Name;
        EXPECT_EQ(current.count(), c.CurrentChanged ? 1 : 0) << c.Name;
        const std::vector<TSample> now = Samples().Samples();
        EXPECT_EQ(now[Samples().Current()].Data.Bytes, Window().tedData->Lines().Text()) << c.Name;
    }
    // The copy has the data and the expected result of its original.
    Samples().Reset({Sample("a", "A\r\n", TTextEncoding::ShiftJis, "E\r\n")}, 0);
    Samples().Duplicate();
    EXPECT_EQ(Samples().Samples()[1].Data, Samples().Samples()[0].Data);
    EXPECT_EQ(Samples().Samples()[1].Expected, Samples().Samples()[0].Expected);
    Samples().Remove(0);
    Samples().Remove(0);
    EXPECT_EQ(Samples().Count(), 1u) << "the last sample stays";
}

TEST_F(SamplesTest, NamesAreOneLineAndNotEmpty)
{
    Samples().Reset({Sample("a", "")}, 0);
    for (const char* name : {"", "two\nlines", "cr\r"})
        EXPECT_THROW(Samples().Rename(0, name), Exception) << name;
    EXPECT_EQ(Samples().Name(0), "a");
    EXPECT_FALSE(Samples().Modified());
}

// A run's result stays on the result page alone until its sample is left; it comes back with
// the sample.
TEST_F(SamplesTest, AResultOnThePageIsKeptWhenItsSampleIsLeft)
{
    TfrmKestrim& window = Window();
    Samples().Reset({Sample("a", "1\r\n"), Sample("b", "2\r\n")}, 0);
    window.tedResult->SetEncodedText("result of a\r\n", TTextEncoding::Utf8);
    Samples().SetLastRunOnPage(TSampleRun{TSampleVerdict::NoExpectation, 0, 0.5, 0, {"stale", TTextEncoding::Utf8}});
    EXPECT_TRUE(Samples().LastRun(0)->Result.Bytes.empty());

    Samples().SetCurrent(1);
    EXPECT_EQ(Samples().LastRun(0)->Result, (TWorkbenchText{"result of a\r\n", TTextEncoding::Utf8}));
    EXPECT_EQ(window.tedResult->Lines().Text(), "");
    Samples().SetCurrent(0);
    EXPECT_EQ(window.tedResult->Lines().Text(), "result of a\r\n");
}

// Typing into the empty expected editor gives the sample an expected result, which makes the
// samples a workbench; edits drop the last run; deleting the expected result ends it.
TEST_F(SamplesTest, EditsMarkModifiedAndTheExpectedResultComesAndGoes)
{
    TfrmKestrim& window = Window();
    EXPECT_FALSE(Samples().InUse());
    EXPECT_FALSE(Samples().Modified()) << "nothing at the start";
    QSignalSpy changed(&Samples(), &TSamples::Changed);
    Samples().SetLastRun(0, TSampleRun{TSampleVerdict::Pass, 0, 0.5, 0, {}});
    window.tedData->Lines().Add("data");
    EXPECT_TRUE(Samples().Modified());
    EXPECT_FALSE(Samples().LastRun(0));
    EXPECT_FALSE(Samples().InUse());
    EXPECT_EQ(Samples().Samples()[0].Expected, std::nullopt);

    window.tedExpected->Lines().Add("expected");
    EXPECT_TRUE(Samples().InUse());
    EXPECT_EQ(Samples().Samples()[0].Expected, (TWorkbenchText{"expected\r\n", TTextEncoding::ShiftJis}));
    EXPECT_GE(changed.count(), 2);
    Samples().MarkSaved();
    EXPECT_FALSE(Samples().Modified());
    Samples().RemoveExpected();
    EXPECT_FALSE(Samples().InUse());
    EXPECT_TRUE(Samples().Modified());
    EXPECT_EQ(window.tedExpected->Lines().Text(), "");

    Samples().Add();
    EXPECT_TRUE(Samples().InUse()) << "two samples";
    Samples().Clear();
    EXPECT_FALSE(Samples().InUse());
    EXPECT_FALSE(Samples().Modified());

    // An expected result that came with the sample, removed, ends it as well.
    Samples().Reset({{"a", {}, TWorkbenchText{"e", TTextEncoding::ShiftJis}}}, 0);
    EXPECT_TRUE(Samples().InUse());
    Samples().RemoveExpected();
    EXPECT_FALSE(Samples().InUse());
}

// The panel's commands through the window: keys in the table, the question before a sample
// with text goes, renaming in place.
TEST_F(SamplesTest, ThePanelsCommandsActOnTheSamples)
{
    TfrmKestrim& window = ShownWindow();
    EXPECT_FALSE(Panel().isVisible());
    window.ShowPage(TfrmKestrim::pgData);
    window.Actions().actViewSamples->trigger();
    EXPECT_TRUE(Panel().isVisible());
    EXPECT_FALSE(Panel().actSampleDelete->isEnabled()) << "the last sample cannot go";

    window.tedData->Lines().SetText("first\r\n");
    Panel().actSampleAdd->trigger();
    EXPECT_EQ(Names(Samples()), (std::vector<std::string>{"サンプル1", "サンプル2"}));
    EXPECT_EQ(window.tedData->Lines().Text(), "");
    EXPECT_EQ(Table().currentIndex().row(), 1);

    Table().setFocus();
    Press(Qt::Key_Up);
    EXPECT_EQ(Samples().Current(), 0u);
    EXPECT_EQ(window.tedData->Lines().Text(), "first\r\n");

    Log.Answers = {TSaveAnswer::No};
    Press(Qt::Key_Delete);
    EXPECT_EQ(Log.Questions.size(), 1u);
    EXPECT_EQ(Samples().Count(), 2u);
    Log.Answers = {TSaveAnswer::Yes};
    Press(Qt::Key_Delete);
    EXPECT_EQ(Names(Samples()), std::vector<std::string>{"サンプル2"});
    Panel().actSampleAdd->trigger();
    Press(Qt::Key_Delete);
    EXPECT_EQ(Log.Questions.size(), 2u) << "an empty sample goes without a question";

    Press(Qt::Key_F2);
    ASSERT_TRUE(QApplication::focusWidget() != &Table());
    QTest::keyClicks(QApplication::focusWidget(), "renamed");
    Press(Qt::Key_Return);
    QTest::qWait(0); // the table takes the name after the key
    EXPECT_EQ(Samples().Name(0), "renamed");
    Press(Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    Press(Qt::Key_Return);
    QTest::qWait(0);
    EXPECT_EQ(Samples().Name(0), "renamed");
    EXPECT_EQ(Log.Errors.size(), 1u) << "an empty name is refused with a message";
}

// Focused, the expected result's editor is the one the commands and the status bar follow; when
// it is hidden, the result's editor is.
TEST_F(SamplesTest, TheExpectedEditorIsTheCurrentOneWhenFocused)
{
    TfrmKestrim& window = ShownWindow();
    for (bool workbench : {false, true}) {
        Samples().Clear();
        window.SetWorkbench(workbench);
        window.SetExpectedVisible(true);
        window.ShowPage(TfrmKestrim::pgResult);
        window.tedExpected->Lines().SetText("one\ntwo");
        QTest::mouseClick(window.tedExpected->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 5));
        EXPECT_EQ(&window.CurrentEditor(), window.tedExpected) << workbench;
        Press(Qt::Key_A, Qt::ControlModifier);
        EXPECT_TRUE(window.tedExpected->HasSelectedText()) << workbench;
        EXPECT_TRUE(window.Actions().actCopy->isEnabled()) << workbench;
        window.Actions().actConvertEncoding->trigger();
        EXPECT_EQ(window.tedExpected->Encoding(), TTextEncoding::Utf8) << workbench;
        EXPECT_EQ(window.StatusPanelText(2), "UTF-8  LF") << workbench;
        window.Actions().actViewExpected->trigger();
        EXPECT_EQ(&window.CurrentEditor(), window.tedResult) << workbench;
        EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  CR LF") << workbench;
    }
}

// With several samples or an expected result the panes show on their own; shown or hidden, and
// how much room they take, they stay so at the next start.
TEST_F(SamplesTest, ThePanesShowWhenNeededAndKeepTheirSettings)
{
    TfrmKestrim& window = ShownWindow();
    Samples().Reset({Sample("a", ""), Sample("b", "", TTextEncoding::ShiftJis, "E")}, 1);
    EXPECT_TRUE(window.Actions().actViewSamples->isChecked());
    EXPECT_TRUE(window.Actions().actViewExpected->isChecked());
    QSplitter& samples = *window.findChild<QSplitter*>("splSamples");
    window.ShowPage(TfrmKestrim::pgData);
    samples.setSizes({300, 700});
    emit samples.splitterMoved(300, 1);
    const int share = samples.sizes()[0] * 1000 / (samples.sizes()[0] + samples.sizes()[1]);
    CloseWindow();

    TfrmKestrim& again = ShownWindow();
    again.ShowPage(TfrmKestrim::pgData);
    EXPECT_TRUE(again.Actions().actViewSamples->isChecked());
    EXPECT_TRUE(Panel().isVisible());
    EXPECT_TRUE(again.Actions().actViewExpected->isChecked());
    QSplitter& restored = *again.findChild<QSplitter*>("splSamples");
    EXPECT_NEAR(restored.sizes()[0] * 1000 / (restored.sizes()[0] + restored.sizes()[1]), share, 10);
    again.Actions().actViewSamples->trigger();
    again.Actions().actViewExpected->trigger();
    CloseWindow();
    EXPECT_FALSE(ShownWindow().Actions().actViewSamples->isChecked());
    EXPECT_FALSE(Window().Actions().actViewExpected->isChecked());
}

} // namespace
