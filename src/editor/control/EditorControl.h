#pragma once
// TEditor: the text editor control of the script, data and result pages. A scroll area whose
// viewport shows the rows of one text model (TEditorScreenStrings) in character cells: every
// column is CharWidth pixels wide, a wide character takes two, whatever the font's own
// advances, so that caret, clicks and glyphs always line up. Text in and out is bytes of the
// text's encoding (Shift-JIS or UTF-8); the control converts only where it meets the toolkit
// (keys, input method, clipboard).
//
// The application uses the members of the first public section; the rest is the control's own
// surface (options, selection, editing, the edit-control operations), usable like any editor
// widget. The caret, selection and editing rules are those of its edit model (TEditModel, in
// the core); the control adds events, painting, scrolling, the caret's blink, the input method
// and the clipboard. The implementation is spread over files by concern: EditorControl.cpp
// (construction, the text model's link, options), EditorCaret.cpp (caret and scrolling),
// EditorSelection.cpp, EditorEditing.cpp, EditorInput.cpp, EditorClipboard.cpp, and the
// painter (EditorPaint.cpp), which reads the control through a read-only view.
//
// The control has no mouse-wheel handling of its own: wheel events go on to its parents. Its
// built-in context menu and that menu's keys serve only an editor whose owner sets no menu of
// its own (the context-menu policy stays at its default).

#include "editor/base/StringList.h"
#include "editor/base/StringsBase.h"
#include "editor/base/edGraphics.h"
#include "editor/control/EditorMetrics.h"
#include "editor/control/EditorOptions.h"
#include "editor/control/EditorPaintView.h"
#include "editor/text/EditModel.h"
#include "editor/text/TextFileFormat.h"
#include "editor/text/TextSearch.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edRaStrings.h"
#include "editor/text/edRowCells.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QElapsedTimer>
#include <QTimer>

#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QMimeData;

namespace kestrim {

class TChangeMarks;
class TEditorPainter;
class TEditorPopupMenu;
class TFountain;
class TFountainParser;

class TEditor : public QAbstractScrollArea, private TEditorLink, private TEditView {
    Q_OBJECT

public:
    explicit TEditor(QWidget* Parent = nullptr);
    ~TEditor() override;

    // ---------------------------------------------------------------------------------------
    // What the application uses

    // The whole text as logical lines (Text, files and streams, Clear). A text keeps its final
    // line break or the lack of one. Every change through it is one undo step.
    TEditorStrings& Lines();
    // The encoding of the text (Shift-JIS unless a text was set in another); text in and out of
    // the control is in it. Setting a text in an encoding is a load: the undo history restarts.
    TTextEncoding Encoding() const;
    void SetEncodedText(const std::string& Text, TTextEncoding Encoding);
    // Loads a text file in Encoding, or without one in the encoding its bytes show (Default
    // for pure ASCII), as a load; returns how the file is to be written back.
    TTextFileFormat LoadTextFile(const std::string& FileName, std::optional<TTextEncoding> Encoding,
                                 TTextEncoding Default);
    // The same for the bytes a file would hold (a text kept in memory, a workbench's sample).
    TTextFileFormat LoadTextBytes(std::string_view Bytes, std::optional<TTextEncoding> Encoding, TTextEncoding Default);
    // Rows read beforehand (ReadTextRows), on any thread, as the whole text; the old text's rows
    // are left in Text.
    TTextFileFormat LoadTextRows(TTextRows& Text);
    // Puts Text, in Encoding, in place of the whole text as one edit, which Undo takes back,
    // the old encoding with it.
    void ReplaceText(const std::string& Text, TTextEncoding Encoding);
    // Appends Text (in the text's encoding) at the end, an unfinished last line going on, as a
    // program's output streams in: no undo step, the caret and the top row stay. Continuing a
    // line costs its length.
    void AppendText(std::string_view Text);

    // True after any change of the text; the application clears it after a load or a save.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // The caret: screen row and display column from 0 (tabs expanded, a two-byte character two
    // columns wide, at most 1000, or 1001 right after a two-byte character at column 1000). The
    // setters clamp to the rows and columns that exist.
    int Row() const override { return FModel.Row(); }
    int Col() const override { return FModel.Col(); }
    void SetRow(int Value);
    void SetCol(int Value);
    void SetRowCol(int ARow, int ACol) override;
    // Rows and columns that fit in the window (at least 1 each).
    int VisibleRowCount() const override { return FMetrics.VisibleRowCount; }
    int VisibleColCount() const { return FMetrics.VisibleColCount; }
    // The caret's top left in pixels, relative to the control.
    QPoint CaretPos() const;
    // Brings an off-screen caret into view, a third of the window down or right.
    void ScrollCaret();
    // Scrolls by Count rows (negative: up), as a line scroll of the scroll bar does.
    void ScrollLines(int Count);

    // Bytes selected, a line break counting 2; 0 when nothing is selected. Setting 0 removes the
    // selection; setting n selects n bytes from the selection's start, or from the caret.
    int SelLength() const;
    void SetSelLength(int Value);
    // SelLength() > 0, without counting the bytes of a selection of millions of rows.
    bool HasSelectedText() const;
    void SelectAll();
    // Deletes the selected text without copying it: an edit like any other, which Undo takes back.
    void ClearSelection();
    // Selects the token under Point (pixels, relative to the control), parsed with the
    // highlighting definition or, without it, as plain words.
    void SelectTokenAt(const QPoint& Point, bool UseDefinition, bool KeepBrackets);

    void CopyToClipboard();
    // Copies the whole text, an empty text when there is none, and leaves nothing selected.
    void CopyAllToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // The clipboard's text in the control's encoding with CR LF line breaks; empty when it
    // holds none.
    std::string ClipboardText();

    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // Searches from the caret, or from the end (forward) or start (backward) of the selection;
    // on success the caret moves to the hit, which is shown as HitStyle says.
    bool Search(const std::string& Pattern, TSearchOptions Options);

    QFont Font() const { return FFont; }
    void SetFont(const QFont& Value);
    // Highlighting settings: comment mark and element colours.
    TEditorViewInfo& View() { return FView; }
    void SetView(const TEditorViewInfo& Value);
    // Line-end, end-of-file, wrap, hide and underline marks.
    TEditorMarks& Marks() { return FMarks; }
    void SetMarks(const TEditorMarks& Value) { FMarks.Assign(Value); }
    // The reserved words highlighted by the view's definition; filling the list object directly
    // raises no notification.
    TStringList& ReserveWordList();
    void SetReserveWordList(const TStrings& Value);

    void SetFocus();

    // How the text's lines differ from another text's, painted as the row backgrounds, a strip
    // in the bar and a line where the other text has lines this one lacks; nullptr removes
    // them. Painting asks the marks only about the lines it paints.
    void SetChangeMarks(std::shared_ptr<const TChangeMarks> Marks);
    const TChangeMarks* ChangeMarks() const { return FChangeMarks.get(); }
    TEditorChangeColors& ChangeColors() { return FChangeColors; }
    const TEditorChangeColors& ChangeColors() const { return FChangeColors; }

    // ---------------------------------------------------------------------------------------
    // Options

    TEditorCaret& Caret() { return FCaret; }
    void SetCaret(const TEditorCaret& Value) { FCaret.Assign(Value); }
    TEditorMargin& Margin() { return FMargin; }
    void SetMargin(const TEditorMargin& Value) { FMargin.Assign(Value); }
    TEditorRuler& Ruler() { return FRuler; }
    void SetRuler(const TEditorRuler& Value) { FRuler.Assign(Value); }
    TEditorLeftbar& Leftbar() { return FLeftbar; }
    void SetLeftbar(const TEditorLeftbar& Value) { FLeftbar.Assign(Value); }
    TEditorImagebar& Imagebar() { return FImagebar; }
    void SetImagebar(const TEditorImagebar& Value) { FImagebar.Assign(Value); }
    TEditorSpeed& Speed() { return FSpeed; }
    void SetSpeed(const TEditorSpeed& Value) { FSpeed.Assign(Value); }

    // The background of the text; clWhite by default.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The font's colour, the default foreground of the text.
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);

    // A highlighting definition owned elsewhere, painted with instead of the view's own; it must
    // stay alive while it is set (SetFountain(nullptr) lets it go).
    TFountain* Fountain() const { return FFountain; }
    void SetFountain(TFountain* Value);

    bool ReadOnly() const { return FModel.ReadOnly(); }
    void SetReadOnly(bool Value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Typed characters replace those under the caret; no key switches it.
    bool Overwrite() const { return FModel.Overwrite(); }
    void SetOverwrite(bool Value);
    THitStyle HitStyle() const { return FModel.HitStyle(); }
    void SetHitStyle(THitStyle Value);
    bool WordWrap() const;
    void SetWordWrap(bool Value);
    TEditorWrapOption& WrapOption();
    int UndoListMax() const;
    void SetUndoListMax(int Value);

    // Images of the bookmarks 0..9 and the marks 10..15 in the image bar; an image the list
    // lacks is drawn from the built-in set.
    const QList<QPixmap>& ImageDigits() const { return FImageDigits; }
    void SetImageDigits(const QList<QPixmap>& Value);
    const QList<QPixmap>& ImageMarks() const { return FImageMarks; }
    void SetImageMarks(const QList<QPixmap>& Value);

    // ---------------------------------------------------------------------------------------
    // Caret and scrolling

    int TopRow() const override { return FTopRow; }
    void SetTopRow(int Value) override;
    int TopCol() const { return FTopCol; }
    void SetTopCol(int Value);
    // The caret's place as a byte offset in its row; past the row's end in free space.
    int CaretByte() const;
    // Puts the caret on Byte of Row (a character boundary), also past column 1000.
    void SetRowByte(int ARow, int Byte);
    // Makes the caret visible, scrolling as little as it can.
    void ScrollToCaret();
    // Pages by Count rows, the caret keeping its line on the screen.
    void ScrollPage(int Count);
    void LockCaret() override;
    void UnlockCaret() override;
    // The byte distance of (ARow, ACol) from the start of row Anchor, a line break counting 2.
    int CaretToDistance(int Anchor, int ARow, int ACol) const;
    // The same for byte Byte of ARow.
    int DistanceOfPlace(int Anchor, int ARow, int Byte) const;
    void DistanceToCaret(int ARow, int Distance) override;
    // The columns of a row of the text (empty past the rows).
    TRowCells RowCells(int ARow) const;
    // The pixels of the cell at ARow, ACol in the viewport, where it is or would be drawn.
    QRect CellRect(int ARow, int ACol) const
    {
        return QRect(ColLeft(ACol), RowTop(ARow), FMetrics.CharWidth, FMetrics.RowHeight);
    }

    // ---------------------------------------------------------------------------------------
    // Selection

    TSelectionState SelectionState() const { return FModel.SelectionState(); }
    TSelectionMode SelectionMode() const { return FModel.SelectionMode(); }
    void SetSelectionMode(TSelectionMode Value);
    // Whether a selection or hit is shown (states 2 and 3).
    bool Selected() const { return FModel.Selected(); }
    const TSelectionRange& Selection() const { return FModel.Selection(); }
    int SelStart() const;
    void SetSelStart(int Value);
    std::string SelText() const;
    // Replaces the selection with Value, or inserts it at the caret.
    void SetSelText(const std::string& Value);
    void InitSelection();
    void SelectionToCaret();
    void CleanSelection() override;
    bool IsInSelection(int ARow, int ACol) const;
    bool CanDragSelection() const;
    void StartRowSelect(int ARow);
    void ExtendRowSelect(int ARow);
    // Shows Length bytes from the caret as a search hit, as HitStyle says.
    void ShowHit(int Length);

    // ---------------------------------------------------------------------------------------
    // Editing

    void InsertText(const std::string& Text);
    void DeleteSelection();
    void PasteText(const std::string& Text);
    void PasteBox(const std::string& Text);
    void TypeChar(const std::string& Character);
    void TypeTab(Qt::KeyboardModifiers Modifiers);
    void TypeReturn(Qt::KeyboardModifiers Modifiers);
    void TypeBackSpace();
    void TypeDelete();

    // ---------------------------------------------------------------------------------------
    // Marks of rows (bookmarks 0..9, marks 10..15)

    // The marks of a row; none past the rows.
    TRowMarks RowMarks(int ARow) const;
    void SetRowMarks(int ARow, TRowMarks Value);
    void PutRowMark(int ARow, int Mark);
    void DeleteRowMark(int ARow, int Mark);
    void GotoRowMark(int Mark);

    // ---------------------------------------------------------------------------------------
    // The edit-control operations, with full results

    // Start and end byte offsets of the selection (the caret's twice without one).
    std::pair<int, int> GetSel() const;
    // (0, -1) selects everything, -1 as Start removes the selection.
    void SetSel(int Start, int End);
    int GetLineCount() const;
    // Byte offset of the start of row ARow (-1: the caret row); -1 for no such row.
    int LineIndex(int ARow) const;
    // Bytes of the row holding Offset; for -1 the caret row's, or with a selection the bytes of
    // its last row left unselected.
    int LineLength(int Offset) const;
    // The row holding Offset; for -1 the selection's first row, or the caret row.
    int LineFromChar(int Offset) const;
    std::string GetLine(int ARow) const;
    void ReplaceSel(const std::string& Text);
    void EmptyUndoBuffer();
    int GetFirstVisibleLine() const { return FTopRow; }
    // Client coordinates of the character at Offset.
    QPoint PosFromChar(int Offset) const;
    // The offset and row of the character under Point (client coordinates); nullopt outside.
    std::optional<std::pair<int, int>> CharFromPos(const QPoint& Point) const;
    // The text, and its length in bytes (a line break counting 2).
    std::string GetText() const;
    void SetText(const std::string& Text);
    int GetTextLength() const;

    // ---------------------------------------------------------------------------------------
    // Events of the control

    TDrawLineEvent OnDrawLine;

signals:
    void OnClick();
    void OnDblClick();
    void OnKeyUp(int Key, Qt::KeyboardModifiers Modifiers);
    void OnMouseUp(Qt::MouseButton Button);
    // The text changed (an edit, an undo, a load).
    void OnChange();
    void OnCaretMoved();
    void OnTopRowChange();
    void OnTopColChange();
    void OnSelectionChange(bool IsSelected);
    void OnSelectionModeChange();
    // Characters typed, composed, pasted or dropped that the text's encoding cannot hold
    // became "?".
    void OnCharactersLost();

protected:
    bool event(QEvent* Event) override;
    bool viewportEvent(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;
    bool focusNextPrevChild(bool Next) override;
    void changeEvent(QEvent* Event) override;

private:
    class TPaintSource;

    // --- TEditorLink: the text model's view of the editor
    TEditorScreenStrings& ScreenStrings() override { return *FStrings; }
    TRowStates& RowStates() override;
    int DisplayRowCount() const override { return FMetrics.ScreenRowCount; }
    bool InitBracketsFull() const override { return FSpeed.InitBracketsFull(); }
    bool Loading() const override { return false; }
    bool Destroying() const override { return FDestroying; }
    bool HasFocus() const override { return hasFocus(); }
    void TextChanged() override;
    void KeepResponsive() override;
    void InvalidateRow(int ARow) override;
    void Refresh() override;
    void BeginLinesUpdate() override;
    void EndLinesUpdate() override;

    // --- TEditView: the edit model's view of the editor (EditorRepaint.cpp, EditorInput.cpp)
    std::vector<TTokenSpan> Tokens(std::string_view Text, const TRowAttributeData& State, bool UseDefinition) override;
    void BeginCaretRowChange() override { HideUnderline(); }
    void EndCaretRowChange() override { ShowUnderline(); }
    void CaretMoved() override { UpdateCaret(); }
    void CaretRedrawn() override { UpdateCaretPos(); }
    void CaretColumnLeft(int OldCol) override;
    void InvalidateRows(int First, int Last) override;
    void InvalidateCaretRowMark() override { InvalidateUnderline(); }
    void SelectionMoved(const TSelectionRange& Old, const TSelectionRange& New) override;
    void SelectionChanged(bool IsSelected) override { emit OnSelectionChange(IsSelected); }
    void SelectionModeChanged() override;
    void RowMarksChanged(int ARow) override;

    // --- Options (EditorControl.cpp)
    void ConnectOptions();
    void OptionChanged(TObject* Sender);
    // Colours are painted from at once; nothing is laid out or prepared anew.
    void RepaintOptionChanged(TObject* Sender);
    // The definition rows are parsed and painted with: the assigned one, else the view's own.
    TFountain& ActiveFountain();
    void UpdateMetrics();
    // The highest number the left bar shows, for its width.
    int LastLeftbarNumber() const;
    void UpdateScrollRanges();
    // Whether the font or the definition draws italic anywhere.
    bool UsesItalic();

    // --- Caret and scrolling (EditorCaret.cpp)
    int LastCaretRow() const { return FModel.LastCaretRow(); }
    void UpdateCaret();
    void UpdateCaretPos();
    QRect CaretRect() const;
    void InvalidateCaret();
    void RestartCaretBlink();
    // Rows and columns of the text area that change when the view scrolls by DRows, DCols.
    void ScrollView(int DRows, int DCols);

    // --- Painting support (EditorPaint.cpp holds the painter)
    void InvalidateLeftbar(int First, int Last);
    int RowTop(int ARow) const { return FMetrics.TextTop + (ARow - FTopRow) * FMetrics.RowPitch; }
    int ColLeft(int ACol) const { return FMetrics.TextLeft + (ACol - FTopCol) * FMetrics.CharWidth; }
    void HideUnderline();
    void ShowUnderline();
    void InvalidateUnderline();

    // --- Input (EditorInput.cpp)
    TRowCol PixelToRowCol(QPoint Pixel, bool Rounding) const;
    void CaretToPixel(QPoint Pixel);
    bool HandleNavigationKey(QKeyEvent* Event);
    void UpdateMouseCursor(QPoint Pixel, Qt::KeyboardModifiers Modifiers);
    void EndDrag(bool Copy, QPoint Pixel);
    void CancelMouseGesture();
    // What a move with the left button down does at Pixel: extend the selection, steer a drag.
    void MoveWithButton(QPoint Pixel, Qt::KeyboardModifiers Modifiers);
    // Held outside the text, the button keeps scrolling toward the mouse as if it moved.
    void UpdateEdgeScroll(QPoint Pixel, Qt::KeyboardModifiers Modifiers);
    bool PopupMenuShortcut(QKeyEvent* Event);
    // Copies a selection that is not empty; false when there is none.
    bool PutSelectionOnClipboard();
    // Text from the toolkit in the text's encoding with CR LF line breaks; tells of lost
    // characters.
    std::string FromToolkit(const QString& Text);

    // --- State
    std::shared_ptr<TEditorScreenStrings> FStrings;
    std::unique_ptr<TEditorStrings> FLines;
    TEditorCaret FCaret;
    TEditModel FModel;
    TEditorMarks FMarks;
    TEditorMargin FMargin;
    TEditorViewInfo FView;
    TEditorRuler FRuler;
    TEditorLeftbar FLeftbar;
    TEditorImagebar FImagebar;
    TEditorSpeed FSpeed;
    TEditorChangeColors FChangeColors;
    std::shared_ptr<const TChangeMarks> FChangeMarks;
    TFountain* FFountain = nullptr;
    QFont FFont;
    TColor FColor = clWhite;
    TColor FFontColor = clBlack;
    TEditorMetrics FMetrics;
    QFont FInkDescentFont; // the font InkDescent was measured for
    int FInkDescent = -1;
    QList<QPixmap> FImageDigits;
    QList<QPixmap> FImageMarks;
    std::unique_ptr<TPaintSource> FPaintSource;
    std::unique_ptr<TEditorPainter> FPainter;
    TEditorPopupMenu* FPopupMenu = nullptr; // a child object

    bool FModified = false;
    bool FWantTabs = true;
    bool FWantReturns = true;
    bool FDestroying = false;
    int FLinesUpdates = 0;
    // Rows whose highlighting changed during the change now under way.
    int FReparsedFirst = INT_MAX;
    int FReparsedLast = -1;

    // Caret and scrolling
    int FTopRow = 0;
    int FTopCol = 0;
    bool FKeyRepeat = false;
    int FCaretLockCount = 0;
    bool FCaretBlinkOn = true;
    QRect FCaretRect; // where the caret was drawn last
    QTimer FBlink;
    QElapsedTimer FSinceEvents; // since long work last let the window's events through
    int FUnderlineHideCount = 0;
    bool FSettingScrollBars = false;

    // Mouse and input method
    enum TDragState : std::uint8_t { dsNone, dsPending, dsDragging };
    TDragState FDragState = dsNone;
    QPoint FPressPoint;
    QTimer FEdgeScroll;
    QPoint FEdgeScrollPixel; // where the mouse was held outside the text
    Qt::KeyboardModifiers FEdgeScrollModifiers;
    bool FDoubleClicked = false; // the next release ends a double click
    QString FPreedit;
    bool FCommitting = false; // an input-method commit is being inserted
};

} // namespace kestrim
