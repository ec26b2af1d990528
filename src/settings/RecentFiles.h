#pragma once
// TRecentFiles: the files the user opened or saved last, newest first, each once, with what it
// was opened as, so that it opens the same way again. Kept in the settings as one text per
// entry ("script /home/me/a.pl"), the path's unusual bytes percent-encoded, so that a name may
// hold any character the file system allows.

#include "settings/FileKind.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

// What a recent file was opened or saved as.
using TRecentKind = TFileKind;

struct TRecentFile {
    TRecentKind Kind;
    std::string Path; // full, UTF-8
    bool operator==(const TRecentFile&) const = default;
};

class TRecentFiles {
public:
    static constexpr std::size_t Limit = 10;

    const std::vector<TRecentFile>& Items() const { return FItems; }
    // Puts Path first with Kind; an entry of the same path goes, the oldest beyond the limit too.
    void Add(TRecentKind Kind, const std::string& Path);
    void Remove(const std::string& Path);
    void Clear() { FItems.clear(); }

private:
    std::vector<TRecentFile> FItems;
};

// The stored text of an entry, and the entry of a stored text: nothing for a text that is
// none (an unknown kind, no path), so that a damaged value loses only itself.
std::string StoredForm(const TRecentFile& File);
std::optional<TRecentFile> FromStoredForm(std::string_view Text);

} // namespace kestrim
