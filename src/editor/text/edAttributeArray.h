#pragma once
// TEditorAttributeArray: a cursor over the cells of one row (edCellAttributes.h) that keeps
// track of the bytes of the row up to its cell, so that a row can be cut where the cursor stands.

#include <string>
#include <string_view>

namespace kestrim {

class TEditorAttributeArray {
public:
    // Text must outlive the cursor; Attrs are the cells of Text (they may stop before its end).
    TEditorAttributeArray(std::string_view Text, std::string Attrs) { Init(Text, std::move(Attrs)); }

    // Starts over on another row, at its first cell.
    void Init(std::string_view Text, std::string Attrs);

    // One cell forward; nothing at the end cell.
    void Next();
    // One cell back; nothing at the first cell.
    void Prev();
    // One character back: over both cells of a two-byte character.
    void PrevChar();
    // Forward to cell P, stopping at the end cell, or back to it, stopping at the first cell.
    void MoveTo(int P);

    // The character of the current cell: empty at the end, both bytes at either cell of a
    // two-byte character, the tab at a tab's fill cell.
    std::string_view CurrentChar() const;
    // The character of the next cell, without moving; empty at or before the end.
    std::string_view NextChar() const;

    char Ch() const { return FCh; }
    // The cells followed by the end cell.
    const std::string& Attributes() const { return FAttributes; }
    int CellCount() const { return static_cast<int>(FAttributes.size()) - 1; }
    // 1-based number of the current cell.
    int Position() const { return FPosition; }
    std::string_view Text() const { return FText; }
    // The bytes of the cells up to and including the current one; at a fill cell that includes
    // the tab, at a lead-byte cell only the lead byte.
    int ByteIndex() const { return FByteIndex; }

private:
    char Cell(int Position) const { return FAttributes[static_cast<std::size_t>(Position - 1)]; }
    std::string_view CharAtCell(char Cell, int ByteIndex) const;

    std::string_view FText;
    std::string FAttributes;
    char FCh = 0;
    int FPosition = 0;
    int FByteIndex = 0;
};

} // namespace kestrim
