#pragma once
// Finding a pattern in Shift-JIS text.

#include <cstdint>

namespace kestrim {

// Search options, a set held in 16 bits.
using TSearchOptions = std::uint16_t;
constexpr TSearchOptions soDown = 0x1;         // forward; without it, backward
constexpr TSearchOptions soMatchCase = 0x2;    // letters match in case
constexpr TSearchOptions soWholeWord = 0x4;    // a hit starts a word and is followed by a delimiter
constexpr TSearchOptions soIgnoreWidth = 0x8;  // half-width characters match their full-width forms
constexpr TSearchOptions soAcrossLines = 0x80; // CR and LF in the text are skipped inside a hit
constexpr TSearchOptions soIgnoreSpaces = 0x100; // blanks in the text are skipped inside a hit

} // namespace kestrim
