#include "editor/control/SjisQString.h"

#include "editor/base/CodePage.h"

namespace kestrim {

QString SjisToQString(std::string_view Sjis)
{
    QString text(static_cast<qsizetype>(Sjis.size()), Qt::Uninitialized);
    text.resize(static_cast<qsizetype>(SjisToUtf16(Sjis, reinterpret_cast<char16_t*>(text.data()))));
    return text;
}

std::string QStringToSjis(const QString& Text, bool* LostCharacters)
{
    const std::u16string_view text(reinterpret_cast<const char16_t*>(Text.utf16()),
                                   static_cast<std::size_t>(Text.size()));
    return Utf16ToSjis(text, LostCharacters);
}

std::size_t SjisLength(QStringView Text)
{
    for (const QChar c : Text)
        if (c.unicode() >= 0x80)
            return QStringToSjis(Text.toString()).size();
    return static_cast<std::size_t>(Text.size());
}

int QStringLength(std::string_view Sjis)
{
    for (const char byte : Sjis)
        if (static_cast<unsigned char>(byte) >= 0x80)
            return static_cast<int>(SjisToQString(Sjis).size());
    return static_cast<int>(Sjis.size());
}

} // namespace kestrim
