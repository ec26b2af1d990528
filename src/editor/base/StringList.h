#pragma once
// TStringList: a plain list of lines, optionally kept sorted, with change events.
// Keyword lists and file-extension lists use it sorted, without duplicates and without
// regard to letter case.

#include "editor/base/StringsBase.h"

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
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    // Appends, or in a sorted list inserts at the sorted place. Returns the index, or -1 when
    // a duplicate was ignored.
    int Add(const std::string& S) override;
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
    bool Contains(std::string_view S) const;
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
    void InsertItem(int Index, const std::string& S);
    // The hash of S as Compare sees it: folded like CompareTextSjis unless case-sensitive.
    std::size_t TextHash(std::string_view S) const;
    void BuildIndex() const;

    std::vector<std::string> FItems;
    // The hash index of Contains: slots holding item index + 1 (0: empty), a power of two in
    // size; the first bytes (folded) and lengths (63 for longer) that some item has.
    mutable std::vector<int> FIndexSlots;
    mutable std::vector<bool> FIndexFirstBytes;
    mutable std::uint64_t FIndexLengths = 0;
    mutable bool FIndexValid = false;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

} // namespace kestrim
