#include "editor/base/TextEncoding.h"

#include "editor/base/UnicodeProperties.h"
#include "editor/base/Utf8.h"

#include <array>
#include <bitset>

namespace kestrim {
namespace {

constexpr bool IsControl(char32_t Code) { return Code < 0x20 || Code == 0x7F; }

// A skin tone belongs to the emoji before it; two regional indicators make one flag.
constexpr bool IsEmojiModifier(char32_t Code) { return Code >= 0x1F3FB && Code <= 0x1F3FF; }
constexpr bool IsRegionalIndicator(char32_t Code) { return Code >= 0x1F1E6 && Code <= 0x1F1FF; }

// Whether the UTF-8 form at Offset may be a code point of the plane of emoji (U+1Fxxx).
bool MayBeEmoji(std::string_view S, std::size_t Offset)
{
    return static_cast<unsigned char>(S[Offset]) == 0xF0 && Offset + 1 < S.size()
           && static_cast<unsigned char>(S[Offset + 1]) == 0x9F;
}

std::uint8_t ColumnsOf(char32_t Code)
{
    const std::uint16_t sjis = SjisCodeOf(Code);
    if (sjis != NoSjisCode)
        return sjis > 0xFF ? 2 : 1;
    return IsWideCodePoint(Code) ? 2 : 1;
}

enum TExtentBits : std::uint8_t {
    ebWide = 1,
    ebZeroWidth = 2,
};

// What Utf8CharAt asks of every code point of the Basic Multilingual Plane, read once from the
// code page and the Unicode properties: it runs for every character laid out. MarkBlocks tells
// which blocks of 64 code points hold a zero-width one, so that the character after another
// need not be read whole to know it joins none: in Japanese text it almost never could.
struct TBmpExtents {
    std::array<std::uint8_t, 0x10000> Bits{};
    TMarkBlocks MarkBlocks;

    TBmpExtents()
    {
        for (char32_t code = 0; code < Bits.size(); ++code) {
            const bool zeroWidth = IsZeroWidthCodePoint(code);
            Bits[code] = static_cast<std::uint8_t>((ColumnsOf(code) == 2 ? ebWide : 0) | (zeroWidth ? ebZeroWidth : 0));
            if (zeroWidth)
                MarkBlocks.set(code / 64);
        }
    }

    // Whether the code point whose UTF-8 form begins at Offset may be zero-width.
    bool MayBeMark(std::string_view S, std::size_t Offset) const
    {
        const auto second = Offset + 1 < S.size() ? static_cast<unsigned char>(S[Offset + 1]) : 0;
        return MayStartMark(MarkBlocks, static_cast<unsigned char>(S[Offset]), second);
    }
};

const TBmpExtents& BmpExtents()
{
    static const TBmpExtents table;
    return table;
}

// A mark with nothing before it to join stands alone, one column wide.
std::uint8_t ColumnsOfBits(std::uint8_t Bits)
{
    return (Bits & (ebWide | ebZeroWidth)) == ebWide ? 2 : 1;
}

std::uint8_t ExtentBits(const TBmpExtents& Bmp, char32_t Code)
{
    if (Code < 0x10000)
        return Bmp.Bits[Code];
    return static_cast<std::uint8_t>((ColumnsOf(Code) == 2 ? ebWide : 0) | (IsZeroWidthCodePoint(Code) ? ebZeroWidth : 0));
}

} // namespace

const TMarkBlocks& MarkBlocks()
{
    return BmpExtents().MarkBlocks;
}

std::string_view EncodingName(TTextEncoding Encoding)
{
    return Encoding == TTextEncoding::Utf8 ? "UTF-8" : "Shift-JIS";
}

TCharExtent Utf8CharAt(std::string_view S, std::size_t Offset)
{
    const TCodePoint base = DecodeUtf8Fast(S, Offset);
    std::size_t end = Offset + base.Bytes;
    if (end >= S.size() || static_cast<unsigned char>(S[end]) < 0x80 || !base.Valid || IsControl(base.Code)) {
        // Nothing can join: the common case of a character followed by ASCII.
        if (base.Code < 0x80 || !base.Valid)
            return {base.Bytes, 1};
        return {base.Bytes, ColumnsOfBits(ExtentBits(BmpExtents(), base.Code))};
    }
    const TBmpExtents& bmp = BmpExtents();
    const std::uint8_t baseBits = ExtentBits(bmp, base.Code);
    bool joinNext = base.Code == ZeroWidthJoiner;
    bool flagOpen = IsRegionalIndicator(base.Code);
    while (end < S.size() && (joinNext || bmp.MayBeMark(S, end) || MayBeEmoji(S, end))) {
        const TCodePoint next = DecodeUtf8Fast(S, end);
        const bool joins = joinNext || (ExtentBits(bmp, next.Code) & ebZeroWidth) || IsEmojiModifier(next.Code)
                           || (flagOpen && IsRegionalIndicator(next.Code));
        if (!next.Valid || IsControl(next.Code) || !joins || end + next.Bytes - Offset > MaxCharBytes)
            break;
        joinNext = next.Code == ZeroWidthJoiner;
        flagOpen = false;
        end += next.Bytes;
    }
    return {static_cast<std::uint8_t>(end - Offset), ColumnsOfBits(baseBits)};
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

std::size_t LastCharStart(TTextEncoding Encoding, std::string_view S)
{
    std::size_t last = 0;
    for (std::size_t offset = 0; offset < S.size(); offset += CharByteCount(Encoding, S, offset))
        last = offset;
    return last;
}

std::size_t CharCount(TTextEncoding Encoding, std::string_view S)
{
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < S.size(); offset += CharByteCount(Encoding, S, offset))
        ++count;
    return count;
}

} // namespace kestrim
