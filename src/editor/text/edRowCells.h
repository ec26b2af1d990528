#pragma once
// TRowCells: the display columns of one screen row, for the caret, the selection and editing.
// A column is a cell of the row's cell-attribute string; the cells stop at the layout's limit
// (column 1000 without word wrap), so a longer row has bytes that no column stands for. Columns
// past the cells are free space: one blank byte each, as typing there pads the row. The columns
// follow the layout's encoding (edCellAttributes.h); byte k is column k only in a Shift-JIS row
// without tabs.

#include "editor/text/edCellAttributes.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

class TRowCells {
public:
    TRowCells(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte);

    // Columns of the row: the number of its cells.
    int Width() const { return static_cast<int>(FCells.size()); }
    // The cell at Col, or CellEnd past the last cell.
    char Cell(int Col) const
    {
        return Col >= 0 && Col < Width() ? FCells[static_cast<std::size_t>(Col)] : CellEnd;
    }
    const std::string& Cells() const { return FCells; }
    // Bytes of the row, and those that its cells stand for (fewer only when the row is cut at
    // the limit).
    int ByteCount() const { return FByteCount; }
    int CoveredBytes() const { return FCoveredBytes; }
    bool CutAtLimit() const { return FCoveredBytes < FByteCount; }

    // The byte index of column Col: the bytes that the cells before it stand for (Shift-JIS:
    // the columns before it less the tab fill columns among them), so the second column of a
    // two-column character gives its second byte; past the cells, the covered bytes plus one
    // per column of free space.
    int ByteOfCol(int Col) const;
    // The column of the cell that stands for byte Byte: a character's first byte has its first
    // column, any later byte its last column (the trail column of a two-column character), a
    // tab the column where its fill starts from; past the covered bytes, the free space after
    // the cells, or Width() for a byte of a cut row that no column stands for.
    int ColOfByte(int Byte) const;
    // Columns that Byte (as ColOfByte places it) up to End take: the width of those bytes.
    int ColumnsOf(int Byte, int End) const { return ColOfByte(End) - ColOfByte(Byte); }

private:
    std::string FCells;
    // A UTF-8 row's byte ends of its cells (edCellAttributes.h); empty for Shift-JIS.
    std::vector<int> FByteEnds;
    int FByteCount = 0;
    int FCoveredBytes = 0;
};

// The row's text as it is drawn: each tab replaced by blanks up to the next tab stop (and, with
// word wrap, not past the wrap width), cut at the layout's limit like the cells, characters kept
// whole. In Shift-JIS byte k of the result is drawn in column k. In UTF-8 the result's
// characters take the columns of the row's cells, in order: as it holds no tab, its own cells
// (StrToAttributes) are those columns.
std::string ExpandTabs(std::string_view Row, const TEditorLayoutSettings& Layout, bool WordWrap, int WrapByte);

} // namespace kestrim
