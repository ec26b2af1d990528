#pragma once
// TWebItemShelf: the entries of a URL file, in file order, and the keyword encoding that puts
// a keyword into their addresses.
//
// A URL file holds one entry per line, a name and an address template split at the line's
// last comma; blank lines, lines whose first non-blank character is "#" and lines without
// a comma are skipped.

#include "web/UWebItem.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrim {

// Walks a shelf from its first item.
class IWebItemIterator {
public:
    virtual ~IWebItemIterator() = default;
    virtual bool HasNext() const = 0;
    virtual const TWebItem& Next() = 0;
};

class TWebItemShelf {
public:
    TWebItemShelf() = default;
    TWebItemShelf(const TWebItemShelf&) = delete;
    TWebItemShelf& operator=(const TWebItemShelf&) = delete;

    // Appends the entries of the URL file FileName (a UTF-8 path). The file is read whole
    // first, so a file that cannot be read (EFOpenError) adds nothing. Items keep their
    // addresses for the shelf's lifetime: callers may hold on to them.
    void LoadFromFile(const std::string& FileName);

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EStringListError for an index out of range.
    const TWebItem& Items(int Index) const;
    std::shared_ptr<IWebItemIterator> GetIterator() const;

private:
    void AddLine(const std::string& Line);

    std::vector<std::unique_ptr<TWebItem>> FItems;
};

// The iterator GetIterator hands out; it does not own the shelf, which must outlive it.
class TWebItemShelfIterator : public IWebItemIterator {
public:
    explicit TWebItemShelfIterator(const TWebItemShelf& Shelf) : FShelf(Shelf) {}
    bool HasNext() const override { return FPosition < FShelf.Count(); }
    const TWebItem& Next() override { return FShelf.Items(FPosition++); }

private:
    const TWebItemShelf& FShelf;
    int FPosition = 0;
};

// Keyword to URL form, byte by byte: a blank becomes "+", ASCII letters and digits stay, every
// other byte (both bytes of a two-byte character too) becomes "%" and two upper-case hex
// digits. The bytes stay Shift-JIS: sites for Japanese text expect them so.
std::string UrlEncode(const std::string& Keyword);

} // namespace kestrim
