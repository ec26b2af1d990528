#include "editor/text/ResultCheck.h"

#include "editor/base/CodePage.h"

#include <string>
#include <string_view>

namespace kestrim {
namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// One line of a text, and whether a line end follows it (whichever of the three).
struct TTextLine {
    std::string_view Text;
    bool Ended = false;

    bool operator==(const TTextLine&) const = default;
};

TTextLine TakeLine(std::string_view Text, std::size_t& Pos)
{
    const std::size_t end = Text.find_first_of("\r\n", Pos);
    if (end == std::string_view::npos) {
        const TTextLine line{Text.substr(Pos), false};
        Pos = Text.size();
        return line;
    }
    const TTextLine line{Text.substr(Pos, end - Pos), true};
    Pos = end + (Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n' ? 2 : 1);
    return line;
}

// The text's characters in the encoding both texts are compared in: its own when both texts
// share it, UTF-8 otherwise. Holder keeps a converted text.
std::string_view Comparable(const TWorkbenchText& Text, TTextEncoding Common, std::string& Holder)
{
    std::string_view bytes = Text.Bytes;
    if (Text.Encoding == TTextEncoding::Utf8 && bytes.starts_with(Utf8ByteOrderMark))
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    if (Text.Encoding == Common)
        return bytes;
    AppendSjisAsUtf8(Holder, bytes);
    return Holder;
}

} // namespace

std::optional<int> FirstDifferentLine(const TWorkbenchText& Result, const TWorkbenchText& Expected)
{
    const TTextEncoding common = Result.Encoding == Expected.Encoding ? Result.Encoding : TTextEncoding::Utf8;
    std::string resultHolder;
    std::string expectedHolder;
    const std::string_view result = Comparable(Result, common, resultHolder);
    const std::string_view expected = Comparable(Expected, common, expectedHolder);
    std::size_t resultPos = 0;
    std::size_t expectedPos = 0;
    for (int line = 1;; ++line) {
        const bool resultLeft = resultPos < result.size();
        const bool expectedLeft = expectedPos < expected.size();
        if (!resultLeft && !expectedLeft)
            return std::nullopt;
        if (resultLeft != expectedLeft || TakeLine(result, resultPos) != TakeLine(expected, expectedPos))
            return line;
    }
}

} // namespace kestrim
