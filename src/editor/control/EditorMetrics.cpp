#include "editor/control/EditorMetrics.h"

#include "editor/control/EditorOptions.h"

#include <algorithm>
#include <string>

namespace kestrim {
namespace {

int DecimalDigits(int Number)
{
    return static_cast<int>(std::to_string(std::max(Number, 0)).size());
}

int ImagebarWidth(const TEditorImagebar& Imagebar)
{
    if (!Imagebar.Visible())
        return 0;
    return Imagebar.LeftMargin() + Imagebar.DigitWidth() + Imagebar.MarkWidth() + Imagebar.RightMargin();
}

int RulerHeight(const TEditorRuler& Ruler)
{
    return !Ruler.Visible() ? 0 : Ruler.Edge() ? 11 : 10;
}

} // namespace

int InkDescent(const QFontMetrics& Font)
{
    int lowest = Font.descent() - 1;
    for (char ch = '!'; ch <= '~'; ++ch)
        lowest = std::max(lowest, Font.boundingRect(QLatin1Char(ch)).bottom());
    return lowest + 1;
}

TEditorMetrics ComputeEditorMetrics(const QFontMetrics& Font, const TEditorMargin& Margin,
                                    const TEditorImagebar& Imagebar, const TEditorLeftbar& Leftbar,
                                    const TEditorRuler& Ruler, int Descent, int LastNumber, QSize Viewport,
                                    int ScreenHeight)
{
    TEditorMetrics m;
    m.RowHeight = std::max({1, Font.height() + Font.leading(), Font.ascent() + Descent});
    m.Ascent = Font.ascent();
    // Every cell is as wide as a digit: the font's average width of a CJK font is wider than
    // its Latin glyphs and would spread them apart.
    m.FontCharWidth = std::max(1, Font.horizontalAdvance(QLatin1Char('0')));
    m.CharWidth = m.FontCharWidth + Margin.Character();
    m.RowPitch = m.RowHeight + Margin.Line() + Margin.UnderlineAllowance();
    m.ImagebarWidth = ImagebarWidth(Imagebar);
    m.LeftbarDigits = Leftbar.Visible() && Leftbar.ShowNumber()
                          ? std::min(8, std::max(Leftbar.Column(), DecimalDigits(LastNumber)))
                          : Leftbar.Column();
    m.LeftbarWidth = Leftbar.Visible()
                         ? Leftbar.LeftMargin() + m.LeftbarDigits * m.CharWidth + Leftbar.RightMargin() + 2
                         : 0;
    m.RulerHeight = RulerHeight(Ruler);
    m.TextLeft = Margin.Left() + m.ImagebarWidth + m.LeftbarWidth;
    m.TextTop = Margin.Top() + m.RulerHeight;
    m.VisibleRowCount = std::max(1, (Viewport.height() - m.TextTop) / m.RowPitch);
    m.VisibleColCount = std::max(1, (Viewport.width() - m.TextLeft) / m.CharWidth);
    m.ScreenRowCount = std::max(1, ScreenHeight / m.RowHeight);
    return m;
}

} // namespace kestrim
