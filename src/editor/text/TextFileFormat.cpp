#include "editor/text/TextFileFormat.h"

#include "editor/base/Utf8Check.h"

namespace kestrim {

std::string_view LineEndName(TLineEnd End)
{
    switch (End) {
    case TLineEnd::Lf: return "LF";
    case TLineEnd::Cr: return "CR";
    case TLineEnd::CrLf: break;
    }
    return "CR LF";
}

TTextFileFormat NewFileFormat(TTextEncoding Encoding)
{
    TTextFileFormat format;
    format.Encoding = Encoding;
    format.LineEnd = Encoding == TTextEncoding::Utf8 ? TLineEnd::Lf : TLineEnd::CrLf;
    return format;
}

TTextEncoding EncodingOfBytes(bool ByteOrderMark, const TUtf8Check& Check, TTextEncoding Default)
{
    if (ByteOrderMark || (Check.Complete() && Check.BeyondAscii()))
        return TTextEncoding::Utf8;
    return Check.Complete() ? Default : TTextEncoding::ShiftJis;
}

// In place: every line end of the text is CR LF, and no new one is longer.
std::string FileBytesOf(std::string Text, const TTextFileFormat& Format)
{
    const bool allCrLf = Format.LineEnd == TLineEnd::CrLf && !Format.MixedLineEnds();
    if (!allCrLf) {
        std::size_t out = 0;
        std::size_t line = 0;
        for (std::size_t in = 0; in < Text.size(); ++in) {
            const char byte = Text[in];
            if (byte != '\r') {
                Text[out++] = byte;
                continue;
            }
            const TLineEnd end = line < Format.LineEnds.size() ? Format.LineEnds[line] : Format.LineEnd;
            ++line;
            ++in; // the LF of the CR LF
            if (end != TLineEnd::Lf)
                Text[out++] = '\r';
            if (end != TLineEnd::Cr)
                Text[out++] = '\n';
        }
        Text.resize(out);
    }
    Text.append(Format.EofMarks, '\x1A');
    if (Format.ByteOrderMark && Format.Encoding == TTextEncoding::Utf8)
        Text.insert(0, Utf8ByteOrderMark);
    return Text;
}

} // namespace kestrim
