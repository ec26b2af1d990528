#include "editor/control/EditorControl.h"

#include "editor/control/EditorCursors.h"
#include "editor/control/EditorFonts.h"
#include "editor/control/EditorPaint.h"
#include "editor/control/EditorPopupMenu.h"
#include "editor/highlight/edFountain.h"
#include "editor/text/ChangeMarks.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edUndo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace kestrim {

namespace {

// The pace of scrolling while the mouse button is held outside the text: 20 rows a second.
constexpr int EdgeScrollIntervalMs = 50;

} // namespace

// The editor as its painter reads it.
class TEditor::TPaintSource final : public TEditorPaintView {
public:
    explicit TPaintSource(TEditor& Editor) : E(Editor) {}

    QWidget& Viewport() const override { return *E.viewport(); }
    const TEditorScreenStrings& Strings() const override { return *E.FStrings; }
    const TEditModel& Model() const override { return E.FModel; }
    TFountain& Fountain() const override { return E.ActiveFountain(); }
    TRowAttributeData RowStartState(int Row) const override { return E.FStrings->RowStartState(Row); }
    const TEditorMetrics& Metrics() const override { return E.FMetrics; }
    int TopRow() const override { return E.FTopRow; }
    int TopCol() const override { return E.FTopCol; }
    const QFont& Font() const override { return E.FFont; }
    TColor Color() const override { return E.FColor; }
    TColor FontColor() const override { return E.FFontColor; }
    const TEditorViewInfo& View() const override { return E.FView; }
    const TEditorMarks& Marks() const override { return E.FMarks; }
    const TEditorMargin& Margin() const override { return E.FMargin; }
    const TEditorRuler& Ruler() const override { return E.FRuler; }
    const TEditorLeftbar& Leftbar() const override { return E.FLeftbar; }
    const TEditorImagebar& Imagebar() const override { return E.FImagebar; }
    const QList<QPixmap>& ImageDigits() const override { return E.FImageDigits; }
    const QList<QPixmap>& ImageMarks() const override { return E.FImageMarks; }
    const TDrawLineEvent& DrawLineEvent() const override { return E.OnDrawLine; }
    const QString& Preedit() const override { return E.FPreedit; }
    bool CaretVisible() const override { return E.hasFocus() && E.FCaretLockCount == 0 && E.FCaretBlinkOn; }
    QRect CaretRect() const override { return E.CaretRect(); }
    bool UnderlineShown() const override { return E.FUnderlineHideCount == 0; }
    const TChangeMarks* ChangeMarks() const override { return E.FChangeMarks.get(); }
    const TEditorChangeColors& ChangeColors() const override { return E.FChangeColors; }

private:
    TEditor& E;
};

TEditor::TEditor(QWidget* Parent)
    : QAbstractScrollArea(Parent)
    , FStrings(std::make_shared<TEditorScreenStrings>())
    , FModel(FStrings, *this, FCaret.Rules())
    , FFont(DefaultEditorFont())
{
    FStrings->AttachEditor(*this);
    FLines = std::make_unique<TEditorStrings>(static_cast<TEditorLink&>(*this));
    FPaintSource = std::make_unique<TPaintSource>(*this);
    FPainter = std::make_unique<TEditorPainter>(*FPaintSource);
    FStrings->LayoutSettings().SetTabSpaceCount(FCaret.TabSpaceCount());

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    // Both bars always, so that the text area does not change size while the user types.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_InputMethodEnabled);

    const int flash = QApplication::cursorFlashTime();
    FBlink.setInterval(flash > 0 ? flash / 2 : 500);
    connect(&FBlink, &QTimer::timeout, this, [this] {
        FCaretBlinkOn = !FCaretBlinkOn;
        InvalidateCaret();
    });
    FEdgeScroll.setInterval(EdgeScrollIntervalMs);
    connect(&FEdgeScroll, &QTimer::timeout, this, [this] { MoveWithButton(FEdgeScrollPixel, FEdgeScrollModifiers); });

    ConnectOptions();
    FPopupMenu = new TEditorPopupMenu(*this, FModel);
    resize(185, 89);
    UpdateMetrics();
    UpdateScrollRanges();
}

TEditor::~TEditor()
{
    FDestroying = true;
    SetFountain(nullptr);
    FStrings->DetachEditor(*this);
}

// ---------------------------------------------------------------------------------------------
// The text model's link

TEditorStrings& TEditor::Lines()
{
    return *FLines;
}

TTextEncoding TEditor::Encoding() const
{
    return FStrings->Encoding();
}

void TEditor::SetEncodedText(const std::string& Text, TTextEncoding Encoding)
{
    FLines->SetTextStr(Text, Encoding);
}

TTextFileFormat TEditor::LoadTextFile(const std::string& FileName, std::optional<TTextEncoding> Encoding,
                                      TTextEncoding Default)
{
    return FLines->LoadTextFile(FileName, Encoding, Default);
}

TTextFileFormat TEditor::LoadTextBytes(std::string_view Bytes, std::optional<TTextEncoding> Encoding,
                                       TTextEncoding Default)
{
    return FLines->LoadTextBytes(Bytes, Encoding, Default);
}

TTextFileFormat TEditor::LoadTextRows(TTextRows& Text)
{
    return FLines->LoadTextRows(Text);
}

void TEditor::ReplaceText(const std::string& Text, TTextEncoding Encoding)
{
    FLines->ReplaceText(Text, Encoding);
}

void TEditor::AppendText(std::string_view Text)
{
    if (Text.empty())
        return;
    TEditorScreenStrings& rows = *FStrings;
    const int count = rows.Count();
    if (count == 0 || rows.Rows(count - 1) != raEof) {
        rows.ReplaceRows(count, 0, Text, false);
        return;
    }
    const int start = rows.LineStartRow(count - 1);
    std::string line = rows.RowsText(start, count - start).Text;
    line += Text;
    rows.ReplaceRows(start, count - start, line, false);
}

TRowStates& TEditor::RowStates()
{
    return ActiveFountain();
}

TFountain& TEditor::ActiveFountain()
{
    return FFountain ? *FFountain : static_cast<TFountain&>(FView.Fountain());
}

// The change record says which rows changed: those are painted again, and the rows below them
// move with the viewport's contents when rows came or went.
void TEditor::TextChanged()
{
    CancelMouseGesture();
    const TRowsChange& change = FStrings->ChangeRecord();
    const int oldDigits = FMetrics.LeftbarDigits;
    UpdateMetrics();
    if (!change.ChangeValid || FMetrics.LeftbarDigits != oldDigits) {
        viewport()->update();
    } else {
        const int delta = change.NewRowCount - change.OldRowCount;
        const int last = change.FirstRow + change.NewRowCount + std::max(0, change.ParsedRowCount - change.NewRowCount);
        const int pastText = FStrings->Count() + 1;
        if (change.FirstRow > FTopRow + VisibleRowCount()) {
            // Below the view, as a run's output grows there: nothing in view moves.
        } else if (std::abs(delta) > VisibleRowCount()) {
            viewport()->update();
        } else {
            // The move first: a scroll carries the updates already asked for in its area along.
            if (delta != 0)
                FPainter->ScrollRowsBelow(last, delta);
            InvalidateRows(change.FirstRow, std::max(change.FirstRow, last - 1));
            if (last >= FStrings->Count())
                InvalidateRows(last, pastText);
            // Line numbers below the change may shift; row numbers only show a change where the
            // text now ends.
            const bool lineNumbers = FLeftbar.ShowNumberMode() == nmLine;
            const bool endInView = FStrings->Count() <= FTopRow + VisibleRowCount();
            if (FLeftbar.Visible() && FLeftbar.ShowNumber() && (lineNumbers || (delta != 0 && endInView)))
                InvalidateLeftbar(last, FTopRow + VisibleRowCount());
        }
    }
    if (FReparsedFirst <= FReparsedLast)
        InvalidateRows(FReparsedFirst, FReparsedLast);
    FReparsedFirst = INT_MAX;
    FReparsedLast = -1;
    UpdateScrollRanges();
    if (change.ChangeValid) {
        FModified = true;
        emit OnChange();
    }
}

// Paints and timers go on; input waits until the text is in place.
void TEditor::KeepResponsive()
{
    if (FSinceEvents.isValid() && FSinceEvents.elapsed() < 30)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    FSinceEvents.start();
}

// Inside a change the row is painted once the change is done: the rows it moves are scrolled
// first, and a scroll would carry an earlier update along to another row.
void TEditor::InvalidateRow(int ARow)
{
    if (FStrings->UpdateCount() == 0) {
        InvalidateRows(ARow, ARow);
        return;
    }
    FReparsedFirst = std::min(FReparsedFirst, ARow);
    FReparsedLast = std::max(FReparsedLast, ARow);
}

void TEditor::Refresh()
{
    UpdateMetrics();
    UpdateScrollRanges();
    viewport()->update();
}

void TEditor::BeginLinesUpdate()
{
    if (FLinesUpdates++ == 0) {
        LockCaret();
        HideUnderline();
    }
}

void TEditor::EndLinesUpdate()
{
    if (--FLinesUpdates == 0) {
        ShowUnderline();
        UnlockCaret();
    }
}

// ---------------------------------------------------------------------------------------------
// Options

void TEditor::ConnectOptions()
{
    const TNotifyEvent changed = TNotifyEvent::Of<&TEditor::OptionChanged>(this);
    for (TNotifyPersistent* option : std::initializer_list<TNotifyPersistent*>{
             &FCaret, &FMarks, &FMargin, &FView, &FRuler, &FLeftbar, &FImagebar})
        option->OnChange = changed;
    FChangeColors.OnChange = TNotifyEvent::Of<&TEditor::RepaintOptionChanged>(this);
}

void TEditor::RepaintOptionChanged(TObject* /*Sender*/)
{
    viewport()->update();
}

void TEditor::OptionChanged(TObject* Sender)
{
    if (Sender == &FMarks)
        FMargin.SetUnderlineAllowance(FMarks.Underline().Visible() ? 1 : 0);
    if (Sender == &FView || (FFountain && Sender == FFountain))
        FStrings->InitBrackets();
    UpdateMetrics();
    UpdateScrollRanges();
    FPainter->OptionsChanged();
    viewport()->update();
    if (Sender == &FCaret) {
            // Undo steps name columns: a new tab width would put their carets elsewhere.
        if (FStrings->LayoutSettings().TabSpaceCount() != FCaret.TabSpaceCount()) {
            FStrings->LayoutSettings().SetTabSpaceCount(FCaret.TabSpaceCount());
            FStrings->UndoObj().Clear();
        }
        UpdateCaret();
        return;
    }
    ScrollToCaret();
    UpdateCaretPos();
}

void TEditor::UpdateMetrics()
{
    const QScreen* screen = this->screen();
    const int screenHeight = screen ? screen->geometry().height() : 1080;
    const QFontMetrics font(FFont);
    // Measured once per font: the metrics are computed again on every edit.
    if (FInkDescent < 0 || FFont != FInkDescentFont) {
        FInkDescentFont = FFont;
        FInkDescent = InkDescent(font);
    }
    FMetrics = ComputeEditorMetrics(font, FMargin, FImagebar, FLeftbar, FRuler, FInkDescent, LastLeftbarNumber(),
                                    viewport()->size(), screenHeight);
}

// In line mode the bar counts the rows that end a line; without word wrap every row does.
int TEditor::LastLeftbarNumber() const
{
    const int count = FStrings->Count();
    const bool lastEndsLine = count == 0 || FStrings->Rows(count - 1) != raEof;
    int last = count - 1;
    if (FLeftbar.ShowNumberMode() == nmLine && FStrings->WordWrap()) {
        last = 0;
        for (int row = 0; row + 1 < count; ++row)
            if (FStrings->Rows(row) == raCrlf)
                ++last;
    }
    return std::max(0, last + (FLeftbar.ZeroBase() ? 0 : 1) + (lastEndsLine ? 1 : 0));
}

// The bars take the rows and columns that SetTopRow and SetTopCol allow: the last row (or the
// row after a final line break) can be scrolled to the top, column 1000 to the middle.
void TEditor::UpdateScrollRanges()
{
    FSettingScrollBars = true;
    QScrollBar* rows = verticalScrollBar();
    rows->setRange(0, LastCaretRow());
    rows->setPageStep(VisibleRowCount());
    rows->setSingleStep(1);
    rows->setValue(FTopRow);
    QScrollBar* cols = horizontalScrollBar();
    cols->setRange(0, std::max(0, MaxLayoutColumns - VisibleColCount() / 2));
    cols->setPageStep(VisibleColCount());
    cols->setSingleStep(1);
    cols->setValue(FTopCol);
    FSettingScrollBars = false;
}

bool TEditor::UsesItalic()
{
    return FFont.italic() || ActiveFountain().UsesItalic(ActiveFountain());
}

void TEditor::SetFont(const QFont& Value)
{
    if (FTopCol > 0)
        SetCol(0);
    FFont = Value;
    UpdateMetrics();
    UpdateScrollRanges();
    FPainter->OptionsChanged();
    viewport()->update();
    UpdateCaret();
}

void TEditor::SetView(const TEditorViewInfo& Value)
{
    FView.Assign(Value);
}

TStringList& TEditor::ReserveWordList()
{
    return FView.Fountain().ReserveWordList();
}

void TEditor::SetReserveWordList(const TStrings& Value)
{
    // The same words in another order are the same list.
    TStringList words;
    words.SetSorted(true);
    words.Assign(Value);
    if (words.Text() == ReserveWordList().Text())
        return;
    FView.Fountain().SetReserveWordList(Value);
}

void TEditor::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    FPainter->OptionsChanged();
    viewport()->update();
}

void TEditor::SetFontColor(TColor Value)
{
    if (FFontColor == Value)
        return;
    FFontColor = Value;
    FPainter->OptionsChanged();
    viewport()->update();
}

void TEditor::SetFountain(TFountain* Value)
{
    if (FFountain == Value)
        return;
    const TNotifyEvent changed = TNotifyEvent::Of<&TEditor::OptionChanged>(this);
    if (FFountain)
        FFountain->NotifyEventList().Remove(changed);
    FFountain = Value;
    if (FFountain)
        FFountain->NotifyEventList().Add(changed);
    if (FDestroying)
        return;
    FStrings->InitBrackets();
    viewport()->update();
}

void TEditor::SetReadOnly(bool Value)
{
    if (FDragState == dsDragging)
        return;
    FModel.SetReadOnly(Value);
    setAttribute(Qt::WA_InputMethodEnabled, !Value);
    if (Value && Selected())
        viewport()->setCursor(EditorCursor(FCaret.Cursors().DefaultCursor()));
}

void TEditor::SetOverwrite(bool Value)
{
    FModel.SetOverwrite(Value);
    UpdateCaret();
}

void TEditor::SetHitStyle(THitStyle Value)
{
    FModel.SetHitStyle(Value);
}

bool TEditor::WordWrap() const
{
    return FStrings->WordWrap();
}

void TEditor::SetWordWrap(bool Value)
{
    FStrings->SetWordWrap(Value);
}

TEditorWrapOption& TEditor::WrapOption()
{
    return FStrings->WrapOption();
}

int TEditor::UndoListMax() const
{
    return FStrings->UndoObj().UndoListMax();
}

void TEditor::SetUndoListMax(int Value)
{
    FStrings->UndoObj().SetUndoListMax(Value);
}

void TEditor::SetImageDigits(const QList<QPixmap>& Value)
{
    FImageDigits = Value;
    if (FImagebar.Visible())
        viewport()->update();
}

void TEditor::SetImageMarks(const QList<QPixmap>& Value)
{
    FImageMarks = Value;
    if (FImagebar.Visible())
        viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Undo

void TEditor::Undo()
{
    FModel.Undo();
}

void TEditor::Redo()
{
    FModel.Redo();
}

bool TEditor::CanUndo() const
{
    return FStrings->UndoObj().CanUndo();
}

bool TEditor::CanRedo() const
{
    return FStrings->UndoObj().CanRedo();
}

void TEditor::EmptyUndoBuffer()
{
    if (!ReadOnly())
        FStrings->UndoObj().Clear();
}

void TEditor::SetFocus()
{
    setFocus();
}

// A new comparison may mark any line differently: everything is painted again.
void TEditor::SetChangeMarks(std::shared_ptr<const TChangeMarks> Marks)
{
    if (!Marks && !FChangeMarks)
        return;
    FChangeMarks = std::move(Marks);
    viewport()->update();
}

} // namespace kestrim
