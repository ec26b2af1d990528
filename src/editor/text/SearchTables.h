#pragma once
// The character tables of the text search: the word delimiters, the full-width forms of the
// one-byte characters, voiced kana and the case of two-byte letters, and how a UTF-8 code point
// takes its place among them.

#include "editor/base/TextEncoding.h"
#include "editor/base/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrim {

// A character as the search compares it: a one-byte character is its byte, a two-byte
// character lead * 256 + trail. Lead bytes start at 0x81, so the two kinds never collide.
// A UTF-8 code point that Shift-JIS holds is its Shift-JIS character, so that a text means
// the same in both encodings; any other is BeyondSjis + code point, and a byte that is not
// valid UTF-8 is InvalidUtf8 + byte.
using TSearchChar = std::uint32_t;
constexpr TSearchChar BeyondSjis = 0x10000;
constexpr TSearchChar InvalidUtf8 = 0x200000;

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

// A Shift-JIS character (a byte or a TwoByteChar) as the search compares it: in upper case
// unless matching case, a one-byte one in its full-width form when width is ignored.
TSearchChar SjisSearchChar(TSearchChar Code, bool MatchCase, bool IgnoreWidth);

// A UTF-8 code point (an invalid byte when not Valid) as it is, before case and width.
TSearchChar Utf8RawChar(const TCodePoint& Point);
// The same as the search compares it. A code point beyond Shift-JIS folds its case by
// Unicode's simple case folding; when that gives a Shift-JIS character, it is that one.
TSearchChar Utf8SearchChar(const TCodePoint& Point, bool MatchCase, bool IgnoreWidth);

// Whether the character at Offset of Text ends a word for a whole-word search. In UTF-8 a
// character beyond Shift-JIS does unless it is a letter, mark, digit or connector, and an
// invalid byte always does.
bool IsSearchDelimiterAt(TTextEncoding Encoding, std::string_view Text, std::size_t Offset);

} // namespace kestrim
