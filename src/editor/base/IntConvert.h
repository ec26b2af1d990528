#pragma once
// Text to integer conversion for numbers read from outside: patterns' groups, colour texts.

#include <string_view>

namespace kestrim {

// The 32-bit signed integer written in Text (Shift-JIS bytes) as decimal digits with an
// optional sign. Raises EConvertError naming the text when it is not such a number or does not
// fit in 32 bits.
int StrToInt(std::string_view Text);

} // namespace kestrim
