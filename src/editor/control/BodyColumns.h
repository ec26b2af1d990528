#pragma once
// Display columns of a Shift-JIS line: a tab reaches the next tab stop, a two-byte character
// takes two columns, every other byte one.

#include <cstddef>
#include <string_view>

namespace kestrim {

// The display column at which the byte at ByteOffset starts (the line's width at its end).
int ColumnOfByte(std::string_view Line, std::size_t ByteOffset, int TabWidth);

// The byte offset of the last character that starts at or before Column, or the line's length
// when Column lies beyond its end. A column inside a tab or a two-byte character gives that
// character's start, so the caret never stands inside a character.
std::size_t ByteOfColumn(std::string_view Line, int Column, int TabWidth);

} // namespace kestrim
