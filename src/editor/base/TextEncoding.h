#pragma once
// The two encodings a text store may hold, and the character routines that depend on them.
//
// The encoding belongs to one store of text, never to the program: every routine that needs to
// know where a character starts, how many bytes and how many display columns it takes is handed
// the encoding of the text it works on.
//
// Shift-JIS (code page 932): a character is one byte, or a lead byte and the byte after it; it
// takes one column per byte. UTF-8: a character is one code point of 1 to 4 bytes together with
// the zero-width code points after it (combining marks, variation selectors, and what a
// zero-width joiner joins), so that the caret never stops inside what is drawn as one; a byte
// that starts no valid sequence is a character of its own. A character that code page 932 holds
// takes the columns it takes in Shift-JIS, so that a text means the same in both encodings;
// any other takes two columns when its East Asian Width is Wide or Fullwidth, else one.
//
// Boundaries are only known from the start of a text (for Shift-JIS a trail byte may look like
// anything); every walk starts at the start of a row, never backwards.

#include "editor/base/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrim {

enum class TTextEncoding : std::uint8_t { ShiftJis, Utf8 };

// "Shift-JIS" or "UTF-8".
std::string_view EncodingName(TTextEncoding Encoding);

// The bytes and display columns of one character. A tab counts one column here; the layout
// widens it to its tab stop.
struct TCharExtent {
    std::uint8_t Bytes = 1;
    std::uint8_t Columns = 1;
};

// The UTF-8 character at Offset of S (Offset < S.size()).
TCharExtent Utf8CharAt(std::string_view S, std::size_t Offset);

// The character at Offset of S (Offset < S.size()); its bytes never reach past the end of S.
inline TCharExtent CharExtentAt(TTextEncoding Encoding, std::string_view S, std::size_t Offset)
{
    if (Encoding == TTextEncoding::Utf8)
        return Utf8CharAt(S, Offset);
    return Offset + 1 < S.size() && IsDBCSLeadByte(S[Offset]) ? TCharExtent{2, 2} : TCharExtent{1, 1};
}

inline std::size_t CharByteCount(TTextEncoding Encoding, std::string_view S, std::size_t Offset)
{
    return CharExtentAt(Encoding, S, Offset).Bytes;
}

// The display columns of S, a tab counting one.
int CharColumnsOf(TTextEncoding Encoding, std::string_view S);

// The number of characters of S.
std::size_t CharCount(TTextEncoding Encoding, std::string_view S);

} // namespace kestrim
