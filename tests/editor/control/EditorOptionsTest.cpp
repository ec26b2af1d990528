#include "editor/control/EditorOptions.h"

#include "editor/base/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrim {
namespace {

// Counts the change notifications of an option object.
template <typename T>
struct TCounted : T {
    int Changes = 0;
    TCounted() { this->OnChange = TNotifyEvent([this](TObject*) { ++Changes; }); }
};

TEST(EditorOptions, RangedValuesAreLimitedBeforeTheyAreStored)
{
    TEditorCaret caret;
    for (auto [given, stored] : {std::pair{3, 2}, {7, 6}, {1, 2}, {20, 8}, {8, 8}, {-1, 2}}) {
        caret.SetTabSpaceCount(given);
        EXPECT_EQ(caret.TabSpaceCount(), stored) << given;
    }
    TEditorRuler ruler;
    for (auto [given, stored] : {std::pair{9, 8}, {12, 10}, {5, 8}, {10, 10}}) {
        ruler.SetGaugeRange(given);
        EXPECT_EQ(ruler.GaugeRange(), stored) << given;
    }
    TEditorLeftbar leftbar;
    leftbar.SetColumn(0);
    EXPECT_EQ(leftbar.Column(), 1);
    leftbar.SetColumn(12);
    EXPECT_EQ(leftbar.Column(), 8);
    TEditorMargin margin; // pixel sizes, as in the left and image bars
    margin.SetLeft(-5);
    EXPECT_EQ(margin.Left(), 0);
    margin.SetLeft(150);
    EXPECT_EQ(margin.Left(), 100);
    TEditorSpeed speed;
    speed.SetPageVerticalRange(9);
    EXPECT_EQ(speed.PageVerticalRange(), 4);
    speed.SetCaretVerticalAc(0);
    EXPECT_EQ(speed.CaretVerticalAc(), 1);
}

TEST(EditorOptions, OnlyARealChangeNotifies)
{
    TCounted<TEditorMargin> margin;
    margin.SetTop(2); // the default
    margin.SetLeft(200);
    margin.SetLeft(100); // limited to what is already there
    EXPECT_EQ(margin.Changes, 1);

    TCounted<TEditorCaret> caret;
    caret.SetSoftTab(true); // read when it applies: nobody is told
    caret.SetTabSpaceCount(9);
    EXPECT_EQ(caret.Changes, 0);
    caret.SetStyle(csBrief);
    caret.SetTabSpaceCount(4);
    EXPECT_EQ(caret.Changes, 2);

    TCounted<TEditorRuler> ruler;
    ruler.SetBkColor(clSilver);
    ruler.SetVisible(true);
    EXPECT_EQ(ruler.Changes, 1);
}

TEST(EditorOptions, ChangeColoursAreCopiedWholeWithOneNotification)
{
    TEditorChangeColors source;
    source.SetChangedBack(clRed);
    source.SetAddedBack(clLime);
    source.SetRemovedBack(clBlue);
    source.SetChangedCharBack(clYellow);
    source.SetGapMark(clBlack);
    TCounted<TEditorChangeColors> colors;
    colors.SetGapMark(TEditorChangeColors::DefaultGapMark);
    colors.Assign(source);
    EXPECT_EQ(colors.Changes, 1);
    EXPECT_EQ((std::vector{colors.ChangedBack(), colors.AddedBack(), colors.RemovedBack(), colors.ChangedCharBack(),
                           colors.GapMark()}),
              (std::vector{clRed, clLime, clBlue, clYellow, clBlack}));
}

TEST(EditorOptions, AMarkChangeIsAChangeOfTheMarks)
{
    TCounted<TEditorMarks> marks;
    EXPECT_EQ(marks.RetMark().Color(), clGray);
    EXPECT_FALSE(marks.RetMark().Visible());
    marks.RetMark().SetVisible(true);
    marks.Underline().SetColor(clRed);
    marks.Underline().SetColor(clRed);
    EXPECT_EQ(marks.Changes, 2);

    TEditorMarks other;
    other.EofMark().SetVisible(true);
    marks.Assign(other); // five marks copied, one notification
    EXPECT_EQ(marks.Changes, 3);
    EXPECT_TRUE(marks.EofMark().Visible());
    EXPECT_FALSE(marks.RetMark().Visible());
    EXPECT_EQ(marks.Underline().Color(), clGray);
}

TEST(EditorOptions, AssignCopiesEveryValueAndRefusesOtherKinds)
{
    TEditorCaret source;
    source.SetNextLine(true);
    source.SetTabSpaceCount(4);
    source.Cursors().SetInSelCursor(crIBeam);
    TCounted<TEditorCaret> caret;
    caret.Assign(source);
    EXPECT_TRUE(caret.NextLine());
    EXPECT_EQ(caret.TabSpaceCount(), 4);
    EXPECT_EQ(caret.Cursors().InSelCursor(), crIBeam);
    EXPECT_EQ(caret.Changes, 1);

    TCounted<TEditorLeftbar> leftbar;
    TEditorLeftbar same;
    leftbar.Assign(same); // notifies even when nothing changed
    EXPECT_EQ(leftbar.Changes, 1);

    EXPECT_THROW(leftbar.Assign(source), Exception);
    TEditorSpeed speed;
    EXPECT_THROW(speed.Assign(source), Exception);
}

TEST(EditorViewInfo, ForwardsToItsDefinitionAndHearsItsChanges)
{
    TCounted<TEditorViewInfo> view;
    view.SetQuotation("'\"");
    EXPECT_EQ(view.Quotation(), "'");
    EXPECT_EQ(view.Fountain().Quotation(), "'");
    view.SetQuotation("\x81\x68x"); // a two-byte character stays whole
    EXPECT_EQ(view.Quotation(), "\x81\x68");
    view.SetQuotation("\x81\x68");
    view.SetCommenter("#");
    EXPECT_EQ(view.Changes, 3);

    view.Colors().Comment().SetColor(clRed); // a change inside the definition
    view.Colors().Reserve().SetColor(clBlue);
    EXPECT_EQ(view.Changes, 5);
    EXPECT_EQ(view.Fountain().Reserve().Color(), clBlue);

    TEditorViewInfo source;
    source.SetCommenter("//");
    source.SetUrl(true);
    source.Colors().Select().SetBkColor(clGreen);
    view.Assign(source);
    EXPECT_EQ(view.Changes, 6);
    EXPECT_EQ(view.Commenter(), "//");
    EXPECT_TRUE(view.Url());
    EXPECT_EQ(view.Quotation(), "");
    EXPECT_EQ(view.Colors().Comment().Color(), clNone);
    EXPECT_EQ(view.Colors().Select().BkColor(), clGreen);
}

} // namespace
} // namespace kestrim
