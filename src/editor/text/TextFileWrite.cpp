#include "editor/text/TextFileWrite.h"

#include "editor/text/edEditorStrings.h"

namespace kestrim {
namespace {

std::string_view LineEndBytes(TLineEnd End)
{
    switch (End) {
    case TLineEnd::Lf: return "\n";
    case TLineEnd::Cr: return "\r";
    case TLineEnd::CrLf: break;
    }
    return "\r\n";
}

} // namespace

bool WriteTextLines(const TEditorStrings& Lines, const TTextFileFormat& Format, const TWriteBytes& Write,
                    const TWriteProgress& Progress, const std::atomic<bool>* Cancel, int SliceLines)
{
    const int rowCount = Lines.LineToRow(Lines.GetCount());
    std::string slice;
    if (Format.ByteOrderMark && Format.Encoding == TTextEncoding::Utf8)
        slice = Utf8ByteOrderMark;
    std::size_t line = 0;
    std::size_t lastEnd = 0;
    for (int row = 0; row < rowCount;) {
        row = Lines.ReadLines(row, SliceLines, [&](std::string_view text) {
            slice += text;
            lastEnd = slice.size();
            slice += LineEndBytes(line < Format.LineEnds.size() ? Format.LineEnds[line] : Format.LineEnd);
            ++line;
        });
        // The last line ends only when the text ends with a line break.
        if (row >= rowCount && !Lines.TrailingLineBreak())
            slice.resize(lastEnd);
        Write(slice);
        slice.clear();
        if (Progress)
            Progress(static_cast<std::uint64_t>(row), static_cast<std::uint64_t>(rowCount));
        if (Cancel && Cancel->load(std::memory_order_relaxed))
            return false;
    }
    slice.append(Format.EofMarks, '\x1A');
    Write(slice);
    return true;
}

} // namespace kestrim
