#include "editor/base/IntConvert.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace kestrim {
namespace {

bool IsBlank(char Byte)
{
    return Byte == ' ' || Byte == '\t';
}

// Strips a leading "$", "0x" or "0X"; true when there was one.
bool TakeHexPrefix(std::string_view& Text)
{
    if (Text.starts_with('$')) {
        Text.remove_prefix(1);
        return true;
    }
    if (Text.starts_with("0x") || Text.starts_with("0X")) {
        Text.remove_prefix(2);
        return true;
    }
    return false;
}

// The magnitude written in Digits, or nothing when a byte is no digit of Base or the value
// exceeds Limit.
std::optional<std::int64_t> ParseMagnitude(std::string_view Digits, int Base, std::int64_t Limit)
{
    if (Digits.empty())
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (const char byte : Digits) {
        int digit = 0;
        const auto [end, error] = std::from_chars(&byte, &byte + 1, digit, Base);
        if (error != std::errc() || end != &byte + 1)
            return std::nullopt;
        magnitude = magnitude * Base + digit;
        if (magnitude > Limit)
            return std::nullopt;
    }
    return magnitude;
}

} // namespace

int StrToInt(std::string_view Text)
{
    // from_chars takes a leading "-" but not a "+": strip the "+" here, and refuse "+-".
    const bool plusSign = !Text.empty() && Text.front() == '+';
    const std::string_view number = plusSign ? Text.substr(1) : Text;
    int value = 0;
    const char* const last = number.data() + number.size();
    const auto [end, error] = std::from_chars(number.data(), last, value);
    const bool doubleSign = plusSign && !number.empty() && number.front() == '-';
    if (error != std::errc() || end != last || doubleSign)
        throw EConvertError("'" + SjisToUtf8(Text) + "' は有効な整数値ではありません。");
    return value;
}

std::optional<int> ParseEnteredInteger(std::string_view Text)
{
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    const bool negative = Text.starts_with('-');
    if (negative || Text.starts_with('+'))
        Text.remove_prefix(1);
    const int base = TakeHexPrefix(Text) ? 16 : 10;
    // The negative range reaches one further than the positive one.
    const std::int64_t limit = negative ? std::int64_t{INT32_MAX} + 1 : INT32_MAX;
    const std::optional<std::int64_t> magnitude = ParseMagnitude(Text, base, limit);
    if (!magnitude)
        return std::nullopt;
    return static_cast<int>(negative ? -*magnitude : *magnitude);
}

} // namespace kestrim
