#pragma once
// TEditView: the view of an edit model (TEditModel), as the model sees it. The model keeps the
// caret, the selection and the editing rules; what only a view knows (the rows on screen, how
// to tokenize with its highlighting) it asks here, and what a view must show anew it tells
// here. The Qt editor control implements the interface; the model's tests fake it.

#include "editor/text/edStringList.h"

#include <string_view>
#include <vector>

namespace kestrim {

struct TSelectionRange;

// A token of a row: its byte offset and length, and whether it is a symbol (punctuation).
struct TTokenSpan {
    int Offset = 0;
    int Length = 0;
    bool Symbol = false;
};

class TEditView {
public:
    // --- What the model asks

    // Rows that fit in the view (at least 1), and the first of them.
    virtual int VisibleRowCount() const = 0;
    virtual int TopRow() const = 0;
    virtual void SetTopRow(int Row) = 0;
    // The tokens of Text, parsed from State with the highlighting definition the view paints
    // with, or as plain words (UseDefinition false).
    virtual std::vector<TTokenSpan> Tokens(std::string_view Text, const TRowAttributeData& State, bool UseDefinition) = 0;

    // --- What the model tells

    // The caret bracket: the caret is hidden from the first LockCaret to the last UnlockCaret,
    // then drawn where it ends up.
    virtual void LockCaret() = 0;
    virtual void UnlockCaret() = 0;
    // The caret leaves its row, and is on its new row: what marks the caret row goes, then comes.
    virtual void BeginCaretRowChange() = 0;
    virtual void EndCaretRowChange() = 0;
    // The caret moved: it is brought into view and drawn at its place.
    virtual void CaretMoved() = 0;
    // The caret's shape or place changed where it stands (a hit shown at it): drawn anew only.
    virtual void CaretRedrawn() = 0;
    // The caret left column OldCol.
    virtual void CaretColumnLeft(int OldCol) = 0;
    // Rows First to Last (either order) are to be painted again.
    virtual void InvalidateRows(int First, int Last) = 0;
    // The mark of the caret row is to be painted again (a selection hides it).
    virtual void InvalidateCaretRowMark() = 0;
    // A shown selection moved from Old to New.
    virtual void SelectionMoved(const TSelectionRange& Old, const TSelectionRange& New) = 0;
    // A selection is shown, or no longer shown.
    virtual void SelectionChanged(bool Selected) = 0;
    virtual void SelectionModeChanged() = 0;
    // The marks of Row changed.
    virtual void RowMarksChanged(int Row) = 0;

protected:
    ~TEditView() = default;
};

} // namespace kestrim
