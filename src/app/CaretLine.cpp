#include "app/CaretLine.h"

#include <algorithm>

namespace kestrim {
namespace {

bool IsBlank(char Byte)
{
    return Byte == ' ' || Byte == '\t';
}

std::size_t LeadingBlanks(std::string_view Text)
{
    return static_cast<std::size_t>(std::find_if_not(Text.begin(), Text.end(), IsBlank) - Text.begin());
}

std::string_view TrimmedEnd(std::string_view Text)
{
    while (!Text.empty() && IsBlank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

std::size_t CommonPrefix(std::string_view A, std::string_view B)
{
    return static_cast<std::size_t>(std::mismatch(A.begin(), A.end(), B.begin(), B.end()).first - A.begin());
}

bool IsMark(char Byte)
{
    return Byte == '^' || Byte == '~';
}

} // namespace

std::optional<TQuotedCaret> ReadCaretLine(std::string_view Quoted, std::string_view CaretLine)
{
    const std::size_t prefix = CommonPrefix(Quoted, CaretLine);
    // A shared prefix is an indent or a message's own prefix ("awk: cmd. line:2: "), never
    // part of a word.
    if (prefix > 0 && !IsBlank(CaretLine[prefix - 1]))
        return std::nullopt;
    const std::string_view marks = CaretLine.substr(prefix);
    const std::size_t first = LeadingBlanks(marks);
    const std::size_t end = std::find_if_not(marks.begin() + first, marks.end(), IsMark) - marks.begin();
    const std::string_view run = marks.substr(first, end - first);
    const std::size_t caret = run.find('^');
    if (caret == std::string_view::npos || (end < marks.size() && !IsBlank(marks[end])))
        return std::nullopt;
    const std::string_view quoted = Quoted.substr(prefix);
    const std::size_t indent = LeadingBlanks(quoted);
    const std::string_view source = TrimmedEnd(quoted.substr(indent));
    if (source.empty())
        return std::nullopt;
    const std::size_t column = first + caret;
    return TQuotedCaret{std::string(source), column > indent ? column - indent : 0};
}

std::size_t CaretByteIn(std::string_view ScriptLine, const TQuotedCaret& Caret)
{
    const std::size_t found = ScriptLine.find(Caret.Source);
    return (found != std::string_view::npos ? found : LeadingBlanks(ScriptLine)) + Caret.Offset;
}

} // namespace kestrim
