#include "editor/control/BodyHighlighter.h"

#include "editor/control/QtColors.h"
#include "editor/control/SjisQString.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"

#include <vector>

namespace kestrim {

namespace {

// QSyntaxHighlighter's block states start at -1 for "none"; an open bracket starts at -2.
constexpr int BracketStateOffset = 2;

bool HasOwnLook(const TFountainColor& Color)
{
    return Color.Color() != clNone || Color.BkColor() != clNone || !Color.Style().Empty();
}

QTextCharFormat FormatOf(const TFountainColor& Color)
{
    QTextCharFormat format;
    if (Color.Color() != clNone)
        format.setForeground(ToQColor(Color.Color(), QColor()));
    if (Color.BkColor() != clNone)
        format.setBackground(ToQColor(Color.BkColor(), QColor()));
    const TFontStyles style = Color.Style();
    if (style.Contains(fsBold))
        format.setFontWeight(QFont::Bold);
    format.setFontItalic(style.Contains(fsItalic));
    format.setFontUnderline(style.Contains(fsUnderline));
    format.setFontStrikeOut(style.Contains(fsStrikeOut));
    return format;
}

// The index in Text of the character that holds each byte of Row, Text's Shift-JIS form;
// empty when the two do not agree.
std::vector<int> UnitOfByte(const QString& Text, std::size_t RowSize)
{
    std::vector<int> units;
    units.reserve(RowSize + 1);
    for (int i = 0; i < Text.size(); ++i) {
        const std::size_t bytes = Text[i].unicode() < 0x80 ? 1 : QStringToSjis(Text.mid(i, 1)).size();
        units.insert(units.end(), bytes, i);
    }
    if (units.size() != RowSize)
        return {};
    units.push_back(static_cast<int>(Text.size()));
    return units;
}

} // namespace

TBodyHighlighter::TBodyHighlighter(TEditorFountain& Fountain, QObject* Parent)
    : QSyntaxHighlighter(Parent), FFountain(Fountain)
{
}

bool TBodyHighlighter::Colours(TEditorFountain& Fountain)
{
    bool colours = false;
    Fountain.VisitColors([&](std::string_view Name, TFountainColor& Color) {
        if (TEditorFountain::IsTextColorName(Name) && HasOwnLook(Color))
            colours = true;
    });
    return colours;
}

void TBodyHighlighter::highlightBlock(const QString& Text)
{
    const std::string row = QStringToSjis(Text);
    TRowAttributeData start = InitialRowAttributeData();
    if (previousBlockState() >= 0)
        start.OpenBracket = previousBlockState() - BracketStateOffset;
    const std::unique_ptr<TFountainParser> parser = FFountain.NewParser();
    parser->BeginRow(row, start);
    const std::vector<int> units = UnitOfByte(Text, row.size());
    while (parser->NextToken() != tokEnd) {
        const TFountainColor* color = parser->TokenColor();
        if (!color || !HasOwnLook(*color) || units.empty())
            continue;
        const auto begin = static_cast<std::size_t>(parser->TokenOffset());
        const std::size_t end = std::min(begin + static_cast<std::size_t>(parser->TokenLength()), row.size());
        if (begin < end)
            setFormat(units[begin], units[end] - units[begin], FormatOf(*color));
    }
    setCurrentBlockState(parser->OpenBracket() + BracketStateOffset);
}

} // namespace kestrim
