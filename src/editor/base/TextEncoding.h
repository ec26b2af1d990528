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
// zero-width joiner joins), an emoji with its skin tone, or a flag of two regional indicators,
// so that the caret never stops inside what is drawn as one; a byte
// that starts no valid sequence is a character of its own. A character that code page 932 holds
// takes the columns it takes in Shift-JIS, so that a text means the same in both encodings;
// any other takes two columns when its East Asian Width is Wide or Fullwidth, else one.
//
// Boundaries are only known from the start of a text (for Shift-JIS a trail byte may look like
// anything); every walk starts at the start of a row, never backwards.

#include "editor/base/CodePage.h"

#include <bitset>
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

// However many marks follow a UTF-8 character, it keeps within this many bytes: the marks after
// that start characters of their own, so that every walk over a row stays bounded.
constexpr std::size_t MaxCharBytes = 64;

// The UTF-8 character at Offset of S (Offset < S.size()).
TCharExtent Utf8CharAt(std::string_view S, std::size_t Offset);

// The character at Offset of S (Offset < S.size()); its bytes never reach past the end of S.
inline TCharExtent CharExtentAt(TTextEncoding Encoding, std::string_view S, std::size_t Offset)
{
    if (Encoding == TTextEncoding::Utf8)
        return Utf8CharAt(S, Offset);
    return Offset + 1 < S.size() && IsDBCSLeadByte(S[Offset]) ? TCharExtent{2, 2} : TCharExtent{1, 1};
}

// The blocks of 64 code points of the Basic Multilingual Plane that hold a zero-width one.
using TMarkBlocks = std::bitset<0x10000 / 64>;
const TMarkBlocks& MarkBlocks();

// Whether the code point whose UTF-8 form begins with First and Second may be zero-width, by
// the block its first two bytes name; a byte that starts no two- or three-byte form is never
// one, a four-byte form may be.
inline bool MayStartMark(const TMarkBlocks& Blocks, unsigned char First, unsigned char Second)
{
    if (First < 0xC2 || First > 0xEF)
        return First >= 0xF0;
    return Blocks[First <= 0xDF ? (First & 0x1Fu) : ((First & 0x0Fu) << 6 | (Second & 0x3Fu))];
}

// Steps from one UTF-8 character to the next as Utf8CharAt does, for the hot walks: a
// well-formed character of up to three bytes followed by one that cannot be a mark, which is
// nearly every character of Japanese and European text, is stepped over inline.
class TUtf8Stepper {
public:
    TUtf8Stepper() : FMarkBlocks(MarkBlocks()) {}

    std::size_t Step(std::string_view S, std::size_t Offset) const
    {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(S[Offset + i]); };
        const unsigned char lead = byte(0);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE1 && lead <= 0xEC ? 3 : 0;
        if (length == 0 || Offset + length + 1 >= S.size())
            return Utf8CharAt(S, Offset).Bytes; // rare forms, or near the end of S
        for (std::size_t i = 1; i < length; ++i)
            if ((byte(i) & 0xC0) != 0x80)
                return Utf8CharAt(S, Offset).Bytes;
        if (lead == 0xE2 && byte(1) == 0x80 && byte(2) == 0x8D)
            return Utf8CharAt(S, Offset).Bytes; // a joiner joins whatever follows it
        const unsigned char next = byte(length);
        // A character of four bytes after it may be a skin tone that joins it.
        if (next < 0x80 || (lead >= 0x20 && lead != 0x7F && next != 0xF0 && !MayStartMark(FMarkBlocks, next, byte(length + 1))))
            return length;
        return Utf8CharAt(S, Offset).Bytes;
    }

private:
    const TMarkBlocks& FMarkBlocks;
};

inline std::size_t CharByteCount(TTextEncoding Encoding, std::string_view S, std::size_t Offset)
{
    return CharExtentAt(Encoding, S, Offset).Bytes;
}

// The display columns of S, a tab counting one.
int CharColumnsOf(TTextEncoding Encoding, std::string_view S);

// The number of characters of S.
std::size_t CharCount(TTextEncoding Encoding, std::string_view S);

// Where the last character of S starts (0 for an empty S), found from the start of S: a text is
// never read backwards, since a Shift-JIS trail byte may look like a lead byte.
std::size_t LastCharStart(TTextEncoding Encoding, std::string_view S);

} // namespace kestrim
