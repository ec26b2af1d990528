#include "editor/control/EditorImages.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace kestrim {
namespace {

// The numerals, row by row; '#' is ink. The digit 1 keeps to its first two columns so that,
// taken 3 pixels wide, it still has its blank column.
constexpr int NumeralRows = 7;
constexpr const char* Numerals[10][NumeralRows] = {
    {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."},
    {".#..", "##..", ".#..", ".#..", ".#..", ".#..", ".#.."},
    {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"},
    {"###.", "...#", "...#", ".##.", "...#", "...#", "###."},
    {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."},
    {"####", "#...", "###.", "...#", "...#", "#..#", ".##."},
    {".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."},
    {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."},
    {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."},
    {".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."},
};

int NumeralWidth(int Digit)
{
    return Digit == 1 ? 3 : TNumeralStrip::DigitWidth;
}

// Puts the ink of Digit at (X, Y) of Image in Ink.
void PutNumeral(QImage& Image, int X, int Y, int Digit, QRgb Ink)
{
    for (int row = 0; row < NumeralRows; ++row)
        for (int col = 0; col < 4; ++col)
            if (Numerals[Digit][row][col] == '#')
                Image.setPixel(X + col, Y + row, Ink);
}

QImage DigitImage(int Digit)
{
    QImage image(8, 11, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 0, 128));
    const QRgb rim = QColor(0, 0, 64).rgb();
    for (int x = 0; x < 8; ++x) {
        image.setPixel(x, 0, rim);
        image.setPixel(x, 10, rim);
    }
    for (int y = 0; y < 11; ++y) {
        image.setPixel(0, y, rim);
        image.setPixel(7, y, rim);
    }
    PutNumeral(image, Digit == 1 ? 3 : 2, 2, Digit, qRgb(255, 255, 255));
    return image;
}

QImage MarkImage(int Index)
{
    static const QColor colors[6] = {QColor(220, 0, 0),   QColor(0, 150, 0),  QColor(0, 80, 220),
                                     QColor(230, 130, 0), QColor(150, 0, 170), QColor(120, 80, 40)};
    QImage image(11, 11, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(colors[Index].darker(150));
    painter.setBrush(colors[Index]);
    switch (Index) {
    case 0: // a disc
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawEllipse(QRectF(0.5, 0.5, 10, 10));
        break;
    case 1: // a triangle pointing up
        painter.drawPolygon(QPolygon({{5, 0}, {10, 10}, {0, 10}}));
        break;
    case 2: // a square
        painter.drawRect(1, 1, 8, 8);
        break;
    case 3: // a diamond
        painter.drawPolygon(QPolygon({{5, 0}, {10, 5}, {5, 10}, {0, 5}}));
        break;
    case 4: // a plus sign
        painter.drawRect(4, 0, 2, 10);
        painter.drawRect(0, 4, 10, 2);
        break;
    default: // a flag
        painter.drawLine(1, 0, 1, 10);
        painter.drawPolygon(QPolygon({{2, 0}, {10, 3}, {2, 6}}));
        break;
    }
    painter.end();
    return image;
}

// A brush of one dot and one gap, per colour: a dotted line is a fill with it.
const QBrush& DotBrush(const QColor& Color)
{
    static std::unordered_map<QRgb, QBrush> brushes;
    auto found = brushes.find(Color.rgba());
    if (found == brushes.end()) {
        QImage dots(2, 1, QImage::Format_ARGB32_Premultiplied);
        dots.setPixel(0, 0, Color.rgba());
        dots.setPixel(1, 0, qRgba(0, 0, 0, 0));
        found = brushes.emplace(Color.rgba(), QBrush(dots)).first;
    }
    return found->second;
}

} // namespace

void TNumeralStrip::Prepare(const QColor& Ink, const QColor& Paper)
{
    QImage image(56, Height, QImage::Format_RGB32);
    image.fill(Paper);
    for (int digit = 0; digit < 10; ++digit)
        PutNumeral(image, digit * DigitWidth, 1, digit, Ink.rgb());
    FStrip = QPixmap::fromImage(image);
}

int TNumeralStrip::Width(int Number)
{
    int width = 0;
    for (const char digit : std::to_string(Number))
        width += NumeralWidth(digit - '0');
    return width;
}

int TNumeralStrip::Draw(QPainter& Painter, int X, int Y, int Number, const QRect& Clip) const
{
    int x = X;
    for (const char character : std::to_string(Number)) {
        const int digit = character - '0';
        const QRect cell = QRect(x, Y, NumeralWidth(digit), Height) & Clip;
        if (!cell.isEmpty())
            Painter.drawPixmap(cell, FStrip, cell.translated(digit * DigitWidth - x, -Y));
        x += NumeralWidth(digit);
    }
    return x;
}

const QImage& BuiltinRowMarkImage(int Mark)
{
    static const std::array<QImage, 16> images = [] {
        std::array<QImage, 16> made;
        for (int mark = 0; mark < 16; ++mark)
            made[static_cast<std::size_t>(mark)] = mark < 10 ? DigitImage(mark) : MarkImage(mark - 10);
        return made;
    }();
    return images[static_cast<std::size_t>(std::clamp(Mark, 0, 15))];
}

void DrawReturnMark(QPainter& Painter, int X, int Y, int W, int H, const QColor& Color)
{
    const int d = std::max(1, H / 8);
    const int f = std::max(d, 3);
    const int xm = X + W / 2;
    const int ye = Y + H - 2 * d;
    Painter.setPen(Color);
    Painter.drawLine(xm, Y + 2 * d, xm, ye);
    Painter.drawLine(xm, ye, xm + f - 1, ye - f + 1);
    Painter.drawLine(xm, ye, xm - f + 1, ye - f + 1);
}

void DrawWrapMark(QPainter& Painter, int X, int Y, int W, int H, const QColor& Color)
{
    const int e = std::max(2, W * 3 / 5);
    const int ym = Y + H / 2;
    Painter.setPen(Color);
    const QPoint points[] = {{X + W, ym - e}, {X + W - e, ym}, {X + W, ym + e}};
    Painter.drawPolyline(points, 3);
}

void DrawHideMark(QPainter& Painter, int X, int Y, int W, int H, const QColor& Color)
{
    const int e = std::max(2, W * 3 / 5);
    const int ym = Y + H / 2;
    Painter.setPen(Color);
    const QPoint points[] = {{X + W - e, ym - e}, {X + W, ym}, {X + W - e, ym + e}};
    Painter.drawPolyline(points, 3);
}

void DrawDotLine(QPainter& Painter, int X1, int Y, int X2, const QColor& Color)
{
    if (X2 <= X1)
        return;
    const QPoint origin = Painter.brushOrigin();
    Painter.setBrushOrigin(X1, Y);
    Painter.fillRect(QRect(X1, Y, X2 - X1, 1), DotBrush(Color));
    Painter.setBrushOrigin(origin);
}

} // namespace kestrim
