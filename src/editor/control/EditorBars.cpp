#include "editor/control/EditorBars.h"

#include "editor/control/EditorGlyphs.h"
#include "editor/control/EditorMetrics.h"
#include "editor/control/EditorOptions.h"
#include "editor/control/QtColors.h"
#include "editor/text/edCellAttributes.h"

#include <QPainter>

#include <algorithm>

namespace kestrim {
namespace {

// The raised edges: a light line towards the bar, a dark one towards the text.
const QColor EdgeLight(255, 255, 255);
const QColor EdgeDark(128, 128, 128);

// Pixels of a change-mark strip, at most the bar's width.
constexpr int StripWidth = 4;

void DrawStrip(QPainter& Painter, int Left, int Top, int BarWidth, int Height, const QColor& Strip)
{
    if (Strip.isValid())
        Painter.fillRect(QRect(Left, Top, std::min(StripWidth, BarWidth), Height), Strip);
}

// Bottom rows of the ruler that its edge or its base line take.
int RulerBaseRows(const TEditorRuler& Ruler)
{
    return Ruler.Edge() ? 2 : 1;
}

int ColumnX(const TBarsView& View, int Col)
{
    return View.Metrics.TextLeft + (Col - View.TopCol) * View.Metrics.CharWidth;
}

// The lowest mark of Marks among First..Last, or -1.
int LowestMark(TRowMarks Marks, int First, int Last)
{
    for (int mark = First; mark <= Last; ++mark)
        if (Marks & RowMark(mark))
            return mark;
    return -1;
}

} // namespace

void TEditorBars::Prepare(const TEditorRuler& Ruler, const QColor& Background, const QColor& Foreground)
{
    const QColor background = ToQColor(Ruler.BkColor(), Background);
    FRulerDigits.Prepare(ToQColor(Ruler.Color(), Foreground), background);
    FMarkDigits.Prepare(background, ToQColor(Ruler.MarkColor(), Foreground));
}

void TEditorBars::DrawCorner(QPainter& Painter, const TBarsView& View) const
{
    const TEditorMetrics& m = View.Metrics;
    Painter.fillRect(QRect(0, 0, m.TextLeft, m.TextTop), View.Background);
    int rulerLeft = 0;
    if (View.Leftbar.Visible() && View.Leftbar.Edge()) {
        const int right = m.ImagebarWidth + m.LeftbarWidth;
        Painter.fillRect(QRect(0, 0, right, m.TextTop), ToQColor(View.Leftbar.BkColor(), View.Background));
        Painter.fillRect(QRect(right - 2, 0, 1, m.TextTop), EdgeLight);
        Painter.fillRect(QRect(right - 1, 0, 1, m.TextTop), EdgeDark);
        rulerLeft = right;
    }
    if (View.Ruler.Visible() && View.Ruler.Edge()) {
        const int width = m.TextLeft - rulerLeft;
        Painter.fillRect(QRect(rulerLeft, 0, width, m.RulerHeight), ToQColor(View.Ruler.BkColor(), View.Background));
        Painter.fillRect(QRect(rulerLeft - 1, m.RulerHeight - 2, width + 1, 1), EdgeLight);
        Painter.fillRect(QRect(rulerLeft - 1, m.RulerHeight - 1, width + 1, 1), EdgeDark);
    }
}

// Ticks for every column up to the last one, numbers at each unit, the caret's column in the
// mark colours; nothing follows the number of the last column.
void TEditorBars::DrawRuler(QPainter& Painter, const TBarsView& View, int Left, int Right) const
{
    const TEditorMetrics& m = View.Metrics;
    const TEditorRuler& ruler = View.Ruler;
    const int height = m.RulerHeight;
    const int cw = m.CharWidth;
    const int range = ruler.GaugeRange();
    const QRect area(Left, 0, Right - Left, height);
    const QColor ink = ToQColor(ruler.Color(), View.Foreground);
    Painter.fillRect(area, ToQColor(ruler.BkColor(), View.Background));

    const int firstCol = View.TopCol + (Left - m.TextLeft) / cw;
    const int lastCol = std::min(MaxLayoutColumns, View.TopCol + (Right - 1 - m.TextLeft) / cw);
    for (int col = firstCol; col <= lastCol; ++col) {
        const int unit = col % range;
        const int top = unit == 0 ? 0 : unit == range / 2 ? 3 : 6;
        Painter.fillRect(QRect(ColumnX(View, col), top, 1, height - 1 - top), ink);
    }
    if (ruler.Edge()) {
        Painter.fillRect(QRect(Left, height - 2, area.width(), 1), EdgeLight);
        Painter.fillRect(QRect(Left, height - 1, area.width(), 1), EdgeDark);
    } else {
        Painter.fillRect(QRect(Left, height - 1, area.width(), 1), ink);
    }
    DrawRulerNumbers(Painter, View, FRulerDigits, area);

    const int caret = View.CaretCol;
    if (caret >= View.TopCol && caret <= View.TopCol + View.VisibleColCount) {
        const QRect cell = QRect(ColumnX(View, caret) + 1, 0, cw - 1, height - RulerBaseRows(ruler)) & area;
        if (!cell.isEmpty()) {
            Painter.fillRect(cell, ToQColor(ruler.MarkColor(), View.Foreground));
            DrawRulerNumbers(Painter, View, FMarkDigits, cell);
        }
    }
}

void TEditorBars::DrawRulerNumbers(QPainter& Painter, const TBarsView& View, const TNumeralStrip& Strip,
                                   const QRect& Clip) const
{
    const int cw = View.Metrics.CharWidth;
    const int range = View.Ruler.GaugeRange();
    // A number reaches at most this many columns right of its own.
    const int reach = TNumeralStrip::Width(MaxLayoutColumns) / cw + 1;
    const int firstCol = View.TopCol + (Clip.left() - View.Metrics.TextLeft) / cw - reach;
    const int lastCol = View.TopCol + (Clip.right() - View.Metrics.TextLeft) / cw;
    for (int number = std::max(0, firstCol / range * range); number <= std::min(lastCol, MaxLayoutColumns);
         number += range)
        Strip.Draw(Painter, ColumnX(View, number) + 1, 0, number, Clip);
}

void TEditorBars::DrawLeftbarRow(QPainter& Painter, const TBarsView& View, int Top, int Number, TCellText& Text,
                                 TFontStyles FontStyle, const QColor& Strip) const
{
    const TEditorMetrics& m = View.Metrics;
    const TEditorLeftbar& bar = View.Leftbar;
    const QColor background = ToQColor(bar.BkColor(), View.Background);
    const QColor ink = ToQColor(bar.Color(), View.Foreground);
    const int right = m.ImagebarWidth + m.LeftbarWidth;
    Painter.fillRect(QRect(m.ImagebarWidth, Top, m.LeftbarWidth - 2, m.RowPitch), background);
    Painter.fillRect(QRect(right - 2, Top, 1, m.RowPitch), bar.Edge() ? EdgeLight : background);
    Painter.fillRect(QRect(right - 1, Top, 1, m.RowPitch), bar.Edge() ? EdgeDark : ink);
    DrawStrip(Painter, m.ImagebarWidth, Top, m.LeftbarWidth - 2, m.RowPitch, Strip);
    if (!bar.ShowNumber() || Number < 0)
        return;
    const std::string digits = FormatNumber(Number, m.LeftbarDigits, bar.ZeroLead());
    const int size = static_cast<int>(digits.size());
    Text.Add(digits, 0, size, 0, size, m.ImagebarWidth + bar.LeftMargin(), Top + m.Ascent, ink, FontStyle);
}

void TEditorBars::DrawImagebarRow(QPainter& Painter, const TBarsView& View, int Top, TRowMarks Marks,
                                  const QList<QPixmap>& Digits, const QList<QPixmap>& MarkImages,
                                  const QColor& Strip) const
{
    const TEditorMetrics& m = View.Metrics;
    const bool barColor = View.Leftbar.Visible() && View.Leftbar.BkColor() != clNone;
    const QRect cell(0, Top, m.ImagebarWidth, m.RowPitch);
    Painter.fillRect(cell, barColor ? ToQColor(View.Leftbar.BkColor(), View.Background) : View.Background);
    DrawStrip(Painter, 0, Top, m.ImagebarWidth, m.RowPitch, Strip);
    if (Marks == 0)
        return;
    // The images stay inside the bar, so that the left bar beside it never shows them.
    Painter.save();
    Painter.setClipRect(cell, Qt::IntersectClip);
    const int x = View.Imagebar.LeftMargin();
    if (const int digit = LowestMark(Marks, 0, 9); digit >= 0) {
        if (digit < Digits.size() && !Digits[digit].isNull())
            Painter.drawPixmap(x, Top + 2, Digits[digit]);
        else
            Painter.drawImage(x, Top + 2, BuiltinRowMarkImage(digit));
    }
    if (const int mark = LowestMark(Marks, 10, 15); mark >= 0) {
        const int index = mark - 10;
        const int markX = x + View.Imagebar.DigitWidth();
        if (index < MarkImages.size() && !MarkImages[index].isNull())
            Painter.drawPixmap(markX, Top + 2, MarkImages[index]);
        else
            Painter.drawImage(markX, Top + 2, BuiltinRowMarkImage(mark));
    }
    Painter.restore();
}

std::string TEditorBars::FormatNumber(int Number, int Digits, bool ZeroLead)
{
    const std::string number = std::to_string(Number);
    const std::size_t width = static_cast<std::size_t>(std::max(Digits, 0));
    if (number.size() >= width)
        return number;
    return std::string(width - number.size(), ZeroLead ? '0' : ' ') + number;
}

} // namespace kestrim
