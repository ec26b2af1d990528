#include "app/MainWindowFixture.h"

#include "editor/text/ChangeMarks.h"

#include <algorithm>
#include <random>

namespace {

// The window with a short pause after edits; change marks on or off from its settings.
class ChangeMarksTest : public MainWindowTest {
protected:
    TfrmKestrim& MarksWindow(bool On = true)
    {
        QDir().mkpath(QFileInfo(SettingsFile()).path());
        Write(SettingsFile(), QStringLiteral("[Run]\nLivePauseMS=50\n[Form]\nChangeMarks=%1\n").arg(On).toStdString());
        return ShownWindow();
    }

    void SetPages(const std::string& Data, const std::string& Result)
    {
        Window().tedData->Lines().SetText(Data);
        Window().tedResult->Lines().SetText(Result);
    }

    QString Counts() { return Window().StatusPanelText(5); }
    // Waits until the status bar gives Text, the marks being shown.
    bool WaitForCounts(const QString& Text) { return QTest::qWaitFor([&] { return Counts() == Text; }, 10000); }
    TLineMark MarkOf(TEditor& Editor, int Line) { return Editor.ChangeMarks()->LineMark(Line).Mark; }
    std::string Lines(int Count, const char* Word)
    {
        std::string text;
        for (int line = 0; line < Count; ++line)
            text += Word + std::to_string(line) + "\r\n";
        return text;
    }
};

TEST_F(ChangeMarksTest, SwitchingOnMarksBothPagesAndSwitchingOffRemovesTheMarks)
{
    TfrmKestrim& window = MarksWindow(false);
    const TMainActions& a = window.Actions();
    SetPages("a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\nd\r\n");
    QTest::qWait(100);
    EXPECT_EQ(window.tedResult->ChangeMarks(), nullptr) << "nothing compared while off";
    EXPECT_FALSE(a.actNextChange->isEnabled());

    a.actViewChanges->trigger();
    ASSERT_TRUE(WaitForCounts("変更 1 行、追加 1 行、削除 0 行"));
    EXPECT_EQ(MarkOf(*window.tedResult, 1), TLineMark::Changed);
    EXPECT_EQ(MarkOf(*window.tedResult, 3), TLineMark::Added);
    EXPECT_EQ(MarkOf(*window.tedData, 1), TLineMark::Changed);
    EXPECT_TRUE(a.actNextChange->isEnabled());
    EXPECT_TRUE(a.actPrevChange->isEnabled());

    a.actViewChanges->trigger();
    EXPECT_FALSE(a.actViewChanges->isChecked());
    EXPECT_EQ(window.tedResult->ChangeMarks(), nullptr);
    EXPECT_EQ(window.tedData->ChangeMarks(), nullptr);
    EXPECT_EQ(Counts(), "");
    EXPECT_FALSE(a.actNextChange->isEnabled());
}

TEST_F(ChangeMarksTest, EditsOfEitherPageCompareAgainAfterThePause)
{
    TfrmKestrim& window = MarksWindow();
    SetPages("a\r\nb\r\n", "a\r\nb\r\n");
    ASSERT_TRUE(WaitForCounts("変更はありません"));
    window.ShowPage(TfrmKestrim::pgData);
    window.tedData->SetRowCol(1, 0);
    QTest::keyClicks(window.tedData, "x");
    ASSERT_TRUE(WaitForCounts("変更 1 行、追加 0 行、削除 0 行"));
    EXPECT_EQ(MarkOf(*window.tedData, 1), TLineMark::Changed);
    window.tedResult->Lines().Add("c");
    ASSERT_TRUE(WaitForCounts("変更 1 行、追加 1 行、削除 0 行"));
    window.tedResult->Lines().SetText("a\r\n");
    ASSERT_TRUE(WaitForCounts("変更 0 行、追加 0 行、削除 1 行"));
    EXPECT_EQ(MarkOf(*window.tedData, 1), TLineMark::Removed);
}

// While perl runs, the result about to be replaced has no marks; the run's end compares anew.
TEST_F(ChangeMarksTest, ARunInProgressRemovesTheMarksAndItsEndBringsThemBack)
{
    TfrmKestrim& window = MarksWindow();
    SetPages("a\r\nb\r\nc\r\n", "");
    ASSERT_TRUE(WaitForCounts("変更 0 行、追加 0 行、削除 3 行"));
    SetScript("select undef, undef, undef, 0.3; while (<STDIN>) { s/b/B/; print; }");
    bool marksDuringRun = true;
    QString countsDuringRun = "unset";
    QTimer::singleShot(150, [&] {
        marksDuringRun = window.tedResult->ChangeMarks() != nullptr || window.tedData->ChangeMarks() != nullptr;
        countsDuringRun = Counts();
    });
    window.Actions().actRun->trigger();
    EXPECT_FALSE(marksDuringRun);
    EXPECT_EQ(countsDuringRun, "");
    ASSERT_TRUE(WaitForCounts("変更 1 行、追加 0 行、削除 0 行"));
    EXPECT_EQ(MarkOf(*window.tedResult, 1), TLineMark::Changed);
}

TEST_F(ChangeMarksTest, F8AndShiftF8GoFromChangeToChangeOnTheCurrentPage)
{
    TfrmKestrim& window = MarksWindow();
    SetPages("0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", "0\r\nx\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\nadded\r\n");
    ASSERT_TRUE(WaitForCounts("変更 1 行、追加 1 行、削除 0 行"));
    // From the script page the keys go to the result's changes.
    window.tedResult->SetRowCol(0, 0);
    window.ShowPage(TfrmKestrim::pgScript);
    Press(Qt::Key_F8);
    EXPECT_EQ(Page(), TfrmKestrim::pgResult);
    EXPECT_EQ(window.tedResult->Row(), 1);
    Press(Qt::Key_F8);
    EXPECT_EQ(window.tedResult->Row(), 8);
    EXPECT_EQ(window.StatusPanelText(0), "9:1");
    Press(Qt::Key_F8);
    EXPECT_EQ(window.tedResult->Row(), 8) << "no wrap around";
    EXPECT_EQ(window.StatusPanelText(1), "次の変更箇所はありません");
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(window.tedResult->Row(), 1);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(window.StatusPanelText(1), "前の変更箇所はありません");

    // The data page goes through its own lines: the added line is a gap after its last line.
    window.ShowPage(TfrmKestrim::pgData);
    window.tedData->SetRowCol(0, 0);
    Press(Qt::Key_F8);
    EXPECT_EQ(window.tedData->Row(), 1);
    Press(Qt::Key_F8);
    EXPECT_EQ(window.tedData->Row(), 7);
    Press(Qt::Key_F8);
    EXPECT_EQ(window.StatusPanelText(1), "次の変更箇所はありません") << "the gap after the last line is passed";
}

// Two kinds of lines shuffled: no line anchors the comparison, which is cut short.
TEST_F(ChangeMarksTest, AComparisonCutShortSaysSo)
{
    MarksWindow();
    std::mt19937 random(3);
    std::vector<std::string> lines(3000);
    for (std::string& line : lines)
        line = random() % 2 ? "a" : "b";
    const auto text = [&lines] {
        std::string joined;
        for (const std::string& line : lines)
            joined += line + "\r\n";
        return joined;
    };
    const std::string data = text();
    std::shuffle(lines.begin(), lines.end(), random);
    SetPages(data, text());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Counts().endsWith(" (比較を途中で打ち切りました。以降は一つの変更として表示しています)"); }, 10000))
        << Counts().toStdString();
}

TEST_F(ChangeMarksTest, TheSwitchSurvivesARestart)
{
    MarksWindow(false).Actions().actViewChanges->trigger();
    CloseWindow();
    TfrmKestrim& window = ShownWindow();
    EXPECT_TRUE(window.Actions().actViewChanges->isChecked());
    SetPages("a\r\n", "b\r\n");
    EXPECT_TRUE(WaitForCounts("変更 1 行、追加 0 行、削除 0 行"));
    window.Actions().actViewChanges->trigger();
    CloseWindow();
    EXPECT_FALSE(ShownWindow().Actions().actViewChanges->isChecked());
}

// The lines are read between events and compared off the GUI thread: the event loop goes on
// turning (a timer of no interval ticks at every turn) until the marks arrive. Two-byte text
// makes every line's key cost a conversion, so that reading takes many slices.
TEST_F(ChangeMarksTest, LargePagesAreComparedWithTheWindowAnswering)
{
    TfrmKestrim& window = MarksWindow(false);
    SetPages(Lines(500'000, Sjis("データ").c_str()), Lines(500'000, Sjis("結果").c_str()));
    int ticks = 0;
    QTimer timer;
    timer.callOnTimeout([&] { ++ticks; });
    timer.start(0);
    window.Actions().actViewChanges->trigger();
    ASSERT_TRUE(WaitForCounts("変更 500000 行、追加 0 行、削除 0 行"));
    EXPECT_GT(ticks, 1);
}

} // namespace
