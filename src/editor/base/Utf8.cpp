#include "editor/base/Utf8.h"

namespace kestrim {
namespace {

constexpr bool IsContinuation(unsigned char Byte) { return (Byte & 0xC0) == 0x80; }

constexpr bool IsHighSurrogate(char16_t Unit) { return Unit >= 0xD800 && Unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t Unit) { return Unit >= 0xDC00 && Unit <= 0xDFFF; }

} // namespace

TCodePoint DecodeUtf8(std::string_view S, std::size_t Offset)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(S[Offset + i]); };
    const unsigned char first = byte(0);
    if (first < 0x80)
        return {first, 1, true};
    const TCodePoint invalid{first, 1, false};
    // The length by the first byte; C0, C1 and F5..FF start no shortest form up to U+10FFFF.
    const std::size_t length = first >= 0xC2 && first <= 0xDF ? 2 : first >= 0xE0 && first <= 0xEF ? 3
                               : first >= 0xF0 && first <= 0xF4                                    ? 4
                                                                                                   : 0;
    if (length == 0 || Offset + length > S.size())
        return invalid;
    char32_t code = first & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i)))
            return invalid;
        code = code << 6 | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
        return invalid;
    return {code, static_cast<std::uint8_t>(length), true};
}

void AppendUtf8(std::string& Out, char32_t Code)
{
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | Code >> 6);
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | Code >> 12);
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | Code >> 18);
        Out += static_cast<char>(0x80 | (Code >> 12 & 0x3F));
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view Utf8)
{
    std::u16string out;
    out.reserve(Utf8.size());
    for (std::size_t offset = 0; offset < Utf8.size();) {
        const TCodePoint point = DecodeUtf8(Utf8, offset);
        offset += point.Bytes;
        if (!point.Valid) {
            out += EscapedByte(static_cast<unsigned char>(point.Code));
        } else if (point.Code >= 0x10000) {
            const char32_t code = point.Code - 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(point.Code);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view Text, std::size_t* Unwritable)
{
    std::string out;
    out.reserve(Text.size() * 3 / 2);
    std::size_t unwritable = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char16_t unit = Text[i];
        if (IsHighSurrogate(unit) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
            AppendUtf8(out, 0x10000 + (static_cast<char32_t>(unit - 0xD800) << 10) + (Text[i + 1] - 0xDC00));
            ++i;
        } else if (IsEscapedByte(unit)) {
            out += static_cast<char>(unit - 0xDC00);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
            ++unwritable;
        } else {
            AppendUtf8(out, unit);
        }
    }
    if (Unwritable)
        *Unwritable = unwritable;
    return out;
}

} // namespace kestrim
