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

void TStringList::Insert(int Index, const std::string& S)
{
    if (FSorted)
        throw EStringListError("ソートされたリストでは実行できません");
    CheckListIndex(Index, GetCount() + 1);
    InsertItem(Index, S);
}

void TStringList::InsertItem(int Index, const std::string& S)
{
    Changing();
    FItems.insert(FItems.begin() + Index, S);
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

int TStringList::Add(const std::string& S)
{
    if (!FSorted) {
        InsertItem(GetCount(), S);
        return GetCount() - 1;
    }
    int index = 0;
    if (Find(S, index)) {
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

namespace {

constexpr int LongLength = 63;

unsigned char FoldedByte(std::string_view S, std::size_t Index, bool CaseSensitive)
{
    const unsigned char byte = static_cast<unsigned char>(S[Index]);
    return CaseSensitive ? byte : UpperCaseByte(byte);
}

} // namespace

std::size_t TStringList::TextHash(std::string_view S) const
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    bool trail = false;
    for (std::size_t i = 0; i < S.size(); ++i) {
        const unsigned char byte = trail ? static_cast<unsigned char>(S[i]) : FoldedByte(S, i, FCaseSensitive);
        hash = (hash ^ byte) * 1099511628211ull;
        trail = !trail && IsDBCSLeadByte(byte);
    }
    return static_cast<std::size_t>(hash ^ (hash >> 29));
}

void TStringList::BuildIndex() const
{
    std::size_t size = 16;
    while (size < FItems.size() * 2)
        size *= 2;
    FIndexSlots.assign(size, 0);
    FIndexFirstBytes.assign(256, false);
    FIndexLengths = 0;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        const std::string& item = FItems[i];
        std::size_t slot = TextHash(item) & (size - 1);
        while (FIndexSlots[slot] != 0)
            slot = (slot + 1) & (size - 1);
        FIndexSlots[slot] = static_cast<int>(i) + 1;
        if (!item.empty())
            FIndexFirstBytes[FoldedByte(item, 0, FCaseSensitive)] = true;
        FIndexLengths |= 1ull << std::min<std::size_t>(item.size(), LongLength);
    }
    FIndexValid = true;
}

bool TStringList::Contains(std::string_view S) const
{
    if (!FIndexValid)
        BuildIndex();
    if ((FIndexLengths & (1ull << std::min<std::size_t>(S.size(), LongLength))) == 0)
        return false;
    if (!S.empty() && !FIndexFirstBytes[FoldedByte(S, 0, FCaseSensitive)])
        return false;
    const std::size_t mask = FIndexSlots.size() - 1;
    for (std::size_t slot = TextHash(S) & mask; FIndexSlots[slot] != 0; slot = (slot + 1) & mask)
        if (Compare(FItems[static_cast<std::size_t>(FIndexSlots[slot] - 1)], S) == 0)
            return true;
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
