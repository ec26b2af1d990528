#pragma once
// TEditorLink: an editor control as the text model sees it. The screen strings and the lines
// facade ask an editor only what is listed here and tell it only this, so that the text model
// builds and runs without the GUI: the Qt control implements the interface, tests fake it.

namespace kestrim {

class TEditorScreenStrings;
class TRowStates;

class TEditorLink {
public:
    // --- What the text model asks

    // The screen strings this editor shows.
    virtual TEditorScreenStrings& ScreenStrings() = 0;
    // How the rows' highlighting states follow from each other, by the definition the editor
    // paints with; rows are parsed with the owner's.
    virtual TRowStates& RowStates() = 0;
    // How many rows of the editor's row height fill the height of the whole display (at least
    // 1): re-parsing runs ahead of a change by twice as many rows.
    virtual int DisplayRowCount() const = 0;
    // Speed option: parse every row after a reset instead of only those near the top row.
    virtual bool InitBracketsFull() const = 0;
    // The editor is still taking its initial settings; wrapping and parsing wait until it is done.
    virtual bool Loading() const = 0;
    virtual bool Destroying() const = 0;
    // Whether the editor has the keyboard focus: the first attached editor that has it is the
    // active one, whose caret undo records.
    virtual bool HasFocus() const = 0;
    // The caret (screen row, display column) and the first visible row.
    virtual int Row() const = 0;
    virtual int Col() const = 0;
    virtual int TopRow() const = 0;

    // --- What the text model tells

    virtual void SetRowCol(int Row, int Col) = 0;
    virtual void SetTopRow(int Row) = 0;
    // Puts the caret Distance bytes after the start of Row, a line break counting 2 (the rows
    // as they are after an edit).
    virtual void DistanceToCaret(int Row, int Distance) = 0;
    // The caret bracket: the caret is hidden from the first LockCaret to the last UnlockCaret.
    virtual void LockCaret() = 0;
    virtual void UnlockCaret() = 0;
    // Drops the selection and any shown search hit.
    virtual void CleanSelection() = 0;
    // The rows changed: the change record of the screen strings says how, when it is valid.
    virtual void TextChanged() = 0;
    // Called now and then while a whole text of many rows is built (a load, setting Text), so
    // that the editor's owner can keep its window answering.
    virtual void KeepResponsive() = 0;
    // The highlighting state of Row changed: it is to be painted again.
    virtual void InvalidateRow(int Row) = 0;
    // Recomputes the scroll ranges and repaints everything, after the whole text changed.
    virtual void Refresh() = 0;
    // A batch of changes through the lines facade begins or ends: the editor hides its caret and
    // caret-row underline and stops redrawing, then shows them again and lays itself out anew.
    virtual void BeginLinesUpdate() = 0;
    virtual void EndLinesUpdate() = 0;

protected:
    ~TEditorLink() = default;
};

// Holds a caret bracket (LockCaret and UnlockCaret of an editor, or of an edit model's view) for
// a scope, so that the caret comes back also when the work inside fails. Without one it does
// nothing.
template <class TBracket>
class TCaretLock {
public:
    explicit TCaretLock(TBracket* Editor) : FEditor(Editor)
    {
        if (FEditor)
            FEditor->LockCaret();
    }
    ~TCaretLock()
    {
        if (FEditor)
            FEditor->UnlockCaret();
    }
    TCaretLock(const TCaretLock&) = delete;
    TCaretLock& operator=(const TCaretLock&) = delete;

private:
    TBracket* FEditor;
};

} // namespace kestrim
