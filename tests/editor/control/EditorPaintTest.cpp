// The editor's pictures, read back at cells, and how much of the view a change paints again.

#include "editor/control/EditorControl.h"
#include "editor/text/ChangeMarks.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace kestrim {
namespace {

const QColor Red(255, 0, 0);
const QColor Navy(0, 0, 128);
// A thin glyph's antialiased strokes may leave no pixel in its exact colour (whether they do
// varies with the toolkit's glyph cache, and so with what was painted before): its ink is the
// pixels within this many steps of each channel.
constexpr int GlyphInk = 16;

// Marks as a comparison gives them, line by line; counts what painting asks.
class TFakeMarks : public TChangeMarks {
public:
    TLineMarkInfo LineMark(int Line) const override
    {
        const auto found = Lines.find(Line);
        return found == Lines.end() ? TLineMarkInfo{} : found->second;
    }
    std::vector<TByteRange> ChangedBytes(int Line) const override
    {
        ++BytesAsked[Line];
        const auto found = Bytes.find(Line);
        return found == Bytes.end() ? std::vector<TByteRange>{} : found->second;
    }

    std::map<int, TLineMarkInfo> Lines;
    std::map<int, std::vector<TByteRange>> Bytes;
    mutable std::map<int, int> BytesAsked;
};

QColor ColorOf(TColor Color)
{
    return QColor(static_cast<int>(Color & 0xFF), static_cast<int>((Color >> 8) & 0xFF),
                  static_cast<int>((Color >> 16) & 0xFF));
}

const QColor ChangedBack = ColorOf(TEditorChangeColors::DefaultChangedBack);
const QColor AddedBack = ColorOf(TEditorChangeColors::DefaultAddedBack);
const QColor CharBack = ColorOf(TEditorChangeColors::DefaultChangedCharBack);
const QColor GapMark = ColorOf(TEditorChangeColors::DefaultGapMark);

void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

class EditorPaint : public testing::Test {
public:
    EditorPaint()
    {
        QFont font(QStringLiteral("Monospace"));
        font.setPixelSize(15);
        Editor.SetFont(font);
        Editor.resize(500, 300);
        Editor.show();
        Settle();
    }

    // Measures the cells where the caret goes, with the caret back at the start after.
    void Measure()
    {
        Editor.Lines().SetText("ab\r\ncd");
        Editor.SetRowCol(0, 0);
        Origin = Editor.CaretPos();
        Editor.SetRowCol(1, 1);
        CellSize = QSize(Editor.CaretPos().x() - Origin.x(), Editor.CaretPos().y() - Origin.y());
        Editor.SetRowCol(0, 0);
    }
    void Set(const std::string& Text)
    {
        Measure();
        Editor.Lines().SetText(Text);
        Editor.SetRowCol(0, 0);
    }
    QRect Cell(int Row, int Col) const
    {
        return QRect(Origin.x() + (Col - Editor.TopCol()) * CellSize.width(),
                     Origin.y() + (Row - Editor.TopRow()) * CellSize.height(), CellSize.width(), CellSize.height());
    }
    // Pixels of Color, give or take Tolerance in each channel, in Area of the editor as it
    // paints itself.
    int Count(const QRect& Area, const QColor& Color, int Tolerance = 0)
    {
        const QImage image = Editor.grab().toImage();
        const auto near = [&](const QColor& Pixel) {
            return std::abs(Pixel.red() - Color.red()) <= Tolerance && std::abs(Pixel.green() - Color.green()) <= Tolerance
                   && std::abs(Pixel.blue() - Color.blue()) <= Tolerance;
        };
        int count = 0;
        for (int y = Area.top(); y <= Area.bottom(); ++y)
            for (int x = Area.left(); x <= Area.right(); ++x)
                count += image.rect().contains(x, y) && near(image.pixelColor(x, y));
        return count;
    }
    // Whether Color fills most of Area: its background rather than a glyph's ink.
    bool Filled(const QRect& Area, const QColor& Color) { return Count(Area, Color) * 2 > Area.width() * Area.height(); }
    // The rows that the pending paints draw across more than the caret's few cells.
    std::set<int> PaintedRows(const std::function<void()>& Change)
    {
        Settle();
        std::set<int> rows;
        Editor.OnDrawLine = [&](const std::string&, int, int, int Index, const QRect& Piece, bool) {
            if (Piece.width() > 2 * CellSize.width())
                rows.insert(Index);
        };
        Change();
        Settle();
        Editor.OnDrawLine = nullptr;
        return rows;
    }
    // What the window shows, against what a paint of everything gives.
    bool ScreenMatchesRepaint()
    {
        Settle();
        const QImage shown = Editor.screen()->grabWindow(Editor.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage painted = Editor.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shown == painted;
    }

    TEditor Editor;
    QPoint Origin;
    QSize CellSize;
};

TEST_F(EditorPaint, SelectionAndHitColoursWithInverseVideoWhenUnset)
{
    struct {
        TColor Color, BkColor;
        bool Hit;
        QColor Background;
    } cases[] = {
        {clWhite, clNavy, false, Navy},
        {clNone, clNone, false, QColor(Qt::black)}, // the font colour behind the editor's colour
        {clWhite, clRed, true, Red},
    };
    for (const auto& c : cases) {
        Set("abcdef\r\nghijkl\r\nmnopqr");
        TEditorColor& colors = c.Hit ? Editor.View().Colors().Hit() : Editor.View().Colors().Select();
        colors.SetColor(c.Color);
        colors.SetBkColor(c.BkColor);
        Editor.SetHitStyle(c.Hit ? hsDraw : hsSelect);
        Editor.SetRowCol(0, 2);
        if (c.Hit) {
            Editor.ShowHit(2);
        } else {
            Editor.InitSelection();
            Editor.SetRowCol(2, 1);
            Editor.SelectionToCaret();
        }
        EXPECT_FALSE(Filled(Cell(0, 1), c.Background));
        EXPECT_TRUE(Filled(Cell(0, 2), c.Background));
        if (!c.Hit) {
            // A middle row is selected beyond its text, the last one up to the caret.
            EXPECT_TRUE(Filled(Cell(1, 20), c.Background));
            EXPECT_TRUE(Filled(Cell(2, 0), c.Background));
            EXPECT_FALSE(Filled(Cell(2, 1), c.Background));
        }
    }
}

TEST_F(EditorPaint, BoxSelectionKeepsToTheTextOfEachRow)
{
    Set("abcdef\r\nab\r\nabcdef");
    Editor.View().Colors().Select().SetBkColor(clNavy);
    Editor.SetSelectionMode(smBox);
    Editor.SetRowCol(0, 3);
    Editor.InitSelection();
    Editor.SetRowCol(2, 5);
    Editor.SelectionToCaret();
    EXPECT_TRUE(Filled(Cell(0, 3), Navy));
    EXPECT_FALSE(Filled(Cell(0, 5), Navy));
    EXPECT_FALSE(Filled(Cell(1, 3), Navy)); // the row is shorter than the box's left edge
    EXPECT_TRUE(Filled(Cell(2, 4), Navy));
}

TEST_F(EditorPaint, BoldReservedWordKeepsItsBoldInTheSelection)
{
    Editor.View().Colors().Select().SetColor(clWhite);
    Editor.View().Colors().Select().SetBkColor(clNavy);
    TStringList words;
    words.Add("mmm");
    Editor.SetReserveWordList(words);
    const auto ink = [&](TFontStyles Style) {
        Editor.View().Colors().Reserve().SetStyle(Style);
        Set("mmm");
        Editor.InitSelection();
        Editor.SetRowCol(0, 3);
        Editor.SelectionToCaret();
        return Count(QRect(Cell(0, 0).topLeft(), Cell(0, 2).bottomRight()), QColor(Qt::white));
    };
    EXPECT_GT(ink({fsBold}), ink({}));
}

TEST_F(EditorPaint, CommentsInTheirColour)
{
    Editor.View().SetCommenter("#");
    Editor.View().Colors().Comment().SetColor(clRed);
    Set("a # b\r\nc");
    EXPECT_EQ(Count(Cell(0, 0), Red), 0);
    EXPECT_GT(Count(Cell(0, 4), Red), 0);
    EXPECT_EQ(Count(Cell(1, 0), Red), 0); // a line comment ends with its line
}

TEST_F(EditorPaint, EndOfFileMarkAfterTheTextOrOnTheRowAfterAFinalLineBreak)
{
    Editor.Marks().EofMark().SetColor(clRed);
    Editor.Marks().EofMark().SetVisible(true);
    struct {
        std::string Text;
        int Row, Col;
    } cases[] = {{"", 0, 0}, {"ab", 0, 2}, {"ab\r\n", 1, 0}};
    for (const auto& c : cases) {
        Set(c.Text);
        EXPECT_GT(Count(Cell(c.Row, c.Col + 1), Red), 0) << c.Text;
        EXPECT_EQ(Count(Cell(c.Row, c.Col + 7), Red), 0) << c.Text;
        EXPECT_EQ(Count(Cell(c.Row + 1, c.Col + 1), Red), 0) << c.Text;
    }
}

TEST_F(EditorPaint, LongRowEndsAtColumnThousandWithTheHideMark)
{
    Editor.Marks().HideMark().SetColor(clRed);
    Editor.Marks().HideMark().SetVisible(true);
    Editor.SetFontColor(clRed);
    Set(std::string(1100, 'W'));
    Editor.SetTopCol(990);
    EXPECT_GT(Count(Cell(0, 999), Red), 0);
    const QRect mark = Cell(0, 1000);
    EXPECT_GT(Count(mark, Red), 0);
    EXPECT_EQ(Count(QRect(mark.right() + 2, mark.top(), 5 * CellSize.width(), CellSize.height()), Red), 0);
}

TEST_F(EditorPaint, RulerNumbersSitAtTheirUnits)
{
    Editor.Ruler().SetColor(clRed);
    Editor.Ruler().SetVisible(true);
    Set("a");
    Editor.SetRowCol(0, 30); // the caret's mark away from the numbers looked at
    const auto above = [&](int First, int Last) {
        // Above the short ticks: only numbers and the unit's own tick reach there.
        return QRect(Cell(0, First).left() + 1, 0, Cell(0, Last).right() - Cell(0, First).left(), 6);
    };
    EXPECT_GT(Count(above(10, 10), Red), 0);
    EXPECT_EQ(Count(above(12, 14), Red), 0);
    EXPECT_GT(Count(above(20, 20), Red), 0);
}

TEST_F(EditorPaint, LeftBarNumbersRowsOrLinesPaddedAsAsked)
{
    Editor.Leftbar().SetColor(clRed);
    Editor.Leftbar().SetVisible(true);
    Set("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh");
    const auto digitCell = [&](int Row, int Digit) {
        // The bar's four digit cells follow the image bar and the bar's left margin.
        const TEditorImagebar& images = Editor.Imagebar();
        const int left = images.LeftMargin() + images.DigitWidth() + images.MarkWidth() + images.RightMargin();
        return QRect(left + Editor.Leftbar().LeftMargin() + Digit * CellSize.width(), Cell(Row, 0).top(),
                     CellSize.width(), CellSize.height());
    };
    EXPECT_GT(Count(digitCell(7, 3), Red, GlyphInk), 0); // 8
    EXPECT_EQ(Count(digitCell(7, 0), Red, GlyphInk), 0);
    EXPECT_EQ(Count(digitCell(9, 3), Red, GlyphInk), 0); // no row there
    Editor.Leftbar().SetZeroLead(true);
    EXPECT_GT(Count(digitCell(7, 0), Red, GlyphInk), 0); // 0008
}

TEST_F(EditorPaint, BookmarksFromTheGivenImagesOrTheBuiltInOnes)
{
    Set("a\r\nb\r\nc");
    QPixmap green(8, 11);
    green.fill(QColor(0, 255, 0));
    Editor.SetImageDigits({green});
    Editor.PutRowMark(0, 0);
    Editor.PutRowMark(2, 3);
    const QRect bar0(0, Cell(0, 0).top(), 12, CellSize.height());
    const QRect bar1 = bar0.translated(0, CellSize.height());
    const QRect bar2 = bar1.translated(0, CellSize.height());
    EXPECT_GT(Count(bar0, QColor(0, 255, 0)), 0);
    EXPECT_EQ(Count(bar1, QColor(0, 255, 0)) + Count(bar1, Navy), 0);
    EXPECT_GT(Count(bar2, Navy), 0); // the built-in plate of bookmark 3
}

TEST_F(EditorPaint, TypingPaintsOnlyItsRowAndReturnMovesTheRowsBelow)
{
    Editor.Marks().Underline().SetVisible(true);
    Editor.Leftbar().SetVisible(true);
    std::string text;
    for (int row = 0; row < 40; ++row)
        text += "row " + std::to_string(row) + "\r\n";
    Set(text);
    Editor.SetRowCol(5, 3);
    // The text model rebuilds a typed line together with the line after it.
    const std::set<int> typed = PaintedRows([&] { Editor.TypeChar("x"); });
    EXPECT_TRUE(typed.count(5));
    for (const int row : typed)
        EXPECT_TRUE(row == 5 || row == 6) << row;
    EXPECT_TRUE(ScreenMatchesRepaint());

    // The rows below move with the view's pixels: only the rebuilt ones are painted, and the
    // one that Qt's move of the pending paint carries along.
    const std::set<int> split = PaintedRows([&] { Editor.TypeReturn({}); });
    EXPECT_TRUE(split.count(5) && split.count(6));
    EXPECT_LE(split.size(), 4u);
    EXPECT_LE(*split.rbegin(), 8);
    EXPECT_TRUE(ScreenMatchesRepaint());
}

TEST_F(EditorPaint, ScrollingByARowPaintsOnlyTheRowThatComesIntoView)
{
    Editor.Ruler().SetVisible(true);
    Editor.Leftbar().SetVisible(true);
    std::string text;
    for (int row = 0; row < 100; ++row)
        text += "line " + std::to_string(row) + "\r\n";
    Set(text);
    const std::set<int> rows = PaintedRows([&] { Editor.SetTopRow(1); });
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(*rows.begin(), Editor.TopRow() + Editor.VisibleRowCount() - 1);
    EXPECT_TRUE(ScreenMatchesRepaint());
}

TEST_F(EditorPaint, ChangeMarksAndTheirColoursRepaintTheViewAndNothingWhenNoneComeOrGo)
{
    std::string text;
    for (int row = 0; row < 8; ++row)
        text += "line " + std::to_string(row) + "\r\n";
    Set(text);
    const auto marks = std::make_shared<TFakeMarks>();
    EXPECT_TRUE(PaintedRows([&] { Editor.SetChangeMarks(nullptr); }).empty());
    EXPECT_EQ(PaintedRows([&] { Editor.SetChangeMarks(marks); }).size(), 8u);
    EXPECT_EQ(Editor.ChangeMarks(), marks.get());
    EXPECT_EQ(PaintedRows([&] { Editor.ChangeColors().SetAddedBack(clRed); }).size(), 8u);
    EXPECT_TRUE(PaintedRows([&] { Editor.ChangeColors().SetAddedBack(clRed); }).empty());
    EXPECT_EQ(PaintedRows([&] { Editor.SetChangeMarks(nullptr); }).size(), 8u);
    EXPECT_EQ(Editor.ChangeMarks(), nullptr);
}

TEST_F(EditorPaint, MarkedLinesShowTheirBackgroundsUnderTheSelectionAndTheGapLinesAboveTheirRows)
{
    Editor.clearFocus(); // no caret blinking between the pictures compared
    Editor.View().Colors().Select().SetBkColor(clNavy);
    Set("same\r\nchanged\r\nadded\r\nafter gap\r\nlast");
    const QImage unmarked = Editor.grab().toImage();
    auto marks = std::make_shared<TFakeMarks>();
    marks->Lines[1] = {TLineMark::Changed, 1, false};
    marks->Lines[2] = {TLineMark::Added, -1, false};
    marks->Lines[3].GapBefore = true;
    marks->Lines[5].GapBefore = true; // after the last line
    Editor.SetChangeMarks(marks);
    Editor.SetRowCol(2, 0);
    Editor.InitSelection();
    Editor.SetRowCol(2, 2);
    Editor.SelectionToCaret();
    EXPECT_TRUE(Filled(Cell(0, 2), QColor(Qt::white)));
    EXPECT_TRUE(Filled(Cell(1, 20), ChangedBack)); // past the text too
    EXPECT_TRUE(Filled(Cell(2, 1), Navy));
    EXPECT_TRUE(Filled(Cell(2, 3), AddedBack));
    const auto gapAbove = [&](int Row) {
        const QRect top(Cell(Row, 0).left(), Cell(Row, 0).top(), 10 * CellSize.width(), 2);
        return Count(top, GapMark) == top.width() * top.height();
    };
    EXPECT_TRUE(gapAbove(3));
    EXPECT_TRUE(gapAbove(5));
    EXPECT_FALSE(gapAbove(4));
    Editor.SetSelLength(0);
    Editor.SetChangeMarks(nullptr);
    Editor.SetRowCol(0, 0);
    Settle();
    EXPECT_EQ(Editor.grab().toImage(), unmarked);
}

TEST_F(EditorPaint, ChangedCharactersCoverWholeCharactersOfEitherEncodingPastTabsAndWraps)
{
    Editor.Caret().SetTabSpaceCount(4);
    Editor.WrapOption().SetWrapByte(20);
    struct {
        TTextEncoding Encoding;
        std::string Text;
        bool Wrap;
        TByteRange Bytes;
        int Row, FirstCol, EndCol;
    } cases[] = {
        {TTextEncoding::ShiftJis, "\tx\x82\xA0y", false, {2, 4}, 0, 5, 7},    // the tab fills columns 0..3
        {TTextEncoding::Utf8, "\tx\xE3\x81\x82y", false, {2, 5}, 0, 5, 7},   // one wide character
        {TTextEncoding::ShiftJis, "abcdefghijklmnopqrst\x82\xA0uv", true, {20, 22}, 1, 0, 2}, // the next row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        Measure();
        Editor.SetEncodedText("same\r\n" + c.Text, c.Encoding);
        Editor.SetWordWrap(c.Wrap);
        auto marks = std::make_shared<TFakeMarks>();
        marks->Lines[1] = {TLineMark::Changed, 1, false};
        marks->Bytes[1] = {c.Bytes};
        Editor.SetChangeMarks(marks);
        const int row = 1 + c.Row;
        EXPECT_TRUE(Filled(Cell(row, c.FirstCol - 1), ChangedBack) || c.FirstCol == 0);
        for (int col = c.FirstCol; col < c.EndCol; ++col)
            EXPECT_TRUE(Filled(Cell(row, col), CharBack)) << col;
        EXPECT_TRUE(Filled(Cell(row, c.EndCol), ChangedBack));
        // One paint asks about the changed line once, whatever rows it takes.
        Settle();
        marks->BytesAsked.clear();
        Editor.grab();
        EXPECT_EQ(marks->BytesAsked[1], 1);
        EXPECT_EQ(marks->BytesAsked.count(0), 0u);
    }
}

// An underscore may reach below the font's descent (DejaVu Sans Mono at 14 points): the row it
// is on must still show it after the row below has painted its background.
TEST_F(EditorPaint, GlyphsBelowTheDescentStayVisibleAtEveryFontAndSize)
{
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"DejaVu Sans Mono", "IPAGothic", "Noto Sans Mono CJK JP"}) {
        if (!families.contains(QString::fromUtf8(family)))
            continue;
        for (int points = 9; points <= 20; ++points) {
            SCOPED_TRACE(std::string(family) + " " + std::to_string(points));
            QFont font(QString::fromUtf8(family));
            font.setPointSize(points);
            Editor.SetFont(font);
            Set("$_ big_result\r\n$_ big_result");
            const QRect firstRow = Cell(0, 0).united(Cell(0, 12));
            const QImage image = Editor.grab().toImage();
            int ink = 0;
            for (int y = firstRow.top(); y <= firstRow.bottom(); ++y)
                ink += qGray(image.pixel(Cell(0, 1).center().x(), y)) < 192;
            EXPECT_GT(ink, 0) << "the underscore after \"$\"";
        }
    }
}

} // namespace
} // namespace kestrim
