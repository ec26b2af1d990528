#pragma once
// TCellText: Shift-JIS or UTF-8 text drawn in character cells. Every character sits in its own
// cell of CharWidth pixels (two for a wide character), centred there when the font draws it
// narrower, whatever the font's own advances, so that the caret and clicks stay aligned with
// it. Characters are collected per colour and style and drawn as glyph runs with explicit
// positions, one run per colour and font, not one text output per character.
//
// The glyph of each character is looked up once per font style and kept: in the editor's
// font, or, for a character that font lacks, in the font the toolkit falls back to. A UTF-8
// character of more than one code point (a letter with its marks, a joined emoji) is shaped
// by the toolkit once and kept as its glyphs; a byte that is no UTF-8 shows U+FFFD.

#include "editor/base/edGraphics.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QPainter;

namespace kestrim {

class TCellText {
public:
    TCellText();
    ~TCellText();
    TCellText(const TCellText&) = delete;
    TCellText& operator=(const TCellText&) = delete;

    // The font and the cell width the glyphs are placed for; a change forgets every glyph.
    // The font's underline and strike-out are not drawn here: the caller draws its own lines.
    void SetFont(const QFont& Font, int CharWidth);

    // Collects the characters of Text that start in columns From..To - 1 (From on a character
    // boundary) and reach into columns ClipFrom..ClipTo - 1; column k lies at X0 + k *
    // CharWidth, every glyph on the line Baseline.
    void Add(std::string_view Text, int From, int To, int ClipFrom, int ClipTo, int X0, int Baseline,
             const QColor& Color, TFontStyles Style);
    // The same for UTF-8 Text, whose characters take the columns Utf8CharAt gives: the one at
    // byte FromByte starts in column From.
    void AddUtf8(std::string_view Text, int FromByte, int From, int To, int ClipFrom, int ClipTo, int X0,
                 int Baseline, const QColor& Color, TFontStyles Style);
    // Draws what was collected and forgets it.
    void Flush(QPainter& Painter);

private:
    struct TGlyph {
        std::uint32_t Index = 0; // 0: nothing to draw
        std::int16_t Dx = 0;     // offset of the glyph in its cell
        std::uint8_t Font = 0;   // index in the style's fonts
        std::uint8_t State = 0;  // not looked up yet, a glyph, or a pair drawn as two bytes
    };
    using TGlyphPage = std::array<TGlyph, 256>;
    using TGlyphPages = std::array<std::unique_ptr<TGlyphPage>, 256>;
    // A glyph of a shaped character, placed from the character's cell and the baseline.
    struct TPlacedGlyph {
        std::uint32_t Index = 0;
        std::uint8_t Font = 0;
        QPointF Offset;
    };
    struct TStyleFonts {
        QFont Font;
        std::vector<QRawFont> Fonts; // the editor's first, then those fallen back to
        TGlyphPages Pages;           // by Shift-JIS code
        TGlyphPages UnicodePages;    // by code point of the Basic Multilingual Plane
        std::unordered_map<std::string, std::vector<TPlacedGlyph>> Shaped; // by UTF-8 bytes
    };
    // Glyphs of one colour in one font of one style, waiting to be drawn.
    struct TBatch {
        QRgb Color = 0;
        int Style = 0;
        int Font = 0;
        std::vector<std::uint32_t> Glyphs;
        std::vector<QPointF> Positions;
    };

    const TGlyph& Glyph(int Style, std::uint16_t Code, std::string_view Bytes);
    const TGlyph& UnicodeGlyph(int Style, char16_t Code, int Cells);
    const std::vector<TPlacedGlyph>& ShapedGlyphs(int Style, std::string_view Utf8, int Cells);
    void AddUtf8Char(int Style, QRgb Color, std::string_view Utf8, int Cells, int X, int Baseline);
    // The glyph of a character of the Basic Multilingual Plane, centred in Cells cells.
    TGlyph LookUp(TStyleFonts& Fonts, char16_t Character, int Cells);
    // The index of Font among the style's fonts, added when new; -1 when no index is left.
    int FontIndex(TStyleFonts& Fonts, const QRawFont& Font);
    TBatch& BatchFor(QRgb Color, int Style, int Font);
    void AddGlyph(int Style, QRgb Color, const TGlyph& Glyph, int X, int Baseline);

    QFont FFont;
    int FCharWidth = 0;
    std::array<TStyleFonts, 4> FStyles; // regular, bold, italic, bold italic
    std::vector<TBatch> FBatches;
    std::size_t FBatchCount = 0;
};

} // namespace kestrim
