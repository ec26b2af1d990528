#include "editor/control/EditorOptions.h"

#include "editor/base/edUtils.h"

#include <algorithm>

namespace kestrim {

namespace {

int EvenWithin(int Value, int Low, int High)
{
    const int limited = std::clamp(Value, Low, High);
    return limited - limited % 2;
}

int Pixels(int Value)
{
    return std::clamp(Value, 0, 100);
}

// Source as a T, for Assign: anything else is refused as by any persistent object.
template <typename T>
const T* Same(const TPersistent& Source)
{
    return dynamic_cast<const T*>(&Source);
}

} // namespace

void TEditorCursors::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorCursors>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FDefaultCursor = source->FDefaultCursor;
    FDragSelCursor = source->FDragSelCursor;
    FDragSelCopyCursor = source->FDragSelCopyCursor;
    FInSelCursor = source->FInSelCursor;
    FLeftMarginCursor = source->FLeftMarginCursor;
    FTopMarginCursor = source->FTopMarginCursor;
    Changed();
}

void TEditorCaret::SetStyle(TEditorCaretStyle Value)
{
    Store(FStyle, Value);
}

void TEditorCaret::SetTabSpaceCount(int Value)
{
    Store(FRules.TabSpaceCount, EvenWithin(Value, 2, 8));
}

void TEditorCaret::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorCaret>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    const int tabSpaceCount = FRules.TabSpaceCount;
    FRules = source->FRules;
    FRules.TabSpaceCount = tabSpaceCount;
    FAutoCursor = source->FAutoCursor;
    FCursors.Assign(source->FCursors);
    FLockScroll = source->FLockScroll;
    FRowSelect = source->FRowSelect;
    FSelDragMode = source->FSelDragMode;
    FSelMove = source->FSelMove;
    SetStyle(source->FStyle);
    SetTabSpaceCount(source->FRules.TabSpaceCount);
    EndUpdate();
}

void TEditorMargin::SetCharacter(int Value)
{
    Store(FCharacter, Pixels(Value));
}

void TEditorMargin::SetLeft(int Value)
{
    Store(FLeft, Pixels(Value));
}

void TEditorMargin::SetLine(int Value)
{
    Store(FLine, Pixels(Value));
}

void TEditorMargin::SetTop(int Value)
{
    Store(FTop, Pixels(Value));
}

void TEditorMargin::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorMargin>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    SetCharacter(source->FCharacter);
    SetLeft(source->FLeft);
    SetLine(source->FLine);
    SetTop(source->FTop);
    FUnderlineAllowance = source->FUnderlineAllowance;
    EndUpdate();
}

void TEditorMark::SetColor(TColor Value)
{
    Store(FColor, Value);
}

void TEditorMark::SetVisible(bool Value)
{
    Store(FVisible, Value);
}

void TEditorMark::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorMark>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FColor = source->FColor;
    FVisible = source->FVisible;
    Changed();
}

TEditorMarks::TEditorMarks()
{
    const TNotifyEvent markChanged = TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(this);
    for (TEditorMark* mark : {&FEofMark, &FRetMark, &FWrapMark, &FHideMark, &FUnderline})
        mark->OnChange = markChanged;
}

void TEditorMarks::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorMarks>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    FEofMark.Assign(source->FEofMark);
    FRetMark.Assign(source->FRetMark);
    FWrapMark.Assign(source->FWrapMark);
    FHideMark.Assign(source->FHideMark);
    FUnderline.Assign(source->FUnderline);
    EndUpdate();
}

TEditorViewInfo::TEditorViewInfo() : TEditorViewInfo(std::make_unique<TEditorFountain>()) {}

TEditorViewInfo::TEditorViewInfo(std::unique_ptr<TEditorFountain> Fountain) : FFountain(std::move(Fountain))
{
    FFountain->NotifyEventList().Add(TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(this));
}

void TEditorViewInfo::SetCommenter(const std::string& Value)
{
    if (Value == Commenter())
        return;
    FFountain->SetCommenter(Value);
    Changed();
}

void TEditorViewInfo::SetControlCode(bool Value)
{
    if (Value == ControlCode())
        return;
    FFountain->SetControlCode(Value);
    Changed();
}

void TEditorViewInfo::SetHexPrefix(const std::string& Value)
{
    if (Value == HexPrefix())
        return;
    FFountain->SetHexPrefix(Value);
    Changed();
}

void TEditorViewInfo::SetMail(bool Value)
{
    if (Value == Mail())
        return;
    FFountain->SetMail(Value);
    Changed();
}

void TEditorViewInfo::SetQuotation(const std::string& Value)
{
    const std::string first = Value.substr(0, Value.empty() ? 0 : CharByteCount(Value, 0));
    if (first == Quotation())
        return;
    FFountain->SetQuotation(first);
    Changed();
}

void TEditorViewInfo::SetUrl(bool Value)
{
    if (Value == Url())
        return;
    FFountain->SetUrl(Value);
    Changed();
}

void TEditorViewInfo::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorViewInfo>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    SetBrackets(source->Brackets());
    SetColors(source->Colors());
    SetCommenter(source->Commenter());
    SetControlCode(source->ControlCode());
    SetHexPrefix(source->HexPrefix());
    SetMail(source->Mail());
    SetQuotation(source->Quotation());
    SetUrl(source->Url());
    EndUpdate();
}

void TEditorRuler::SetBkColor(TColor Value)
{
    Store(FBkColor, Value);
}

void TEditorRuler::SetColor(TColor Value)
{
    Store(FColor, Value);
}

void TEditorRuler::SetEdge(bool Value)
{
    Store(FEdge, Value);
}

void TEditorRuler::SetGaugeRange(int Value)
{
    Store(FGaugeRange, EvenWithin(Value, 8, 10));
}

void TEditorRuler::SetMarkColor(TColor Value)
{
    Store(FMarkColor, Value);
}

void TEditorRuler::SetVisible(bool Value)
{
    Store(FVisible, Value);
}

void TEditorRuler::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorRuler>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FBkColor = source->FBkColor;
    FColor = source->FColor;
    FEdge = source->FEdge;
    FGaugeRange = source->FGaugeRange;
    FMarkColor = source->FMarkColor;
    FVisible = source->FVisible;
    Changed();
}

void TEditorLeftbar::SetBkColor(TColor Value)
{
    Store(FBkColor, Value);
}

void TEditorLeftbar::SetColor(TColor Value)
{
    Store(FColor, Value);
}

void TEditorLeftbar::SetColumn(int Value)
{
    Store(FColumn, std::clamp(Value, 1, 8));
}

void TEditorLeftbar::SetEdge(bool Value)
{
    Store(FEdge, Value);
}

void TEditorLeftbar::SetLeftMargin(int Value)
{
    Store(FLeftMargin, Pixels(Value));
}

void TEditorLeftbar::SetRightMargin(int Value)
{
    Store(FRightMargin, Pixels(Value));
}

void TEditorLeftbar::SetShowNumber(bool Value)
{
    Store(FShowNumber, Value);
}

void TEditorLeftbar::SetShowNumberMode(TEditorShowNumberMode Value)
{
    Store(FShowNumberMode, Value);
}

void TEditorLeftbar::SetVisible(bool Value)
{
    Store(FVisible, Value);
}

void TEditorLeftbar::SetZeroBase(bool Value)
{
    Store(FZeroBase, Value);
}

void TEditorLeftbar::SetZeroLead(bool Value)
{
    Store(FZeroLead, Value);
}

void TEditorLeftbar::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorLeftbar>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FBkColor = source->FBkColor;
    FColor = source->FColor;
    FColumn = source->FColumn;
    FEdge = source->FEdge;
    FLeftMargin = source->FLeftMargin;
    FRightMargin = source->FRightMargin;
    FShowNumber = source->FShowNumber;
    FShowNumberMode = source->FShowNumberMode;
    FVisible = source->FVisible;
    FZeroBase = source->FZeroBase;
    FZeroLead = source->FZeroLead;
    Changed();
}

void TEditorImagebar::SetDigitWidth(int Value)
{
    Store(FDigitWidth, Pixels(Value));
}

void TEditorImagebar::SetLeftMargin(int Value)
{
    Store(FLeftMargin, Pixels(Value));
}

void TEditorImagebar::SetMarkWidth(int Value)
{
    Store(FMarkWidth, Pixels(Value));
}

void TEditorImagebar::SetRightMargin(int Value)
{
    Store(FRightMargin, Pixels(Value));
}

void TEditorImagebar::SetVisible(bool Value)
{
    Store(FVisible, Value);
}

void TEditorImagebar::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorImagebar>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    FDigitWidth = source->FDigitWidth;
    FLeftMargin = source->FLeftMargin;
    FMarkWidth = source->FMarkWidth;
    FRightMargin = source->FRightMargin;
    FVisible = source->FVisible;
    Changed();
}

void TEditorChangeColors::SetChangedBack(TColor Value)
{
    Store(FChangedBack, Value);
}

void TEditorChangeColors::SetAddedBack(TColor Value)
{
    Store(FAddedBack, Value);
}

void TEditorChangeColors::SetRemovedBack(TColor Value)
{
    Store(FRemovedBack, Value);
}

void TEditorChangeColors::SetChangedCharBack(TColor Value)
{
    Store(FChangedCharBack, Value);
}

void TEditorChangeColors::SetGapMark(TColor Value)
{
    Store(FGapMark, Value);
}

void TEditorChangeColors::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorChangeColors>(Source);
    if (!source) {
        TNotifyPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    SetChangedBack(source->FChangedBack);
    SetAddedBack(source->FAddedBack);
    SetRemovedBack(source->FRemovedBack);
    SetChangedCharBack(source->FChangedCharBack);
    SetGapMark(source->FGapMark);
    EndUpdate();
}

void TEditorSpeed::SetCaretVerticalAc(int Value)
{
    FCaretVerticalAc = std::clamp(Value, 1, 4);
}

void TEditorSpeed::SetPageVerticalRange(int Value)
{
    FPageVerticalRange = std::clamp(Value, 1, 4);
}

void TEditorSpeed::SetPageVerticalRangeAc(int Value)
{
    FPageVerticalRangeAc = std::clamp(Value, 1, 4);
}

void TEditorSpeed::Assign(const TPersistent& Source)
{
    const auto* source = Same<TEditorSpeed>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FCaretVerticalAc = source->FCaretVerticalAc;
    FInitBracketsFull = source->FInitBracketsFull;
    FPageVerticalRange = source->FPageVerticalRange;
    FPageVerticalRangeAc = source->FPageVerticalRangeAc;
}

} // namespace kestrim
