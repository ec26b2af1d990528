#pragma once
// Text of either encoding to and from the toolkit's strings, for the editor control's body.

#include "editor/base/TextEncoding.h"

#include <QString>

#include <string>
#include <string_view>

namespace kestrim {

// Every byte string survives the way there and back: bytes that start no character are
// carried as code units of their own.
QString TextToQString(TTextEncoding Encoding, std::string_view Text);
// Characters that the encoding cannot hold become "?" (Shift-JIS) or U+FFFD (UTF-8);
// LostCharacters, when given, tells whether that happened.
std::string QStringToText(TTextEncoding Encoding, const QString& Text, bool* LostCharacters = nullptr);

} // namespace kestrim
