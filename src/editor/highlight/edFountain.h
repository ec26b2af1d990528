#pragma once
// Highlighting definitions: which bracket pairs enclose regions that may span rows (block
// comments and the like), which words are reserved and how both are coloured. A definition
// is shared by every editor that uses it; each change reaches all of them through the
// definition's notification list, and they re-parse and repaint.

#include "editor/base/edClasses.h"
#include "editor/base/edGraphics.h"
#include "editor/text/edRowStates.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kestrim {

class TFountain;
class TFountainParser;

// The colours and font style of one element of the text; clNone takes the editor's own colour.
class TFountainColor : public TNotifyPersistent {
public:
    // Colours are owned objects whose change handler names their owner: they are copied with
    // Assign, never as values.
    TFountainColor() = default;
    TFountainColor(const TFountainColor&) = delete;
    TFountainColor& operator=(const TFountainColor&) = delete;

    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // From another TFountainColor: copies all three values and notifies once, changed or not.
    void Assign(const TPersistent& Source) override;

private:
    TColor FBkColor = clNone;
    TColor FColor = clNone;
    TFontStyles FStyle;
};

// Called for each colour setting of an object, with the name it is published under.
using TColorStep = std::function<void(std::string_view Name, TFountainColor& Color)>;

// An object that publishes colour settings. VisitColors calls Step for every colour it holds,
// directly or through nested objects and collection items, in the alphabetical order of the
// names, so that a definition can look for a style in, or apply a colour to, all of them.
class TColorPublisher {
public:
    virtual void VisitColors(const TColorStep& Step) = 0;

protected:
    ~TColorPublisher() = default;
};

// The parts of a colour that CopyColorParts copies.
enum TColorParts : int { cpBkColor = 1, cpColor = 2, cpStyle = 4 };

// A collection item with a colour. In a notifying collection a change of the colour is a change
// of the collection.
class TFountainColorItem : public TCollectionItem, public TColorPublisher {
public:
    explicit TFountainColorItem(TCollection* Collection);

    TFountainColor& ItemColor() { return FItemColor; }
    const TFountainColor& ItemColor() const { return FItemColor; }
    void SetItemColor(const TFountainColor& Value) { FItemColor.Assign(Value); }

    void Assign(const TPersistent& Source) override;
    void VisitColors(const TColorStep& Step) override;

private:
    TFountainColor FItemColor;
};

// A pair of brackets and the colour of everything from the left one to the right one. The
// brackets are compared byte for byte; changing them notifies nobody by itself.
class TFountainBracketItem : public TFountainColorItem {
public:
    using TFountainColorItem::TFountainColorItem;

    const std::string& LeftBracket() const { return FLeftBracket; }
    void SetLeftBracket(const std::string& Value) { FLeftBracket = Value; }
    const std::string& RightBracket() const { return FRightBracket; }
    void SetRightBracket(const std::string& Value) { FRightBracket = Value; }

    void Assign(const TPersistent& Source) override;

private:
    std::string FLeftBracket;
    std::string FRightBracket;
};

// The bracket pairs of a definition. Every row stores the index of the bracket open at its
// start in a four-bit field that also holds -2 and -1, hence the limit of 14 items.
class TFountainBracketCollection : public TNotifyCollection, public TColorPublisher {
public:
    static constexpr int MaxItems = 14;

    using TNotifyCollection::TNotifyCollection;

    // Raises Exception when the collection is full; the collection is then unchanged.
    TFountainBracketItem* Add() { return static_cast<TFountainBracketItem*>(TNotifyCollection::Add()); }
    TFountainBracketItem* Items(int Index) const
    {
        return static_cast<TFountainBracketItem*>(TNotifyCollection::Items(Index));
    }

    void VisitColors(const TColorStep& Step) override;

protected:
    // Every way of adding an item comes here, so the limit holds for Assign as well.
    std::unique_ptr<TCollectionItem> CreateItem() override;
};

// Creates a parser of one class for a definition: what a definition names as its parser class.
using TFountainParserClass = std::unique_ptr<TFountainParser> (*)(TFountain* Fountain, TTextEncoding Encoding);

// A highlighting definition. Descendants name their parser class and may bring a bracket
// collection of their own kind.
class TFountain : public TFileExtComponent, public TColorPublisher, public TRowStates {
public:
    // Its parts notify through handlers bound to it: a definition stays where it was made.
    TFountain(const TFountain&) = delete;
    TFountain& operator=(const TFountain&) = delete;

    // Editors add their change handler here; each is called with the definition as Sender.
    TNotifyEventList& NotifyEventList() { return *FNotifyEventList; }

    TFountainBracketCollection& Brackets() { return *FBrackets; }
    void SetBrackets(const TFountainBracketCollection& Value) { FBrackets->Assign(Value); }
    // The colour of reserved words.
    TFountainColor& Reserve() { return *FReserve; }
    void SetReserve(const TFountainColor& Value) { FReserve->Assign(Value); }
    // Sorted, without duplicates and compared without regard to case. Editing the list itself
    // notifies nobody; setting it through SetReserveWordList does.
    TStringList& ReserveWordList() { return *FReserveWordList; }
    void SetReserveWordList(const TStrings& Value);

    // A new parser of this definition's parser class for text in Encoding; the caller owns it.
    std::unique_ptr<TFountainParser> NewParser(TTextEncoding Encoding = TTextEncoding::ShiftJis);
    std::unique_ptr<TRowStateParser> NewRowStateParser(TTextEncoding Encoding) override;
    // Only a bracket pair spans lines: every other token ends with its line.
    bool StatesCrossLines() override;

    // Whether any colour that Instance publishes is italic.
    bool UsesItalic(TColorPublisher& Instance);
    // Copies the parts (TColorParts) of Color into every colour that Instance publishes,
    // through their setters, so that each colour that changes notifies.
    void CopyColorParts(TColorPublisher& Instance, const TFountainColor& Color, int Parts);

    void VisitColors(const TColorStep& Step) override;

protected:
    // Brackets is the collection of the descendant's kind; the definition becomes its owner.
    explicit TFountain(std::unique_ptr<TFountainBracketCollection> Brackets);
    TFountain();

    virtual TFountainParserClass ParserClass() = 0;
    // One colour of the walk of CopyColorParts.
    virtual void ColorCopyStep(std::string_view Name, TFountainColor& Target, const TFountainColor& Source,
                               int Parts);

private:
    // Declared first so that it outlives everything that notifies through it.
    std::unique_ptr<TNotifyEventList> FNotifyEventList;
    std::unique_ptr<TFountainBracketCollection> FBrackets;
    std::unique_ptr<TStringList> FReserveWordList;
    std::unique_ptr<TFountainColor> FReserve;
};

} // namespace kestrim
