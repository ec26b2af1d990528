#include "editor/base/Utf8Check.h"

#include <algorithm>
#include <array>

namespace kestrim {
namespace {

// The states besides Between and Invalid: how many continuation bytes are still due, and for
// the leads whose second byte has a narrower range (shorter forms, surrogates, beyond
// U+10FFFF) that range.
constexpr unsigned Need1 = 12;
constexpr unsigned Need2 = 18;
constexpr unsigned Need3 = 24;
constexpr unsigned AfterE0 = 30; // A0-BF, then one more
constexpr unsigned AfterED = 36; // 80-9F, then one more
constexpr unsigned AfterF0 = 42; // 90-BF, then two more
constexpr unsigned AfterF4 = 48; // 80-8F, then two more

constexpr unsigned Next(unsigned State, unsigned Byte)
{
    const auto within = [Byte](unsigned Low, unsigned High) { return Byte >= Low && Byte <= High; };
    switch (State) {
    case TUtf8Check::Between:
        if (Byte < 0x80)
            return TUtf8Check::Between;
        if (within(0xC2, 0xDF))
            return Need1;
        if (Byte == 0xE0)
            return AfterE0;
        if (Byte == 0xED)
            return AfterED;
        if (within(0xE1, 0xEF))
            return Need2;
        if (Byte == 0xF0)
            return AfterF0;
        if (Byte == 0xF4)
            return AfterF4;
        return within(0xF1, 0xF3) ? Need3 : TUtf8Check::Invalid;
    case Need1: return within(0x80, 0xBF) ? TUtf8Check::Between : TUtf8Check::Invalid;
    case Need2: return within(0x80, 0xBF) ? Need1 : TUtf8Check::Invalid;
    case Need3: return within(0x80, 0xBF) ? Need2 : TUtf8Check::Invalid;
    case AfterE0: return within(0xA0, 0xBF) ? Need1 : TUtf8Check::Invalid;
    case AfterED: return within(0x80, 0x9F) ? Need1 : TUtf8Check::Invalid;
    case AfterF0: return within(0x90, 0xBF) ? Need2 : TUtf8Check::Invalid;
    case AfterF4: return within(0x80, 0x8F) ? Need2 : TUtf8Check::Invalid;
    default: return TUtf8Check::Invalid;
    }
}

// Row Byte holds, at the offset of each state, the state that Byte leads to from there.
constexpr std::array<std::uint64_t, 256> Transitions = [] {
    std::array<std::uint64_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte)
        for (unsigned state = 0; state <= AfterF4; state += 6)
            table[byte] |= static_cast<std::uint64_t>(Next(state, byte)) << state;
    return table;
}();

// The next state in the low six bits; the bits above are left as they come, since a shift
// takes only the low six bits of its count.
std::uint64_t Step(std::uint64_t State, char Byte)
{
    return Transitions[static_cast<unsigned char>(Byte)] >> (State & 63);
}

constexpr bool IsContinuation(char Byte)
{
    return (static_cast<unsigned char>(Byte) & 0xC0) == 0x80;
}

} // namespace

// Every byte steps the automaton, an ASCII one included: a fixed run of steps without a branch
// costs less than skipping the ASCII runs of a text that has characters beyond ASCII every few
// bytes. Each step waits for the one before, so the bytes are checked as two halves side by
// side, the second starting at a character's first byte (UTF-8 tells one from the bytes
// alone); the first half must then end between characters.
void TUtf8Check::Feed(std::string_view Bytes)
{
    const char* const data = Bytes.data();
    const std::size_t size = Bytes.size();
    std::size_t middle = size / 2;
    while (middle < size && middle < size / 2 + 3 && IsContinuation(data[middle]))
        ++middle;
    std::uint64_t first = FState;
    std::uint64_t second = Between;
    const std::size_t secondSize = size - middle;
    const std::size_t common = std::min(middle, secondSize);
    for (std::size_t i = 0; i < common; ++i) {
        first = Step(first, data[i]);
        second = Step(second, data[middle + i]);
    }
    for (std::size_t i = common; i < middle; ++i)
        first = Step(first, data[i]);
    for (std::size_t i = common; i < secondSize; ++i)
        second = Step(second, data[middle + i]);
    if (secondSize == 0)
        FState = static_cast<unsigned>(first & 63);
    else
        FState = (first & 63) == Between ? static_cast<unsigned>(second & 63) : Invalid;
    if (!FBeyondAscii) {
        unsigned char seen = 0;
        for (std::size_t i = 0; i < size; ++i)
            seen |= static_cast<unsigned char>(data[i]);
        FBeyondAscii = seen >= 0x80;
    }
}

} // namespace kestrim
