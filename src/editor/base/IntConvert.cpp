#include "editor/base/IntConvert.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"

#include <charconv>
#include <string>

namespace kestrim {

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

} // namespace kestrim
