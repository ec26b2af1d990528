#include "app/MainWindowFixture.h"

#include <QElapsedTimer>
#include <QLabel>

namespace {

// The window with live runs on from its settings, a short pause and the real perl.
class LiveRunTest : public MainWindowTest {
protected:
    TfrmKestrim& LiveWindow(int PauseMs = 200, int TimeLimitMs = 3000)
    {
        QDir().mkpath(QFileInfo(SettingsFile()).path());
        Write(SettingsFile(), QStringLiteral("[Run]\nLive=1\nLiveExplained=1\nLivePauseMS=%1\nLiveTimeLimitMS=%2\n")
                                  .arg(PauseMs)
                                  .arg(TimeLimitMs)
                                  .toStdString());
        TfrmKestrim& window = ShownWindow();
        EXPECT_TRUE(window.Actions().actLiveRun->isChecked());
        return window;
    }

    // Sets the script and waits for the live run that follows it.
    void SetScriptAndSettle(const std::string& Utf8)
    {
        SetScript(Utf8.c_str());
        EXPECT_TRUE(WaitFor([this] { return State() != "自動実行: 古い" && !Window().Actions().actTerminate->isEnabled(); }));
    }

    // Runs the event loop until Condition holds; false after TimeoutMs without it.
    template <typename TCondition>
    static bool WaitFor(TCondition Condition, int TimeoutMs = 8000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!Condition()) {
            if (clock.elapsed() > TimeoutMs)
                return false;
            QTest::qWait(5);
        }
        return true;
    }

    QString State() { return Window().StatusPanelText(3); }
    QString ResultTab() { return Window().pgcEditor->tabText(TfrmKestrim::pgResult); }
    std::string Result() { return Window().tedResult->Lines().Text(); }
    // A script line that appends Word to the run log, for counting the runs and their ends.
    std::string LogLine(const char* Word)
    {
        return "open my $log, '>>', '" + Path("runs.log").toStdString() + "'; print $log \"" + Word
               + "\\n\"; close $log;\n";
    }
    QStringList RunLog()
    {
        return QString::fromStdString(Bytes(Path("runs.log"))).split('\n', Qt::SkipEmptyParts);
    }
};

TEST_F(LiveRunTest, TypingUpdatesTheResultAfterThePauseWhereItStands)
{
    TfrmKestrim& window = LiveWindow(300);
    SetScriptAndSettle("print uc while <STDIN>;");
    EXPECT_EQ(State(), "自動実行: 最新");
    window.ShowPage(TfrmKestrim::pgData);
    QTest::keyClicks(window.tedData, "abc");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(State(), "自動実行: 古い");
    EXPECT_EQ(ResultTab(), "結果 (古い)");
    QTest::qWait(150);
    EXPECT_EQ(Result(), "") << "no run before the pause has ended";
    ASSERT_TRUE(WaitFor([this] { return Result() == "ABC"; }));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_TRUE(WaitFor([this] { return State() == "自動実行: 最新"; }));
    EXPECT_EQ(ResultTab(), "結果 (最新)");
    EXPECT_EQ(Page(), TfrmKestrim::pgData) << "the result page is not brought to the front";
    EXPECT_TRUE(Log.Errors.empty());
}

// Perl.ini reads UTF-8 data as characters: the live result of what is typed keeps every one.
TEST_F(LiveRunTest, TypingOnAUtf8DataPageUpdatesAUtf8Result)
{
    TfrmKestrim& window = LiveWindow();
    window.tedData->SetEncodedText("😀", TTextEncoding::Utf8);
    SetScriptAndSettle("print uc while <STDIN>;");
    window.ShowPage(TfrmKestrim::pgData);
    window.tedData->SetRowCol(0, 0);
    for (const char* key : {"é", "表"})
        QTest::sendKeyEvent(QTest::Click, window.tedData, Qt::Key_unknown, QString::fromUtf8(key), {});
    ASSERT_TRUE(WaitFor([this] { return Result() == "É表😀"; })) << Result();
    EXPECT_EQ(window.tedResult->Encoding(), TTextEncoding::Utf8);
    EXPECT_TRUE(Log.Errors.empty());
}

TEST_F(LiveRunTest, TheResultKeepsItsCaretRowAndScrollPosition)
{
    TfrmKestrim& window = LiveWindow();
    SetScriptAndSettle("print \"line $_ $ARGV[0]\\n\" for 1..500;");
    window.tedResult->SetRowCol(230, 3);
    window.tedResult->SetTopRow(200);
    SetScriptAndSettle("print \"row $_\\n\" for 1..400;");
    EXPECT_EQ(window.tedResult->Lines().Count(), 400);
    EXPECT_EQ(window.tedResult->TopRow(), 200);
    EXPECT_EQ(window.tedResult->Row(), 230);
    EXPECT_EQ(window.tedResult->Col(), 3);
    SetScriptAndSettle("print \"short\\n\" for 1..10;");
    EXPECT_EQ(window.tedResult->Row(), 10) << "as far as the new text allows";
}

TEST_F(LiveRunTest, RapidTypingStartsOneRunAfterItsPause)
{
    TfrmKestrim& window = LiveWindow(300);
    SetScriptAndSettle(LogLine("run") + "print uc while <STDIN>;");
    const qsizetype runsBefore = RunLog().size();
    for (const char* key : {"a", "b", "c", "d", "e", "f", "g", "h"}) {
        QTest::keyClicks(window.tedData, key);
        QTest::qWait(60);
    }
    ASSERT_TRUE(WaitFor([this] { return Result() == "ABCDEFGH"; }));
    QTest::qWait(400);
    EXPECT_EQ(RunLog().size(), runsBefore + 1);
}

// A run goes on inside the event processing: what happens during it is done from timers.
TEST_F(LiveRunTest, AnEditDuringARunStopsItAndTheLatestTextWins)
{
    TfrmKestrim& window = LiveWindow(150);
    SetScriptAndSettle(LogLine("start") + "sleep 1;\n" + LogLine("end") + "print uc while <STDIN>;");
    QFile::remove(Path("runs.log"));
    QString stateDuringRun, stateAfterEdit;
    bool stopReachesIt = false, runAtHand = false;
    QTimer::singleShot(500, [&] {
        stateDuringRun = State();
        stopReachesIt = window.Actions().actTerminate->isEnabled();
        runAtHand = window.Actions().actRun->isEnabled();
        QTest::keyClicks(window.tedData, "b");
        stateAfterEdit = State();
    });
    QTest::keyClicks(window.tedData, "a");
    ASSERT_TRUE(WaitFor([this] { return Result() == "AB"; }));
    EXPECT_EQ(stateDuringRun, "自動実行: 実行中");
    EXPECT_TRUE(stopReachesIt);
    EXPECT_TRUE(runAtHand) << "F9 stays at hand";
    EXPECT_EQ(stateAfterEdit, "自動実行: 古い");
    EXPECT_EQ(RunLog(), (QStringList{"start", "start", "end"})) << "the first run never ended";
    EXPECT_EQ(State(), "自動実行: 最新");
}

TEST_F(LiveRunTest, AnEndlessScriptIsStoppedAtTheTimeLimitAndTheWindowAnswers)
{
    TfrmKestrim& window = LiveWindow(100, 1000);
    SetScript("$| = 1; print \"partial\\n\"; 1 while 1;");
    int ticks = 0;
    QTimer ticker;
    ticker.callOnTimeout([&] { ++ticks; });
    ticker.start(10);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitFor([this] { return State().startsWith("自動実行: 中断"); }));
    ticker.stop();
    EXPECT_GE(clock.elapsed(), 1000);
    // A tenth of the ticks the time holds, for a machine ten times slower or busier; how long a
    // key waits under live runs is a benchmark's figure.
    EXPECT_GE(ticks * 10, clock.elapsed() / 10) << "the window answers while the script runs";
    EXPECT_TRUE(State().contains("時間制限の 1 秒")) << State().toStdString();
    EXPECT_EQ(Result(), "partial\r\n");
    ASSERT_GE(window.lsbMessage->count(), 1);
    EXPECT_TRUE(window.lsbMessage->item(window.lsbMessage->count() - 1)->text().contains("時間制限"));
    EXPECT_TRUE(window.StatusPanelText(1).startsWith("時間制限で中断")) << window.StatusPanelText(1).toStdString();
    EXPECT_TRUE(Log.Errors.empty()) << "no message box for a live run";
    EXPECT_FALSE(window.Actions().actTerminate->isEnabled());
}

TEST_F(LiveRunTest, AFailureToStartGoesToTheStatusBarAndTheMessageList)
{
    Write(Path("conf/Missing.ini"), "[Command]\r\nCommand=/no/such/interpreter\r\nScript=script.pl\r\n");
    TfrmKestrim& window = LiveWindow();
    window.LoadConfig("Missing.ini");
    SetScriptAndSettle("print 1;");
    EXPECT_TRUE(State().startsWith("自動実行: 失敗 - ")) << State().toStdString();
    EXPECT_TRUE(State().contains("/no/such/interpreter")) << State().toStdString();
    ASSERT_EQ(window.lsbMessage->count(), 1);
    EXPECT_TRUE(window.lsbMessage->item(0)->text().contains("/no/such/interpreter"));
    EXPECT_EQ(ResultTab(), "結果 (失敗)");
    EXPECT_TRUE(Log.Errors.empty());
}

TEST_F(LiveRunTest, AScriptThatDiesIsAFailedResult)
{
    LiveWindow();
    SetScriptAndSettle("die \"broken\\n\";");
    EXPECT_TRUE(State().startsWith("自動実行: 失敗 - 終了コード 255")) << State().toStdString();
    EXPECT_EQ(Window().lsbMessage->item(0)->text(), "broken");
}

// F9 during a live run stops it and runs as it always does: result page in front, the run
// commands disabled, and its message box when Stop ends it.
TEST_F(LiveRunTest, F9TakesOverFromALiveRunAndKeepsItsMessageBoxes)
{
    TfrmKestrim& window = LiveWindow(100, 20000);
    QString stateBeforeF9;
    bool normalRunStates = false;
    QTimer::singleShot(600, [&] {
        stateBeforeF9 = State();
        Press(Qt::Key_F9);
        QTimer::singleShot(500, [&] {
            const TMainActions& a = window.Actions();
            normalRunStates = !a.actRun->isEnabled() && !a.actRunClipboard->isEnabled() && a.actTerminate->isEnabled();
            Press(Qt::Key_F2, Qt::ControlModifier);
        });
    });
    SetScript("$| = 1; print \"running\\n\"; sleep 1 while 1;");
    ASSERT_TRUE(WaitFor([this] { return !Log.Informations.empty(); }));
    EXPECT_EQ(stateBeforeF9, "自動実行: 実行中");
    EXPECT_TRUE(normalRunStates);
    EXPECT_TRUE(Log.Errors.empty());
    EXPECT_EQ(Log.Informations, std::vector<QString>{"コマンド処理を中断しました。"});
    EXPECT_EQ(Page(), TfrmKestrim::pgResult);
    EXPECT_EQ(Result(), "running\r\n");
    EXPECT_EQ(State(), "自動実行: 中断 - 中断しました");
    EXPECT_TRUE(window.Actions().actRun->isEnabled());
}

TEST_F(LiveRunTest, AnEditOnTheResultPageSwitchesLiveRunsOff)
{
    TfrmKestrim& window = LiveWindow();
    SetScriptAndSettle("print \"x\\n\";");
    window.ShowPage(TfrmKestrim::pgResult);
    QTest::keyClicks(window.tedResult, "y");
    EXPECT_FALSE(window.Actions().actLiveRun->isChecked());
    EXPECT_EQ(window.StatusPanelText(1), "結果が編集されたので、自動実行をオフにしました。");
    EXPECT_EQ(ResultTab(), "結果");
    EXPECT_EQ(State(), "");
    SetScript("print \"z\\n\";");
    QTest::qWait(400);
    EXPECT_EQ(Result(), "yx\r\n") << "the user's edit stays";
}

TEST_F(LiveRunTest, TheFirstSwitchOnExplainsItOnceAndTheSettingsKeepIt)
{
    TfrmKestrim& window = ShownWindow();
    EXPECT_FALSE(window.Actions().actLiveRun->isChecked());
    EXPECT_EQ(ResultTab(), "結果");
    window.Actions().actLiveRun->trigger();
    window.Actions().actLiveRun->trigger();
    window.Actions().actLiveRun->trigger();
    ASSERT_EQ(Log.Messages.size(), 1u);
    EXPECT_TRUE(Log.Messages[0].contains("ファイルを書き換えたり消したりするスクリプト")) << Log.Messages[0].toStdString();
    EXPECT_EQ(ResultTab(), "結果 (古い)");
    CloseWindow();
    const std::string stored = Bytes(SettingsFile());
    EXPECT_NE(stored.find("Live=1"), std::string::npos) << stored;
    EXPECT_NE(stored.find("LiveExplained=1"), std::string::npos) << stored;
}

// Side by side the result follows the typing in view, its caption telling its state.
TEST_F(LiveRunTest, SideBySideTheResultFollowsTheTypingInView)
{
    TfrmKestrim& window = LiveWindow();
    window.SetWorkbench(true);
    SetScriptAndSettle("print uc while <STDIN>;");
    window.ShowPage(TfrmKestrim::pgData);
    QTest::keyClicks(window.tedData, "abc");
    ASSERT_TRUE(WaitFor([this] { return Result() == "ABC"; }));
    EXPECT_TRUE(WaitFor([this] { return State() == "自動実行: 最新"; }));
    const QList<QLabel*> labels = window.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* Label) {
        return Label->isVisible() && Label->text() == "結果 (最新)";
    }));
    EXPECT_TRUE(window.tedResult->isVisible());
    EXPECT_TRUE(window.tedData->hasFocus());
}

} // namespace
