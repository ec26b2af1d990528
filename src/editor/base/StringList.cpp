#include "editor/base/StringList.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"

#include <algorithm>

namespace kestrim {

int CompareTextSjis(std::string_view A, std::string_view B)
{
    const std::size_t n = std::min(A.size(), B.size());
    bool trail = false; // A and B agree up to i, so the lead bytes agree as well
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char a = static_cast<unsigned char>(A[i]);
        unsigned char b = static_cast<unsigned char>(B[i]);
        if (!trail) {
            a = UpperCaseByte(a);
            b = UpperCaseByte(b);
        }
        if (a != b)
            return a < b ? -1 : 1;
        trail = !trail && IsDBCSLeadByte(a);
    }
    return A.size() == B.size() ? 0 : A.size() < B.size() ? -1 : 1;
}

int TStringList::Compare(std::string_view A, std::string_view B) const
{
    return FCaseSensitive ? A.compare(B) : CompareTextSjis(A, B);
}

std::string TStringList::Get(int Index) const
{
    CheckListIndex(Index, GetCount());
    return FItems[static_cast<size_t>(Index)];
}

void TStringList::Put(int Index, const std::string& S)
{
    if (FSorted)
        throw EStringListError("ソートされたリストでは実行できません");
    CheckListIndex(Index, GetCount());
    Changing();
    FItems[static_cast<size_t>(Index)] = S;
    Changed();
}

void TStringList::Insert(int Index, std::string_view S)
{
    if (FSorted)
        throw EStringListError("ソートされたリストでは実行できません");
    CheckListIndex(Index, GetCount() + 1);
    InsertItem(Index, S);
}

void TStringList::InsertItem(int Index, std::string_view S)
{
    Changing();
    FItems.insert(FItems.begin() + Index, std::string(S));
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckListIndex(Index, GetCount());
    Changing();
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

int TStringList::Add(std::string_view S)
{
    if (!FSorted) {
        InsertItem(GetCount(), S);
        return GetCount() - 1;
    }
    int index = 0;
    if (Find(std::string(S), index)) {
        if (FDuplicates == TDuplicates::dupIgnore)
            return -1;
        if (FDuplicates == TDuplicates::dupError)
            throw EStringListError("重複した文字列は追加できません");
    }
    InsertItem(index, S);
    return index;
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckListIndex(Index1, GetCount());
    CheckListIndex(Index2, GetCount());
    Changing();
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
    Changed();
}

void TStringList::SetCapacity(int NewCapacity)
{
    if (NewCapacity > GetCount())
        FItems.reserve(static_cast<size_t>(NewCapacity));
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    int low = 0;
    int high = GetCount() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int c = Compare(FItems[static_cast<size_t>(middle)], S);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != TDuplicates::dupAccept)
                    low = middle;
            }
        }
    }
    Index = low;
    return found;
}

int TStringList::IndexOf(const std::string& S) const
{
    if (FSorted) {
        int index = 0;
        return Find(S, index) ? index : -1;
    }
    for (int i = 0; i < GetCount(); ++i)
        if (Compare(FItems[static_cast<size_t>(i)], S) == 0)
            return i;
    return -1;
}

std::size_t TStringList::TextHash(std::string_view S) const
{
    std::uint64_t hash = 5381; // djb2, short keys: cheap steps, one multiply to mix at the end
    bool trail = false;
    for (const char character : S) {
        const unsigned char byte = trail ? static_cast<unsigned char>(character) : FoldedByte(character);
        hash = hash * 33 + byte;
        trail = !trail && IsDBCSLeadByte(byte);
    }
    hash *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

void TStringList::BuildIndex() const
{
    std::size_t size = 16;
    while (size < FItems.size() * 2)
        size *= 2;
    FIndexSlots.assign(size, TIndexSlot{});
    FIndexKeys.assign(QuickKeyCount, 0);
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        const std::string& item = FItems[i];
        const std::size_t hash = TextHash(item);
        std::size_t slot = hash & (size - 1);
        while (FIndexSlots[slot].Item != 0)
            slot = (slot + 1) & (size - 1);
        FIndexSlots[slot] = {static_cast<std::uint32_t>(hash), static_cast<std::int32_t>(i) + 1};
        std::int32_t& key = FIndexKeys[QuickKey(item)];
        key = key == 0 ? static_cast<std::int32_t>(i) + 1 : -1;
    }
    FIndexValid = true;
}

bool TStringList::IndexHolds(std::string_view S) const
{
    const std::size_t mask = FIndexSlots.size() - 1;
    const std::size_t hash = TextHash(S);
    for (std::size_t slot = hash & mask; FIndexSlots[slot].Item != 0; slot = (slot + 1) & mask) {
        const TIndexSlot& entry = FIndexSlots[slot];
        const std::string& item = FItems[static_cast<std::size_t>(entry.Item - 1)];
        if (entry.Hash == static_cast<std::uint32_t>(hash) && item.size() == S.size() && Compare(item, S) == 0)
            return true;
    }
    return false;
}

void TStringList::Sort()
{
    Changing();
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const std::string& a, const std::string& b) { return Compare(a, b) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == FCaseSensitive)
        return;
    FCaseSensitive = Value;
    FIndexValid = false;
    if (FSorted)
        Sort();
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing()
{
    FIndexValid = false; // every change of the items passes here
    if (UpdateCount() == 0 && OnChanging)
        OnChanging();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange();
}

} // namespace kestrim
