#include "editor/text/edRowCells.h"

#include <algorithm>

namespace kestrim {

TRowCells::TRowCells(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
    : FCells(StrToAttributes(Row, Layout, WordWrap, WrapByte))
    , FByteCount(static_cast<int>(Row.size()))
{
    FCoveredBytes = static_cast<int>(FCells.size() - static_cast<std::size_t>(std::count(FCells.begin(), FCells.end(), CellTabFill)));
}

int TRowCells::ByteOfCol(int Col) const
{
    if (Col <= 0)
        return 0;
    if (Col >= Width())
        return FCoveredBytes + (Col - Width());
    const auto end = FCells.begin() + Col;
    return Col - static_cast<int>(std::count(FCells.begin(), end, CellTabFill));
}

int TRowCells::ColOfByte(int Byte) const
{
    if (Byte <= 0)
        return 0;
    if (Byte >= FCoveredBytes)
        return CutAtLimit() ? Width() : Width() + (Byte - FCoveredBytes);
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

std::string ExpandTabs(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte)
{
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
