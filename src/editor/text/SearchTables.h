#pragma once
// The character tables of the text search: the word delimiters, the full-width forms of the
// one-byte characters, voiced kana and the case of two-byte letters.

#include <cstdint>

namespace kestrim {

// A character as the search compares it: a one-byte character is its byte, a two-byte
// character lead * 256 + trail. Lead bytes start at 0x81, so the two kinds never collide.
using TSearchChar = std::uint16_t;

constexpr TSearchChar TwoByteChar(unsigned char Lead, unsigned char Trail)
{
    return static_cast<TSearchChar>(Lead << 8 | Trail);
}

constexpr bool IsTwoByteChar(TSearchChar Char) { return Char > 0xFF; }

// Whether a byte ends a word for a whole-word search. Lead bytes never do, so a two-byte
// character always belongs to a word.
bool IsSearchDelimiter(unsigned char Byte);

// The full-width form of a one-byte character: for 0x20-0x7E and the half-width kana
// 0xA1-0xDF a two-byte character, for every other byte the byte itself.
TSearchChar FullWidthForm(unsigned char Byte);

constexpr unsigned char VoicedMark = 0xDE;
constexpr unsigned char SemiVoicedMark = 0xDF;

// The full-width voiced or semi-voiced kana that a half-width kana and the mark after it
// (0xDE voiced, 0xDF semi-voiced) stand for, or 0 when the two do not combine.
TSearchChar VoicedKana(unsigned char Kana, unsigned char Mark);

// Whether a half-width kana combines with some mark after it.
bool IsCombiningKana(unsigned char Byte);

// A two-byte lower-case letter (full-width Latin, Greek, Cyrillic, small roman numeral) as its
// upper-case letter; every other character unchanged.
TSearchChar FoldTwoByteCase(TSearchChar Char);
// The two-byte lower-case letter whose upper case is Char; every other character unchanged.
TSearchChar UnfoldTwoByteCase(TSearchChar Char);

} // namespace kestrim
