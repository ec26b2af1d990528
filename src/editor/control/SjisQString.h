#pragma once
// Shift-JIS bytes to and from the toolkit's strings, for the editor control's body.

#include <QString>

#include <string>
#include <string_view>

namespace kestrim {

QString SjisToQString(std::string_view Sjis);
// Characters that Shift-JIS cannot hold become "?"; LostCharacters, when given, tells whether
// that happened.
std::string QStringToSjis(const QString& Text, bool* LostCharacters = nullptr);
// The length of QStringToSjis(Text), without building it for plain ASCII.
std::size_t SjisLength(QStringView Text);
// The length of SjisToQString(Sjis), without building it for plain ASCII.
int QStringLength(std::string_view Sjis);

} // namespace kestrim
