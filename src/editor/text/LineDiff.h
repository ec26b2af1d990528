#pragma once
// Which lines of an old text (the data) and a new text (the result) differ, as runs of lines.
//
// Lines are compared by key: a 64-bit hash of the line's characters, the same for a line held
// in Shift-JIS and in UTF-8, so that two pages of different encodings compare by what they show.
// The comparison is bounded: when the texts differ too much for an exact answer in reasonable
// time (a shuffled file), what was found so far stands and the rest becomes one run of changed
// lines, and the result says it is not complete.

#include "editor/base/TextEncoding.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrim {

// OldCount lines of the old text from OldStart stand where NewCount lines of the new text from
// NewStart stand (lines from 0). The first min(OldCount, NewCount) of them pair one to one as
// changed lines; the rest of the longer side are removed (old) or added (new) lines.
struct TDiffHunk {
    int OldStart = 0;
    int OldCount = 0;
    int NewStart = 0;
    int NewCount = 0;

    friend bool operator==(const TDiffHunk&, const TDiffHunk&) = default;
};

struct TLineDiff {
    // In text order; no two touch, and none is empty on both sides.
    std::vector<TDiffHunk> Hunks;
    // False when the comparison was cut short: the part left uncompared is one hunk.
    bool Complete = true;

    // Lines paired as changed, lines only in the new text, lines only in the old text.
    int Changed() const;
    int Added() const;
    int Removed() const;
};

// The key of a line of text in Encoding: equal for equal characters in either encoding.
std::uint64_t LineKey(std::string_view Line, TTextEncoding Encoding);

// How much work a comparison may do before it is cut short, in steps of the line matcher.
constexpr std::int64_t DefaultDiffBudget = 20'000'000;

// Compares two texts by their line keys. Cancel is read between pieces of work: once it is
// set, the comparison stops and gives nothing.
std::optional<TLineDiff> DiffLines(const std::vector<std::uint64_t>& Old, const std::vector<std::uint64_t>& New,
                                   const std::atomic<bool>& Cancel, std::int64_t Budget = DefaultDiffBudget);

// ---------------------------------------------------------------------------------------------
// One side's view of a comparison.

enum class TDiffSide : std::uint8_t { Old, New };
enum class TLineMark : std::uint8_t { None, Changed, Added, Removed };

struct TLineMarkInfo {
    // Changed on either side; Added only on the new side, Removed only on the old side.
    TLineMark Mark = TLineMark::None;
    // The other text's line a changed line pairs with; -1 otherwise.
    int Counterpart = -1;
    // Lines of the other text stand just before this line that this side lacks (removed lines,
    // seen from the new text; added lines, seen from the old one). Line may be the line count:
    // then they stand after the last line.
    bool GapBefore = false;
};

TLineMarkInfo LineMarkOf(const TLineDiff& Diff, TDiffSide Side, int Line);

// The first line of the next (Direction 1) or previous (-1) run of differences on Side after or
// before Line, where a run that lacks lines on this side starts at its gap; nullopt when there
// is none. Does not wrap around.
std::optional<int> NextChange(const TLineDiff& Diff, TDiffSide Side, int Line, int Direction);

// ---------------------------------------------------------------------------------------------
// Inside a changed line.

struct TByteRange {
    int Start = 0;
    int End = 0;

    friend bool operator==(const TByteRange&, const TByteRange&) = default;
};

struct TCharDiff {
    // The bytes of each line that the other lacks, on character boundaries, in order.
    std::vector<TByteRange> Old;
    std::vector<TByteRange> New;
};

// The characters that differ between two lines, each in its own encoding. A line too long for a
// character-by-character comparison differs as a whole.
TCharDiff DiffChars(std::string_view Old, TTextEncoding OldEncoding, std::string_view New, TTextEncoding NewEncoding);

} // namespace kestrim
