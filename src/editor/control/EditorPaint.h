#pragma once
// TEditorPainter: draws a TEditor's viewport: the text rows in their highlighting colours, the
// selection and search hits, the change marks, the end-of-row marks, the caret-row underline,
// the caret and the input method's preedit, and the areas around the text (ruler, left bar
// with numbers, image bar with bookmarks, the corner). Each character is drawn in its own cell of CharWidth
// pixels, two cells for a two-byte character, whatever the font's own advances.
//
// The painter reads the editor's state through a read-only view and keeps what it prepares once
// for many paints: glyphs, the ruler's scale and numerals, the bar edges, the images.

#include "editor/control/EditorPaintView.h"

#include <QRect>
#include <QRegion>

#include <memory>
#include <string>

class QPainter;

namespace kestrim {

class TEditorPainter {
public:
    explicit TEditorPainter(const TEditorPaintView& Source);
    ~TEditorPainter();
    TEditorPainter(const TEditorPainter&) = delete;
    TEditorPainter& operator=(const TEditorPainter&) = delete;

    // Paints every part of the viewport that Region touches (the viewport's paint event).
    void Paint(const QRegion& Region);

    // The font, a colour, a margin or a bar setting changed: what is prepared from them is made
    // anew before the next paint.
    void OptionsChanged();
    // The caret left column OldCol: the ruler's caret mark moves with it.
    void CaretColumnChanged(int OldCol);
    // The first visible column changed: the ruler's numbers follow.
    void TopColChanged();
    // Rows from Row on moved down by Delta rows (up when negative) because rows above them came
    // or went: their pixels move with them, and what comes into view is painted.
    void ScrollRowsBelow(int Row, int Delta);

private:
    struct TPrepared;
    struct TPaint;

    void Prepare();
    // The corner, the ruler and the top margin where Rect reaches them.
    void PaintTop(TPaint& Context, const QRect& Rect);
    // Row's bars, margin and text from x Left to Right (excluded).
    void PaintRow(TPaint& Context, int Row, int Left, int Right);
    void PaintTextRow(TPaint& Context, int Row, int Left, int Right);
    void PaintRowBelowText(TPaint& Context, int Row, int Left, int Right);
    // The pixel rows of Row's pitch below its band: the caret-row underline or the background.
    void PaintRowGap(TPaint& Context, int Row, int Left, int Right);
    void PaintEndMark(TPaint& Context, int Row, int Columns, bool Selected, int Left, int Right);
    void PaintEofMark(TPaint& Context, int Top, int Col, int Left, int Right);
    void PaintPreedit(TPaint& Context);
    void PaintCaret(TPaint& Context);
    // The number the left bar shows beside Row, or -1 for none.
    int LeftbarNumber(int Row);
    // The top of Row and the left of column Col in the viewport.
    int RowTop(int Row) const;
    int ColLeft(int Col) const;

    const TEditorPaintView& FSource;
    std::unique_ptr<TPrepared> FPrepared;
};

} // namespace kestrim
