#include "editor/base/LineConverter.h"

namespace kestrim {
namespace {

// Line breaks as PlaceOfOffset counts them: CR LF, a lone CR, a lone LF.
int LineBreaks(std::string_view Text)
{
    int breaks = 0;
    for (std::size_t at = 0; at < Text.size(); ++at)
        if (Text[at] == '\n' || (Text[at] == '\r' && (at + 1 == Text.size() || Text[at + 1] != '\n')))
            ++breaks;
    return breaks;
}

} // namespace

// A line feed is a character of its own in both encodings, never part of another: the text up
// to the last one converts alone. A CR waits with the line, so that CR LF stays one break.
void TLineConverter::Convert(std::string_view Bytes, std::string& Out)
{
    if (FFrom == FTo) {
        Out.append(Bytes);
        return;
    }
    const std::size_t end = Bytes.rfind('\n');
    if (end == std::string_view::npos) {
        FHeld.append(Bytes);
        return;
    }
    if (FHeld.empty()) {
        ConvertLines(Bytes.substr(0, end + 1), Out);
    } else {
        FHeld.append(Bytes.substr(0, end + 1));
        ConvertLines(FHeld, Out);
        FHeld.clear();
    }
    FHeld.append(Bytes.substr(end + 1));
}

void TLineConverter::Finish(std::string& Out)
{
    ConvertLines(FHeld, Out);
    FHeld.clear();
}

void TLineConverter::ConvertLines(std::string_view Lines, std::string& Out)
{
    if (Lines.empty())
        return;
    const TConvertedText converted = ConvertText(Lines, FFrom, FTo);
    Out += converted.Text;
    if (FLossCount == 0 && converted.Loss.Count > 0) {
        FFirstLoss = PlaceOfOffset(FFrom, Lines, converted.Loss.First);
        FFirstLoss.Line += FLinesBefore;
    } else if (FLossCount == 0) {
        FLinesBefore += LineBreaks(Lines);
    }
    FLossCount += converted.Loss.Count;
}

} // namespace kestrim
