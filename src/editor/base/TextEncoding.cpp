#include "editor/base/TextEncoding.h"

#include "editor/base/UnicodeProperties.h"
#include "editor/base/Utf8.h"

namespace kestrim {
namespace {

constexpr bool IsControl(char32_t Code) { return Code < 0x20 || Code == 0x7F; }

// However many marks follow a character, it keeps within this many bytes: the marks after
// that start characters of their own, so that every walk over a row stays bounded.
constexpr std::size_t MaxCharBytes = 64;

std::uint8_t ColumnsOf(char32_t Code)
{
    const std::uint16_t sjis = SjisCodeOf(Code);
    if (sjis != NoSjisCode)
        return sjis > 0xFF ? 2 : 1;
    return IsWideCodePoint(Code) ? 2 : 1;
}

} // namespace

std::string_view EncodingName(TTextEncoding Encoding)
{
    return Encoding == TTextEncoding::Utf8 ? "UTF-8" : "Shift-JIS";
}

TCharExtent Utf8CharAt(std::string_view S, std::size_t Offset)
{
    const TCodePoint base = DecodeUtf8(S, Offset);
    if (base.Code < 0x80 && (IsControl(base.Code) || Offset + 1 >= S.size() || static_cast<unsigned char>(S[Offset + 1]) < 0x80))
        return {1, 1}; // the common case: an ASCII character not followed by a mark
    if (!base.Valid || IsControl(base.Code))
        return {1, 1};
    std::size_t end = Offset + base.Bytes;
    bool joinNext = base.Code == ZeroWidthJoiner;
    while (end < S.size()) {
        const TCodePoint next = DecodeUtf8(S, end);
        if (!next.Valid || IsControl(next.Code) || !(joinNext || IsZeroWidthCodePoint(next.Code))
            || end + next.Bytes - Offset > MaxCharBytes)
            break;
        joinNext = next.Code == ZeroWidthJoiner;
        end += next.Bytes;
    }
    const std::uint8_t columns = IsZeroWidthCodePoint(base.Code) ? 1 : ColumnsOf(base.Code);
    return {static_cast<std::uint8_t>(end - Offset), columns};
}

int CharColumnsOf(TTextEncoding Encoding, std::string_view S)
{
    if (Encoding == TTextEncoding::ShiftJis)
        return static_cast<int>(S.size());
    int columns = 0;
    for (std::size_t offset = 0; offset < S.size();) {
        const TCharExtent extent = Utf8CharAt(S, offset);
        columns += extent.Columns;
        offset += extent.Bytes;
    }
    return columns;
}

std::size_t CharCount(TTextEncoding Encoding, std::string_view S)
{
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < S.size(); offset += CharByteCount(Encoding, S, offset))
        ++count;
    return count;
}

} // namespace kestrim
