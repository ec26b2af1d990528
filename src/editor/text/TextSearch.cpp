#include "editor/text/TextSearch.h"

#include "editor/text/TextMatcher.h"

namespace kestrim {

bool SearchText(std::string_view Text, int& Position, int& Length, std::string_view Pattern, TSearchOptions Options,
                TTextEncoding Encoding)
{
    if (Text.empty() || Pattern.empty() || Position < 0 || static_cast<std::size_t>(Position) > Text.size()
        || Length < 0)
        return false;
    const TTextMatcher matcher(Pattern, Options, Encoding);
    const TSearchWindow window{Text};
    TScanResult result;
    if (matcher.Forward()) {
        const std::size_t from = static_cast<std::size_t>(Position) + static_cast<std::size_t>(Length);
        if (from > Text.size())
            return false;
        result = matcher.ScanForward(window, from, Text.size());
    } else {
        const std::optional<std::size_t> from = matcher.BackwardFrom(window, static_cast<std::size_t>(Position));
        if (!from)
            return false;
        result = matcher.ScanBackward(window, *from);
    }
    if (result.Outcome != TScanOutcome::Found)
        return false;
    Position = static_cast<int>(result.Position);
    Length = static_cast<int>(result.Length);
    return true;
}

} // namespace kestrim
