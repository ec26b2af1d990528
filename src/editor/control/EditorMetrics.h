#pragma once
// The sizes the editor lays itself out by: the character cell, the row pitch, the bars around
// the text and how many rows and columns fit. Computed from the font, the option objects and
// the viewport whenever one of them changes.

#include <QFontMetrics>
#include <QSize>

namespace kestrim {

class TEditorImagebar;
class TEditorLeftbar;
class TEditorMargin;
class TEditorRuler;

struct TEditorMetrics {
    int RowHeight = 1;     // font height plus its external leading, or more for a glyph below the descent
    int FontCharWidth = 1; // the advance of "0": the cell without Margin.Character
    int CharWidth = 1;     // one column
    int RowPitch = 1;      // one row, with Margin.Line and the underline allowance
    int Ascent = 0;        // the font's baseline, from a row's top
    int ImagebarWidth = 0;
    int LeftbarDigits = 0; // digit cells of the left bar's numbers
    int LeftbarWidth = 0;
    int RulerHeight = 0;
    int TextLeft = 0; // x of column TopCol
    int TextTop = 0;  // y of row TopRow
    int VisibleRowCount = 1;
    int VisibleColCount = 1;
    int ScreenRowCount = 1; // rows that fill the height of the whole screen
};

// How far below the baseline the font's printable ASCII glyphs reach, in pixels: at least the
// font's descent. Some fonts draw the underscore below their own descent at some sizes (DejaVu
// Sans Mono at 14 points); a row only as high as the font leaves that ink to the next row's
// background, which paints over it.
int InkDescent(const QFontMetrics& Font);

// Lays the editor out in a viewport of the given size; a row reaches Descent (InkDescent) below
// the baseline. LastNumber is the highest number the
// left bar may show: its digits decide the bar's width. Every size stays at least 1 where a
// division or a range needs it, so that a collapsed viewport still has a row and a column.
TEditorMetrics ComputeEditorMetrics(const QFontMetrics& Font, const TEditorMargin& Margin,
                                    const TEditorImagebar& Imagebar, const TEditorLeftbar& Leftbar,
                                    const TEditorRuler& Ruler, int Descent, int LastNumber, QSize Viewport,
                                    int ScreenHeight);

} // namespace kestrim
