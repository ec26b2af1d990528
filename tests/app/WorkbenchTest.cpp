#include "app/MainWindowFixture.h"

#include <QSplitter>

namespace {

class WorkbenchTest : public MainWindowTest {
protected:
    std::array<TEditor*, 3> Editors() { return {Window().tedScript, Window().tedData, Window().tedResult}; }

    // A few hundred numbered lines, each editor's own, with one edit to undo.
    void FillEditors()
    {
        int page = 0;
        for (TEditor* editor : Editors()) {
            std::string text;
            for (int line = 0; line < 300; ++line)
                text += "page" + std::to_string(page) + " line" + std::to_string(line) + "\r\n";
            editor->Lines().SetText(text);
            editor->SetRowCol(0, 0);
            QTest::keyClicks(editor, "x");
            ++page;
        }
    }

    QSplitter& Splitter(const char* Name) { return *Window().findChild<QSplitter*>(Name); }
    // The first pane's share of a splitter, in thousandths.
    int Share(const char* Name)
    {
        const QList<int> sizes = Splitter(Name).sizes();
        return sizes[0] * 1000 / (sizes[0] + sizes[1]);
    }
};

// Counts the events of one type that reach a widget while it lives.
class TEventCounter : public QObject {
public:
    TEventCounter(QObject& Watched, QEvent::Type Type, int& Count) : FType(Type), FCount(Count)
    {
        Watched.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* Event) override
    {
        FCount += Event->type() == FType;
        return false;
    }

private:
    QEvent::Type FType;
    int& FCount;
};

struct TEditorState {
    std::string Text;
    int Row, Col, TopRow;
    std::pair<int, int> Sel;
    bool operator==(const TEditorState&) const = default;
};

TEditorState StateOf(TEditor& Editor)
{
    return {Editor.Lines().Text(), Editor.Row(), Editor.Col(), Editor.TopRow(), Editor.GetSel()};
}

TEST_F(WorkbenchTest, SwitchingTheViewKeepsTextsCaretsSelectionsUndoAndScrollPositions)
{
    TfrmKestrim& window = ShownWindow();
    FillEditors();
    std::vector<TEditorState> before;
    int page = 0;
    for (TEditor* editor : Editors()) {
        editor->SetTopRow(100 + 10 * page);
        editor->SetRowCol(120 + page, 2);
        editor->SetSel(editor->SelStart(), editor->SelStart() + 3 + page);
        before.push_back(StateOf(*editor));
        ++page;
    }
    window.ShowPage(TfrmKestrim::pgData);
    // Showing the Web page, even in passing, would start its browser.
    int webShown = 0;
    TEventCounter counter(*window.tbsWeb, QEvent::Show, webShown);
    for (bool on : {true, false, true, false}) {
        window.SetWorkbench(on);
        QTest::qWait(20); // laid out and painted in the new place
        EXPECT_EQ(window.pgcEditor->count(), on ? 2 : 4);
        EXPECT_EQ(&window.CurrentEditor(), window.tedData) << "the page shown stays the current one";
        EXPECT_TRUE(window.tedData->hasFocus());
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(StateOf(*Editors()[i]), before[i]) << "editor " << i << (on ? " side by side" : " in tabs");
    }
    EXPECT_EQ(webShown, 0);
    for (TEditor* editor : Editors()) {
        ASSERT_TRUE(editor->CanUndo());
        editor->Undo();
        EXPECT_EQ(editor->Lines().Get(0).substr(0, 4), "page") << "the typed x is taken back";
    }
}

TEST_F(WorkbenchTest, CtrlDigitsFocusTheEditorsAndCommandsActOnTheFocusedOne)
{
    TfrmKestrim& window = ShownWindow();
    window.SetWorkbench(true);
    window.tedData->Lines().SetText("one\r\ntwo\r\nthree");
    window.tedResult->Lines().SetText("result");
    EXPECT_EQ(&window.CurrentEditor(), window.tedScript) << "the script's before any other had the focus";

    Press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_TRUE(window.tedData->hasFocus());
    EXPECT_EQ(&window.CurrentEditor(), window.tedData);
    EXPECT_TRUE(window.Actions().actViewData->isChecked());
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(window.StatusPanelText(0), "3:6");
    Press(Qt::Key_A, Qt::ControlModifier); // select all
    EXPECT_EQ(window.tedData->SelText(), "one\r\ntwo\r\nthree");
    EXPECT_FALSE(window.tedScript->HasSelectedText());
    EXPECT_TRUE(window.Actions().actCopy->isEnabled());

    // A click moves the focus and the commands with it.
    QTest::mouseClick(window.tedResult->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 5));
    EXPECT_EQ(&window.CurrentEditor(), window.tedResult);
    EXPECT_TRUE(window.Actions().actViewResult->isChecked());
    EXPECT_FALSE(window.Actions().actCopy->isEnabled());
    window.Actions().actMoveBottom->trigger();
    EXPECT_EQ(window.tedResult->Col(), 6);
    EXPECT_EQ(window.tedData->SelText(), "one\r\ntwo\r\nthree") << "the other editors are left alone";

    // Ctrl+4 shows the Web page in its own tab; Ctrl+Tab steps on to the script.
    Press(Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(window.pgcEditor->currentWidget(), window.tbsWeb);
    EXPECT_EQ(window.StatusPanelText(0), "");
    EXPECT_EQ(window.StatusPanelText(2), "");
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window.pgcEditor->currentIndex(), 0);
    EXPECT_TRUE(window.tedScript->hasFocus());
    Press(Qt::Key_3, Qt::ControlModifier);
    EXPECT_TRUE(window.tedResult->hasFocus());
    EXPECT_EQ(window.StatusPanelText(0), "1:7");
}

// Side by side the wheel scrolls the editor under the mouse, not the focused one.
TEST_F(WorkbenchTest, TheWheelScrollsTheEditorUnderTheMouse)
{
    TfrmKestrim& window = ShownWindow();
    window.SetWorkbench(true);
    FillEditors();
    window.tedScript->SetFocus();
    QWheelEvent wheel(QPointF(5, 5), window.tedData->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.tedData->viewport(), &wheel);
    EXPECT_EQ(window.tedData->TopRow(), 1);
    EXPECT_EQ(window.tedScript->TopRow(), 0);
}

// A run shows its result without taking the focus from the script being worked on.
TEST_F(WorkbenchTest, ARunLeavesTheFocusInTheScript)
{
    TfrmKestrim& window = ShownWindow();
    window.SetWorkbench(true);
    SetScript("print 'done';");
    Press(Qt::Key_1, Qt::ControlModifier);
    Press(Qt::Key_F9);
    EXPECT_EQ(window.tedResult->Lines().Text(), "done");
    EXPECT_TRUE(window.tedScript->hasFocus());
    EXPECT_EQ(window.pgcEditor->currentIndex(), 0);
    EXPECT_TRUE(window.tedResult->isVisible());
}

TEST_F(WorkbenchTest, TheViewAndItsSplittersAreKeptForTheNextStart)
{
    int columns = 0;
    int rows = 0;
    {
        TfrmKestrim& window = ShownWindow();
        window.Actions().actViewWorkbench->trigger();
        QTest::qWait(20);
        EXPECT_NEAR(Share("splWorkbench"), 500, 5) << "half and half at a first start";
        EXPECT_NEAR(Share("splWorkbenchRight"), 500, 5);
        Splitter("splWorkbench").setSizes({200, 400});
        Splitter("splWorkbenchRight").setSizes({220, 100});
        columns = Share("splWorkbench");
        rows = Share("splWorkbenchRight");
        EXPECT_LT(columns, 400);
        EXPECT_GT(rows, 550);
        CloseWindow();
    }
    TfrmKestrim& window = ShownWindow();
    QTest::qWait(20);
    EXPECT_TRUE(window.Actions().actViewWorkbench->isChecked());
    EXPECT_EQ(window.pgcEditor->count(), 2);
    EXPECT_TRUE(window.tedScript->hasFocus());
    EXPECT_NEAR(Share("splWorkbench"), columns, 5);
    EXPECT_NEAR(Share("splWorkbenchRight"), rows, 5);
}

} // namespace
