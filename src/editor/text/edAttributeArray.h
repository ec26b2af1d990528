#pragma once
// TEditorAttributeArray: a cursor over the cells of one row (edCellAttributes.h) that keeps
// track of the bytes of the row up to its cell, so that a row can be cut where the cursor stands.
// A Shift-JIS row's cells tell its bytes; a UTF-8 row's cells come with their byte ends.

#include "editor/text/edCellAttributes.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

class TEditorAttributeArray {
public:
    // Text must outlive the cursor; Attrs are the cells of Text (they may stop before its end).
    TEditorAttributeArray(std::string_view Text, std::string Attrs) { Init(Text, std::move(Attrs)); }
    // The same over a UTF-8 row: Cells are the cells of Text with their byte ends.
    TEditorAttributeArray(std::string_view Text, TUtf8Cells Cells) { Init(Text, std::move(Cells)); }

    // Starts over on another row, at its first cell.
    void Init(std::string_view Text, std::string Attrs);
    void Init(std::string_view Text, TUtf8Cells Cells);

    // One cell forward; nothing at the end cell.
    void Next();
    // One cell back; nothing at the first cell.
    void Prev();
    // One character back: over both cells of a two-byte character.
    void PrevChar();
    // Forward to cell P, stopping at the end cell, or back to it, stopping at the first cell.
    void MoveTo(int P);

    // The character of the current cell: empty at the end, all its bytes at either cell of a
    // two-column character, the tab at a tab's fill cell.
    std::string_view CurrentChar() const;
    // The character of the next cell, without moving; empty at or before the end.
    std::string_view NextChar() const;
    // The columns of that character: 2 when the next cell starts a two-column character.
    int NextCharColumns() const { return FCh != CellEnd && Cell(FPosition + 1) == CellLeadByte ? 2 : 1; }

    char Ch() const { return FCh; }
    // The cells followed by the end cell.
    const std::string& Attributes() const { return FAttributes; }
    int CellCount() const { return static_cast<int>(FAttributes.size()) - 1; }
    // 1-based number of the current cell.
    int Position() const { return FPosition; }
    std::string_view Text() const { return FText; }
    // The bytes of the cells up to and including the current one; at a fill cell that includes
    // the tab, at a lead-byte cell only the first byte; one more for the end cell.
    int ByteIndex() const { return FByteEnds.empty() ? FByteIndex : Utf8ByteIndex(); }

private:
    char Cell(int Position) const { return FAttributes[static_cast<std::size_t>(Position - 1)]; }
    std::string_view CharAtCell(char Cell, int ByteIndex) const;
    int Utf8ByteIndex() const;
    std::string_view Utf8CharAtCell(int Position) const;

    std::string_view FText;
    std::string FAttributes;
    // A UTF-8 row's byte ends of its cells; empty for Shift-JIS, whose cells count FByteIndex.
    std::vector<int> FByteEnds;
    char FCh = 0;
    int FPosition = 0;
    int FByteIndex = 0;
};

} // namespace kestrim
