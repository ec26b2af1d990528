#pragma once
// Jumps of the caret to a line that a message names: a line of the text, not a row of the
// screen, so that word wrap does not move the target.

#include <cstddef>
#include <functional>
#include <string_view>

namespace kestrim {

class TEditor;

// The byte of a line's text (its Shift-JIS bytes) that the caret goes to.
using TByteInLine = std::function<std::size_t(std::string_view Line)>;

// Puts Editor's caret on line Line (from 1; lines before the first or past the last give the
// first or the last) at the byte ByteInLine chooses: under word wrap on the row of the line
// that holds that byte, the line's first row for byte 0.
void MoveCaretToLine(TEditor& Editor, int Line, const TByteInLine& ByteInLine);

} // namespace kestrim
