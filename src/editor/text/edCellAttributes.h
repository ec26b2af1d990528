#pragma once
// The cell-attribute string of a row: one character per display column, telling what fills the
// column. Wrapping, caret movement and word selection work on it instead of on the bytes.

#include "editor/text/edLayoutSettings.h"

#include <string>
#include <string_view>

namespace kestrim {

constexpr char CellEnd = '0';        // after the last cell (appended by the cursor)
constexpr char CellSingleByte = '1'; // a one-byte character that is not a delimiter
constexpr char CellDelimiter = '2';  // a one-byte delimiter; a tab's own column too
constexpr char CellTabFill = '3';    // a column after a tab, up to the next tab stop
constexpr char CellLeadByte = '4';   // first column of a two-byte character
constexpr char CellTrailByte = '5';  // second column of a two-byte character

// Without word wrap a row is laid out up to this many columns.
constexpr int MaxLayoutColumns = 1000;

// The cells of Line. With WordWrap a tab never reaches past the next multiple of WrapByte, and
// the string stops once it holds WrapByte + 3 cells (the most the wrap rules look at); without
// it the string stops at MaxLayoutColumns cells. A character is never split by the stop.
std::string StrToAttributes(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap,
                            int WrapByte);

// The number of columns of Line: the length of its cell-attribute string without the stop.
int DisplayWidth(std::string_view Line, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte);

} // namespace kestrim
