#pragma once
// The editor control's highlighting definition: the colours of every element of the text, a
// line-comment mark, a quotation character, a hexadecimal prefix and switches for control
// codes, mail addresses and URLs. Each editor keeps one in its view settings.

#include "editor/highlight/edFountain.h"

#include <string>
#include <string_view>

namespace kestrim {

using TEditorColor = TFountainColor;

// The colours of the elements. Reserve is the definition's own reserved-word colour, shared
// with it, so that both always agree.
class TEditorColors : public TNotifyPersistent, public TColorPublisher {
public:
    explicit TEditorColors(TFountain& Owner);

    TEditorColor& Ank() { return FAnk; }
    void SetAnk(const TEditorColor& Value) { FAnk.Assign(Value); }
    TEditorColor& Comment() { return FComment; }
    void SetComment(const TEditorColor& Value) { FComment.Assign(Value); }
    TEditorColor& DBCS() { return FDBCS; }
    void SetDBCS(const TEditorColor& Value) { FDBCS.Assign(Value); }
    TEditorColor& Hit() { return FHit; }
    const TEditorColor& Hit() const { return FHit; }
    void SetHit(const TEditorColor& Value) { FHit.Assign(Value); }
    TEditorColor& Int() { return FInt; }
    void SetInt(const TEditorColor& Value) { FInt.Assign(Value); }
    TEditorColor& Mail() { return FMail; }
    void SetMail(const TEditorColor& Value) { FMail.Assign(Value); }
    TEditorColor& Reserve() { return FOwner.Reserve(); }
    void SetReserve(const TEditorColor& Value) { FOwner.Reserve().Assign(Value); }
    TEditorColor& Select() { return FSelect; }
    const TEditorColor& Select() const { return FSelect; }
    void SetSelect(const TEditorColor& Value) { FSelect.Assign(Value); }
    TEditorColor& Str() { return FStr; }
    void SetStr(const TEditorColor& Value) { FStr.Assign(Value); }
    TEditorColor& Symbol() { return FSymbol; }
    void SetSymbol(const TEditorColor& Value) { FSymbol.Assign(Value); }
    TEditorColor& Url() { return FUrl; }
    void SetUrl(const TEditorColor& Value) { FUrl.Assign(Value); }

    // From another colour set: copies all eleven colours; the editors hear of it once.
    void Assign(const TPersistent& Source) override;
    void VisitColors(const TColorStep& Step) override;

private:
    TFountain& FOwner;
    TEditorColor FAnk;
    TEditorColor FComment;
    TEditorColor FDBCS;
    TEditorColor FHit;
    TEditorColor FInt;
    TEditorColor FMail;
    TEditorColor FSelect;
    TEditorColor FStr;
    TEditorColor FSymbol;
    TEditorColor FUrl;
};

// The bracket pairs of the editor's definition, with setters for one part of every item's
// colour; each notifies the editors once.
class TEditorBracketCollection : public TFountainBracketCollection {
public:
    using TFountainBracketCollection::TFountainBracketCollection;

    void SetItemsBkColor(TColor Value);
    void SetItemsColor(TColor Value);
    void SetItemsStyle(TFontStyles Value);

private:
    // Calls Set on every item's colour inside one update.
    template <typename Setter>
    void SetEveryItemColor(Setter&& Set);
};

class TEditorFountain : public TFountain {
public:
    TEditorFountain();

    TEditorBracketCollection& Brackets() { return static_cast<TEditorBracketCollection&>(TFountain::Brackets()); }
    TEditorColors& Colors() { return FColors; }
    void SetColors(const TEditorColors& Value) { FColors.Assign(Value); }

    // The options below are plain values: whoever changes them tells the editors.
    // Line-comment mark; empty: no line comments.
    const std::string& Commenter() const { return FCommenter; }
    void SetCommenter(const std::string& Value) { FCommenter = Value; }
    // Control codes "#" digits and "#$" hexadecimal digits.
    bool ControlCode() const { return FControlCode; }
    void SetControlCode(bool Value) { FControlCode = Value; }
    // Prefix of hexadecimal numbers, matched without regard to case; empty: none.
    const std::string& HexPrefix() const { return FHexPrefix; }
    void SetHexPrefix(const std::string& Value) { FHexPrefix = Value; }
    bool Mail() const { return FMail; }
    void SetMail(bool Value) { FMail = Value; }
    // Its first byte delimits strings; empty: no strings.
    const std::string& Quotation() const { return FQuotation; }
    void SetQuotation(const std::string& Value) { FQuotation = Value; }
    bool Url() const { return FUrl; }
    void SetUrl(bool Value) { FUrl = Value; }

    // Set one part of every colour of Colors except the selection and search-hit colours, and
    // tell the editors once.
    void ApplyBkColorToAll(TColor Value);
    void ApplyColorToAll(TColor Value);
    void ApplyStyleToAll(TFontStyles Value);
    // Whether the colour published under Name colours the text itself: the selection and
    // search-hit colours do not, so that they stay apart from the text colours.
    static bool IsTextColorName(std::string_view Name);

    void VisitColors(const TColorStep& Step) override;

protected:
    TFountainParserClass ParserClass() override;
    void ColorCopyStep(std::string_view Name, TFountainColor& Target, const TFountainColor& Source,
                       int Parts) override;

private:
    void ApplyToAll(const TFountainColor& Source, int Parts);

    TEditorColors FColors;
    std::string FCommenter;
    bool FControlCode = false;
    std::string FHexPrefix;
    bool FMail = false;
    std::string FQuotation;
    bool FUrl = false;
};

} // namespace kestrim
