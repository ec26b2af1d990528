#pragma once
// SearchRows: the text search of the editor, over the rows of its text a block at a time.

#include "editor/text/TextSearch.h"
#include "editor/text/edStringList.h"

#include <optional>
#include <string_view>

namespace kestrim {

// Where a search hit lies in the rows.
struct TRowSearchHit {
    int Row = 0;    // the row the hit starts in
    int Offset = 0; // byte offset in that row; the row's length or more when the hit starts on its line break
    int Length = 0; // the hit's bytes, a line break counting 2

    bool operator==(const TRowSearchHit&) const = default;
};

// The most bytes of rows searched at once, unless a single row is longer.
constexpr int SearchBlockSize = 8191;

// Searches the rows as one text in which "\r\n" follows every raCrlf row, with the meaning that
// SearchText gives Pattern and Options on that text. Rows are copied into blocks of at most
// BlockSize bytes (whole rows, at least one); a block is extended by the rows after it only
// while a try at one of its starts reaches past its end, so hits across blocks are found and
// judged as in the whole text.
//
// The editor's Search calls it with:
// - Row, Offset: the start. Forward with a selection, the selection's end row and the byte
//   offset just after it; backward with a selection, its start row and start offset; without
//   one, the caret's row and byte offset in it. Backward from a caret below the last row: the
//   last row and its length, plus 2 when it is raCrlf. Offset is clamped to the row's bytes
//   (its length, plus 2 when raCrlf).
// - HitLength: the length of the hit shown at the start when the editor widens its caret over
//   hits (hsCaret), else 0. A forward search starts after it; a backward one ignores it.
// On a hit the editor drops its selection, puts the caret at DistanceToCaret(Row, Offset) and
// shows Length bytes from there. No hit: an empty document or Pattern, a negative HitLength, or
// nothing found. Row must be a row of Rows (EStringListError otherwise). Encoding is the rows'
// and the pattern's; rows end on character boundaries.
std::optional<TRowSearchHit> SearchRows(const TRowAttributeStringList& Rows, int Row, int Offset, int HitLength,
                                        std::string_view Pattern, TSearchOptions Options,
                                        int BlockSize = SearchBlockSize,
                                        TTextEncoding Encoding = TTextEncoding::ShiftJis);

} // namespace kestrim
