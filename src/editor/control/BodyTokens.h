#pragma once
// The plain word under a position of a Shift-JIS line, for selecting a word without a
// highlighting definition: a run of ASCII letters, digits and underscores, a run of blanks,
// a run of half-width katakana, or a run of two-byte characters of one kind (hiragana,
// katakana, kanji, full-width letters and digits, Greek and Cyrillic letters). Any other
// character is a token of its own.

#include <cstddef>
#include <string_view>

namespace kestrim {

struct TByteRange {
    std::size_t Begin = 0;
    std::size_t End = 0;
    bool operator==(const TByteRange&) const = default;
};

// The token that holds the character starting at or containing ByteOffset; at the end of the
// line, or where a blank or a symbol follows a word, the token before it. Empty for an empty line.
TByteRange TokenAt(std::string_view Line, std::size_t ByteOffset);

} // namespace kestrim
