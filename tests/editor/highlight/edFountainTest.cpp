#include "editor/base/Exceptions.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountain.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kestrim;

namespace {

// An editor watching a definition: counts the notifications and checks their sender.
class TWatcher : public TObject {
public:
    explicit TWatcher(TFountain& Fountain) : FFountain(Fountain)
    {
        Fountain.NotifyEventList().Add(TNotifyEvent::Of<&TWatcher::FountainChanged>(this));
    }
    ~TWatcher() override { FFountain.NotifyEventList().Remove(TNotifyEvent::Of<&TWatcher::FountainChanged>(this)); }

    void FountainChanged(TObject* Sender)
    {
        EXPECT_EQ(Sender, &FFountain);
        ++Count;
    }
    int Count = 0;

private:
    TFountain& FFountain;
};

// A collection of plain colour items, to assign from.
class TColorItems : public TNotifyCollection {
public:
    TColorItems() : TNotifyCollection(nullptr) {}

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<TFountainColorItem>(this); }
};

const char* const BracketLimitMessage = "TFountainBracketCollection\r\nYou can not add item over 14";

} // namespace

TEST(FountainColor, StartsWithoutColoursAndAssignsAllValuesWithOneNotification)
{
    TFountainColor color;
    EXPECT_EQ(color.BkColor(), clNone);
    EXPECT_EQ(color.Color(), clNone);
    EXPECT_TRUE(color.Style().Empty());
    color.SetColor(clRed);
    color.SetBkColor(clWhite);
    color.SetStyle({fsBold, fsItalic});

    TFountainColor copy;
    int copyChanges = 0;
    copy.OnChange = TNotifyEvent([&](TObject*) { ++copyChanges; });
    copy.Assign(color);
    copy.Assign(color);
    EXPECT_EQ(copyChanges, 2);
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(copy.BkColor(), clWhite);
    EXPECT_EQ(copy.Style(), (TFontStyles{fsItalic, fsBold}));

    TColorItems items;
    EXPECT_THROW(copy.Assign(items), Exception);
}

TEST(FountainBracketCollection, HoldsAtMostFourteenItems)
{
    TEditorFountain fountain;
    TFountainBracketCollection& brackets = fountain.Brackets();
    for (int i = 0; i < 14; ++i)
        brackets.Add()->SetLeftBracket(std::string(1, static_cast<char>('a' + i)));
    try {
        brackets.Add();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), BracketLimitMessage);
    }
    EXPECT_EQ(brackets.Count(), 14);

    TEditorFountain other;
    other.SetBrackets(brackets);
    EXPECT_EQ(other.Brackets().Count(), 14);
    EXPECT_EQ(other.Brackets().Items(13)->LeftBracket(), "n");
    EXPECT_THROW(other.Brackets().Add(), Exception);
}

TEST(FountainBracketCollection, AssignOfTooManyItemsStopsAtTheLimitAndEndsItsUpdate)
{
    TEditorFountain fountain;
    TWatcher watcher(fountain);
    TColorItems items;
    for (int i = 0; i < 15; ++i)
        items.Add();
    static_cast<TFountainColorItem*>(items.Items(3))->ItemColor().SetColor(clBlue);

    EXPECT_THROW(fountain.Brackets().Assign(items), Exception);
    EXPECT_EQ(fountain.Brackets().Count(), 14);
    EXPECT_EQ(fountain.Brackets().Items(3)->ItemColor().Color(), clBlue);
    EXPECT_EQ(fountain.Brackets().UpdateCount(), 0);
    EXPECT_EQ(watcher.Count, 1);
}

TEST(Fountain, EveryChangeReachesEveryEditorOnce)
{
    TEditorFountain fountain;
    TFountainBracketItem* item = fountain.Brackets().Add();
    TWatcher first(fountain);
    TWatcher second(fountain);

    item->ItemColor().SetColor(clGreen);
    EXPECT_EQ(first.Count, 1);
    EXPECT_EQ(second.Count, 1);

    fountain.Reserve().SetBkColor(clYellow);
    fountain.Brackets().Add();
    fountain.Brackets().Delete(0);
    EXPECT_EQ(first.Count, 4);

    // Setting the reserved words notifies even when they are the same.
    fountain.SetReserveWordList(fountain.ReserveWordList());
    TStringList same;
    fountain.SetReserveWordList(same);
    EXPECT_EQ(first.Count, 6);

    // Plain fields and direct edits of the word list do not.
    fountain.Brackets().Items(0)->SetLeftBracket("{");
    fountain.ReserveWordList().Add("sub");
    EXPECT_EQ(first.Count, 6);
    EXPECT_EQ(second.Count, 6);
}

TEST(Fountain, UsesItalicLooksAtEveryColour)
{
    TEditorFountain fountain;
    fountain.Brackets().Add();
    TFountainBracketItem* item = fountain.Brackets().Add();
    EXPECT_FALSE(fountain.UsesItalic(fountain));

    item->ItemColor().SetStyle({fsItalic});
    EXPECT_TRUE(fountain.UsesItalic(fountain));
    EXPECT_FALSE(fountain.UsesItalic(fountain.Colors()));

    item->ItemColor().SetStyle({fsBold});
    fountain.Colors().Hit().SetStyle({fsItalic, fsBold});
    EXPECT_TRUE(fountain.UsesItalic(fountain));
}

TEST(Fountain, CopyColorPartsCopiesTheChosenParts)
{
    TEditorFountain fountain;
    TFountainBracketItem* item = fountain.Brackets().Add();
    item->ItemColor().SetColor(clRed);
    TFountainColor source;
    source.SetBkColor(clWhite);
    source.SetColor(clBlue);
    source.SetStyle({fsBold});

    fountain.CopyColorParts(fountain.Brackets(), source, cpBkColor | cpStyle);
    EXPECT_EQ(item->ItemColor().BkColor(), clWhite);
    EXPECT_EQ(item->ItemColor().Color(), clRed);
    EXPECT_EQ(item->ItemColor().Style(), TFontStyles{fsBold});
    EXPECT_EQ(fountain.Reserve().BkColor(), clNone);

    // From one of its own colours to the whole definition.
    fountain.CopyColorParts(fountain, item->ItemColor(), cpColor);
    EXPECT_EQ(fountain.Reserve().Color(), clRed);
    EXPECT_EQ(fountain.Colors().Symbol().Color(), clRed);
}
