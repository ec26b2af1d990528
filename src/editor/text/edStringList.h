#pragma once
// The row lists of the editor. The editor keeps its text as screen rows; every row carries,
// beside its text, how it ends, the highlighting parser's state at its start and its marks,
// packed into two 32-bit words so that millions of rows stay small.

#include "editor/base/GapVector.h"
#include "editor/base/StringsBase.h"
#include "editor/base/edClasses.h"
#include "editor/text/RowText.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

// How a row ends.
enum TRowAttribute : std::uint8_t {
    raCrlf = 0,    // the row ends a logical line; "\r\n" follows it in the text
    raWrapped = 1, // the logical line goes on in the next row
    raEof = 2,     // the last row of the text, without a line break
    raInvalid = 3, // no such row
};

// Marks 0..15 of a row, bit k for mark k: 0..9 are the numbered bookmarks.
using TRowMarks = std::uint16_t;

constexpr TRowMarks RowMark(int Mark) { return static_cast<TRowMarks>(1u << Mark); }

// The parser's state at the start of a row.
struct TRowAttributeData {
    TRowAttribute RowAttribute = raCrlf;
    TRowAttribute PrevRowAttribute = raCrlf;
    std::int32_t OpenBracket = -1;
    std::int32_t ExtraInt1 = 0;
    std::int32_t CarryLength = 0;
    std::int32_t ExtraInt2 = 0;
    std::uint8_t CarryKind = 0;
    std::uint8_t ExtraByte = 0;
    std::string ExtraStr;

    bool operator==(const TRowAttributeData&) const = default;
};

// The state before the first row of a text (the default-constructed record).
inline TRowAttributeData InitialRowAttributeData() { return {}; }

// One row: 16 bytes beside its text's own bytes.
struct TheStringItem {
    TRowText Text;
    std::uint32_t Attributes = 0;
    std::uint32_t Attributes2 = 0;
};

// A line list whose items carry two strings and two 32-bit words, with change events.
class TheStringList : public TStrings {
public:
    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    void Put(int Index, const std::string& S) override;
    int Add(std::string_view S) override;
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Exchange(int Index1, int Index2) override;
    void Clear() override;
    int GetCapacity() const override { return static_cast<int>(FItems.capacity()); }
    // Reallocates to exactly NewCapacity slots (never fewer than Count).
    void SetCapacity(int NewCapacity) override;

    // The row's text without a copy, valid until the row changes or goes.
    std::string_view Str(int Index) const;

    // Replaces the Count items from Index by all items of Source, moved whole (text, both words,
    // ExtraStr), and leaves Source empty: one change, whatever the number of items, so that
    // the rows after Index move once. Raises the list-index error unless
    // 0 <= Index <= Index + Count <= this Count.
    void ReplaceItems(int Index, int Count, TheStringList& Source);

    std::string ExtraStrings(int Index) const;
    void SetExtraStrings(int Index, const std::string& Value);
    std::uint32_t Attributes(int Index) const;
    void SetAttributes(int Index, std::uint32_t Value);
    std::uint32_t Attributes2(int Index) const;
    void SetAttributes2(int Index, std::uint32_t Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;

    const TheStringItem& Item(int Index) const;
    TheStringItem& Item(int Index);

private:
    // Grows the capacity by the list's steps until it holds at least Needed items.
    void GrowFor(std::size_t Needed);

    // Edits at one place of a long text move no rows.
    TGapVector<TheStringItem> FItems;
    int FUpdateCount = 0;
};

// Typed access to the packed fields. Values outside a field's range are clamped to it, so
// that they never spill into the neighbouring fields.
class TRowAttributeStringList : public TheStringList {
public:
    TRowAttribute Rows(int Index) const;
    void SetRows(int Index, TRowAttribute Value);
    TRowAttribute PrevRows(int Index) const;
    void SetPrevRows(int Index, TRowAttribute Value);
    // -2 (not parsed yet), -1 (no bracket open) or the open bracket item 0..13.
    int Brackets(int Index) const;
    void SetBrackets(int Index, int Value);
    int ExtraInts1(int Index) const;
    void SetExtraInts1(int Index, int Value);
    int CarryLengths(int Index) const;
    void SetCarryLengths(int Index, int Value);
    int ExtraInts2(int Index) const;
    void SetExtraInts2(int Index, int Value);
    int CarryKinds(int Index) const;
    void SetCarryKinds(int Index, int Value);
    int ExtraBytes(int Index) const;
    void SetExtraBytes(int Index, int Value);
    TRowMarks RowMarks(int Index) const;
    void SetRowMarks(int Index, TRowMarks Value);

    // The row's parser state; RowAttribute is the row's own Rows.
    TRowAttributeData GetRowAttributeData(int Index) const;
    // Stores the parser state; the row's own Rows is never taken from Data.
    void PutRowAttributeData(int Index, const TRowAttributeData& Data);
    // The not-parsed state: PrevRows raCrlf, Brackets -2, the other parser fields 0;
    // Rows and RowMarks stay.
    void ResetRowAttributeData(int Index);
    // Resets every row of Index..End - 1 that is parsed (Brackets is not -2).
    void ResetParsedRowsFrom(int Index, int End = std::numeric_limits<int>::max());
};

// The scratch row lists of word wrap, undo and redo, and the base of the screen rows.
class TEditorStringList : public TRowAttributeStringList {
};

} // namespace kestrim
