#include "editor/base/TextConversion.h"

#include "editor/base/Utf8.h"

namespace kestrim {
namespace {

void CountLoss(TConversionLoss& Loss, std::size_t Offset)
{
    if (Loss.Count++ == 0)
        Loss.First = Offset;
}

TConvertedText SjisToUtf8Text(std::string_view Text)
{
    TConvertedText out;
    out.Text.reserve(Text.size() + Text.size() / 2);
    for (std::size_t offset = 0; offset < Text.size();) {
        const std::size_t bytes = CharByteCount(TTextEncoding::ShiftJis, Text, offset);
        char16_t units[2];
        // A byte that starts no character comes back as a unit of its own, apart from the next.
        if (SjisToUtf16(Text.substr(offset, bytes), units) != 1 || IsRawByteUnit(units[0])) {
            CountLoss(out.Loss, offset);
            AppendUtf8(out.Text, 0xFFFD);
        } else {
            AppendUtf8(out.Text, units[0]);
        }
        offset += bytes;
    }
    return out;
}

TConvertedText Utf8ToSjisText(std::string_view Text)
{
    TConvertedText out;
    out.Text.reserve(Text.size());
    for (std::size_t offset = 0; offset < Text.size();) {
        const TCodePoint point = DecodeUtf8(Text, offset);
        const std::uint16_t code = point.Valid ? SjisCodeOrLookAlike(point.Code) : NoSjisCode;
        if (code == NoSjisCode) {
            CountLoss(out.Loss, offset);
            out.Text += '?';
        } else if (code > 0xFF) {
            out.Text += static_cast<char>(code >> 8);
            out.Text += static_cast<char>(code & 0xFF);
        } else {
            out.Text += static_cast<char>(code);
        }
        offset += point.Bytes;
    }
    return out;
}

} // namespace

TConvertedText ConvertText(std::string_view Text, TTextEncoding From, TTextEncoding To)
{
    if (From == To)
        return {std::string(Text), {}};
    return From == TTextEncoding::ShiftJis ? SjisToUtf8Text(Text) : Utf8ToSjisText(Text);
}

std::u16string TextToUtf16(TTextEncoding Encoding, std::string_view Text)
{
    return Encoding == TTextEncoding::Utf8 ? Utf8ToUtf16(Text) : SjisToUtf16(Text);
}

std::string Utf16ToText(TTextEncoding Encoding, std::u16string_view Text, TConversionLoss& Loss)
{
    if (Encoding == TTextEncoding::ShiftJis)
        return Utf16ToSjis(Text, Loss);
    Loss = {};
    std::string out = Utf16ToUtf8(Text, &Loss.Count);
    if (Loss.Count > 0)
        for (std::size_t i = 0; i < Text.size(); ++i) {
            const bool high = Text[i] >= 0xD800 && Text[i] <= 0xDBFF;
            const bool paired = high && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF;
            if (paired) {
                ++i;
            } else if ((Text[i] >= 0xD800 && Text[i] <= 0xDFFF) && !IsEscapedByte(Text[i])) {
                Loss.First = i;
                break;
            }
        }
    return out;
}

TTextPlace PlaceOfOffset(TTextEncoding Encoding, std::string_view Text, std::size_t Offset)
{
    TTextPlace place;
    for (std::size_t at = 0; at < Offset && at < Text.size();) {
        const char byte = Text[at];
        if (byte == '\r' || byte == '\n') {
            at += byte == '\r' && at + 1 < Text.size() && Text[at + 1] == '\n' ? 2 : 1;
            ++place.Line;
            place.Column = 1;
            continue;
        }
        at += CharByteCount(Encoding, Text, at);
        ++place.Column;
    }
    return place;
}

} // namespace kestrim
