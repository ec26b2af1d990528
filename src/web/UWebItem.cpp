#include "web/UWebItem.h"

#include "editor/base/CodePage.h"

#include <string_view>

namespace kestrim {
namespace {

const std::string_view SKeyMarker = "{key}";

enum class TLetterCase { Exact, Ignored };

char LowerAscii(char C)
{
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

bool IsMarkerAt(std::string_view Text, std::size_t Position, TLetterCase LetterCase)
{
    if (Text.size() - Position < SKeyMarker.size())
        return false;
    for (std::size_t i = 0; i < SKeyMarker.size(); ++i) {
        const char c = Text[Position + i];
        if ((LetterCase == TLetterCase::Ignored ? LowerAscii(c) : c) != SKeyMarker[i])
            return false;
    }
    return true;
}

// The first marker at or after From, or npos. "{" is also a Shift-JIS trail byte, so the
// scan steps over two-byte characters instead of looking at every byte.
std::size_t FindMarker(std::string_view Text, std::size_t From, TLetterCase LetterCase)
{
    std::size_t i = From;
    while (i < Text.size()) {
        if (IsMarkerAt(Text, i, LetterCase))
            return i;
        i += IsDBCSLeadByte(Text[i]) && i + 1 < Text.size() ? 2 : 1;
    }
    return std::string_view::npos;
}

} // namespace

TWebItem::TWebItem(std::string Name, std::string Url)
    : FName(std::move(Name)),
      FHasKey(FindMarker(Url, 0, TLetterCase::Exact) != std::string_view::npos),
      FUrl(std::move(Url))
{
}

std::string TWebItem::BuildUrl(const std::string& EncodedKey) const
{
    std::string result;
    std::size_t copied = 0;
    for (std::size_t marker = FindMarker(FUrl, 0, TLetterCase::Ignored); marker != std::string_view::npos;
         marker = FindMarker(FUrl, copied, TLetterCase::Ignored)) {
        result.append(FUrl, copied, marker - copied);
        result += EncodedKey;
        copied = marker + SKeyMarker.size();
    }
    result.append(FUrl, copied);
    return result;
}

} // namespace kestrim
