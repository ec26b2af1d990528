#include "editor/text/edCellAttributes.h"

#include "editor/base/UnicodeProperties.h"
#include "editor/base/Utf8.h"
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

std::size_t CellLimit(bool WordWrap, int WrapByte)
{
    return static_cast<std::size_t>(WordWrap ? WrapByte + 3 : MaxLayoutColumns);
}

// The cell of a one-column UTF-8 character starting at Offset.
char Utf8NarrowCell(std::string_view Line, std::size_t Offset, const TEditorLayoutSettings& Layout)
{
    const auto byte = static_cast<unsigned char>(Line[Offset]);
    if (byte < 0x80)
        return Layout.IsDelimiter(static_cast<char>(byte)) ? CellDelimiter : CellSingleByte;
    // Unicode's word characters among the half-width katakana and signs are the ones of the
    // Shift-JIS delimiter set, so their rule needs no table of its own.
    const TCodePoint code = DecodeUtf8(Line, Offset);
    return code.Valid && IsWordCodePoint(code.Code) ? CellSingleByte : CellDelimiter;
}

// Appends the cells of a UTF-8 Line to Cells and, when Ends is given, their byte ends to it.
void BuildUtf8Cells(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte,
                    std::string& Cells, std::vector<int>* Ends)
{
    const std::size_t limit = CellLimit(WordWrap, WrapByte);
    Cells.reserve(std::min(limit, Line.size()) + 8);
    for (std::size_t offset = 0; offset < Line.size() && Cells.size() < limit;) {
        // ASCII before ASCII carries no mark: the cell needs no look at the character.
        if (static_cast<unsigned char>(Line[offset]) < 0x80 && Line[offset] != '\t'
            && (offset + 1 == Line.size() || static_cast<unsigned char>(Line[offset + 1]) < 0x80)) {
            Cells += Layout.IsDelimiter(Line[offset]) ? CellDelimiter : CellSingleByte;
            if (Ends)
                Ends->push_back(static_cast<int>(++offset));
            else
                ++offset;
            continue;
        }
        const TCharExtent extent = Utf8CharAt(Line, offset);
        const int end = static_cast<int>(offset + extent.Bytes);
        if (extent.Columns == 2) {
            Cells += CellLeadByte;
            Cells += CellTrailByte;
            if (Ends)
                Ends->insert(Ends->end(), {static_cast<int>(offset) + 1, end});
        } else {
            Cells += Utf8NarrowCell(Line, offset, Layout);
            if (Ends)
                Ends->push_back(end);
            if (Line[offset] == '\t') {
                const int column = static_cast<int>(Cells.size()) - 1;
                const auto fill = static_cast<std::size_t>(TabFillCount(column, Layout, WordWrap, WrapByte));
                Cells.append(fill, CellTabFill);
                if (Ends)
                    Ends->insert(Ends->end(), fill, end);
            }
        }
        offset = static_cast<std::size_t>(end);
    }
}

int Utf8DisplayWidth(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
    if (Line.find('\t') == std::string_view::npos)
        return CharColumnsOf(TTextEncoding::Utf8, Line);
    int columns = 0;
    for (std::size_t offset = 0; offset < Line.size();) {
        const TCharExtent extent = Utf8CharAt(Line, offset);
        columns += extent.Columns;
        if (Line[offset] == '\t')
            columns += TabFillCount(columns - 1, Layout, WordWrap, WrapByte);
        offset += extent.Bytes;
    }
    return columns;
}

} // namespace

TUtf8Cells Utf8CellsOf(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
    TUtf8Cells cells;
    cells.ByteEnds.reserve(std::min(CellLimit(WordWrap, WrapByte), Line.size()) + 8);
    BuildUtf8Cells(Line, Layout, WordWrap, WrapByte, cells.Cells, &cells.ByteEnds);
    return cells;
}

std::string StrToAttributes(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap,
                            int WrapByte)
{
    if (Layout.Encoding() == TTextEncoding::Utf8) {
        std::string cells;
        BuildUtf8Cells(Line, Layout, WordWrap, WrapByte, cells, nullptr);
        return cells;
    }
    const std::size_t limit = CellLimit(WordWrap, WrapByte);
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
    if (Layout.Encoding() == TTextEncoding::Utf8)
        return Utf8DisplayWidth(Line, Layout, WordWrap, WrapByte);
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
