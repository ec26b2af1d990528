#include "editor/control/BodyColumns.h"

#include "editor/base/edUtils.h"

namespace kestrim {

namespace {

// The width of the character at Offset when it starts at Column; Length receives its bytes.
int CharacterWidth(std::string_view Line, std::size_t Offset, int Column, int TabWidth, std::size_t& Length)
{
    if (Line[Offset] == '\t') {
        Length = 1;
        return TabWidth - Column % TabWidth;
    }
    Length = CharByteCount(Line, Offset);
    return static_cast<int>(Length);
}

} // namespace

int ColumnOfByte(std::string_view Line, std::size_t ByteOffset, int TabWidth)
{
    const std::size_t end = ByteOffset < Line.size() ? ByteOffset : Line.size();
    int column = 0;
    std::size_t offset = 0;
    while (offset < end) {
        std::size_t length = 0;
        column += CharacterWidth(Line, offset, column, TabWidth, length);
        offset += length;
    }
    return column;
}

std::size_t ByteOfColumn(std::string_view Line, int Column, int TabWidth)
{
    int column = 0;
    std::size_t offset = 0;
    while (offset < Line.size()) {
        std::size_t length = 0;
        const int width = CharacterWidth(Line, offset, column, TabWidth, length);
        if (column + width > Column)
            return offset;
        column += width;
        offset += length;
    }
    return Line.size();
}

} // namespace kestrim
