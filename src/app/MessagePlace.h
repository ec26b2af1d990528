#pragma once
// The places an interpreter's message names: the script line, with its column when the
// pattern or a caret line gives one, and the line of the data (standard input) it was reading.
// The language configuration's patterns (ErrLine, DataLine) find the numbers: group 1 is the
// line, an optional group 2 the column.

#include "app/CaretLine.h"
#include "editor/base/TextEncoding.h"
#include "regex/BRegExp.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

struct TNamedLine {
    int Line = 0;   // as the message writes it, from 1
    int Column = 0; // characters from 1, from group 2; 0 when the pattern gives none

    bool operator==(const TNamedLine&) const = default;
};

// The line (and column) that Message names by Pattern, written in the matcher's notation.
// Group 2 is a column only when it holds a number above 0. None when the pattern does not
// match. Raises EBRegExpError for a pattern the matcher rejects or one without a group, and
// EConvertError naming the text when group 1 is not a decimal 32-bit integer.
std::optional<TNamedLine> FindNamedLine(TBRegExp& Matcher, const std::string& Pattern, std::string_view Message);

// The line number that Message names: ErrLine is placed between "m/" and "/" unchanged and
// matched through SharedRegExp; its first group, a decimal 32-bit integer, is the number.
// None when the pattern does not match. Raises as FindNamedLine.
std::optional<int> ErrorLineNumber(const std::string& Message, const std::string& ErrLine);

// A configuration pattern (without delimiters) with a matcher of its own, so that patterns
// matched in turn over many lines are each compiled once.
class TMessagePattern {
public:
    explicit TMessagePattern(const std::string& Expression) : FPattern("m/" + Expression + "/") {}

    // Raises as FindNamedLine.
    std::optional<TNamedLine> Find(std::string_view Message) { return FindNamedLine(FMatcher, FPattern, Message); }
    // Whether the pattern matches Message; raises EBRegExpError for a pattern it cannot use.
    bool Matches(std::string_view Message) { return FMatcher.Match(FPattern, Message); }

private:
    std::string FPattern;
    TBRegExp FMatcher;
};

// The byte of Line (text in Encoding) that Column, in characters from 1, names; 0 for none;
// the line's end for one past it.
std::size_t ColumnByte(std::string_view Line, int Column, TTextEncoding Encoding);

// Where a message leads in the script, and which of its lines says so.
struct TScriptPlace {
    TNamedLine Named;
    // The caret line under the source the message quotes, when there is one.
    std::optional<TQuotedCaret> Caret;
    int LineIndex = 0;

    bool operator==(const TScriptPlace&) const = default;
};

// The byte of ScriptLine (text in Encoding) where Place puts the caret: the pattern's column,
// else the caret line's, else the line's start.
std::size_t ScriptPlaceByte(const TScriptPlace& Place, std::string_view ScriptLine, TTextEncoding Encoding);

// The line of the data that a message names, and which of its lines says so.
struct TDataPlace {
    TNamedLine Named;
    int LineIndex = 0;

    bool operator==(const TDataPlace&) const = default;
};

// The places that the lines of one message name. Its first line naming one counts, or its
// last for a traceback written most recent call last: a message names its innermost frame
// first, its callers after it. Raise the pattern's errors.
std::optional<TScriptPlace> FindScriptPlace(const std::vector<std::string_view>& Lines, bool MostRecentLast,
                                            TMessagePattern& ErrLine);
std::optional<TDataPlace> FindDataPlace(const std::vector<std::string_view>& Lines, bool MostRecentLast,
                                        TMessagePattern& DataLine);

} // namespace kestrim
