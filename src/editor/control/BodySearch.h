#pragma once
// Finding a pattern in the Shift-JIS text of the editor's provisional body, with the options
// down, match case and whole word. Hits start on character boundaries, found by scanning each
// line from its start, so that a pattern never matches half of a two-byte character.

#include "editor/control/BodyTokens.h"
#include "editor/text/TextSearch.h"

#include <optional>
#include <string_view>

namespace kestrim {

// Forward (soDown): the first hit that starts at or after Start. Backward: the last hit that
// ends at or before Start. Without soMatchCase, ASCII letters and the full-width Latin, Greek
// and Cyrillic letters match in either case. With soWholeWord, a hit starts a word and is
// followed by a delimiter (ASCII blanks, symbols and punctuation including the underscore,
// half-width punctuation, a line break or the end of the text). Nothing is found for an empty
// pattern.
std::optional<TByteRange> FindText(std::string_view Text, std::size_t Start, std::string_view Pattern,
                                   TSearchOptions Options);

} // namespace kestrim
