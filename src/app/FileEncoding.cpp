#include "app/FileEncoding.h"

#include "editor/base/TextConversion.h"
#include "editor/base/Utf8.h"
#include "editor/control/EditorControl.h"

#include <QStringList>

#include <algorithm>

namespace kestrim {
namespace {

QString NameOf(TTextEncoding Encoding)
{
    return QString::fromUtf8(EncodingName(Encoding));
}

// The first character that cannot be converted, as the user sees it: with its code point, or,
// for bytes that are no character of their encoding, their values.
QString ShownCharacter(TTextEncoding Encoding, std::string_view Text, std::size_t Offset)
{
    const std::string_view bytes = Text.substr(Offset, CharByteCount(Encoding, Text, Offset));
    const QString shown = QString::fromStdU16String(TextToUtf16(Encoding, bytes));
    const bool character = std::none_of(shown.begin(), shown.end(), [](QChar Unit) {
        return IsRawByteUnit(Unit.unicode()) || IsEscapedByte(Unit.unicode());
    });
    if (character)
        return QStringLiteral("\"%1\" (U+%2)")
            .arg(shown)
            .arg(QString::number(shown.toUcs4().value(0), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    QStringList values;
    for (const char byte : bytes)
        values << QStringLiteral("0x")
                      + QString::number(static_cast<unsigned char>(byte), 16).toUpper().rightJustified(2, QLatin1Char('0'));
    return values.join(QLatin1Char(' '));
}

} // namespace

TTextEncoding OtherEncoding(TTextEncoding Encoding)
{
    return Encoding == TTextEncoding::Utf8 ? TTextEncoding::ShiftJis : TTextEncoding::Utf8;
}

QString FormatStatusText(TTextEncoding Encoding, const TTextFileFormat& Format)
{
    QString text = NameOf(Encoding);
    if (Format.ByteOrderMark && Encoding == TTextEncoding::Utf8)
        text += QStringLiteral(" (BOM)");
    text += QStringLiteral("  ") + QString::fromUtf8(LineEndName(Format.LineEnd));
    if (Format.MixedLineEnds())
        text += QStringLiteral(" (混在)");
    return text;
}

std::optional<QString> ConvertPageText(TEditor& Editor, TTextEncoding Encoding)
{
    const TTextEncoding from = Editor.Encoding();
    if (from == Encoding)
        return std::nullopt;
    const std::string text = Editor.Lines().Text();
    TConvertedText converted = ConvertText(text, from, Encoding);
    if (converted.Loss.Count == 0) {
        Editor.ReplaceText(converted.Text, Encoding);
        return std::nullopt;
    }
    const TTextPlace place = PlaceOfOffset(from, text, converted.Loss.First);
    return QStringLiteral("%1 で表せない文字が %2 個あるため、%1 に変換しませんでした。最初の文字は %3 行目の %4 文字目の %5 です。")
        .arg(NameOf(Encoding))
        .arg(converted.Loss.Count)
        .arg(place.Line)
        .arg(place.Column)
        .arg(ShownCharacter(from, text, converted.Loss.First));
}

} // namespace kestrim
