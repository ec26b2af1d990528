#pragma once
// The small pictures the editor draws in code: the ruler's own numerals, the built-in images of
// the bookmarks 0..9 and the marks 10..15, the end-of-row marks and the dotted line.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRect>

class QPainter;

namespace kestrim {

// The ruler's numeral font: ten digits of 4 x 7 pixels, each in a cell of 5 x 9 (one blank
// column on the right, one blank row above and below), the digit 1 only 3 pixels wide.
class TNumeralStrip {
public:
    static constexpr int DigitWidth = 5;
    static constexpr int Height = 9;

    // The strip in Ink on Paper.
    void Prepare(const QColor& Ink, const QColor& Paper);
    // Writes Number at (X, Y), opaque, only where it meets Clip; returns the x after it.
    int Draw(QPainter& Painter, int X, int Y, int Number, const QRect& Clip) const;
    // The width Number takes.
    static int Width(int Number);

private:
    QPixmap FStrip;
};

// The built-in image of row mark Mark: for the bookmarks 0..9 8 x 11 pixels, the digit light
// on a dark plate; for the marks 10..15 11 x 11 pixels, a shape of its own each. Images rather
// than pixmaps: they live as long as the process, past the application object.
const QImage& BuiltinRowMarkImage(int Mark);

// The end-of-row marks of a cell of W x H pixels at (X, Y): a downward arrow after a row that
// ends a line, a "<" after a row that goes on in the next row, a ">" where a row is cut at
// its last column. One pixel wide, in Color.
void DrawReturnMark(QPainter& Painter, int X, int Y, int W, int H, const QColor& Color);
void DrawWrapMark(QPainter& Painter, int X, int Y, int W, int H, const QColor& Color);
void DrawHideMark(QPainter& Painter, int X, int Y, int W, int H, const QColor& Color);

// Every other pixel from X1 (a dot) up to X2 (excluded) on row Y, in Color; the gaps are left
// as they are.
void DrawDotLine(QPainter& Painter, int X1, int Y, int X2, const QColor& Color);

} // namespace kestrim
