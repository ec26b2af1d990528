#include "editor/text/LineDiff.h"

namespace kestrim {
namespace {

// Lines longer than this, on either side, differ as a whole: a row painted needs an answer at
// once, and comparing its characters costs their product.
constexpr std::size_t MaxComparedChars = 4000;
// A row being painted waits for this comparison: a few milliseconds at most, even for a line
// of characters shuffled, whose uncompared rest is then marked whole.
constexpr std::int64_t CharDiffBudget = 500'000;

// The characters of a line: the key of each (a character is a line of one, so that the same
// character in either encoding has the same key) and where each starts, the line's end last.
struct TLineChars {
    std::vector<std::uint64_t> Keys;
    std::vector<int> Starts;
};

std::optional<TLineChars> CharsOf(std::string_view Line, TTextEncoding Encoding)
{
    TLineChars chars;
    for (std::size_t at = 0; at < Line.size();) {
        if (chars.Keys.size() == MaxComparedChars)
            return std::nullopt;
        const std::size_t bytes = CharByteCount(Encoding, Line, at);
        chars.Keys.push_back(LineKey(Line.substr(at, bytes), Encoding));
        chars.Starts.push_back(static_cast<int>(at));
        at += bytes;
    }
    chars.Starts.push_back(static_cast<int>(Line.size()));
    return chars;
}

std::vector<TByteRange> WholeLine(std::string_view Line)
{
    if (Line.empty())
        return {};
    return {{0, static_cast<int>(Line.size())}};
}

// Adds the bytes of Count characters from First; hunks never touch, but their ranges are
// merged all the same should two meet.
void AddRange(std::vector<TByteRange>& Ranges, const TLineChars& Chars, int First, int Count)
{
    if (Count == 0)
        return;
    const TByteRange range{Chars.Starts[static_cast<std::size_t>(First)], Chars.Starts[static_cast<std::size_t>(First + Count)]};
    if (!Ranges.empty() && Ranges.back().End == range.Start)
        Ranges.back().End = range.End;
    else
        Ranges.push_back(range);
}

} // namespace

TCharDiff DiffChars(std::string_view Old, TTextEncoding OldEncoding, std::string_view New, TTextEncoding NewEncoding)
{
    const std::optional<TLineChars> oldChars = CharsOf(Old, OldEncoding);
    const std::optional<TLineChars> newChars = CharsOf(New, NewEncoding);
    if (!oldChars || !newChars)
        return {WholeLine(Old), WholeLine(New)};
    static const std::atomic<bool> never{false};
    const std::optional<TLineDiff> diff = DiffLines(oldChars->Keys, newChars->Keys, never, CharDiffBudget);
    TCharDiff out;
    for (const TDiffHunk& hunk : diff->Hunks) {
        AddRange(out.Old, *oldChars, hunk.OldStart, hunk.OldCount);
        AddRange(out.New, *newChars, hunk.NewStart, hunk.NewCount);
    }
    return out;
}

} // namespace kestrim
