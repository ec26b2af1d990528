#include "editor/control/TextQString.h"

#include "editor/base/TextConversion.h"

namespace kestrim {

QString TextToQString(TTextEncoding Encoding, std::string_view Text)
{
    return QString::fromStdU16String(TextToUtf16(Encoding, Text));
}

std::string QStringToText(TTextEncoding Encoding, const QString& Text, bool* LostCharacters)
{
    const std::u16string_view text(reinterpret_cast<const char16_t*>(Text.utf16()),
                                   static_cast<std::size_t>(Text.size()));
    TConversionLoss loss;
    std::string converted = Utf16ToText(Encoding, text, loss);
    if (LostCharacters)
        *LostCharacters = loss.Count > 0;
    return converted;
}

} // namespace kestrim
