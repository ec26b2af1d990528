#pragma once
// TStringList: a plain list of lines, optionally kept sorted, with change events.
// Keyword lists and file-extension lists use it sorted, without duplicates and without
// regard to letter case.

#include "editor/base/CodePage.h"
#include "editor/base/StringsBase.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// Compares two Shift-JIS texts byte by byte, ASCII letters without regard to case; the
// trail byte of a two-byte character is compared as it is. Returns <0, 0 or >0.
int CompareTextSjis(std::string_view A, std::string_view B);

class TStringList : public TStrings {
public:
    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;
    // Appends, or in a sorted list inserts at the sorted place. Returns the index, or -1 when
    // a duplicate was ignored.
    int Add(std::string_view S) override;
    void Exchange(int Index1, int Index2) override;
    int GetCapacity() const override { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int NewCapacity) override;

    // In a sorted list: whether S is there, and in Index where it is or would be inserted.
    bool Find(const std::string& S, int& Index) const;
    // Like TStrings::IndexOf, but by bisection in a sorted list and under CaseSensitive.
    int IndexOf(const std::string& S) const override;
    // Whether S is in the list, under CaseSensitive, without copying S: a hash index over the
    // items, built on the first call after a change, answers in constant time (the highlighter
    // asks this for every token it colours). Not for readers on several threads at once.
    bool Contains(std::string_view S) const
    {
        if (!FIndexValid)
            BuildIndex();
        const std::int32_t item = FIndexKeys[QuickKey(S)];
        if (item == 0)
            return false;
        if (item > 0) {
            const std::string& text = FItems[static_cast<std::size_t>(item - 1)];
            return text.size() == S.size() && Compare(text, S) == 0;
        }
        return IndexHolds(S);
    }
    void Sort();

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    // Fired before and after every change, or once around a batch of changes.
    std::function<void()> OnChanging;
    std::function<void()> OnChange;

protected:
    void SetUpdateState(bool Updating) override;

private:
    int Compare(std::string_view A, std::string_view B) const;
    void Changing();
    void Changed();
    void InsertItem(int Index, std::string_view S);
    // The hash of S as Compare sees it: folded like CompareTextSjis unless case-sensitive.
    std::size_t TextHash(std::string_view S) const;
    void BuildIndex() const;
    std::vector<std::string> FItems;
    // A cheap key of S (its first two bytes, folded, and its length) for rejecting most texts
    // that are not in the list before hashing them.
    static constexpr std::size_t QuickKeyCount = 4096;
    std::size_t QuickKey(std::string_view S) const
    {
        if (S.empty())
            return 0;
        const unsigned first = FoldedByte(S[0]);
        const unsigned second = S.size() > 1 && !IsDBCSLeadByte(S[0]) ? FoldedByte(S[1]) : 0;
        return (first * 131 + second * 17 + std::min<std::size_t>(S.size(), 63)) % QuickKeyCount;
    }
    unsigned char FoldedByte(char Byte) const
    {
        const unsigned char byte = static_cast<unsigned char>(Byte);
        return FCaseSensitive ? byte : UpperCaseByte(byte);
    }
    // Whether the hash index holds S.
    bool IndexHolds(std::string_view S) const;

    // The index of Contains: per quick key the item index + 1 of the only item with that key,
    // 0 for none, -1 for several; those are found through a power of two of hash slots, each an
    // item's hash and its index + 1 (0: empty).
    struct TIndexSlot {
        std::uint32_t Hash = 0;
        std::int32_t Item = 0;
    };
    mutable std::vector<TIndexSlot> FIndexSlots;
    mutable std::vector<std::int32_t> FIndexKeys;
    mutable bool FIndexValid = false;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

} // namespace kestrim
