#pragma once
// UTF-8 as this program reads and writes it.
//
// Only the shortest form of a code point up to U+10FFFF, and no surrogate, is valid. A byte that
// starts no valid sequence (a stray continuation byte, an overlong form, a surrogate, a sequence
// cut short) is read alone, so that every byte string can be walked and kept as it is.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrim {

// The code point at Offset of S, or for a byte that starts no valid sequence that byte as Code
// with Valid false; Bytes is 1 to 4 and never reaches past the end of S.
struct TCodePoint {
    char32_t Code = 0;
    std::uint8_t Bytes = 1;
    bool Valid = true;
};

TCodePoint DecodeUtf8(std::string_view S, std::size_t Offset);

// The same, inline for the hot loops: a well-formed two- or three-byte character, which is what
// nearly every non-ASCII character of Japanese and European text is, is read without a call.
inline TCodePoint DecodeUtf8Fast(std::string_view S, std::size_t Offset)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(S[Offset + i]); };
    const unsigned char first = byte(0);
    if (first < 0x80)
        return {first, 1, true};
    const std::size_t left = S.size() - Offset;
    if (first >= 0xC2 && first <= 0xDF && left >= 2 && (byte(1) & 0xC0) == 0x80)
        return {static_cast<char32_t>((first & 0x1F) << 6 | (byte(1) & 0x3F)), 2, true};
    if (first >= 0xE1 && first <= 0xEC && left >= 3 && (byte(1) & 0xC0) == 0x80 && (byte(2) & 0xC0) == 0x80)
        return {static_cast<char32_t>((first & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F)), 3, true};
    return DecodeUtf8(S, Offset);
}

// Appends the UTF-8 form of Code (a code point up to U+10FFFF).
void AppendUtf8(std::string& Out, char32_t Code);

// UTF-8 to UTF-16. A byte that starts no valid sequence becomes the lone low surrogate
// U+DC00 + byte, which Utf16ToUtf8 turns back into that byte: valid UTF-8 never holds a
// surrogate, so any byte string survives the round trip through a UTF-16 string unchanged.
std::u16string Utf8ToUtf16(std::string_view Utf8);

// UTF-16 to UTF-8. A lone surrogate U+DC80..U+DCFF becomes its byte again; any other lone
// surrogate cannot be written and becomes U+FFFD, counted in Unwritable when given.
std::string Utf16ToUtf8(std::u16string_view Text, std::size_t* Unwritable = nullptr);

// The code unit that stands for an invalid UTF-8 byte in UTF-16, and its way back.
constexpr char16_t EscapedByte(unsigned char Byte) { return static_cast<char16_t>(0xDC00 + Byte); }
constexpr bool IsEscapedByte(char16_t Unit) { return Unit >= 0xDC80 && Unit <= 0xDCFF; }

} // namespace kestrim
