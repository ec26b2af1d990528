#include "editor/text/edStringList.h"

#include "editor/base/Exceptions.h"

#include <algorithm>

namespace kestrim {
namespace {

// A bit field of a packed word.
struct Field {
    unsigned Shift;
    unsigned Width;

    std::uint32_t Mask() const { return ((1u << Width) - 1u) << Shift; }
    unsigned Get(std::uint32_t word) const { return (word & Mask()) >> Shift; }
    std::uint32_t Set(std::uint32_t word, unsigned value) const
    {
        return (word & ~Mask()) | ((value << Shift) & Mask());
    }
};

// Attributes
constexpr Field RowsField{0, 2};
constexpr Field PrevRowsField{2, 2};
constexpr Field BracketsField{4, 4}; // stored with a bias of 2, so that zero reads -2
constexpr Field ExtraInts1Field{8, 8};
constexpr Field CarryLengthsField{16, 8};
constexpr Field ExtraInts2Field{24, 8};
// Attributes2
constexpr Field CarryKindsField{0, 8};
constexpr Field ExtraBytesField{8, 8};
constexpr Field RowMarksField{16, 16};

constexpr int BracketBias = 2;

unsigned ClampToByte(int value)
{
    return static_cast<unsigned>(std::clamp(value, 0, 255));
}

} // namespace

// --- TheStringList

const TheStringItem& TheStringList::Item(int Index) const
{
    CheckListIndex(Index, GetCount());
    return FItems[static_cast<size_t>(Index)];
}

TheStringItem& TheStringList::Item(int Index)
{
    CheckListIndex(Index, GetCount());
    return FItems[static_cast<size_t>(Index)];
}

static_assert(sizeof(TheStringItem) == 16, "millions of rows: every byte of an item counts");

std::string TheStringList::Get(int Index) const
{
    return std::string(Item(Index).Text.Text());
}

std::string_view TheStringList::Str(int Index) const
{
    return Item(Index).Text.Text();
}

void TheStringList::Put(int Index, const std::string& S)
{
    TheStringItem& item = Item(Index);
    Changing();
    item.Text.SetText(S);
    Changed();
}

int TheStringList::Add(std::string_view S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

void TheStringList::Insert(int Index, std::string_view S)
{
    CheckListIndex(Index, GetCount() + 1);
    Changing();
    GrowFor(FItems.size() + 1);
    TheStringItem item;
    item.Text.SetText(S);
    FItems.Insert(static_cast<std::size_t>(Index), std::move(item));
    Changed();
}

// Capacities run 0, 4, 8, 12, 28, 44, 60, 76, 95, ...: a quarter more once past 64.
void TheStringList::GrowFor(std::size_t Needed)
{
    std::size_t capacity = FItems.capacity();
    if (capacity >= Needed)
        return;
    while (capacity < Needed)
        capacity += capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    FItems.SetCapacity(capacity);
}

// Replacing every row takes Source's storage as it stands, unless that would give up room
// reserved here, so that a whole text loaded into a scratch list becomes the list's text
// without a move per row.
void TheStringList::ReplaceItems(int Index, int Count, TheStringList& Source)
{
    CheckListIndex(Index, GetCount() + 1);
    if (Count < 0 || Count > GetCount() - Index)
        throw EStringListError(SListIndexError);
    Changing();
    if (Index == 0 && Count == GetCount() && FItems.capacity() <= Source.FItems.capacity()) {
        FItems.Swap(Source.FItems);
        Source.FItems.Clear();
        Changed();
        return;
    }
    const auto at = static_cast<std::size_t>(Index);
    const std::size_t count = static_cast<std::size_t>(Count);
    const std::size_t sourceCount = Source.FItems.size();
    const std::size_t kept = std::min(sourceCount, count);
    for (std::size_t i = 0; i < kept; ++i)
        FItems[at + i] = std::move(Source.FItems[i]);
    if (sourceCount > kept) {
        GrowFor(FItems.size() + sourceCount - kept);
        for (std::size_t i = kept; i < sourceCount; ++i)
            FItems.Insert(at + i, std::move(Source.FItems[i]));
    } else {
        FItems.Erase(at + kept, count - kept);
    }
    Source.FItems.Clear();
    Changed();
}

void TheStringList::Delete(int Index)
{
    CheckListIndex(Index, GetCount());
    Changing();
    FItems.Erase(static_cast<std::size_t>(Index), 1);
    Changed();
}

void TheStringList::Exchange(int Index1, int Index2)
{
    CheckListIndex(Index1, GetCount());
    CheckListIndex(Index2, GetCount());
    Changing();
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
    Changed();
}

void TheStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.Clear();
    Changed();
}

void TheStringList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < GetCount())
        throw EStringListError(SListIndexError);
    FItems.SetCapacity(static_cast<std::size_t>(NewCapacity));
}

std::string TheStringList::ExtraStrings(int Index) const
{
    return std::string(Item(Index).Text.Extra());
}

// The parser stores the state of every row it passes, nearly always the one the row has: that
// costs no new copy of the row.
void TheStringList::SetExtraStrings(int Index, const std::string& Value)
{
    TRowText& text = Item(Index).Text;
    if (text.Extra() != Value)
        text.SetExtra(Value);
}

std::uint32_t TheStringList::Attributes(int Index) const { return Item(Index).Attributes; }
void TheStringList::SetAttributes(int Index, std::uint32_t Value) { Item(Index).Attributes = Value; }
std::uint32_t TheStringList::Attributes2(int Index) const { return Item(Index).Attributes2; }
void TheStringList::SetAttributes2(int Index, std::uint32_t Value) { Item(Index).Attributes2 = Value; }

void TheStringList::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TheStringList::Changing()
{
    if (FUpdateCount == 0 && OnChanging)
        OnChanging(this);
}

void TheStringList::SetUpdateState(bool Updating)
{
    if (Updating) {
        Changing();
        ++FUpdateCount;
    } else {
        --FUpdateCount;
        Changed();
    }
}

// --- TRowAttributeStringList

TRowAttribute TRowAttributeStringList::Rows(int Index) const
{
    return static_cast<TRowAttribute>(RowsField.Get(Attributes(Index)));
}

void TRowAttributeStringList::SetRows(int Index, TRowAttribute Value)
{
    SetAttributes(Index, RowsField.Set(Attributes(Index), Value));
}

TRowAttribute TRowAttributeStringList::PrevRows(int Index) const
{
    return static_cast<TRowAttribute>(PrevRowsField.Get(Attributes(Index)));
}

void TRowAttributeStringList::SetPrevRows(int Index, TRowAttribute Value)
{
    SetAttributes(Index, PrevRowsField.Set(Attributes(Index), Value));
}

int TRowAttributeStringList::Brackets(int Index) const
{
    return static_cast<int>(BracketsField.Get(Attributes(Index))) - BracketBias;
}

void TRowAttributeStringList::SetBrackets(int Index, int Value)
{
    const unsigned stored = static_cast<unsigned>(std::clamp(Value, -2, 13) + BracketBias);
    SetAttributes(Index, BracketsField.Set(Attributes(Index), stored));
}

int TRowAttributeStringList::ExtraInts1(int Index) const
{
    return static_cast<int>(ExtraInts1Field.Get(Attributes(Index)));
}

void TRowAttributeStringList::SetExtraInts1(int Index, int Value)
{
    SetAttributes(Index, ExtraInts1Field.Set(Attributes(Index), ClampToByte(Value)));
}

int TRowAttributeStringList::CarryLengths(int Index) const
{
    return static_cast<int>(CarryLengthsField.Get(Attributes(Index)));
}

void TRowAttributeStringList::SetCarryLengths(int Index, int Value)
{
    SetAttributes(Index, CarryLengthsField.Set(Attributes(Index), ClampToByte(Value)));
}

int TRowAttributeStringList::ExtraInts2(int Index) const
{
    return static_cast<int>(ExtraInts2Field.Get(Attributes(Index)));
}

void TRowAttributeStringList::SetExtraInts2(int Index, int Value)
{
    SetAttributes(Index, ExtraInts2Field.Set(Attributes(Index), ClampToByte(Value)));
}

int TRowAttributeStringList::CarryKinds(int Index) const
{
    return static_cast<int>(CarryKindsField.Get(Attributes2(Index)));
}

void TRowAttributeStringList::SetCarryKinds(int Index, int Value)
{
    SetAttributes2(Index, CarryKindsField.Set(Attributes2(Index), ClampToByte(Value)));
}

int TRowAttributeStringList::ExtraBytes(int Index) const
{
    return static_cast<int>(ExtraBytesField.Get(Attributes2(Index)));
}

void TRowAttributeStringList::SetExtraBytes(int Index, int Value)
{
    SetAttributes2(Index, ExtraBytesField.Set(Attributes2(Index), ClampToByte(Value)));
}

TRowMarks TRowAttributeStringList::RowMarks(int Index) const
{
    return static_cast<TRowMarks>(RowMarksField.Get(Attributes2(Index)));
}

void TRowAttributeStringList::SetRowMarks(int Index, TRowMarks Value)
{
    SetAttributes2(Index, RowMarksField.Set(Attributes2(Index), Value));
}

TRowAttributeData TRowAttributeStringList::GetRowAttributeData(int Index) const
{
    TRowAttributeData data;
    data.RowAttribute = Rows(Index);
    data.PrevRowAttribute = PrevRows(Index);
    data.OpenBracket = Brackets(Index);
    data.ExtraInt1 = ExtraInts1(Index);
    data.CarryLength = CarryLengths(Index);
    data.ExtraInt2 = ExtraInts2(Index);
    data.CarryKind = static_cast<std::uint8_t>(CarryKinds(Index));
    data.ExtraByte = static_cast<std::uint8_t>(ExtraBytes(Index));
    data.ExtraStr = ExtraStrings(Index);
    return data;
}

void TRowAttributeStringList::PutRowAttributeData(int Index, const TRowAttributeData& Data)
{
    SetPrevRows(Index, Data.PrevRowAttribute);
    SetBrackets(Index, Data.OpenBracket);
    SetExtraInts1(Index, Data.ExtraInt1);
    SetCarryLengths(Index, Data.CarryLength);
    SetExtraInts2(Index, Data.ExtraInt2);
    SetCarryKinds(Index, Data.CarryKind);
    SetExtraBytes(Index, Data.ExtraByte);
    SetExtraStrings(Index, Data.ExtraStr);
}

void TRowAttributeStringList::ResetRowAttributeData(int Index)
{
    TRowAttributeData reset;
    reset.OpenBracket = -2;
    PutRowAttributeData(Index, reset);
}

void TRowAttributeStringList::ResetParsedRowsFrom(int Index, int End)
{
    for (int row = std::max(Index, 0); row < std::min(End, GetCount()); ++row)
        if (Brackets(row) != -2)
            ResetRowAttributeData(row);
}

} // namespace kestrim
