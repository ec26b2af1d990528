// The run over all samples with the real perl, the result taken as the expected result, and the
// change marks against the expected result.

#include "app/MainWindowFixture.h"

#include "app/Samples.h"
#include "app/SamplesPanel.h"
#include "editor/text/ChangeMarks.h"

#include <QStandardPaths>

namespace {

// Upper-cases its input; "sleep" makes it sleep past the time limit, "die" makes it fail.
const char* const Script = "my $in = join '', <STDIN>;\n"
                           "select undef, undef, undef, 5 if $in =~ /sleep/;\n"
                           "if ($in =~ /die/) { print STDERR \"bad input\\n\"; exit 3; }\n"
                           "print uc $in;\n";

TSample Sample(const std::string& Name, const std::string& Data, std::optional<std::string> Expected = std::nullopt)
{
    TSample sample{Name, {Data, TTextEncoding::ShiftJis}, std::nullopt};
    if (Expected)
        sample.Expected = TWorkbenchText{*Expected, TTextEncoding::Utf8};
    return sample;
}

class SampleSeriesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        if (QStandardPaths::findExecutable("perl").isEmpty())
            GTEST_SKIP() << "perl is not installed";
        QDir().mkpath(QFileInfo(SettingsFile()).path());
        Write(SettingsFile(), "[Run]\nLivePauseMS=50\nLiveTimeLimitMS=1000\n[Form]\nChangeMarks=1\n");
        SetScript(Script);
    }

    TSamples& Samples() { return Window().Samples(); }
    std::string Result() { return Window().tedResult->Lines().Text(); }
    std::string Expected() { return Window().tedExpected->Lines().Text(); }
    QString Hint() { return Window().StatusPanelText(1); }
    QString Counts() { return Window().StatusPanelText(5); }
    std::vector<std::string> Messages()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Window().lsbMessage->count(); ++i)
            lines.push_back(Window().lsbMessage->ItemBytes(i));
        return lines;
    }
};

struct TRowCase {
    TSample Sample;
    TSampleVerdict Verdict;
    std::optional<int> ExitCode;
    int FirstDifferentLine;
};

TEST_F(SampleSeriesTest, EverySampleRunsAndItsRowSaysHowItWent)
{
    TfrmKestrim& window = ShownWindow();
    const TRowCase rows[] = {
        {Sample("pass", "ab\r\n", "AB\n"), TSampleVerdict::Pass, 0, 0},
        {Sample("fail", "a\r\nb\r\n", "A\nX\n"), TSampleVerdict::Fail, 0, 2},
        {Sample("none", "c\r\n"), TSampleVerdict::NoExpectation, 0, 0},
        {Sample("exit", "die\r\n", "x\n"), TSampleVerdict::Fail, 3, 1},
        {Sample("slow", "sleep\r\n", "SLEEP\n"), TSampleVerdict::TimedOut, std::nullopt, 0},
    };
    std::vector<TSample> samples;
    for (const TRowCase& row : rows)
        samples.push_back(row.Sample);
    Samples().Reset(samples, 2);

    window.Actions().actRunAllSamples->trigger();

    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::optional<TSampleRun>& run = Samples().LastRun(i);
        ASSERT_TRUE(run) << rows[i].Sample.Name;
        EXPECT_EQ(run->Verdict, rows[i].Verdict) << rows[i].Sample.Name;
        EXPECT_EQ(run->ExitCode, rows[i].ExitCode) << rows[i].Sample.Name;
        EXPECT_EQ(run->FirstDifferentLine, rows[i].FirstDifferentLine) << rows[i].Sample.Name;
    }
    EXPECT_EQ(Hint(), "5 件中 1 件一致、2 件不一致、1 件期待値なし、1 件時間切れ");
    EXPECT_TRUE(Log.Errors.empty());
    EXPECT_EQ(Samples().Current(), 2u) << "the sample current before is current again";
    EXPECT_EQ(Result(), "C\r\n") << "with its own result";
    EXPECT_EQ(Messages(), (std::vector<std::string>{"=== exit: 不一致 ===", "bad input"}))
        << "the messages of the samples that did not pass";
    EXPECT_TRUE(window.Actions().actRun->isEnabled());

    Samples().SetCurrent(0);
    EXPECT_EQ(Result(), "AB\r\n") << "a row shows its sample's result";
}

TEST_F(SampleSeriesTest, StopEndsTheWholeSeries)
{
    TfrmKestrim& window = ShownWindow();
    const TMainActions& a = window.Actions();
    Samples().Reset({Sample("a", "sleep\r\n"), Sample("b", "b\r\n"), Sample("c", "c\r\n")}, 1);
    TSampleRun passed;
    passed.Verdict = TSampleVerdict::Pass;
    Samples().SetLastRun(2, passed);
    bool runEnabled = true;
    QTimer::singleShot(300, [&] {
        runEnabled = a.actRun->isEnabled() || a.actRunAllSamples->isEnabled()
                     || window.findChild<TSamplesPanel*>()->isEnabled();
        a.actTerminate->trigger();
    });
    a.actRunAllSamples->trigger();
    EXPECT_FALSE(runEnabled) << "the run commands and the samples wait for the series";
    ASSERT_TRUE(Samples().LastRun(0));
    EXPECT_EQ(Samples().LastRun(0)->Verdict, TSampleVerdict::Stopped);
    EXPECT_FALSE(Samples().LastRun(1));
    EXPECT_FALSE(Samples().LastRun(2)) << "no verdict of an older run";
    EXPECT_EQ(Hint(), "3 件中 0 件一致、1 件中断、2 件未実行");
    EXPECT_EQ(Samples().Current(), 1u);
    EXPECT_EQ(Result(), "") << "a sample without a run shows no other sample's result";
    EXPECT_TRUE(a.actRun->isEnabled());
    EXPECT_FALSE(a.actTerminate->isEnabled());
}

TEST_F(SampleSeriesTest, ARunThatCannotStartEndsTheSeriesWithOneError)
{
    TfrmKestrim& window = ShownWindow();
    Write(Path("conf/none.ini"), "[Command]\nCommand=kestrim-no-such-interpreter\nScript=script.pl\n");
    window.LoadConfig("none.ini");
    Samples().Reset({Sample("a", "a\r\n"), Sample("b", "b\r\n")}, 1);
    window.Actions().actRunAllSamples->trigger();
    EXPECT_EQ(Log.Errors.size(), 1u);
    ASSERT_TRUE(Samples().LastRun(0));
    EXPECT_EQ(Samples().LastRun(0)->Verdict, TSampleVerdict::NotRun);
    EXPECT_FALSE(Samples().LastRun(1));
    EXPECT_EQ(Samples().Current(), 1u);
}

TEST_F(SampleSeriesTest, TheResultTakenAsExpectedPassesTheNextRun)
{
    TfrmKestrim& window = ShownWindow();
    const TMainActions& a = window.Actions();
    window.tedData->Lines().SetText("x\r\n");
    a.actResultToExpected->trigger();
    EXPECT_EQ(Expected(), "") << "nothing to take before a run";
    EXPECT_FALSE(Hint().isEmpty());

    a.actRun->trigger();
    a.actResultToExpected->trigger();
    EXPECT_EQ(Expected(), "X\r\n");
    EXPECT_TRUE(a.actViewExpected->isChecked());
    a.actRun->trigger();
    ASSERT_TRUE(Samples().LastRun(0));
    EXPECT_EQ(Samples().LastRun(0)->Verdict, TSampleVerdict::Pass);
    window.tedExpected->Undo();
    EXPECT_EQ(Expected(), "") << "one edit, which Undo takes back";
}

TEST_F(SampleSeriesTest, MarksCompareTheResultWithTheExpectedResultWhileItIsShown)
{
    TfrmKestrim& window = ShownWindow();
    window.tedData->Lines().SetText("a\r\nb\r\n");
    window.tedResult->Lines().SetText("a\r\nb\r\n");
    window.tedExpected->Lines().SetText("a\r\nX\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Counts() == "変更はありません"; }, 10000));
    window.Actions().actViewExpected->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Counts() == "変更 1 行、追加 0 行、削除 0 行"; }, 10000));
    EXPECT_EQ(window.tedExpected->ChangeMarks()->LineMark(1).Mark, TLineMark::Changed);
    EXPECT_EQ(window.tedData->ChangeMarks(), nullptr);
    window.Actions().actViewExpected->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Counts() == "変更はありません"; }, 10000));
}

} // namespace
