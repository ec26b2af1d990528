#include "editor/text/edRowCells.h"

#include <algorithm>

namespace kestrim {

TRowCells::TRowCells(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
    : FByteCount(static_cast<int>(Row.size()))
{
    if (Layout.Encoding() == TTextEncoding::Utf8) {
        TUtf8Cells cells = Utf8CellsOf(Row, Layout, WordWrap, WrapByte);
        FCells = std::move(cells.Cells);
        FByteEnds = std::move(cells.ByteEnds);
        FCoveredBytes = FByteEnds.empty() ? 0 : FByteEnds.back();
        return;
    }
    FCells = StrToAttributes(Row, Layout, WordWrap, WrapByte);
    FCoveredBytes = static_cast<int>(FCells.size() - static_cast<std::size_t>(std::count(FCells.begin(), FCells.end(), CellTabFill)));
}

int TRowCells::ByteOfCol(int Col) const
{
    if (Col <= 0)
        return 0;
    if (Col >= Width())
        return FCoveredBytes + (Col - Width());
    if (!FByteEnds.empty())
        return FByteEnds[static_cast<std::size_t>(Col - 1)];
    const auto end = FCells.begin() + Col;
    return Col - static_cast<int>(std::count(FCells.begin(), end, CellTabFill));
}

int TRowCells::ColOfByte(int Byte) const
{
    if (Byte <= 0)
        return 0;
    if (Byte >= FCoveredBytes)
        return CutAtLimit() ? Width() : Width() + (Byte - FCoveredBytes);
    if (!FByteEnds.empty()) // the first cell whose bytes reach past Byte (fill cells have none)
        return static_cast<int>(std::upper_bound(FByteEnds.begin(), FByteEnds.end(), Byte) - FByteEnds.begin());
    int byte = 0;
    for (int col = 0; col < Width(); ++col) {
        if (FCells[static_cast<std::size_t>(col)] == CellTabFill)
            continue;
        if (byte == Byte)
            return col;
        ++byte;
    }
    return Width();
}

namespace {

std::string ExpandUtf8Tabs(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
    const TUtf8Cells cells = Utf8CellsOf(Row, Layout, WordWrap, WrapByte);
    if (Row.find('\t') == std::string_view::npos)
        return std::string(Row.substr(0, cells.ByteEnds.empty() ? 0 : static_cast<std::size_t>(cells.ByteEnds.back())));
    std::string text;
    text.reserve(Row.size() + cells.Cells.size());
    int start = 0;
    for (std::size_t col = 0; col < cells.Cells.size(); ++col) {
        const int end = cells.ByteEnds[col];
        const std::string_view bytes = Row.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
        if (cells.Cells[col] == CellTabFill || bytes == "\t")
            text += ' ';
        else
            text += bytes;
        start = end;
    }
    return text;
}

} // namespace

std::string ExpandTabs(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
    if (Layout.Encoding() == TTextEncoding::Utf8)
        return ExpandUtf8Tabs(Row, Layout, WordWrap, WrapByte);
    const std::string cells = StrToAttributes(Row, Layout, WordWrap, WrapByte);
    if (Row.find('\t') == std::string_view::npos)
        return std::string(Row.substr(0, cells.size()));
    std::string text;
    text.reserve(cells.size());
    std::size_t byte = 0;
    for (const char cell : cells) {
        if (cell == CellTabFill) {
            text += ' ';
            continue;
        }
        text += Row[byte] == '\t' ? ' ' : Row[byte];
        ++byte;
    }
    return text;
}

} // namespace kestrim
