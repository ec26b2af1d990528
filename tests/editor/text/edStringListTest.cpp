#include "editor/base/Exceptions.h"
#include "editor/text/edStringList.h"

#include <gtest/gtest.h>

using namespace kestrim;

TEST(RowAttributeStringList, NewRowsReadTheNotParsedState)
{
    TEditorStringList list;
    list.Add("a");
    list.Insert(0, "b");
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(list.Rows(i), raCrlf);
        EXPECT_EQ(list.PrevRows(i), raCrlf);
        EXPECT_EQ(list.Brackets(i), -2);
        EXPECT_EQ(list.ExtraInts1(i) + list.CarryLengths(i) + list.ExtraInts2(i), 0);
        EXPECT_EQ(list.CarryKinds(i) + list.ExtraBytes(i), 0);
        EXPECT_EQ(list.RowMarks(i), 0);
        EXPECT_EQ(list.ExtraStrings(i), "");
    }
}

TEST(RowAttributeStringList, FieldsAreIndependentAndClamped)
{
    TEditorStringList list;
    list.Add("x");
    list.SetRows(0, raWrapped);
    list.SetCarryKinds(0, 22);
    list.SetExtraBytes(0, 200);
    list.SetRowMarks(0, RowMark(3) | RowMark(15));
    EXPECT_EQ(list.Rows(0), raWrapped);
    EXPECT_EQ(list.CarryKinds(0), 22);
    EXPECT_EQ(list.ExtraBytes(0), 200);
    EXPECT_EQ(list.RowMarks(0), RowMark(3) | RowMark(15));

    for (int value : {-1, 13, 0}) {
        list.SetBrackets(0, value);
        EXPECT_EQ(list.Brackets(0), value);
    }

    // values out of range stay inside their own field
    list.SetExtraInts1(0, 7);
    list.SetExtraInts2(0, 9);
    list.SetCarryLengths(0, 300);
    EXPECT_EQ(list.CarryLengths(0), 255);
    list.SetCarryLengths(0, -5);
    EXPECT_EQ(list.CarryLengths(0), 0);
    list.SetBrackets(0, 99);
    EXPECT_EQ(list.Brackets(0), 13);
    list.SetBrackets(0, -50);
    EXPECT_EQ(list.Brackets(0), -2);
    list.SetCarryKinds(0, 1000);
    list.SetExtraBytes(0, -1);
    EXPECT_EQ(list.ExtraInts1(0), 7);
    EXPECT_EQ(list.ExtraInts2(0), 9);
    EXPECT_EQ(list.Rows(0), raWrapped);
    EXPECT_EQ(list.CarryKinds(0), 255);
    EXPECT_EQ(list.ExtraBytes(0), 0);
    EXPECT_EQ(list.RowMarks(0), RowMark(3) | RowMark(15));
}

TEST(RowAttributeStringList, ParserStateTravelsAsOneRecord)
{
    TEditorStringList list;
    list.Add("x");
    list.SetRows(0, raEof);
    list.SetRowMarks(0, RowMark(1));
    TRowAttributeData data;
    data.RowAttribute = raWrapped; // never taken from the record
    data.PrevRowAttribute = raWrapped;
    data.OpenBracket = 4;
    data.ExtraInt1 = 1;
    data.CarryLength = 2;
    data.ExtraInt2 = 3;
    data.CarryKind = 25;
    data.ExtraByte = 6;
    data.ExtraStr = "EOT";
    list.PutRowAttributeData(0, data);
    TRowAttributeData read = list.GetRowAttributeData(0);
    EXPECT_EQ(read.RowAttribute, raEof);
    read.RowAttribute = raWrapped;
    EXPECT_EQ(read, data);

    list.ResetRowAttributeData(0);
    EXPECT_EQ(list.Brackets(0), -2);
    EXPECT_EQ(list.ExtraStrings(0), "");
    EXPECT_EQ(list.Rows(0), raEof);
    EXPECT_EQ(list.RowMarks(0), RowMark(1));
}

TEST(TheStringList, EventsFirePerChangeOrOncePerBatch)
{
    TEditorStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = TNotifyEvent([&](TObject*) { ++changing; });
    list.OnChange = TNotifyEvent([&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changed;
    });
    for (int i = 0; i < 100; ++i)
        list.Add("row");
    EXPECT_EQ(changing, 100);
    EXPECT_EQ(changed, 100);
    list.SetBrackets(0, 3); // attribute changes do not notify
    list.SetExtraStrings(0, "s");
    EXPECT_EQ(changed, 100);

    list.BeginUpdate();
    for (int i = 0; i < 100; ++i)
        list.Add("row");
    list.Delete(0);
    list.Put(0, "x");
    list.EndUpdate();
    EXPECT_EQ(changing, 101);
    EXPECT_EQ(changed, 101);

    list.Clear();
    EXPECT_EQ(changed, 102);
    list.Clear(); // nothing to clear, nothing fires
    EXPECT_EQ(changed, 102);
    EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(TheStringList, CapacityGrowsByTheFixedSteps)
{
    TEditorStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 80; ++i) {
        list.Add("");
        if (capacities.empty() || capacities.back() != list.GetCapacity())
            capacities.push_back(list.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
    list.SetCapacity(200);
    EXPECT_EQ(list.GetCapacity(), 200);
    EXPECT_THROW(list.SetCapacity(10), EStringListError);
}

TEST(TheStringList, ExchangeMovesWholeRowsAndIndexesAreChecked)
{
    TEditorStringList list;
    list.Add("a");
    list.Add("b");
    list.SetRowMarks(0, RowMark(2));
    list.SetBrackets(0, 5);
    list.SetExtraStrings(1, "carried");
    list.Exchange(0, 1);
    EXPECT_EQ(list.Get(0), "b");
    EXPECT_EQ(list.ExtraStrings(0), "carried");
    EXPECT_EQ(list.RowMarks(1), RowMark(2));
    EXPECT_EQ(list.Brackets(1), 5);

    EXPECT_THROW(list.Exchange(0, 2), EStringListError);
    EXPECT_EQ(list.Get(0), "b");
    EXPECT_THROW(list.Insert(3, "x"), EStringListError);
    EXPECT_THROW(list.Rows(2), EStringListError);
    EXPECT_THROW(list.SetExtraStrings(-1, ""), EStringListError);
    list.Insert(2, "c");
    EXPECT_EQ(list.Text(), "b\r\na\r\nc\r\n");
}

TEST(TheStringList, ReplaceItemsMovesWholeRowsInOneChange)
{
    TEditorStringList list;
    for (const char* row : {"a", "b", "c"})
        list.Add(row);
    TEditorStringList source;
    source.Add("x");
    source.SetRowMarks(0, RowMark(1));
    source.SetExtraStrings(0, "extra");
    source.Add("y");
    source.Add("z");
    int changes = 0;
    list.OnChange = TNotifyEvent([&](TObject*) { ++changes; });

    list.ReplaceItems(1, 1, source);
    EXPECT_EQ(list.Text(), "a\r\nx\r\ny\r\nz\r\nc\r\n");
    EXPECT_EQ(list.RowMarks(1), RowMark(1));
    EXPECT_EQ(list.ExtraStrings(1), "extra");
    EXPECT_EQ(source.Count(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list.GetCapacity(), 8) << "grown by the list's own steps";

    list.ReplaceItems(0, 4, source);
    EXPECT_EQ(list.Text(), "c\r\n");
    EXPECT_THROW(list.ReplaceItems(0, 2, source), EStringListError);
    EXPECT_THROW(list.ReplaceItems(2, 0, source), EStringListError);
    EXPECT_EQ(list.Text(), "c\r\n");
}
