#include "app/MessageGroups.h"

#include "app/CaretLine.h"

namespace kestrim {
namespace {

constexpr std::string_view TracebackHeader = "Traceback (most recent call last):";

bool IsIndented(std::string_view Line)
{
    return !Line.empty() && (Line.front() == ' ' || Line.front() == '\t');
}

bool IsCaretLine(const std::vector<std::string_view>& Lines, std::size_t Index)
{
    return Index > 0 && Index < Lines.size() && ReadCaretLine(Lines[Index - 1], Lines[Index]).has_value();
}

} // namespace

std::vector<TMessageGroup> GroupMessageLines(const std::vector<std::string_view>& Lines,
                                             const TNamesScriptLine& NamesScriptLine)
{
    std::vector<TMessageGroup> groups;
    bool awaitingException = false; // in a traceback, before the line that ends it
    bool afterCaret = false;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const std::string_view line = Lines[i];
        const bool header = line == TracebackHeader;
        const bool caret = IsCaretLine(Lines, i);
        // A source line quoted at the left edge has its caret line after it (Ruby writes a blank
        // line before the two).
        const bool quotesSource = IsCaretLine(Lines, i + 1) && !NamesScriptLine(line);
        const bool beforeQuote = line.empty() && IsCaretLine(Lines, i + 2);
        const bool continues =
            !groups.empty() && !header
            && (IsIndented(line) || caret || awaitingException || quotesSource || beforeQuote
                || (line.empty() && i + 1 < Lines.size() && IsIndented(Lines[i + 1]))
                || (afterCaret && !NamesScriptLine(line)));
        afterCaret = caret;
        if (continues) {
            ++groups.back().Count;
            awaitingException = awaitingException && IsIndented(line);
            continue;
        }
        groups.push_back({static_cast<int>(i), 1, header});
        awaitingException = header;
    }
    return groups;
}

} // namespace kestrim
