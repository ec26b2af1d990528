// The painter draws straight from the editor's state: a paint region is cut into whole rows,
// and each row is drawn in two layers, first every background (the row's or its change mark's,
// the changed characters', the selection's, the tokens' own), then every glyph over them,
// grouped per colour into glyph runs. Slanted glyphs are thus never cut off by the next cell's
// background, in italic mode or not.

#include "editor/control/EditorPaint.h"

#include "editor/control/EditorBars.h"
#include "editor/control/EditorChangePaint.h"
#include "editor/control/EditorGlyphs.h"
#include "editor/control/EditorImages.h"
#include "editor/control/QtColors.h"

#include "editor/base/Utf8.h"
#include "editor/highlight/edFountain.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/EditModel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

namespace kestrim {
namespace {

constexpr int FarColumn = INT_MAX / 4; // a selection that reaches the right edge

const char EofText[] = "[EOF]";
constexpr int EofCells = 5;

// Pixel rows of the line where the other text has lines that this one lacks.
constexpr int GapMarkHeight = 2;

// A run of columns of one row drawn alike.
struct TColorRun {
    int Start = 0;
    int End = 0;
    QColor Back;
    QColor Fore;
    TFontStyles Style;
};

// A line drawn over the glyphs: a token's dotted underline or its strike-out.
struct TStroke {
    int Left = 0;
    int Right = 0;
    int Y = 0;
    QColor Color;
    QColor Back;
    bool Dotted = false;
};

// A row piece told to OnDrawLine after the row is drawn.
struct TPiece {
    QRect Rect;
    bool Selected = false;
};

TFontStyles StylesOf(const QFont& Font)
{
    TFontStyles styles;
    if (Font.bold())
        styles.Include(fsBold);
    if (Font.italic())
        styles.Include(fsItalic);
    if (Font.underline())
        styles.Include(fsUnderline);
    if (Font.strikeOut())
        styles.Include(fsStrikeOut);
    return styles;
}

// A row's text as drawn (tabs expanded) and the columns its bytes stand in: byte k in column k
// in Shift-JIS. In UTF-8 each character takes its columns; a byte inside a character stands
// for the column after it, so that a token the highlighting starts there leaves the character
// whole to the token before.
class TDrawnRow {
public:
    TDrawnRow(const TEditorScreenStrings& Strings, int Row)
        : Text(ExpandTabs(Strings.Str(Row), Strings.LayoutSettings(), Strings.WordWrap(), Strings.WrapOption().WrapByte()))
        , FUtf8(Strings.Encoding() == TTextEncoding::Utf8)
    {
        if (FUtf8)
            MapUtf8Columns();
    }

    bool Utf8() const { return FUtf8; }
    int Columns() const { return FUtf8 ? static_cast<int>(FByteOfCol.size()) - 1 : static_cast<int>(Text.size()); }
    // Byte is at most the text's size.
    int ColOf(int Byte) const { return FUtf8 ? FColOfByte[static_cast<std::size_t>(Byte)] : Byte; }
    // The first byte of the character that column Col (at most Columns()) is part of.
    int ByteOf(int Col) const { return FUtf8 ? FByteOfCol[static_cast<std::size_t>(Col)] : Col; }

    const std::string Text;

private:
    void MapUtf8Columns()
    {
        FColOfByte.assign(Text.size() + 1, 0);
        int col = 0;
        for (std::size_t at = 0; at < Text.size();) {
            const TCharExtent extent = Utf8CharAt(Text, at);
            FColOfByte[at] = col;
            for (std::size_t inner = 1; inner < extent.Bytes; ++inner)
                FColOfByte[at + inner] = col + extent.Columns;
            FByteOfCol.insert(FByteOfCol.end(), extent.Columns, static_cast<int>(at));
            col += extent.Columns;
            at += extent.Bytes;
        }
        FColOfByte[Text.size()] = col;
        FByteOfCol.push_back(static_cast<int>(Text.size()));
    }

    const bool FUtf8;
    std::vector<int> FColOfByte;
    std::vector<int> FByteOfCol;
};

} // namespace

struct TEditorPainter::TPrepared {
    TCellText Text;
    TEditorBars Bars;
    bool Valid = false;
    int StrikeOutPos = 0;
    std::vector<std::pair<int, int>> Spans; // x ranges of the rows on screen in one paint
    std::vector<TColorRun> Runs;
    std::vector<TStroke> Strokes;
    std::vector<TPiece> Pieces;
    std::string LineText; // the text the row was parsed from, for OnDrawLine
};

// What one paint draws from.
struct TEditorPainter::TPaint {
    TPaint(QPainter& APainter, const TEditorMetrics& Metrics, const TBarsView& BarsView)
        : Painter(APainter), M(Metrics), Bars(BarsView), Background(BarsView.Background), Foreground(BarsView.Foreground)
    {
    }

    QPainter& Painter;
    const TEditorMetrics& M;
    TBarsView Bars;
    QColor Background;
    QColor Foreground;
    TFontStyles FontStyle;
    int X0 = 0; // x of column 0
    int ViewWidth = 0;
    std::unique_ptr<TFountainParser> Parser; // made for the first row with text
    // The selection as drawn: its rows, mode, colours and band height.
    bool SelectionPath = false;
    TSelectionRange Selection;
    TSelectionMode SelectionMode = smStream;
    QColor SelectionBack;
    QColor SelectionFore;
    int BandHeight = 0;
    int UnderlineRow = -1; // the caret row while its underline shows
    QColor UnderlineColor;
    // With change marks: what they show, and the mark of the row being painted, whose
    // background (the editor's without a mark) every part of the row is painted on.
    std::optional<TPaintedChanges> Changes;
    TPaintedChanges::TRowMark RowMark;
    int RowLine = 0;
    QColor RowBack;
};

TEditorPainter::TEditorPainter(const TEditorPaintView& Source) : FSource(Source), FPrepared(std::make_unique<TPrepared>()) {}

TEditorPainter::~TEditorPainter() = default;

int TEditorPainter::RowTop(int Row) const
{
    const TEditorMetrics& m = FSource.Metrics();
    return m.TextTop + (Row - FSource.TopRow()) * m.RowPitch;
}

int TEditorPainter::ColLeft(int Col) const
{
    const TEditorMetrics& m = FSource.Metrics();
    return m.TextLeft + (Col - FSource.TopCol()) * m.CharWidth;
}

void TEditorPainter::OptionsChanged()
{
    FPrepared->Valid = false;
}

void TEditorPainter::Prepare()
{
    const TEditorPaintView& e = FSource;
    FPrepared->Text.SetFont(e.Font(), e.Metrics().CharWidth);
    FPrepared->Bars.Prepare(e.Ruler(), ToQColor(e.Color(), Qt::white), ToQColor(e.FontColor(), Qt::black));
    FPrepared->StrikeOutPos = QFontMetrics(e.Font()).strikeOutPos();
    FPrepared->Valid = true;
}

// ---------------------------------------------------------------------------------------------
// The paint

void TEditorPainter::Paint(const QRegion& Region)
{
    const TEditorPaintView& e = FSource;
    if (!FPrepared->Valid)
        Prepare();
    const TEditorMetrics& m = e.Metrics();
    QPainter painter(&e.Viewport());
    TPaint context(painter, m,
                   TBarsView{m, e.Ruler(), e.Leftbar(), e.Imagebar(), ToQColor(e.Color(), Qt::white),
                             ToQColor(e.FontColor(), Qt::black), e.TopCol(), e.Model().Col(), m.VisibleColCount});
    context.FontStyle = StylesOf(e.Font());
    context.X0 = m.TextLeft - e.TopCol() * m.CharWidth;
    context.ViewWidth = e.Viewport().width();
    const bool hit = e.Model().SelectionState() == ssHit;
    context.SelectionPath = e.Model().SelectionState() == ssSelected || (hit && e.Model().HitStyle() == hsDraw);
    context.Selection = e.Model().Selection();
    context.SelectionMode = e.Model().SelectionMode();
    const TFountainColor& selection = hit ? e.View().Colors().Hit() : e.View().Colors().Select();
    // Unset selection colours show the text in inverse video.
    context.SelectionBack = ToQColor(selection.BkColor(), context.Foreground);
    context.SelectionFore = ToQColor(selection.Color(), context.Background);
    context.BandHeight = m.RowHeight + (context.SelectionPath ? e.Margin().UnderlineAllowance() : 0);
    if (e.Marks().Underline().Visible() && e.UnderlineShown() && !e.Model().Selected()) {
        context.UnderlineRow = e.Model().Row();
        context.UnderlineColor = ToQColor(e.Marks().Underline().Color(), context.Foreground);
    }
    if (const TChangeMarks* marks = e.ChangeMarks())
        context.Changes.emplace(*marks, e.ChangeColors());

    // Each row on screen is drawn once, over the x range that the region's rectangles give it.
    const int height = e.Viewport().height();
    const int rowsOnScreen = std::max(0, (height - m.TextTop + m.RowPitch - 1) / m.RowPitch);
    std::vector<std::pair<int, int>>& spans = FPrepared->Spans;
    spans.assign(static_cast<std::size_t>(rowsOnScreen), {INT_MAX, INT_MIN});
    for (const QRect& rect : Region) {
        PaintTop(context, rect);
        if (rect.bottom() < m.TextTop)
            continue;
        const int first = (std::max(rect.top(), m.TextTop) - m.TextTop) / m.RowPitch;
        const int last = std::min(rowsOnScreen - 1, (rect.bottom() - m.TextTop) / m.RowPitch);
        for (int i = first; i <= last; ++i) {
            auto& span = spans[static_cast<std::size_t>(i)];
            span = {std::min(span.first, rect.left()), std::max(span.second, rect.right() + 1)};
        }
    }
    for (int i = 0; i < rowsOnScreen; ++i) {
        const auto [left, right] = spans[static_cast<std::size_t>(i)];
        if (left < right)
            PaintRow(context, e.TopRow() + i, left, right);
    }
    PaintPreedit(context);
    PaintCaret(context);
}

void TEditorPainter::PaintTop(TPaint& Context, const QRect& Rect)
{
    const TEditorPaintView& e = FSource;
    const TEditorMetrics& m = Context.M;
    if (Rect.top() >= m.TextTop)
        return;
    if (Rect.left() < m.TextLeft)
        FPrepared->Bars.DrawCorner(Context.Painter, Context.Bars);
    const int left = std::max(Rect.left(), m.TextLeft);
    const int right = Rect.right() + 1;
    if (left >= right)
        return;
    if (e.Ruler().Visible() && Rect.top() < m.RulerHeight)
        FPrepared->Bars.DrawRuler(Context.Painter, Context.Bars, left, right);
    if (Rect.bottom() >= m.RulerHeight)
        Context.Painter.fillRect(QRect(left, m.RulerHeight, right - left, m.TextTop - m.RulerHeight),
                                 Context.Background);
}

void TEditorPainter::PaintRow(TPaint& Context, int Row, int Left, int Right)
{
    const TEditorPaintView& e = FSource;
    const TEditorMetrics& m = Context.M;
    const int top = RowTop(Row);
    const int count = e.Strings().Count();
    const int barsRight = m.ImagebarWidth + m.LeftbarWidth;
    Context.RowMark = {};
    if (Context.Changes && Row <= count) {
        // The row after the last stands for the place after the last line.
        Context.RowLine = e.Strings().LineOfRow(Row);
        Context.RowMark = Context.Changes->RowMark(Context.RowLine, Row == 0 || e.Strings().Rows(Row - 1) != raWrapped);
    }
    Context.RowBack = Context.RowMark.Back.isValid() ? Context.RowMark.Back : Context.Background;
    const QColor& strip = Context.RowMark.Strip;
    if (e.Imagebar().Visible() && Left < m.ImagebarWidth)
        FPrepared->Bars.DrawImagebarRow(Context.Painter, Context.Bars, top, Row < count ? e.Strings().RowMarks(Row) : 0,
                                        e.ImageDigits(), e.ImageMarks(), e.Leftbar().Visible() ? QColor() : strip);
    if (e.Leftbar().Visible() && Left < barsRight && Right > m.ImagebarWidth)
        FPrepared->Bars.DrawLeftbarRow(Context.Painter, Context.Bars, top, LeftbarNumber(Row), FPrepared->Text,
                                       Context.FontStyle, strip);
    const int marginLeft = std::max(Left, barsRight);
    const int marginRight = std::min(Right, m.TextLeft);
    if (marginLeft < marginRight)
        Context.Painter.fillRect(QRect(marginLeft, top, marginRight - marginLeft, m.RowPitch), Context.RowBack);

    FPrepared->Strokes.clear();
    FPrepared->Pieces.clear();
    if (Right > m.TextLeft) {
        // Snapped to whole cells, so that every glyph in the band is drawn whole.
        const int left = m.TextLeft + std::max(0, (Left - m.TextLeft) / m.CharWidth * m.CharWidth);
        if (Row < count)
            PaintTextRow(Context, Row, left, Right);
        else
            PaintRowBelowText(Context, Row, left, Right);
    }
    FPrepared->Text.Flush(Context.Painter);
    for (const TStroke& stroke : FPrepared->Strokes) {
        if (stroke.Dotted) {
            Context.Painter.fillRect(QRect(stroke.Left, stroke.Y, stroke.Right - stroke.Left, 1), stroke.Back);
            DrawDotLine(Context.Painter, stroke.Left, stroke.Y, stroke.Right, stroke.Color);
        } else {
            Context.Painter.fillRect(QRect(stroke.Left, stroke.Y, stroke.Right - stroke.Left, 1), stroke.Color);
        }
    }
    if (Context.RowMark.GapAbove && marginLeft < Right)
        Context.Painter.fillRect(QRect(marginLeft, top, Right - marginLeft, GapMarkHeight), Context.Changes->GapMark());
    if (e.DrawLineEvent())
        for (const TPiece& piece : FPrepared->Pieces)
            e.DrawLineEvent()(FPrepared->LineText, Context.X0, top, Row, piece.Rect, piece.Selected);
}

// A row past the text: the background, and "[EOF]" on the row after the last one when the
// text ends with a line break (or there is no text).
void TEditorPainter::PaintRowBelowText(TPaint& Context, int Row, int Left, int Right)
{
    const TEditorPaintView& e = FSource;
    const int top = RowTop(Row);
    Context.Painter.fillRect(QRect(Left, top, Right - Left, Context.M.RowPitch), Context.RowBack);
    PaintRowGap(Context, Row, Left, Right);
    const int count = e.Strings().Count();
    if (e.Marks().EofMark().Visible() && Row == count && (count == 0 || e.Strings().Rows(count - 1) != raEof))
        PaintEofMark(Context, top, 0, Left, Right);
}

void TEditorPainter::PaintRowGap(TPaint& Context, int Row, int Left, int Right)
{
    const TEditorMetrics& m = Context.M;
    const int top = RowTop(Row);
    const int gapTop = top + Context.BandHeight;
    Context.Painter.fillRect(QRect(Left, gapTop, Right - Left, top + m.RowPitch - gapTop), Context.RowBack);
    if (Row == Context.UnderlineRow && FSource.Margin().UnderlineAllowance() > 0)
        Context.Painter.fillRect(QRect(Left, top + m.RowHeight, Right - Left, 1), Context.UnderlineColor);
}

void TEditorPainter::PaintTextRow(TPaint& Context, int Row, int Left, int Right)
{
    const TEditorPaintView& e = FSource;
    const TEditorScreenStrings& strings = e.Strings();
    const TEditorMetrics& m = Context.M;
    QPainter& painter = Context.Painter;
    const int cw = m.CharWidth;
    const int top = RowTop(Row);
    const TDrawnRow drawn(strings, Row);
    const std::string& text = drawn.Text;
    const int bytes = static_cast<int>(text.size());
    const int length = drawn.Columns();
    const auto xOf = [&](int Col) {
        return Col >= FarColumn ? Right : std::clamp(Context.X0 + Col * cw, std::max(Left, m.TextLeft), Right);
    };

    // The selected columns of this row.
    int selFrom = 0;
    int selTo = 0;
    const TSelectionRange& sel = Context.Selection;
    if (Context.SelectionPath && Row >= sel.StartRow && Row <= sel.EndRow) {
        if (Context.SelectionMode == smBox) {
            // Both edges on the text, a two-byte character wholly on one side of each.
            const TRowCells cells = e.Model().RowCells(Row);
            const auto onText = [&](int Col) {
                const int col = std::min(Col, length);
                return cells.Cell(col) == CellTrailByte ? col + 1 : col;
            };
            selFrom = onText(sel.StartCol);
            selTo = onText(sel.EndCol);
        } else {
            selFrom = Row == sel.StartRow ? sel.StartCol : 0;
            selTo = Row == sel.EndRow ? sel.EndCol : FarColumn;
        }
    }
    const bool selected = selFrom < selTo;
    const int band = Context.BandHeight;

    painter.fillRect(QRect(Left, top, Right - Left, band), Context.RowBack);
    if (Context.RowMark.Changed) {
        TPaintedChanges& changes = *Context.Changes;
        const TRowCells cells = e.Model().RowCells(Row);
        for (const auto& [from, to] : changes.ChangedColumns(Context.RowLine, strings.RowOffsetInLine(Row), cells))
            painter.fillRect(QRect(xOf(from), top, xOf(to) - xOf(from), band), changes.ChangedCharBack());
    }
    if (selected) {
        const int a = xOf(selFrom);
        const int b = xOf(selTo);
        painter.fillRect(QRect(a, top, b - a, band), Context.SelectionBack);
    }
    PaintRowGap(Context, Row, Left, Right);
    if (length + 5 < e.TopCol())
        return; // the text ends far left of the view

    // Columns that the band shows.
    const int clipFrom = e.TopCol() + (Left - m.TextLeft) / cw;
    const int clipTo = std::min(length, e.TopCol() + (Right - 1 - m.TextLeft) / cw + 1);
    std::vector<TColorRun>& runs = FPrepared->Runs;
    runs.clear();
    const TColorRun plain{0, 0, Context.Background, Context.Foreground, Context.FontStyle};
    const auto add = [&](TColorRun Run) {
        if (Run.End > Run.Start && Run.End > clipFrom)
            runs.push_back(Run);
    };
    // A token that runs over the wrap is recognised from the joined rows.
    std::string& parsed = FPrepared->LineText;
    parsed = text;
    if (strings.WordWrap() && strings.Rows(Row) == raWrapped && Row + 1 < strings.Count())
        parsed += ExpandTabs(strings.Str(Row + 1), strings.LayoutSettings(), true, strings.WrapOption().WrapByte());
    int done = 0;
    if (clipFrom < clipTo) {
        if (!Context.Parser)
            Context.Parser = e.Fountain().NewParser(e.Strings().Encoding());
        TFountainParser& parser = *Context.Parser;
        parser.BeginRow(parsed, e.RowStartState(Row));
        while (parser.NextToken() != tokEnd) {
            const int startByte = parser.TokenOffset();
            if (startByte >= bytes)
                break;
            const int start = drawn.ColOf(startByte);
            if (start >= clipTo)
                break;
            const int end = std::min(length, drawn.ColOf(std::min(bytes, startByte + parser.TokenLength())));
            if (end <= clipFrom) {
                done = end;
                continue;
            }
            add({done, start, plain.Back, plain.Fore, plain.Style});
            TColorRun run{start, end, plain.Back, plain.Fore, plain.Style};
            if (const TFountainColor* color = parser.TokenColor()) {
                run.Back = ToQColor(color->BkColor(), Context.Background);
                run.Fore = ToQColor(color->Color(), Context.Foreground);
                run.Style = color->Style();
            }
            add(run);
            done = end;
        }
    }
    add({done, length, plain.Back, plain.Fore, plain.Style});

    // Each run in its colours, the selected part of it in the selection's.
    const int baseline = top + m.Ascent;
    for (const TColorRun& run : runs) {
        const int cuts[] = {run.Start, std::clamp(selFrom, run.Start, run.End), std::clamp(selTo, run.Start, run.End),
                            run.End};
        for (int part = 0; part < 3; ++part) {
            const int from = cuts[part];
            const int to = cuts[part + 1];
            if (from >= to)
                continue;
            const bool inSelection = part == 1 && selected;
            const QColor back = inSelection ? Context.SelectionBack : run.Back;
            const QColor fore = inSelection ? Context.SelectionFore : run.Fore;
            const int a = xOf(from);
            const int b = xOf(to);
            if (back != Context.Background && !inSelection)
                painter.fillRect(QRect(a, top, b - a, m.RowHeight), back);
            if (drawn.Utf8())
                FPrepared->Text.AddUtf8(text, drawn.ByteOf(from), from, to, clipFrom, clipTo, Context.X0, baseline, fore,
                                        run.Style);
            else
                FPrepared->Text.Add(text, from, to, clipFrom, clipTo, Context.X0, baseline, fore, run.Style);
            if (run.Style.Contains(fsUnderline) && a < b)
                FPrepared->Strokes.push_back(
                    {a, b, top + m.RowHeight - 1, fore, back == Context.Background ? Context.RowBack : back, true});
            if (run.Style.Contains(fsStrikeOut) && a < b)
                FPrepared->Strokes.push_back({a, b, baseline - FPrepared->StrikeOutPos, fore, back, false});
        }
    }

    // The pieces as drawn, normal and selected, for OnDrawLine.
    if (e.DrawLineEvent()) {
        const int cuts[] = {Left, selected ? xOf(selFrom) : Right, selected ? xOf(selTo) : Right, Right};
        for (int part = 0; part < 3; ++part)
            if (cuts[part] < cuts[part + 1])
                FPrepared->Pieces.push_back({QRect(cuts[part], top, cuts[part + 1] - cuts[part], band), part == 1});
    }
    PaintEndMark(Context, Row, length, selected && length >= selFrom && length < selTo, Left, Right);
}

// After the last cell: "[EOF]" after the text's last row, an arrow after a line's end, a "<"
// where the line goes on in the next row; a ">" where the row is cut at its last column.
void TEditorPainter::PaintEndMark(TPaint& Context, int Row, int Columns, bool Selected, int Left, int Right)
{
    const TEditorPaintView& e = FSource;
    const TEditorMetrics& m = Context.M;
    const int length = Columns;
    const int x = Context.X0 + length * m.CharWidth;
    if (x >= Right || x + EofCells * m.CharWidth <= Left)
        return;
    const TEditorMarks& marks = e.Marks();
    const TRowAttribute attribute = e.Strings().Rows(Row);
    const int top = RowTop(Row);
    const auto colorOf = [&](const TEditorMark& Mark) {
        return Selected ? Context.SelectionFore : ToQColor(Mark.Color(), Context.Foreground);
    };
    const bool cut = length >= MaxLayoutColumns && e.Model().RowCells(Row).CutAtLimit();
    if (x < m.TextLeft && !(attribute == raEof && marks.EofMark().Visible()))
        return;
    QPainter& painter = Context.Painter;
    if (cut) {
        if (marks.HideMark().Visible())
            DrawHideMark(painter, x, top, m.CharWidth, m.RowHeight, colorOf(marks.HideMark()));
    } else if (marks.EofMark().Visible() && attribute == raEof) {
        PaintEofMark(Context, top, length, Left, Right);
    } else if (marks.RetMark().Visible() && attribute == raCrlf) {
        DrawReturnMark(painter, x, top, m.CharWidth, m.RowHeight, colorOf(marks.RetMark()));
    } else if (marks.WrapMark().Visible() && attribute == raWrapped) {
        DrawWrapMark(painter, x, top, m.CharWidth, m.RowHeight, colorOf(marks.WrapMark()));
    }
}

void TEditorPainter::PaintEofMark(TPaint& Context, int Top, int Col, int Left, int Right)
{
    const TEditorMetrics& m = Context.M;
    const int x = Context.X0 + Col * m.CharWidth;
    const int left = std::max({x, Left, m.TextLeft});
    const int right = std::min(x + EofCells * m.CharWidth, Right);
    if (left >= right)
        return;
    Context.Painter.fillRect(QRect(left, Top, right - left, m.RowHeight), Context.RowBack);
    const int clipFrom = (left - x) / m.CharWidth;
    FPrepared->Text.Add(EofText, 0, EofCells, clipFrom, EofCells, x, Top + m.Ascent,
                        ToQColor(FSource.Marks().EofMark().Color(), Context.Foreground), Context.FontStyle);
}

// The input method's text being composed, at the caret over the text, underlined; it is no
// part of the text until it is committed.
void TEditorPainter::PaintPreedit(TPaint& Context)
{
    const TEditorPaintView& e = FSource;
    if (e.Preedit().isEmpty())
        return;
    const TEditorMetrics& m = Context.M;
    // Drawn as the characters composed, whatever the text's encoding will make of them.
    const std::string text = Utf16ToUtf8(e.Preedit().toStdU16String());
    const int cells = CharColumnsOf(TTextEncoding::Utf8, text);
    const int x = ColLeft(e.Model().Col());
    const int top = RowTop(e.Model().Row());
    const int left = std::max(x, m.TextLeft);
    const int right = x + cells * m.CharWidth;
    if (left >= right)
        return;
    QPainter& painter = Context.Painter;
    painter.fillRect(QRect(left, top, right - left, m.RowHeight), Context.Background);
    FPrepared->Text.AddUtf8(text, 0, 0, cells, (left - x) / m.CharWidth, cells, x, top + m.Ascent, Context.Foreground,
                            Context.FontStyle);
    FPrepared->Text.Flush(painter);
    painter.fillRect(QRect(left, top + m.RowHeight - 1, right - left, 1), Context.Foreground);
}

// The caret inverts what lies under it, so that it shows on any colour.
void TEditorPainter::PaintCaret(TPaint& Context)
{
    const TEditorPaintView& e = FSource;
    if (!e.CaretVisible())
        return;
    const QRect textArea(Context.M.TextLeft, Context.M.TextTop, Context.ViewWidth, e.Viewport().height());
    const QRect caret = e.CaretRect() & textArea;
    if (caret.isEmpty())
        return;
    Context.Painter.setCompositionMode(QPainter::CompositionMode_Difference);
    Context.Painter.fillRect(caret, Qt::white);
    Context.Painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// Rows are numbered from 1 (0 with ZeroBase); in line mode only the first row of each line
// gets the number of its line. The row after a final line break is numbered too.
int TEditorPainter::LeftbarNumber(int Row)
{
    const TEditorPaintView& e = FSource;
    const TEditorScreenStrings& strings = e.Strings();
    const int count = strings.Count();
    const int base = e.Leftbar().ZeroBase() ? 0 : 1;
    const bool afterLast = Row == count && (count == 0 || strings.Rows(count - 1) != raEof);
    if (Row > count || (Row == count && !afterLast))
        return Row == 0 ? base : -1;
    if (e.Leftbar().ShowNumberMode() == nmRow)
        return Row + base;
    if (Row == 0)
        return base;
    if (strings.Rows(Row - 1) != raCrlf)
        return -1;
    return strings.LineOfRow(Row) + base;
}

// ---------------------------------------------------------------------------------------------
// Changes the editor tells of

void TEditorPainter::CaretColumnChanged(int OldCol)
{
    const TEditorPaintView& e = FSource;
    if (!e.Ruler().Visible() || OldCol == e.Model().Col())
        return;
    const TEditorMetrics& m = e.Metrics();
    for (const int col : {OldCol, e.Model().Col()})
        e.Viewport().update(QRect(ColLeft(col), 0, m.CharWidth + 1, m.RulerHeight));
}

// The ruler is drawn from the first visible column at each paint: nothing is kept to follow.
void TEditorPainter::TopColChanged() {}

// The image bar's marks and the text move with their rows; the left bar stays, since a row
// number belongs to a place on the screen (the editor repaints the line numbers that change).
void TEditorPainter::ScrollRowsBelow(int Row, int Delta)
{
    const TEditorPaintView& e = FSource;
    if (Delta == 0)
        return;
    const TEditorMetrics& m = e.Metrics();
    QWidget* view = &e.Viewport();
    // From the rows' old place or their new one, whichever is higher, everything moves.
    const int top = std::max(m.TextTop, RowTop(std::min(Row, Row - Delta)));
    if (top >= view->height())
        return;
    const int dy = Delta * m.RowPitch;
    const int height = view->height() - top;
    if (m.ImagebarWidth > 0)
        view->scroll(0, dy, QRect(0, top, m.ImagebarWidth, height));
    const int textLeft = m.ImagebarWidth + m.LeftbarWidth;
    view->scroll(0, dy, QRect(textLeft, top, view->width() - textLeft, height));
}

} // namespace kestrim
