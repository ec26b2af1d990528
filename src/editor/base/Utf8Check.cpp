#include "editor/base/Utf8Check.h"

#include <cstring>

namespace kestrim {

void TUtf8Check::Feed(std::string_view Bytes)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    const std::size_t size = Bytes.size();
    std::size_t i = 0;
    while (i < size && FValid) {
        if (FPending == 0 && i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, Bytes.data() + i, 8);
            if ((word & HighBits) == 0) {
                i += 8;
                continue;
            }
        }
        Take(static_cast<unsigned char>(Bytes[i++]));
    }
}

void TUtf8Check::Take(unsigned char Byte)
{
    if (FPending > 0) {
        FValid = Byte >= FLow && Byte <= FHigh;
        FLow = 0x80;
        FHigh = 0xBF;
        --FPending;
        return;
    }
    if (Byte < 0x80)
        return;
    FBeyondAscii = true;
    if (Byte >= 0xC2 && Byte <= 0xDF) {
        FPending = 1;
    } else if (Byte >= 0xE0 && Byte <= 0xEF) {
        FPending = 2;
        if (Byte == 0xE0)
            FLow = 0xA0; // a shorter form exists
        else if (Byte == 0xED)
            FHigh = 0x9F; // surrogates
    } else if (Byte >= 0xF0 && Byte <= 0xF4) {
        FPending = 3;
        if (Byte == 0xF0)
            FLow = 0x90; // a shorter form exists
        else if (Byte == 0xF4)
            FHigh = 0x8F; // beyond U+10FFFF
    } else {
        FValid = false;
    }
}

} // namespace kestrim
