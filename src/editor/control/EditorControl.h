#pragma once
// TEditor: the text editor control of the script, data and result pages.
//
// The application uses the editor only through the members declared public here. Text in and
// out is Shift-JIS bytes; the control converts at the toolkit boundary only.
// The editor has no context menu and no mouse-wheel handling of its own: both events go on to
// the TEditor widget and its parents, so that its owner's contextMenuPolicy (with actions, or
// customContextMenuRequested) and the window's wheel handling decide.

#include "editor/base/StringList.h"
#include "editor/base/StringsBase.h"
#include "editor/text/TextSearch.h"

#include <QFont>
#include <QPoint>
#include <QWidget>

#include <memory>
#include <string>

namespace kestrim {

class TEditorMarks;
class TEditorViewInfo;

class TEditor : public QWidget {
    Q_OBJECT

public:
    explicit TEditor(QWidget* Parent = nullptr);
    ~TEditor() override;

    // The whole text as logical lines (Text, files and streams, Clear). A text keeps its final
    // line break or the lack of one.
    TStrings& Lines();

    // True after any change of the text; the application clears it after a load or a save.
    bool Modified() const;
    void SetModified(bool Value);

    // The caret: screen row and display column from 0 (tabs expanded, a two-byte character
    // two columns wide). The setters clamp to the rows and columns that exist.
    int Row() const;
    int Col() const;
    void SetRow(int Value);
    void SetCol(int Value);
    void SetRowCol(int ARow, int ACol);
    // Rows and columns that fit in the window.
    int VisibleRowCount() const;
    int VisibleColCount() const;
    // The caret's position in pixels, relative to the control.
    QPoint CaretPos() const;
    // Brings the caret into view, a third of the window down or right.
    void ScrollCaret();
    // Scrolls by Count rows (negative: up) without moving the caret.
    void ScrollLines(int Count);

    // Bytes selected, a line break counting 2; 0 when nothing is selected. Setting 0 removes
    // the selection; setting n selects n bytes from the selection's start, or from the caret.
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    // Deletes the selected text without copying it: an edit like any other, which Undo takes back.
    void ClearSelection();
    // Selects the token under Point (pixels, relative to the control), parsed with the
    // highlighting definition or, without it, as plain words.
    void SelectTokenAt(const QPoint& Point, bool UseDefinition, bool KeepBrackets);

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // Searches from the caret, or from the end (forward) or start (backward) of the selection;
    // on success the caret moves to the hit, which is shown as a selection.
    bool Search(const std::string& Pattern, TSearchOptions Options);

    QFont Font() const;
    void SetFont(const QFont& Value);
    // Highlighting settings: comment mark and element colours.
    TEditorViewInfo& View();
    void SetView(const TEditorViewInfo& Value);
    // Line-end, end-of-file, wrap and underline marks.
    TEditorMarks& Marks();
    void SetMarks(const TEditorMarks& Value);
    // The reserved words highlighted by the view's definition; filling the list object
    // directly raises no notification.
    TStringList& ReserveWordList();
    void SetReserveWordList(const TStrings& Value);

    void SetFocus();

signals:
    void OnClick();
    void OnDblClick();
    void OnKeyUp(int Key, Qt::KeyboardModifiers Modifiers);
    void OnMouseUp(Qt::MouseButton Button);

private:
    class TBody;
    std::unique_ptr<TBody> FBody;
};

} // namespace kestrim
