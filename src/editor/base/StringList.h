#pragma once
// TStringList: a plain list of lines, optionally kept sorted, with change events.
// Keyword lists and file-extension lists use it sorted, without duplicates and without
// regard to letter case.

#include "editor/base/StringsBase.h"

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

    std::vector<std::string> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

} // namespace kestrim
