#pragma once
// The cell-attribute string of a row: one character per display column, telling what fills the
// column. Wrapping, caret movement and word selection work on it instead of on the bytes.
//
// The cells follow the layout's encoding. A Shift-JIS cell stands for one byte (a tab's fill cells
// for none), so byte k of a row without tabs is column k. A UTF-8 character of 1 to 64 bytes takes
// one cell, or two when it is wide; a wide character gets lead and trail cells as a Shift-JIS
// two-byte one does. A narrow UTF-8 character keeps the delimiter rule it has in Shift-JIS: ASCII
// by the layout's set, any other is a word character when Unicode counts it as one (letters,
// marks, digits, connectors; so the half-width katakana as in Shift-JIS), else a delimiter; a byte
// that is not valid UTF-8 is a delimiter.

#include "editor/text/edLayoutSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

constexpr char CellEnd = '0';        // after the last cell (appended by the cursor)
constexpr char CellSingleByte = '1'; // a one-column character that is not a delimiter
constexpr char CellDelimiter = '2';  // a one-column delimiter; a tab's own column too
constexpr char CellTabFill = '3';    // a column after a tab, up to the next tab stop
constexpr char CellLeadByte = '4';   // first column of a two-column character
constexpr char CellTrailByte = '5';  // second column of a two-column character

// Without word wrap a row is laid out up to this many columns.
constexpr int MaxLayoutColumns = 1000;

// The cells of Line. With WordWrap a tab never reaches past the next multiple of WrapByte, and
// the string stops once it holds WrapByte + 3 cells (the most the wrap rules look at); without
// it the string stops at MaxLayoutColumns cells. A character is never split by the stop.
std::string StrToAttributes(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap,
                            int WrapByte);

// The cells of a UTF-8 row with the bytes each stands for: ByteEnds[c] is the offset after the
// bytes of cells 0..c. A one-column character's cell stands for all its bytes; a two-column
// character's lead cell for its first byte and its trail cell for the rest (as in Shift-JIS); a
// tab's fill cells for none. Shift-JIS rows need no ends: each cell but a fill cell is one byte.
struct TUtf8Cells {
    std::string Cells;
    std::vector<int> ByteEnds;
};

// The cells of a UTF-8 Line and their byte ends, made and cut as StrToAttributes makes them.
TUtf8Cells Utf8CellsOf(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte);

// The number of columns of Line: the length of its cell-attribute string without the stop.
int DisplayWidth(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte);

} // namespace kestrim
