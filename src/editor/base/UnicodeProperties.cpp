#include "editor/base/UnicodeProperties.h"

#include <array>
#include <cstdint>
#include <unicode/uchar.h>

namespace kestrim {
namespace {

enum TPropertyBits : std::uint8_t {
    pbZeroWidth = 1,
    pbWide = 2,
    pbWord = 4,
};

bool AskZeroWidth(char32_t Code)
{
    const auto type = u_charType(static_cast<UChar32>(Code));
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || Code == ZeroWidthJoiner || Code == 0x200C;
}

bool AskWide(char32_t Code)
{
    const auto width = u_getIntPropertyValue(static_cast<UChar32>(Code), UCHAR_EAST_ASIAN_WIDTH);
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH;
}

bool AskWord(char32_t Code)
{
    const auto mask = U_GET_GC_MASK(static_cast<UChar32>(Code));
    return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK | U_GC_PC_MASK)) != 0;
}

const std::array<std::uint8_t, 0x10000>& BmpProperties()
{
    static const auto table = [] {
        std::array<std::uint8_t, 0x10000> bits{};
        for (char32_t code = 0; code < bits.size(); ++code)
            bits[code] = static_cast<std::uint8_t>((AskZeroWidth(code) ? pbZeroWidth : 0) | (AskWide(code) ? pbWide : 0)
                                                   | (AskWord(code) ? pbWord : 0));
        return bits;
    }();
    return table;
}

} // namespace

bool IsZeroWidthCodePoint(char32_t Code)
{
    return Code < 0x10000 ? (BmpProperties()[Code] & pbZeroWidth) != 0 : AskZeroWidth(Code);
}

bool IsWideCodePoint(char32_t Code)
{
    return Code < 0x10000 ? (BmpProperties()[Code] & pbWide) != 0 : AskWide(Code);
}

bool IsWordCodePoint(char32_t Code)
{
    return Code < 0x10000 ? (BmpProperties()[Code] & pbWord) != 0 : AskWord(Code);
}

} // namespace kestrim
