#include "editor/highlight/EditorFountain.h"

#include "editor/highlight/EditorParser.h"

namespace kestrim {

// --- TEditorColors

TEditorColors::TEditorColors(TFountain& Owner) : FOwner(Owner)
{
    FSelect.SetBkColor(clNavy);
    FSelect.SetColor(clWhite);
    for (TEditorColor* color : {&FAnk, &FComment, &FDBCS, &FHit, &FInt, &FMail, &FSelect, &FStr, &FSymbol, &FUrl})
        color->OnChange = TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(this);
}

void TEditorColors::Assign(const TPersistent& Source)
{
    const auto* source = dynamic_cast<const TEditorColors*>(&Source);
    if (!source)
        return TNotifyPersistent::Assign(Source);
    // Reserve notifies through the definition, not through this set: hold both.
    WithinUpdate(FOwner.NotifyEventList(), [&] {
        WithinUpdate(*this, [&] {
            FAnk.Assign(source->FAnk);
            FComment.Assign(source->FComment);
            FDBCS.Assign(source->FDBCS);
            FHit.Assign(source->FHit);
            FInt.Assign(source->FInt);
            FMail.Assign(source->FMail);
            FOwner.Reserve().Assign(source->FOwner.Reserve());
            FSelect.Assign(source->FSelect);
            FStr.Assign(source->FStr);
            FSymbol.Assign(source->FSymbol);
            FUrl.Assign(source->FUrl);
        });
    });
}

void TEditorColors::VisitColors(const TColorStep& Step)
{
    Step("Ank", FAnk);
    Step("Comment", FComment);
    Step("DBCS", FDBCS);
    Step("Hit", FHit);
    Step("Int", FInt);
    Step("Mail", FMail);
    Step("Reserve", FOwner.Reserve());
    Step("Select", FSelect);
    Step("Str", FStr);
    Step("Symbol", FSymbol);
    Step("Url", FUrl);
}

// --- TEditorBracketCollection

template <typename Setter>
void TEditorBracketCollection::SetEveryItemColor(Setter&& Set)
{
    WithinUpdate(*this, [&] {
        for (int i = 0; i < Count(); ++i)
            Set(Items(i)->ItemColor());
    });
}

void TEditorBracketCollection::SetItemsBkColor(TColor Value)
{
    SetEveryItemColor([Value](TFountainColor& Color) { Color.SetBkColor(Value); });
}

void TEditorBracketCollection::SetItemsColor(TColor Value)
{
    SetEveryItemColor([Value](TFountainColor& Color) { Color.SetColor(Value); });
}

void TEditorBracketCollection::SetItemsStyle(TFontStyles Value)
{
    SetEveryItemColor([Value](TFountainColor& Color) { Color.SetStyle(Value); });
}

// --- TEditorFountain

TEditorFountain::TEditorFountain() : TFountain(std::make_unique<TEditorBracketCollection>(this)), FColors(*this)
{
    FColors.OnChange = TNotifyEvent::Of<&TNotifyEventList::ChangedProc>(&NotifyEventList());
}

TFountainParserClass TEditorFountain::ParserClass()
{
    return [](TFountain* Fountain, TTextEncoding Encoding) -> std::unique_ptr<TFountainParser> {
        return std::make_unique<TEditorParser>(static_cast<TEditorFountain*>(Fountain), Encoding);
    };
}

void TEditorFountain::ApplyBkColorToAll(TColor Value)
{
    TFountainColor source;
    source.SetBkColor(Value);
    ApplyToAll(source, cpBkColor);
}

void TEditorFountain::ApplyColorToAll(TColor Value)
{
    TFountainColor source;
    source.SetColor(Value);
    ApplyToAll(source, cpColor);
}

void TEditorFountain::ApplyStyleToAll(TFontStyles Value)
{
    TFountainColor source;
    source.SetStyle(Value);
    ApplyToAll(source, cpStyle);
}

void TEditorFountain::ApplyToAll(const TFountainColor& Source, int Parts)
{
    WithinUpdate(NotifyEventList(), [&] { CopyColorParts(FColors, Source, Parts); });
}

bool TEditorFountain::IsTextColorName(std::string_view Name)
{
    return CompareTextSjis(Name, "Select") != 0 && CompareTextSjis(Name, "Hit") != 0;
}

void TEditorFountain::ColorCopyStep(std::string_view Name, TFountainColor& Target, const TFountainColor& Source,
                                    int Parts)
{
    if (IsTextColorName(Name))
        TFountain::ColorCopyStep(Name, Target, Source, Parts);
}

void TEditorFountain::VisitColors(const TColorStep& Step)
{
    Brackets().VisitColors(Step);
    FColors.VisitColors(Step);
    Step("Reserve", Reserve());
}

} // namespace kestrim
