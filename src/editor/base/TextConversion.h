#pragma once
// Whole texts from one encoding into another, and into and out of UTF-16 for the GUI toolkit.
//
// A conversion never loses a character silently: what the target cannot hold is counted, and
// the place of the first such character is given, so that the caller can refuse the conversion
// and tell the user where the trouble is.

#include "editor/base/CodePage.h"
#include "editor/base/TextEncoding.h"

#include <string>
#include <string_view>

namespace kestrim {

// A converted text. Loss.First is the byte offset, in the source text, of the first character
// the target could not hold; each such character became "?" (U+FFFD in UTF-8).
struct TConvertedText {
    std::string Text;
    TConversionLoss Loss;
};

// Text from one encoding into the other (or copied, when both are the same). In Shift-JIS a
// byte that starts no character, and in UTF-8 a byte that is not valid UTF-8, is lost: it means
// no character that the other encoding could hold.
TConvertedText ConvertText(std::string_view Text, TTextEncoding From, TTextEncoding To);

// The text as UTF-16. Any byte string of either encoding survives the way there and back
// through Utf16ToText: bytes that start no character are carried as code units of their own.
std::u16string TextToUtf16(TTextEncoding Encoding, std::string_view Text);
// UTF-16 into the encoding; Loss.First is an index of Text.
std::string Utf16ToText(TTextEncoding Encoding, std::u16string_view Text, TConversionLoss& Loss);

// A place in a text for the user: the 1-based line and the 1-based character of that line.
struct TTextPlace {
    int Line = 1;
    int Column = 1;
};
// The place of byte Offset of Text, lines cut at CR LF, lone CR and lone LF.
TTextPlace PlaceOfOffset(TTextEncoding Encoding, std::string_view Text, std::size_t Offset);

} // namespace kestrim
