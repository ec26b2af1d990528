#include "editor/highlight/edFountain.h"

#include "editor/base/Exceptions.h"
#include "editor/highlight/edFountainParser.h"

namespace kestrim {

// --- TFountainColor

void TFountainColor::SetBkColor(TColor Value)
{
    Store(FBkColor, Value);
}

void TFountainColor::SetColor(TColor Value)
{
    Store(FColor, Value);
}

void TFountainColor::SetStyle(TFontStyles Value)
{
    Store(FStyle, Value);
}

void TFountainColor::Assign(const TPersistent& Source)
{
    const auto* source = dynamic_cast<const TFountainColor*>(&Source);
    if (!source)
        return TNotifyPersistent::Assign(Source);
    FBkColor = source->FBkColor;
    FColor = source->FColor;
    FStyle = source->FStyle;
    Changed();
}

// --- TFountainColorItem, TFountainBracketItem

TFountainColorItem::TFountainColorItem(TCollection* Collection) : TCollectionItem(Collection)
{
    if (auto* notifying = dynamic_cast<TNotifyCollection*>(Collection))
        FItemColor.OnChange = TNotifyEvent::Of<&TNotifyCollection::ChangedProc>(notifying);
}

void TFountainColorItem::Assign(const TPersistent& Source)
{
    const auto* source = dynamic_cast<const TFountainColorItem*>(&Source);
    if (!source)
        return TCollectionItem::Assign(Source);
    SetItemColor(source->ItemColor());
}

void TFountainColorItem::VisitColors(const TColorStep& Step)
{
    Step("ItemColor", FItemColor);
}

void TFountainBracketItem::Assign(const TPersistent& Source)
{
    if (const auto* source = dynamic_cast<const TFountainBracketItem*>(&Source)) {
        FLeftBracket = source->FLeftBracket;
        FRightBracket = source->FRightBracket;
    }
    TFountainColorItem::Assign(Source);
}

// --- TFountainBracketCollection

void TFountainBracketCollection::VisitColors(const TColorStep& Step)
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->VisitColors(Step);
}

std::unique_ptr<TCollectionItem> TFountainBracketCollection::CreateItem()
{
    if (Count() >= MaxItems)
        throw Exception("TFountainBracketCollection\r\nYou can not add item over " + std::to_string(MaxItems));
    return std::make_unique<TFountainBracketItem>(this);
}

// --- TFountain

TFountain::TFountain(std::unique_ptr<TFountainBracketCollection> Brackets)
    : FNotifyEventList(std::make_unique<TNotifyEventList>(this)),
      FBrackets(std::move(Brackets)),
      FReserveWordList(CreateFileExtList()), // the base's sorted, duplicate-free list
      FReserve(std::make_unique<TFountainColor>())
{
    const auto notifyEditors = TNotifyEvent::Of<&TNotifyEventList::ChangedProc>(FNotifyEventList.get());
    FBrackets->OnChange = notifyEditors;
    FReserve->OnChange = notifyEditors;
}

TFountain::TFountain() : TFountain(std::make_unique<TFountainBracketCollection>(this))
{
}

void TFountain::SetReserveWordList(const TStrings& Value)
{
    FReserveWordList->Assign(Value);
    FNotifyEventList->Changed();
}

std::unique_ptr<TFountainParser> TFountain::NewParser(TTextEncoding Encoding)
{
    return ParserClass()(this, Encoding);
}

std::unique_ptr<TRowStateParser> TFountain::NewRowStateParser(TTextEncoding Encoding)
{
    return NewParser(Encoding);
}

bool TFountain::StatesCrossLines()
{
    return Brackets().Count() > 0;
}

bool TFountain::UsesItalic(TColorPublisher& Instance)
{
    bool italic = false;
    Instance.VisitColors([&italic](std::string_view, TFountainColor& Color) {
        if (Color.Style().Contains(fsItalic))
            italic = true;
    });
    return italic;
}

void TFountain::CopyColorParts(TColorPublisher& Instance, const TFountainColor& Color, int Parts)
{
    // A copy, since Color may itself be one of the colours the walk changes.
    TFountainColor source;
    source.Assign(Color);
    Instance.VisitColors([&](std::string_view Name, TFountainColor& Target) {
        ColorCopyStep(Name, Target, source, Parts);
    });
}

void TFountain::ColorCopyStep(std::string_view /*Name*/, TFountainColor& Target, const TFountainColor& Source,
                              int Parts)
{
    if (Parts & cpBkColor)
        Target.SetBkColor(Source.BkColor());
    if (Parts & cpColor)
        Target.SetColor(Source.Color());
    if (Parts & cpStyle)
        Target.SetStyle(Source.Style());
}

void TFountain::VisitColors(const TColorStep& Step)
{
    FBrackets->VisitColors(Step);
    Step("Reserve", *FReserve);
}

} // namespace kestrim
