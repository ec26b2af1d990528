#include "editor/text/edCellAttributes.h"

#include "editor/base/edUtils.h"

#include <algorithm>

namespace kestrim {
namespace {

// The columns after a tab at the 0-based Column, up to the next tab stop and, with word wrap,
// not past the end of the row.
int TabFillCount(int Column, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
    const int tab = Layout.TabSpaceCount();
    int fill = tab - Column % tab - 1;
    if (WordWrap && WrapByte > 0)
        fill = std::min(fill, WrapByte - Column % WrapByte - 1);
    return fill;
}

} // namespace

std::string StrToAttributes(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap,
                            int WrapByte)
{
    const std::size_t limit = static_cast<std::size_t>(WordWrap ? WrapByte + 3 : MaxLayoutColumns);
    std::string cells;
    cells.reserve(std::min(limit, Line.size()) + 8);
    for (std::size_t offset = 0; offset < Line.size() && cells.size() < limit; ++offset) {
        if (StartsTwoByteChar(Line, offset)) {
            cells += CellLeadByte;
            cells += CellTrailByte;
            ++offset;
            continue;
        }
        const char byte = Line[offset];
        cells += Layout.IsDelimiter(byte) ? CellDelimiter : CellSingleByte;
        if (byte == '\t') {
            const int column = static_cast<int>(cells.size()) - 1;
            cells.append(static_cast<std::size_t>(TabFillCount(column, Layout, WordWrap, WrapByte)), CellTabFill);
        }
    }
    return cells;
}

int DisplayWidth(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
    // Without tabs every byte is one column: a two-byte character has two of each.
    if (Line.find('\t') == std::string_view::npos)
        return static_cast<int>(Line.size());
    int columns = 0;
    for (std::size_t offset = 0; offset < Line.size(); ++offset) {
        ++columns;
        if (Line[offset] == '\t')
            columns += TabFillCount(columns - 1, Layout, WordWrap, WrapByte);
        else if (StartsTwoByteChar(Line, offset)) {
            ++columns;
            ++offset;
        }
    }
    return columns;
}

} // namespace kestrim
