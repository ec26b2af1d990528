#include "app/MessagePlace.h"

#include "editor/base/Exceptions.h"
#include "editor/base/IntConvert.h"
#include "editor/base/TextEncoding.h"

#include <algorithm>

namespace kestrim {
namespace {

int ColumnOf(const TBRegExp& Matcher)
{
    if (Matcher.Count() < 3)
        return 0;
    try {
        return std::max(StrToInt(Matcher.Strings(2)), 0);
    } catch (const EConvertError&) {
        return 0; // a second group that is no number is none of ours
    }
}

struct TFoundLine {
    TNamedLine Named;
    int Index = 0;
};

// The first of Lines that Pattern names a line in, read from the end when Backwards.
std::optional<TFoundLine> FindInOrder(const std::vector<std::string_view>& Lines, bool Backwards,
                                      TMessagePattern& Pattern)
{
    const int count = static_cast<int>(Lines.size());
    for (int step = 0; step < count; ++step) {
        const int i = Backwards ? count - 1 - step : step;
        if (const std::optional<TNamedLine> named = Pattern.Find(Lines[static_cast<std::size_t>(i)]))
            return TFoundLine{*named, i};
    }
    return std::nullopt;
}

// The caret line that belongs to the line Index names a place in: right under it (gawk quotes
// the source in the message line itself), or under the source line that follows it, after
// empty lines (Ruby sets the quoted source apart by one).
std::optional<TQuotedCaret> CaretAfter(const std::vector<std::string_view>& Lines, std::size_t Index)
{
    std::size_t next = Index + 1;
    while (next < Lines.size() && Lines[next].empty())
        ++next;
    for (std::size_t caret = next; caret < Lines.size() && caret <= next + 1; ++caret)
        if (auto found = ReadCaretLine(Lines[caret - 1], Lines[caret]))
            return found;
    return std::nullopt;
}

} // namespace

std::optional<TNamedLine> FindNamedLine(TBRegExp& Matcher, const std::string& Pattern, std::string_view Message)
{
    if (!Matcher.Match(Pattern, Message))
        return std::nullopt;
    const int line = StrToInt(Matcher.Strings(1));
    return TNamedLine{line, ColumnOf(Matcher)};
}

std::optional<int> ErrorLineNumber(const std::string& Message, const std::string& ErrLine)
{
    const std::optional<TNamedLine> named = FindNamedLine(SharedRegExp(), "m/" + ErrLine + "/", Message);
    return named ? std::optional<int>(named->Line) : std::nullopt;
}

std::size_t ColumnByte(std::string_view Line, int Column, TTextEncoding Encoding)
{
    std::size_t byte = 0;
    for (int skipped = 1; skipped < Column && byte < Line.size(); ++skipped)
        byte += CharByteCount(Encoding, Line, byte);
    return byte;
}

std::size_t ScriptPlaceByte(const TScriptPlace& Place, std::string_view ScriptLine, TTextEncoding Encoding)
{
    if (Place.Named.Column > 0)
        return ColumnByte(ScriptLine, Place.Named.Column, Encoding);
    return Place.Caret ? CaretByteIn(ScriptLine, *Place.Caret) : 0;
}

std::optional<TScriptPlace> FindScriptPlace(const std::vector<std::string_view>& Lines, bool MostRecentLast,
                                            TMessagePattern& ErrLine)
{
    const std::optional<TFoundLine> found = FindInOrder(Lines, MostRecentLast, ErrLine);
    if (!found)
        return std::nullopt;
    return TScriptPlace{found->Named, CaretAfter(Lines, static_cast<std::size_t>(found->Index)), found->Index};
}

std::optional<TDataPlace> FindDataPlace(const std::vector<std::string_view>& Lines, bool MostRecentLast,
                                        TMessagePattern& DataLine)
{
    const std::optional<TFoundLine> found = FindInOrder(Lines, MostRecentLast, DataLine);
    if (!found)
        return std::nullopt;
    return TDataPlace{found->Named, found->Index};
}

} // namespace kestrim
