#pragma once
// The areas around the editor's text: the corner at the top left, the ruler along the top
// (a tick per column, a number per unit of GaugeRange columns, the caret's column marked), the
// left bar with row or line numbers and its edge, and the image bar with the bookmarks; either
// bar may carry a strip in a line's change-mark colour at its left edge. The
// painter calls them for the parts of a paint that reach them; each draws every pixel of the
// part it is given.

#include "editor/base/edGraphics.h"
#include "editor/control/EditorImages.h"
#include "editor/text/edStringList.h"

#include <QColor>
#include <QList>
#include <QPixmap>

#include <string>

class QPainter;

namespace kestrim {

class TCellText;
class TEditorImagebar;
class TEditorLeftbar;
class TEditorRuler;
struct TEditorMetrics;

// What the bars are drawn from.
struct TBarsView {
    const TEditorMetrics& Metrics;
    const TEditorRuler& Ruler;
    const TEditorLeftbar& Leftbar;
    const TEditorImagebar& Imagebar;
    QColor Background; // the editor's Color, for backgrounds without a colour of their own
    QColor Foreground; // the font's colour, for inks without one
    int TopCol = 0;
    int CaretCol = 0;
    int VisibleColCount = 1;
};

class TEditorBars {
public:
    // Colours the ruler's numerals for the ruler's colours; Background and Foreground stand in
    // for those it leaves unset.
    void Prepare(const TEditorRuler& Ruler, const QColor& Background, const QColor& Foreground);

    void DrawCorner(QPainter& Painter, const TBarsView& View) const;
    // The ruler from x Left to Right (excluded), both inside the text area's columns.
    void DrawRuler(QPainter& Painter, const TBarsView& View, int Left, int Right) const;
    // The left bar's cell of the row at Top, with Number, or blank for a negative Number, and
    // a strip in Strip unless it is invalid.
    void DrawLeftbarRow(QPainter& Painter, const TBarsView& View, int Top, int Number, TCellText& Text,
                        TFontStyles FontStyle, const QColor& Strip) const;
    // The image bar's cell of the row at Top with the lowest bookmark and the lowest mark of
    // Marks, from the given images where they have one, else from the built-in ones, over a
    // strip in Strip unless it is invalid.
    void DrawImagebarRow(QPainter& Painter, const TBarsView& View, int Top, TRowMarks Marks,
                         const QList<QPixmap>& Digits, const QList<QPixmap>& MarkImages, const QColor& Strip) const;

    // A left bar's number as drawn: right-aligned in Digits cells, padded with blanks or zeros.
    static std::string FormatNumber(int Number, int Digits, bool ZeroLead);

private:
    // The numbers of every unit that reaches into Clip, from Strip.
    void DrawRulerNumbers(QPainter& Painter, const TBarsView& View, const TNumeralStrip& Strip,
                          const QRect& Clip) const;

    TNumeralStrip FRulerDigits;
    TNumeralStrip FMarkDigits;
};

} // namespace kestrim
