#pragma once
// Caret lines: interpreters point at a column by writing blanks and "^" under the source line
// they quote (Python 3.11 and later mark the whole expression with "~" and its operator with
// "^"; gawk repeats its message prefix on both lines). The caret line and the line above share
// a prefix; after it, the caret line holds only blanks before its marks.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrim {

// The source a caret line points into: the quoted text without its leading and trailing
// blanks, and the byte of that text under the first "^" (0 when the caret stands in the
// blanks before it; it may lie past the text's end when the caret stands after it).
struct TQuotedCaret {
    std::string Source;
    std::size_t Offset = 0;

    bool operator==(const TQuotedCaret&) const = default;
};

// What CaretLine says of Quoted, the line above it; none when it is no caret line: after the
// prefix both share (none, or one that ends in a blank), blanks, then "^" and "~" with at least
// one "^", then the end or a blank.
std::optional<TQuotedCaret> ReadCaretLine(std::string_view Quoted, std::string_view CaretLine);

// The byte of ScriptLine (Shift-JIS) that Caret points at: where its source stands in the
// line, or, when the line no longer holds it, as far in as the caret from the line's indent.
std::size_t CaretByteIn(std::string_view ScriptLine, const TQuotedCaret& Caret);

} // namespace kestrim
