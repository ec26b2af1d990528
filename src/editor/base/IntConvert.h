#pragma once
// Text to integer conversion for numbers read from outside (patterns' groups, colour texts)
// and for numbers the user types.

#include <optional>
#include <string_view>

namespace kestrim {

// The 32-bit signed integer written in Text (Shift-JIS bytes) as decimal digits with an
// optional sign. Raises EConvertError naming the text when it is not such a number or does not
// fit in 32 bits.
int StrToInt(std::string_view Text);

// The 32-bit signed integer a user typed in Text: leading blanks, an optional sign, then decimal
// digits or hexadecimal ones after "$" or "0x". Nothing when anything else is there or the value
// does not fit in 32 bits (a hexadecimal one included: "$FFFFFFFF" is too large, not -1).
std::optional<int> ParseEnteredInteger(std::string_view Text);

} // namespace kestrim
