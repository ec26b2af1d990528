#pragma once
// TEditModel: the caret, the selection and the editing rules of one editor over its screen
// strings, without a window. The caret stands on a screen row and a display column; the
// selection keeps both its ends as bytes of their rows; every edit is one ReplaceRows of the
// rows it touches (hence one undo step), after which the caret is placed by its byte distance
// from an anchor row above the change. Characters are those of the text's encoding.
//
// What only a window knows (the rows on screen, tokens by its highlighting) the model asks its
// view (TEditView), and it tells the view what is to be shown anew. The implementation is
// spread over files by concern: EditModelCaret.cpp, EditModelMoves.cpp, EditModelSelection.cpp,
// EditModelEditing.cpp.

#include "editor/text/EditRules.h"
#include "editor/text/EditView.h"
#include "editor/text/RowBlock.h"
#include "editor/text/TextSearch.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edRaStrings.h"
#include "editor/text/edRowCells.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace kestrim {

// How a search hit is shown: selected like a selection, drawn in the hit colours, or drawn in
// the hit colours with the caret widened over it.
enum THitStyle { hsSelect, hsDraw, hsCaret };

enum TSelectionState : std::uint8_t {
    ssNone = 0,     // nothing selected
    ssStarted = 1,  // an anchor is set, nothing shown yet
    ssSelected = 2, // a selection
    ssHit = 3,      // a search hit shown in the hit colours
};

enum TSelectionMode : std::uint8_t { smStream = 0, smBox = 1 };

// A place on the screen: a screen row and a display column.
struct TRowCol {
    int Row = 0;
    int Col = 0;
};

// The selection as drawn and edited: rows and bytes from the earlier to the later end (the end
// byte excluded), and the columns of both ends, the box's edges in box mode.
struct TSelectionRange {
    int StartRow = 0;
    int StartByte = 0;
    int StartCol = 0;
    int EndRow = 0;
    int EndByte = 0;
    int EndCol = 0;

    bool operator==(const TSelectionRange&) const = default;
};

// The caret moves of the navigation keys.
enum class TCaretMove : std::uint8_t {
    Left, Right, WordLeft, WordRight, Up, Down, ScrollUp, ScrollDown, PageUp, PageDown,
    RowStart, RowEnd, TextStart, TextEnd
};

class TEditModel {
public:
    // Rules: the caret and editing options, owned by the caller and read when they apply.
    TEditModel(std::shared_ptr<TEditorScreenStrings> Strings, TEditView& View, const TEditRules& Rules);
    TEditModel(const TEditModel&) = delete;
    TEditModel& operator=(const TEditModel&) = delete;

    TEditorScreenStrings& Strings() const { return *FStrings; }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Typed characters replace those under the caret.
    bool Overwrite() const { return FOverwrite; }
    void SetOverwrite(bool Value) { FOverwrite = Value; }
    THitStyle HitStyle() const { return FHitStyle; }
    void SetHitStyle(THitStyle Value);
    // Whether the left button is down for a selection: a caret past a row's end then stays at
    // the row's end.
    bool MouseSelecting() const { return FMouseSelecting; }
    void SetMouseSelecting(bool Value) { FMouseSelecting = Value; }

    // --- The caret (EditModelCaret.cpp)

    // Screen row and display column from 0 (at most 1000, or 1001 right after a two-column
    // character at column 1000); the setters clamp to the rows and columns that exist.
    int Row() const { return FRow; }
    int Col() const { return FCol; }
    void SetRow(int Value);
    void SetCol(int Value);
    void SetRowCol(int ARow, int ACol);
    // The caret's place as a byte offset in its row; past the row's end in free space.
    int CaretByte() const;
    // Puts the caret on Byte of Row (a character boundary), also past column 1000.
    void SetRowByte(int ARow, int Byte);
    // The last row the caret may stand on: the row after a final line break is one.
    int LastCaretRow() const;
    // The columns of a row of the text (empty past the rows).
    TRowCells RowCells(int ARow) const;
    // A run of vertical moves returns to the column it started from, until this.
    void ForgetKeptCol() { FHasKeptCol = false; }
    // The byte distance of (ARow, ACol) from the start of row Anchor, a line break counting 2.
    int CaretToDistance(int Anchor, int ARow, int ACol) const;
    // The same for byte Byte of ARow.
    int DistanceOfPlace(int Anchor, int ARow, int Byte) const;
    void DistanceToCaret(int ARow, int Distance);
    // Pages by Count rows, the caret keeping its place on the screen.
    void ScrollPage(int Count);

    // --- The navigation keys (EditModelMoves.cpp)

    // Moves the caret; Extend keeps or starts a selection to the new place (Shift), else any
    // selection goes. Rows: how far Up, Down, ScrollUp, ScrollDown, PageUp and PageDown go.
    void MoveCaret(TCaretMove Move, bool Extend, int Rows = 1);

    // --- The selection (EditModelSelection.cpp)

    TSelectionState SelectionState() const { return FSelectionState; }
    TSelectionMode SelectionMode() const { return FSelectionMode; }
    // False when the mode is already Value.
    bool SetSelectionMode(TSelectionMode Value);
    // Whether a selection or hit is shown.
    bool Selected() const { return FSelectionState >= ssSelected; }
    const TSelectionRange& Selection() const { return FSel; }
    // The bytes of a hit shown as hsCaret draws it.
    int HitLength() const { return FHitLength; }
    // Sets the anchor at the caret; shown once the caret moves away (SelectionToCaret).
    void InitSelection();
    void ActivateSelection();
    void SelectionToCaret();
    void UpdateSelection();
    void CleanSelection();
    // An anchor set without a selection shown goes.
    void DropStartedSelection();
    bool IsInSelection(int ARow, int ACol) const;
    // The box edges of a row as bytes, by the left-edge and right-edge rules.
    static std::pair<int, int> BoxBytes(const TRowCells& Cells, int Left, int Right);
    // Whole rows from the left margin.
    void StartRowSelect(int ARow);
    void ExtendRowSelect(int ARow);
    bool RowSelecting() const { return FRowSelecting; }
    void EndRowSelect() { FRowSelecting = false; }

    // Offsets in the whole text, a line break counting 2.
    int OffsetOfPlace(int ARow, int Byte) const;
    TRowByte PlaceOfOffset(int Offset) const;
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    bool HasSelectedText() const;
    void SelectAll();
    std::string SelText() const;
    // Shows Length bytes from the caret as a search hit, as HitStyle says.
    void ShowHit(int Length);
    bool Search(const std::string& Pattern, TSearchOptions Options);
    // Selects the token of the logical line at ARow, ACol: parsed with the view's definition
    // (brackets off unless KeepBrackets) or as plain words.
    void SelectTokenAt(int ARow, int ACol, bool UseDefinition, bool KeepBrackets);

    // The edit-control operations.
    std::pair<int, int> GetSel() const;
    void SetSel(int Start, int End);
    int LineIndex(int ARow) const;
    int LineLength(int Offset) const;
    int LineFromChar(int Offset) const;
    int TextLength() const { return OffsetOfPlace(FStrings->Count(), 0); }

    // --- Editing (EditModelEditing.cpp)

    void InsertText(const std::string& Text);
    void DeleteSelection();
    void PasteText(const std::string& Text);
    void PasteBox(const std::string& Text);
    void TypeChar(const std::string& Character);
    void TypeTab();
    void TypeReturn(bool Shift);
    void TypeBackSpace();
    void TypeDelete();
    // The selected text leaves its place and comes in at DropRow, DropCol.
    void MoveSelectionTo(int DropRow, int DropCol);
    void Undo();
    void Redo();

    // Marks of rows (bookmarks 0..9, marks 10..15).
    TRowMarks RowMarks(int ARow) const;
    void SetRowMarks(int ARow, TRowMarks Value);
    void PutRowMark(int ARow, int Mark);
    void DeleteRowMark(int ARow, int Mark);
    void GotoRowMark(int Mark);
    TRowMarks ListMarks() const { return FStrings->ListMarks(); }

private:
    // The one rule set that keeps Col on a legal column; Vertical moves step left off
    // characters and tab fill.
    void AdjustCol(bool Vertical, int Direction);
    void KeepCol(bool Vertical, int Value);
    void MoveLeft();
    void MoveRight();
    void MoveToRowEnd(int ARow);
    void WordLeft();
    void WordRight();
    // Columns where a token that is no symbol starts in a row's display text.
    std::vector<int> WordStarts(int ARow);
    TSelectionRange ComputeSelection() const;
    void SelectBytes(int Offset, int Length);
    void SelectRowEnd(int ARow);
    int AnchorRowOf(int ARow) const;
    void OverwriteText(const std::string& Text, int Anchor, int Target);
    // The rows of the selection with the selected part taken out, each ending as before.
    TRowBlock RowsWithoutSelection() const;
    void ReplaceRowsAndPlaceCaret(int First, int Count, const std::string& Text, int Anchor, int Distance);
    int IndentWidth(std::string_view Text) const;
    int PreviousIndent(int ARow) const;
    std::string IndentText(int Columns) const;
    bool UnIndent();
    std::size_t CharBytesAt(std::string_view Text, std::size_t Offset) const;

    std::shared_ptr<TEditorScreenStrings> FStrings;
    TEditView& FView;
    const TEditRules& FRules;
    bool FReadOnly = false;
    bool FOverwrite = false;
    THitStyle FHitStyle = hsSelect;
    bool FMouseSelecting = false;

    // Caret
    int FRow = 0;
    int FCol = 0;
    int FTailByte = -1; // the caret's byte when it lies past the last column of a cut row
    int FKeptCol = 0;
    bool FHasKeptCol = false;
    bool FInSetRowCol = false;

    // Selection
    TSelectionState FSelectionState = ssNone;
    TSelectionMode FSelectionMode = smStream;
    int FAnchorRow = 0;
    int FAnchorByte = 0;
    int FAnchorCol = 0;
    TSelectionRange FSel;
    int FHitLength = 0;
    bool FRowSelecting = false;
    int FRowSelectFirst = 0;
};

} // namespace kestrim
