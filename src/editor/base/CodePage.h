#pragma once
// The program's code page: Shift-JIS as code page 932 defines it.
//
// All text inside Kestrim is Shift-JIS bytes. Conversion to Unicode happens only where text
// meets the GUI toolkit, the clipboard or a message for the user, and always through these
// functions, so that every layer converts the same way.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrim {

// True for the first byte of a two-byte Shift-JIS character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsDBCSLeadByte(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

constexpr bool IsDBCSLeadByte(char Byte)
{
    return IsDBCSLeadByte(static_cast<unsigned char>(Byte));
}

// The upper-case form of a one-byte character; only a..z have one in the code page.
constexpr unsigned char UpperCaseByte(unsigned char Byte)
{
    return Byte >= 'a' && Byte <= 'z' ? static_cast<unsigned char>(Byte - 'a' + 'A') : Byte;
}

// Shift-JIS bytes to UTF-16. A byte that does not start a valid character (a stray trail byte,
// a lead byte without its trail byte, an unassigned code) becomes a private-use character
// that Utf16ToSjis turns back into the same byte, so that any byte string survives a round
// trip through the GUI unchanged.
std::u16string SjisToUtf16(std::string_view Sjis);
// The same into Out, which has room for Sjis.size() units (never more are needed); returns
// how many were written. For callers that own a buffer of their own, so that a text of
// hundreds of megabytes is not converted into one buffer and then copied into another.
std::size_t SjisToUtf16(std::string_view Sjis, char16_t* Out);
// Whether a unit from SjisToUtf16 stands for a byte that starts no valid character.
constexpr bool IsRawByteUnit(char16_t Unit) { return Unit >= 0xF700 && Unit <= 0xF7FF; }

// The code of a Unicode character in code page 932: one byte, or lead << 8 | trail, which
// SjisToUtf16 turns back into the same character; NoSjisCode when Shift-JIS cannot hold it.
constexpr std::uint16_t NoSjisCode = 0xFFFF; // 0xFF is never a lead byte
std::uint16_t SjisCodeOf(char32_t Code);
// The same, but a few characters that this platform writes for a look-alike of code page 932
// (WAVE DASH for FULLWIDTH TILDE, MINUS SIGN for FULLWIDTH HYPHEN-MINUS, ...) get that
// look-alike's code: what text entering Shift-JIS becomes.
std::uint16_t SjisCodeOrLookAlike(char32_t Code);

// What a conversion could not carry over: how many characters, and the index in the source
// (a byte, or a UTF-16 unit) of the first of them.
struct TConversionLoss {
    std::size_t Count = 0;
    std::size_t First = 0;
};

// UTF-16 to Shift-JIS. Where code page 932 has several codes for one character (the NEC and
// IBM extensions), the platform's preferred code comes back. Characters that Shift-JIS cannot
// hold become "?"; when LostCharacters is given it tells whether that happened.
std::string Utf16ToSjis(std::u16string_view Text, bool* LostCharacters = nullptr);
// The same, telling how many characters became "?" and where the first one was.
std::string Utf16ToSjis(std::u16string_view Text, TConversionLoss& Loss);

// The same conversions for UTF-8 text (messages, file names).
std::string SjisToUtf8(std::string_view Sjis);
// Appends the UTF-8 form of Sjis to Out, as SjisToUtf8 gives it, without a string of its own.
void AppendSjisAsUtf8(std::string& Out, std::string_view Sjis);
std::string Utf8ToSjis(std::string_view Utf8, bool* LostCharacters = nullptr);

} // namespace kestrim
