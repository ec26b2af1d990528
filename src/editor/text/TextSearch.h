#pragma once
// Finding a pattern in Shift-JIS or UTF-8 text.

#include "editor/base/TextEncoding.h"

#include <cstdint>
#include <string_view>

namespace kestrim {

// Search options, a set held in 16 bits.
using TSearchOptions = std::uint16_t;
constexpr TSearchOptions soDown = 0x1;         // forward; without it, backward
constexpr TSearchOptions soMatchCase = 0x2;    // letters match in case
constexpr TSearchOptions soWholeWord = 0x4;    // a hit starts a word and is followed by a delimiter
constexpr TSearchOptions soIgnoreWidth = 0x8;  // half-width characters match their full-width forms
constexpr TSearchOptions soAcrossLines = 0x80; // CR and LF in the text are skipped inside a hit
constexpr TSearchOptions soIgnoreSpaces = 0x100; // blanks in the text are skipped inside a hit

// Finds Pattern in Text from Position, where Length is the length of the current hit (0 when
// there is none). Forward, the search starts after the current hit; backward, the hit must fit
// before Position. On success Position and Length become the hit's byte offset and its length
// in text bytes, which differs from the pattern's when width is ignored or bytes are skipped.
// False, with Position and Length unchanged, when Text or Pattern is empty, Position lies
// outside 0..Text.size(), Length is negative, or nothing is found. Hits start and end on
// character boundaries. Text is searched to its end, NUL bytes included.
//
// Pattern is in the text's Encoding. A UTF-8 text finds what its Shift-JIS twin finds, the same
// characters in the same options; a character beyond Shift-JIS matches itself, case folded by
// Unicode unless matching case; an invalid byte only the same byte.
bool SearchText(std::string_view Text, int& Position, int& Length, std::string_view Pattern,
                TSearchOptions Options, TTextEncoding Encoding = TTextEncoding::ShiftJis);

} // namespace kestrim
