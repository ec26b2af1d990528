#pragma once
// Undo and redo of the screen strings. Every ReplaceRows records one step: the rows it put in
// place and the text they replaced. Undoing a step puts that text back and turns the step into
// its inverse, which redo applies in turn; there is no merging of steps.

#include "editor/base/TextEncoding.h"
#include "editor/text/edStringList.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace kestrim {

class TEditorScreenStrings;

// One step.
struct TUndoData {
    int Row = 0;                         // caret of the active editor when the step was recorded
    int Col = 0;
    int StartRow = -1;                   // first row of the change
    int RowCount = 0;                    // rows the change put in place from StartRow on
    TRowAttribute Attribute = raInvalid; // attribute of the last removed row; raInvalid: nothing removed
    std::string Str;                     // the removed rows, "\r\n" after each raCrlf row
    // For a step that changed the text's encoding (it spans the whole text): the encoding of Str.
    std::optional<TTextEncoding> Encoding;
};

// Steps in the order they were recorded; the last is the next to apply.
using TUndoDataList = std::deque<TUndoData>;

class TEditorUndoObj {
public:
    // UndoListMax is never set below this.
    static constexpr int MinUndoListMax = 64;
    // Beside the count, the removed text the steps hold is bounded, the newest step always kept:
    // typing on a line of hundreds of megabytes records the whole line at each key, and the
    // steps would fill the memory.
    static constexpr std::size_t DefaultUndoBytesMax = std::size_t{256} << 20;

    explicit TEditorUndoObj(TEditorScreenStrings& Owner) : FOwner(Owner) {}

    // Appends Step with the active editor's caret. Drops the oldest steps beyond UndoListMax or
    // UndoBytesMax and every step that could be redone.
    TUndoData& NewUndoData(TUndoData Step);
    bool CanUndo() const { return !FUndoList.empty(); }
    bool CanRedo() const { return !FRedoList.empty(); }
    // Both put the caret where it was before the step being reverted.
    void Undo();
    void Redo();
    // Appends Step to the redo list with the active editor's caret.
    void AddRedo(const TUndoData& Step);
    void Clear();

    int UndoListMax() const { return FUndoListMax; }
    // Stores at least MinUndoListMax.
    void SetUndoListMax(int Value);
    void SetUndoBytesMax(std::size_t Value);

    const TUndoDataList& UndoList() const { return FUndoList; }
    const TUndoDataList& RedoList() const { return FRedoList; }

private:
    // Puts Step's text in place of the rows it describes; returns the step that reverts it,
    // with the caret left for the caller to fill in.
    TUndoData ApplyStep(const TUndoData& Step);
    // Appends Step to the undo list with the active editor's caret, dropping the oldest steps
    // beyond UndoListMax or UndoBytesMax; the redo list stays.
    TUndoData& AddUndo(TUndoData Step);
    // Applies the last of Steps through Apply in one update, puts the active editor's caret
    // where the step recorded it and drops the step.
    template <typename Apply>
    void RevertLast(TUndoDataList& Steps, Apply&& apply);
    void TrimUndoList();

    TEditorScreenStrings& FOwner;
    int FUndoListMax = MinUndoListMax;
    std::size_t FUndoBytesMax = DefaultUndoBytesMax;
    TUndoDataList FRedoList;
    TUndoDataList FUndoList;
};

} // namespace kestrim
