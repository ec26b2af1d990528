#pragma once
// TEditor: the text editor control of the script, data and result pages. A scroll area whose
// viewport shows the rows of one text model (TEditorScreenStrings) in character cells: every
// column is CharWidth pixels wide, a two-byte character takes two, whatever the font's own
// advances, so that caret, clicks and glyphs always line up. Text in and out is Shift-JIS
// bytes; the control converts only where it meets the toolkit (keys, input method, clipboard).
//
// The application uses the members of the first public section; the rest is the control's own
// surface (options, selection, editing, the edit-control operations), usable like any editor
// widget. The implementation is spread over files by concern: EditorControl.cpp (construction,
// the text model's link, options), EditorCaret.cpp (caret and scrolling), EditorSelection.cpp,
// EditorEditing.cpp, EditorInput.cpp, EditorClipboard.cpp, and the painter (EditorPaint.cpp).
//
// The control has no mouse-wheel handling of its own: wheel events go on to its parents. Its
// built-in context menu and that menu's keys serve only an editor whose owner sets no menu of
// its own (the context-menu policy stays at its default).

#include "editor/base/StringList.h"
#include "editor/base/StringsBase.h"
#include "editor/base/edGraphics.h"
#include "editor/control/EditorMetrics.h"
#include "editor/control/EditorOptions.h"
#include "editor/control/EditorRowBlock.h"
#include "editor/text/TextSearch.h"
#include "editor/text/edEditorLink.h"
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

class QMimeData;

namespace kestrim {

class TEditorPainter;
class TEditorPopupMenu;
class TEditorStrings;
class TFountain;
class TFountainParser;

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

// A place in the text: a screen row and a byte offset in it.
using TTextPlace = TRowByte;

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

// Fired after a row piece is drawn: the row's text as painted, x of column 0, the row's top,
// its index, the piece, and whether it was drawn in the selection colours.
using TDrawLineEvent = std::function<void(const std::string& LineStr, int X, int Y, int Index, const QRect& ARect,
                                          bool Selected)>;

class TEditor : public QAbstractScrollArea, private TEditorLink {
    Q_OBJECT

public:
    explicit TEditor(QWidget* Parent = nullptr);
    ~TEditor() override;

    // ---------------------------------------------------------------------------------------
    // What the application uses

    // The whole text as logical lines (Text, files and streams, Clear). A text keeps its final
    // line break or the lack of one. Every change through it is one undo step.
    TStrings& Lines();

    // True after any change of the text; the application clears it after a load or a save.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // The caret: screen row and display column from 0 (tabs expanded, a two-byte character two
    // columns wide, at most 1000, or 1001 right after a two-byte character at column 1000). The
    // setters clamp to the rows and columns that exist.
    int Row() const override { return FRow; }
    int Col() const override { return FCol; }
    void SetRow(int Value);
    void SetCol(int Value);
    void SetRowCol(int ARow, int ACol) override;
    // Rows and columns that fit in the window (at least 1 each).
    int VisibleRowCount() const { return FMetrics.VisibleRowCount; }
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
    // The clipboard's text as Shift-JIS with CR LF line breaks; empty when it holds none.
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

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Typed characters replace those under the caret; no key switches it.
    bool Overwrite() const { return FOverwrite; }
    void SetOverwrite(bool Value);
    THitStyle HitStyle() const { return FHitStyle; }
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

    TSelectionState SelectionState() const { return FSelectionState; }
    TSelectionMode SelectionMode() const { return FSelectionMode; }
    void SetSelectionMode(TSelectionMode Value);
    // Whether a selection or hit is shown (states 2 and 3).
    bool Selected() const { return FSelectionState >= ssSelected; }
    const TSelectionRange& Selection() const { return FSel; }
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
    // Characters typed, composed, pasted or dropped that Shift-JIS cannot hold became "?".
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
    friend class TEditorPainter;
    friend class TEditorPopupMenu;

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

    // --- Options (EditorControl.cpp)
    void ConnectOptions();
    void OptionChanged(TObject* Sender);
    // The definition rows are parsed and painted with: the assigned one, else the view's own.
    TFountain& ActiveFountain();
    void UpdateMetrics();
    // The highest number the left bar shows, for its width.
    int LastLeftbarNumber() const;
    void UpdateScrollRanges();
    // Whether the font or the definition draws italic anywhere.
    bool UsesItalic();

    // --- Caret (EditorCaret.cpp)
    // The one rule set that keeps Col on a legal column; Vertical moves step left off
    // characters and tab fill.
    void AdjustCol(bool Vertical, int Direction);
    void KeepCol(bool Vertical, int Value);
    int LastCaretRow() const;
    void UpdateCaret();
    void UpdateCaretPos();
    QRect CaretRect() const;
    void InvalidateCaret();
    void RestartCaretBlink();
    // Rows and columns of the text area that change when the view scrolls by DRows, DCols.
    void ScrollView(int DRows, int DCols);
    // EM_SCROLLCARET: an off-screen caret comes a third of the window down or right.
    void ScrollCaretIntoThird();

    // --- Painting support (EditorPaint.cpp holds the painter)
    void InvalidateRows(int First, int Last);
    void InvalidateLeftbar(int First, int Last);
    void InvalidateSelectionRows(const TSelectionRange& Old, const TSelectionRange& New);
    int RowTop(int ARow) const { return FMetrics.TextTop + (ARow - FTopRow) * FMetrics.RowPitch; }
    int ColLeft(int ACol) const { return FMetrics.TextLeft + (ACol - FTopCol) * FMetrics.CharWidth; }
    void HideUnderline();
    void ShowUnderline();
    void InvalidateUnderline();

    // --- Selection (EditorSelection.cpp)
    void ActivateSelection();
    void UpdateSelection();
    TSelectionRange ComputeSelection() const;
    // The box edges of ARow as bytes, by the left-edge and right-edge rules.
    std::pair<int, int> BoxBytes(const TRowCells& Cells, int Left, int Right) const;
    void SelectBytes(int Offset, int Length);
    TTextPlace PlaceOfOffset(int Offset) const;
    int OffsetOfPlace(int ARow, int Byte) const;
    void KeyboardSelectionBefore(Qt::KeyboardModifiers Modifiers);
    void KeyboardSelectionAfter(Qt::KeyboardModifiers Modifiers);

    // --- Editing (EditorEditing.cpp)
    int AnchorRowOf(int ARow) const;
    void OverwriteText(const std::string& Text, int Anchor, int Target);
    // The rows of the selection with the selected part taken out, each ending as before.
    TRowBlock RowsWithoutSelection() const;
    void ReplaceRowsAndPlaceCaret(int First, int Count, const std::string& Text, int Anchor, int Distance);
    int IndentWidth(const std::string& Text) const;
    int PreviousIndent(int ARow) const;
    std::string IndentText(int Columns) const;
    bool UnIndent();
    void MoveSelectionTo(int DropRow, int DropCol);

    // --- Input (EditorInput.cpp)
    TRowCol PixelToRowCol(QPoint Pixel, bool Rounding) const;
    void CaretToPixel(QPoint Pixel);
    bool HandleNavigationKey(QKeyEvent* Event);
    void WordRight();
    void WordLeft();
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
    // Text from the toolkit as Shift-JIS with CR LF line breaks; tells of lost characters.
    std::string FromToolkit(const QString& Text);

    // --- State
    std::shared_ptr<TEditorScreenStrings> FStrings;
    std::unique_ptr<TEditorStrings> FLines;
    TEditorCaret FCaret;
    TEditorMarks FMarks;
    TEditorMargin FMargin;
    TEditorViewInfo FView;
    TEditorRuler FRuler;
    TEditorLeftbar FLeftbar;
    TEditorImagebar FImagebar;
    TEditorSpeed FSpeed;
    TFountain* FFountain = nullptr;
    QFont FFont;
    TColor FColor = clWhite;
    TColor FFontColor = clBlack;
    TEditorMetrics FMetrics;
    QFont FInkDescentFont; // the font InkDescent was measured for
    int FInkDescent = -1;
    QList<QPixmap> FImageDigits;
    QList<QPixmap> FImageMarks;
    std::unique_ptr<TEditorPainter> FPainter;
    TEditorPopupMenu* FPopupMenu = nullptr; // a child object

    bool FModified = false;
    bool FReadOnly = false;
    bool FWantTabs = true;
    bool FWantReturns = true;
    bool FOverwrite = false;
    bool FDestroying = false;
    THitStyle FHitStyle = hsSelect;
    int FLinesUpdates = 0;
    // Rows whose highlighting changed during the change now under way.
    int FReparsedFirst = INT_MAX;
    int FReparsedLast = -1;

    // Caret
    int FRow = 0;
    int FCol = 0;
    int FTailByte = -1; // the caret's byte when it lies past the last column of a cut row
    int FTopRow = 0;
    int FTopCol = 0;
    int FKeptCol = 0;
    bool FHasKeptCol = false;
    bool FInSetRowCol = false;
    bool FKeyRepeat = false;
    int FCaretLockCount = 0;
    bool FCaretBlinkOn = true;
    QRect FCaretRect; // where the caret was drawn last
    QTimer FBlink;
    QElapsedTimer FSinceEvents; // since long work last let the window's events through
    int FUnderlineHideCount = 0;
    bool FSettingScrollBars = false;

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

    // Mouse and input method
    enum TDragState : std::uint8_t { dsNone, dsPending, dsDragging };
    TDragState FDragState = dsNone;
    bool FMouseSelecting = false; // the left button is down for a selection
    QPoint FPressPoint;
    QTimer FEdgeScroll;
    QPoint FEdgeScrollPixel; // where the mouse was held outside the text
    Qt::KeyboardModifiers FEdgeScrollModifiers;
    bool FDoubleClicked = false; // the next release ends a double click
    QString FPreedit;
    bool FCommitting = false; // an input-method commit is being inserted
};

} // namespace kestrim
