#include "editor/control/EditorGlyphs.h"

#include "editor/base/CodePage.h"
#include "editor/base/TextEncoding.h"
#include "editor/base/Utf8.h"
#include "editor/base/edUtils.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace kestrim {
namespace {

enum TGlyphState : std::uint8_t { gsUnknown, gsKnown, gsSplit };

// The code page's stand-ins for bytes that start no character (see SjisToUtf16).
constexpr bool IsRawByte(char16_t Ch) { return Ch >= 0xF700 && Ch <= 0xF7FF; }

// Characters that leave their cells empty.
constexpr bool IsBlank(char16_t Ch) { return Ch == u' ' || Ch == u'\u3000'; }

} // namespace

TCellText::TCellText() = default;
TCellText::~TCellText() = default;

void TCellText::SetFont(const QFont& Font, int CharWidth)
{
    if (Font == FFont && CharWidth == FCharWidth)
        return;
    FFont = Font;
    FCharWidth = CharWidth;
    for (int style = 0; style < static_cast<int>(FStyles.size()); ++style) {
        TStyleFonts& fonts = FStyles[static_cast<std::size_t>(style)];
        fonts.Font = Font;
        fonts.Font.setBold((style & 1) != 0);
        fonts.Font.setItalic((style & 2) != 0);
        fonts.Font.setUnderline(false);
        fonts.Font.setStrikeOut(false);
        fonts.Fonts = {QRawFont::fromFont(fonts.Font)};
        for (auto& page : fonts.Pages)
            page.reset();
        for (auto& page : fonts.UnicodePages)
            page.reset();
        fonts.Shaped.clear();
    }
    FBatchCount = 0;
}

void TCellText::Add(std::string_view Text, int From, int To, int ClipFrom, int ClipTo, int X0, int Baseline,
                    const QColor& Color, TFontStyles Style)
{
    const int style = (Style.Contains(fsBold) ? 1 : 0) | (Style.Contains(fsItalic) ? 2 : 0);
    const QRgb color = Color.rgb();
    const int end = std::min(To, static_cast<int>(Text.size()));
    for (int col = std::max(From, 0); col < end && col < ClipTo;) {
        const std::size_t at = static_cast<std::size_t>(col);
        const int cells = static_cast<int>(CharByteCount(Text, at));
        const unsigned char lead = static_cast<unsigned char>(Text[at]);
        if (col + cells > ClipFrom && lead != ' ') {
            const std::uint16_t code =
                cells == 2 ? static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(Text[at + 1])) : lead;
            const TGlyph& glyph = Glyph(style, code, Text.substr(at, static_cast<std::size_t>(cells)));
            if (glyph.State == gsSplit) {
                // A lead byte whose trail byte makes no character: two characters of one cell.
                for (std::size_t k = 0; k < 2; ++k) {
                    const unsigned char byte = static_cast<unsigned char>(Text[at + k]);
                    AddGlyph(style, color, Glyph(style, byte, Text.substr(at + k, 1)),
                             X0 + (col + static_cast<int>(k)) * FCharWidth, Baseline);
                }
            } else {
                AddGlyph(style, color, glyph, X0 + col * FCharWidth, Baseline);
            }
        }
        col += cells;
    }
}

void TCellText::AddUtf8(std::string_view Text, int FromByte, int From, int To, int ClipFrom, int ClipTo, int X0,
                        int Baseline, const QColor& Color, TFontStyles Style)
{
    const int style = (Style.Contains(fsBold) ? 1 : 0) | (Style.Contains(fsItalic) ? 2 : 0);
    const QRgb color = Color.rgb();
    std::size_t at = static_cast<std::size_t>(std::max(FromByte, 0));
    for (int col = From; at < Text.size() && col < To && col < ClipTo;) {
        const TCharExtent extent = Utf8CharAt(Text, at);
        if (col + extent.Columns > ClipFrom && Text[at] != ' ')
            AddUtf8Char(style, color, Text.substr(at, extent.Bytes), extent.Columns, X0 + col * FCharWidth, Baseline);
        at += extent.Bytes;
        col += extent.Columns;
    }
}

// One code point of the Basic Multilingual Plane is drawn as its glyph; a longer character is
// shaped; a byte that is no UTF-8 shows the replacement character.
void TCellText::AddUtf8Char(int Style, QRgb Color, std::string_view Utf8, int Cells, int X, int Baseline)
{
    const TCodePoint first = DecodeUtf8(Utf8, 0);
    if (!first.Valid) {
        AddGlyph(Style, Color, UnicodeGlyph(Style, u'\uFFFD', 1), X, Baseline);
        return;
    }
    if (first.Bytes == Utf8.size() && first.Code < 0x10000) {
        AddGlyph(Style, Color, UnicodeGlyph(Style, static_cast<char16_t>(first.Code), Cells), X, Baseline);
        return;
    }
    for (const TPlacedGlyph& glyph : ShapedGlyphs(Style, Utf8, Cells)) {
        TBatch& batch = BatchFor(Color, Style, glyph.Font);
        batch.Glyphs.push_back(glyph.Index);
        batch.Positions.push_back(QPointF(X, Baseline) + glyph.Offset);
    }
}

void TCellText::AddGlyph(int Style, QRgb Color, const TGlyph& Glyph, int X, int Baseline)
{
    if (Glyph.Index == 0)
        return;
    TBatch& batch = BatchFor(Color, Style, Glyph.Font);
    batch.Glyphs.push_back(Glyph.Index);
    batch.Positions.emplace_back(X + Glyph.Dx, Baseline);
}

TCellText::TBatch& TCellText::BatchFor(QRgb Color, int Style, int Font)
{
    for (std::size_t i = 0; i < FBatchCount; ++i) {
        TBatch& batch = FBatches[i];
        if (batch.Color == Color && batch.Style == Style && batch.Font == Font)
            return batch;
    }
    if (FBatchCount == FBatches.size())
        FBatches.emplace_back();
    TBatch& batch = FBatches[FBatchCount++];
    batch.Color = Color;
    batch.Style = Style;
    batch.Font = Font;
    return batch;
}

void TCellText::Flush(QPainter& Painter)
{
    for (std::size_t i = 0; i < FBatchCount; ++i) {
        TBatch& batch = FBatches[i];
        if (batch.Glyphs.empty())
            continue;
        QGlyphRun run;
        run.setRawFont(FStyles[static_cast<std::size_t>(batch.Style)].Fonts[static_cast<std::size_t>(batch.Font)]);
        run.setRawData(batch.Glyphs.data(), batch.Positions.data(), static_cast<int>(batch.Glyphs.size()));
        Painter.setPen(QColor::fromRgb(batch.Color));
        Painter.drawGlyphRun(QPointF(), run);
        batch.Glyphs.clear();
        batch.Positions.clear();
    }
    FBatchCount = 0;
}

const TCellText::TGlyph& TCellText::Glyph(int Style, std::uint16_t Code, std::string_view Bytes)
{
    TStyleFonts& fonts = FStyles[static_cast<std::size_t>(Style)];
    std::unique_ptr<TGlyphPage>& page = fonts.Pages[Code >> 8];
    if (!page)
        page = std::make_unique<TGlyphPage>();
    TGlyph& glyph = (*page)[Code & 0xFF];
    if (glyph.State != gsUnknown)
        return glyph;
    const std::u16string text = SjisToUtf16(Bytes);
    if (text.size() != 1)
        glyph.State = gsSplit;
    else if (IsRawByte(text[0]))
        glyph.State = gsKnown; // drawn as nothing
    else
        glyph = LookUp(fonts, text[0], static_cast<int>(Bytes.size()));
    return glyph;
}

const TCellText::TGlyph& TCellText::UnicodeGlyph(int Style, char16_t Code, int Cells)
{
    TStyleFonts& fonts = FStyles[static_cast<std::size_t>(Style)];
    std::unique_ptr<TGlyphPage>& page = fonts.UnicodePages[Code >> 8];
    if (!page)
        page = std::make_unique<TGlyphPage>();
    TGlyph& glyph = (*page)[Code & 0xFF];
    if (glyph.State == gsUnknown)
        glyph = LookUp(fonts, Code, Cells);
    return glyph;
}

// The toolkit's shaping of the character, centred in its cells as a glyph is.
const std::vector<TCellText::TPlacedGlyph>& TCellText::ShapedGlyphs(int Style, std::string_view Utf8, int Cells)
{
    TStyleFonts& fonts = FStyles[static_cast<std::size_t>(Style)];
    const auto [entry, isNew] = fonts.Shaped.try_emplace(std::string(Utf8));
    std::vector<TPlacedGlyph>& glyphs = entry->second;
    if (!isNew)
        return glyphs;
    QTextLayout layout(QString::fromStdU16String(Utf8ToUtf16(Utf8)), fonts.Font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const double dx = std::max(0.0, std::floor((Cells * FCharWidth - line.naturalTextWidth()) / 2));
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const int font = FontIndex(fonts, run.rawFont());
        if (font < 0)
            continue;
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i)
            glyphs.push_back({indexes[i], static_cast<std::uint8_t>(font),
                              QPointF(dx + positions[i].x(), positions[i].y() - line.ascent())});
    }
    return glyphs;
}

TCellText::TGlyph TCellText::LookUp(TStyleFonts& Fonts, char16_t Character, int Cells)
{
    TGlyph glyph;
    glyph.State = gsKnown;
    const QChar character(Character);
    if (IsBlank(Character))
        return glyph;
    QRawFont font = Fonts.Fonts.front();
    quint32 index = 0;
    int count = 1;
    font.glyphIndexesForChars(&character, 1, &index, &count);
    if (index == 0 && !character.isNonCharacter() && character.unicode() >= 0x20) {
        // The toolkit's own choice of a font that has the character.
        QTextLayout layout(QString(character), Fonts.Font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (!runs.isEmpty() && !runs.first().glyphIndexes().isEmpty()) {
            font = runs.first().rawFont();
            index = runs.first().glyphIndexes().first();
        }
    }
    const int fontIndex = index == 0 ? -1 : FontIndex(Fonts, font);
    if (fontIndex < 0)
        return glyph;
    const QList<QPointF> advances = font.advancesForGlyphIndexes(QList<quint32>{index});
    const double advance = advances.isEmpty() ? 0 : advances.first().x();
    glyph.Index = index;
    glyph.Dx = static_cast<std::int16_t>(std::max(0.0, std::floor((Cells * FCharWidth - advance) / 2)));
    glyph.Font = static_cast<std::uint8_t>(fontIndex);
    return glyph;
}

int TCellText::FontIndex(TStyleFonts& Fonts, const QRawFont& Font)
{
    for (std::size_t i = 0; i < Fonts.Fonts.size(); ++i)
        if (Fonts.Fonts[i] == Font)
            return static_cast<int>(i);
    if (Fonts.Fonts.size() > 255)
        return -1; // the glyph's font has no number left: the character stays blank
    Fonts.Fonts.push_back(Font);
    return static_cast<int>(Fonts.Fonts.size() - 1);
}

} // namespace kestrim
