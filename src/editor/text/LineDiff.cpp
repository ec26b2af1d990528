#include "editor/text/LineDiff.h"

#include "editor/base/CodePage.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace kestrim {
namespace {

bool IsAscii(std::string_view S)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    std::size_t at = 0;
    for (; at + 8 <= S.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, S.data() + at, sizeof word);
        if (word & HighBits)
            return false;
    }
    return std::none_of(S.begin() + static_cast<std::ptrdiff_t>(at), S.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

int StartOn(const TDiffHunk& Hunk, TDiffSide Side) { return Side == TDiffSide::Old ? Hunk.OldStart : Hunk.NewStart; }
int CountOn(const TDiffHunk& Hunk, TDiffSide Side) { return Side == TDiffSide::Old ? Hunk.OldCount : Hunk.NewCount; }

// The last hunk that starts on Side at or before Line, or Hunks.end().
std::vector<TDiffHunk>::const_iterator HunkAtOrBefore(const std::vector<TDiffHunk>& Hunks, TDiffSide Side, int Line)
{
    // A hunk's start on either side is past the previous hunk's end there: starts increase.
    const auto after = std::upper_bound(Hunks.begin(), Hunks.end(), Line,
                                        [Side](int line, const TDiffHunk& hunk) { return line < StartOn(hunk, Side); });
    return after == Hunks.begin() ? Hunks.end() : std::prev(after);
}

} // namespace

int TLineDiff::Changed() const
{
    int count = 0;
    for (const TDiffHunk& hunk : Hunks)
        count += std::min(hunk.OldCount, hunk.NewCount);
    return count;
}

int TLineDiff::Added() const
{
    int count = 0;
    for (const TDiffHunk& hunk : Hunks)
        count += std::max(0, hunk.NewCount - hunk.OldCount);
    return count;
}

int TLineDiff::Removed() const
{
    int count = 0;
    for (const TDiffHunk& hunk : Hunks)
        count += std::max(0, hunk.OldCount - hunk.NewCount);
    return count;
}

std::uint64_t LineKey(std::string_view Line, TTextEncoding Encoding)
{
    // ASCII is the same in both encodings and is most lines of a script: hashed as it stands.
    // A byte that starts no Shift-JIS character converts to a private-use character of its own,
    // so such lines stay apart from each other.
    if (Encoding == TTextEncoding::ShiftJis && !IsAscii(Line)) {
        // Keys are read for millions of lines in a row: one buffer per thread serves them all.
        thread_local std::string utf8;
        utf8.clear();
        AppendSjisAsUtf8(utf8, Line);
        return std::hash<std::string_view>{}(utf8);
    }
    return std::hash<std::string_view>{}(Line);
}

TLineMarkInfo LineMarkOf(const TLineDiff& Diff, TDiffSide Side, int Line)
{
    const auto hunk = HunkAtOrBefore(Diff.Hunks, Side, Line);
    if (hunk == Diff.Hunks.end())
        return {};
    const TDiffSide other = Side == TDiffSide::Old ? TDiffSide::New : TDiffSide::Old;
    const int offset = Line - StartOn(*hunk, Side);
    const int count = CountOn(*hunk, Side);
    const int otherCount = CountOn(*hunk, other);
    if (offset < std::min(count, otherCount))
        return {TLineMark::Changed, StartOn(*hunk, other) + offset, false};
    if (offset < count)
        return {Side == TDiffSide::New ? TLineMark::Added : TLineMark::Removed, -1, false};
    // Hunks never touch, so the line after one is never inside the next.
    TLineMarkInfo info;
    info.GapBefore = offset == count && otherCount > count;
    return info;
}

std::optional<int> NextChange(const TLineDiff& Diff, TDiffSide Side, int Line, int Direction)
{
    // A hunk's first line on a side is its gap there when it has no lines on that side.
    const auto& hunks = Diff.Hunks;
    auto hunk = HunkAtOrBefore(hunks, Side, Line);
    if (Direction > 0) {
        const auto next = hunk == hunks.end() ? hunks.begin() : std::next(hunk);
        return next == hunks.end() ? std::nullopt : std::optional<int>(StartOn(*next, Side));
    }
    if (hunk != hunks.end() && StartOn(*hunk, Side) == Line)
        hunk = hunk == hunks.begin() ? hunks.end() : std::prev(hunk);
    return hunk == hunks.end() ? std::nullopt : std::optional<int>(StartOn(*hunk, Side));
}

} // namespace kestrim
