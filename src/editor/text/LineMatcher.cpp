// DiffLines: dtl's O(NP) comparison on small pieces, with cheap bounding around it.
//
// dtl alone needs time and memory of the order of the two lengths times the differences, and on
// a large text past its limit of path points it goes on in modes with known faults. So before
// dtl sees anything, a piece of the texts is narrowed in ways that keep the answer minimal:
// equal lines at its head and tail match, and a line whose key the other side lacks can never
// match and is left out. What is left goes to dtl whole when its cost, bounded from its sizes,
// is small. A large rest is cut at anchors, lines found once on each side, in the longest chain
// that keeps their order on both (patience sorting), and each piece between anchors is matched
// the same way. A piece that
// still cannot be cut, or that the budget can no longer pay for, stays unmatched, and the
// answer says it is not complete.
#include "editor/text/LineDiff.h"

#include <dtl/dtl.hpp>

#include <algorithm>
#include <bit>
#include <cassert>
#include <numeric>
#include <span>
#include <utility>

namespace kestrim {
namespace {

using TKeys = std::vector<std::uint64_t>;
using TLines = std::span<const int>;

// The most path points dtl may need for a piece it is given: half its own limit.
constexpr std::int64_t MaxPathPoints = static_cast<std::int64_t>(dtl::MAX_CORDINATES_SIZE / 2);
// Cutting pieces at anchors inside pieces goes no deeper than this.
constexpr int MaxDepth = 24;
// How many lines a loop takes between two looks at the cancel flag.
constexpr std::size_t CancelStride = 1u << 16;
// How many lines ahead a loop over a large piece asks for the table's slots.
constexpr std::size_t PrefetchAhead = 16;

// Equal lines: Length of them from Old in the old text and from New in the new one.
struct TMatchRun {
    int Old = 0;
    int New = 0;
    int Length = 0;
};

// What dtl's O(NP) comparison costs on Shorter and Longer lines of which at most Unmatched of
// the shorter side stay unmatched: each of its Unmatched + 1 rounds records a path point on
// each diagonal it has reached, and a diagonal's snake advances at most Shorter lines in all.
struct TDtlCost {
    std::int64_t Points = 0;
    std::int64_t Steps = 0;
};

TDtlCost DtlCost(std::int64_t Shorter, std::int64_t Longer, std::int64_t Unmatched)
{
    const std::int64_t rounds = Unmatched + 1, diagonals = Longer - Shorter + Unmatched + 1;
    if (rounds > MaxPathPoints || diagonals > MaxPathPoints)
        return {MaxPathPoints + 1, 0}; // past any piece dtl is given; spares the products
    const std::int64_t points = rounds * diagonals;
    return {points, points + (diagonals + Unmatched) * Shorter};
}

// Where the keys of a piece occur: an open-addressed table of the new side's keys, each with
// where it stands on either side when it stands there once.
class TKeyTable {
public:
    static constexpr std::uint32_t Absent = 0xFFFFFFFF;
    static constexpr std::uint32_t Several = 0xFFFFFFFE;

    struct TEntry {
        std::uint64_t Key = 0;
        std::uint32_t New = Absent; // Absent only in an empty slot
        std::uint32_t Old = Absent;
    };

    explicit TKeyTable(std::size_t Count)
    {
        std::size_t size = 16;
        while (size < Count * 2)
            size *= 2;
        FSlots.resize(size);
        FMask = size - 1;
        FShift = 64 - std::countr_zero(size);
    }

    // The entry of Key, or the empty slot it would take.
    TEntry& Slot(std::uint64_t Key)
    {
        std::size_t at = Home(Key);
        while (FSlots[at].New != Absent && FSlots[at].Key != Key)
            at = (at + 1) & FMask;
        return FSlots[at];
    }

    TEntry* Find(std::uint64_t Key)
    {
        TEntry& entry = Slot(Key);
        return entry.New == Absent ? nullptr : &entry;
    }

    // Asks for Key's slot ahead of its use: in the table of a large text nearly every look-up
    // misses the cache, and asking early lets the misses overlap.
    void Prefetch(std::uint64_t Key) const
    {
#if defined(__GNUC__)
        __builtin_prefetch(&FSlots[Home(Key)]);
#endif
    }

private:
    std::vector<TEntry> FSlots;
    std::size_t FMask = 0;
    int FShift = 0;

    // Keys given by a caller need not be hashes: the multiplication spreads them.
    std::size_t Home(std::uint64_t Key) const { return static_cast<std::size_t>((Key * 0x9E3779B97F4A7C15u) >> FShift); }
};

// The lines of a piece that may match, and the table that says which are anchors.
struct TReducedPiece {
    std::vector<int> Old;
    std::vector<int> New;
    TKeyTable Table;
};

class TLineMatcher {
public:
    TLineMatcher(const TKeys& Old, const TKeys& New, const std::atomic<bool>& Cancel, std::int64_t Budget)
        : FOld(Old), FNew(New), FCancel(Cancel), FBudget(Budget)
    {
    }

    std::optional<TLineDiff> Run()
    {
        std::vector<int> oldLines(FOld.size()), newLines(FNew.size());
        std::iota(oldLines.begin(), oldLines.end(), 0);
        std::iota(newLines.begin(), newLines.end(), 0);
        Match(oldLines, newLines, 0);
        if (Cancelled())
            return std::nullopt;
        return TLineDiff{HunksBetweenRuns(), FComplete};
    }

private:
    const TKeys& FOld;
    const TKeys& FNew;
    const std::atomic<bool>& FCancel;
    std::int64_t FBudget;
    bool FComplete = true;
    bool FCancelled = false;
    std::vector<TMatchRun> FRuns;

    bool Cancelled()
    {
        FCancelled = FCancelled || FCancel.load(std::memory_order_relaxed);
        return FCancelled;
    }

    bool CancelledAt(std::size_t Step) { return Step % CancelStride == 0 && Cancelled(); }

    // Takes Steps from the budget; when it cannot, the piece stays unmatched.
    bool Pay(std::int64_t Steps)
    {
        if (Steps > FBudget) {
            FComplete = false;
            return false;
        }
        FBudget -= Steps;
        return true;
    }

    void Emit(int Old, int New)
    {
        if (!FRuns.empty()) {
            TMatchRun& last = FRuns.back();
            if (last.Old + last.Length == Old && last.New + last.Length == New) {
                ++last.Length;
                return;
            }
        }
        FRuns.push_back({Old, New, 1});
    }

    bool Same(int Old, int New) const { return FOld[static_cast<std::size_t>(Old)] == FNew[static_cast<std::size_t>(New)]; }

    // Matches the equal lines at the head of Old and New, and counts those at the tail.
    std::size_t MatchHead(TLines Old, TLines New)
    {
        std::size_t head = 0;
        while (head < Old.size() && head < New.size() && Same(Old[head], New[head]))
            Emit(Old[head], New[head]), ++head;
        return head;
    }

    std::size_t TailLength(TLines Old, TLines New, std::size_t Head) const
    {
        std::size_t tail = 0;
        while (tail + Head < Old.size() && tail + Head < New.size()
               && Same(Old[Old.size() - 1 - tail], New[New.size() - 1 - tail]))
            ++tail;
        return tail;
    }

    void EmitTail(TLines Old, TLines New, std::size_t Tail)
    {
        for (std::size_t i = Tail; i > 0; --i)
            Emit(Old[Old.size() - i], New[New.size() - i]);
    }

    // Matches the piece Old / New (line numbers in increasing order).
    void Match(TLines Old, TLines New, int Depth)
    {
        if (Cancelled())
            return;
        const std::size_t head = MatchHead(Old, New);
        const std::size_t tail = TailLength(Old, New, head);
        const TLines oldRest = Old.subspan(head, Old.size() - head - tail);
        const TLines newRest = New.subspan(head, New.size() - head - tail);
        if (!oldRest.empty() && !newRest.empty())
            MatchRest(oldRest, newRest, Depth);
        EmitTail(Old, New, tail);
    }

    void MatchRest(TLines Old, TLines New, int Depth)
    {
        // The whole text is always narrowed, however long: that alone answers the common
        // cases. The pieces cut from it pay for it from the budget.
        if (Depth > 0 && !Pay(static_cast<std::int64_t>(Old.size() + New.size())))
            return;
        // dtl's cost depends on how many lines stay unmatched, bounded here by the lines that
        // match on a diagonal: before the narrowing, that counts lines changed in place; after
        // it, where the lines added and removed are gone, it counts the rest.
        const std::size_t matchesBefore = DiagonalMatches(Old, New);
        auto piece = Reduce(Old, New);
        if (!piece)
            return;
        const std::size_t head = MatchHead(piece->Old, piece->New);
        const std::size_t tail = TailLength(piece->Old, piece->New, head);
        const std::size_t oldCount = piece->Old.size() - head - tail;
        const std::size_t newCount = piece->New.size() - head - tail;
        if (oldCount > 0 && newCount > 0) {
            const TLines oldRest = TLines(piece->Old).subspan(head, oldCount);
            const TLines newRest = TLines(piece->New).subspan(head, newCount);
            const std::size_t shorter = std::min(oldCount, newCount);
            const std::size_t matches = std::min(
                shorter, std::max(matchesBefore - std::min(matchesBefore, head + tail), DiagonalMatches(oldRest, newRest)));
            const TDtlCost cost = DtlCost(static_cast<std::int64_t>(shorter), static_cast<std::int64_t>(std::max(oldCount, newCount)),
                                          static_cast<std::int64_t>(shorter - matches));
            if (cost.Points <= MaxPathPoints)
                MatchByDtl(oldRest, newRest, cost.Steps);
            else
                MatchBetweenAnchors(*piece, head, oldRest, newRest, Depth);
        }
        EmitTail(piece->Old, piece->New, tail);
    }

    // The lines of Old whose key New holds, and of New whose key Old holds.
    std::optional<TReducedPiece> Reduce(TLines Old, TLines New)
    {
        TReducedPiece piece{{}, {}, TKeyTable(New.size())};
        TKeyTable& table = piece.Table;
        const auto oldKey = [&](std::size_t i) { return FOld[static_cast<std::size_t>(Old[i])]; };
        const auto newKey = [&](std::size_t i) { return FNew[static_cast<std::size_t>(New[i])]; };
        for (std::size_t i = 0; i < New.size(); ++i) {
            if (CancelledAt(i))
                return std::nullopt;
            if (i + PrefetchAhead < New.size())
                table.Prefetch(newKey(i + PrefetchAhead));
            TKeyTable::TEntry& entry = table.Slot(newKey(i));
            entry.Key = newKey(i);
            entry.New = entry.New == TKeyTable::Absent ? static_cast<std::uint32_t>(i) : TKeyTable::Several;
        }
        for (std::size_t i = 0; i < Old.size(); ++i) {
            if (CancelledAt(i))
                return std::nullopt;
            if (i + PrefetchAhead < Old.size())
                table.Prefetch(oldKey(i + PrefetchAhead));
            if (TKeyTable::TEntry* entry = table.Find(oldKey(i))) {
                entry->Old = entry->Old == TKeyTable::Absent ? static_cast<std::uint32_t>(piece.Old.size()) : TKeyTable::Several;
                piece.Old.push_back(Old[i]);
            }
        }
        if (piece.Old.empty()) // every line changed: nothing on the new side can match either
            return piece;
        for (std::size_t i = 0; i < New.size(); ++i) {
            if (CancelledAt(i))
                return std::nullopt;
            if (i + PrefetchAhead < New.size())
                table.Prefetch(newKey(i + PrefetchAhead));
            TKeyTable::TEntry& entry = *table.Find(newKey(i));
            if (entry.Old == TKeyTable::Absent)
                continue;
            if (entry.New == i) // once on this side: where it stands among the lines kept
                entry.New = static_cast<std::uint32_t>(piece.New.size());
            piece.New.push_back(New[i]);
        }
        return piece;
    }

    // How many lines pair up on the better of two diagonals of Old / New: the one aligning
    // their heads and the one aligning their tails. They are a common run, so at least as many
    // match in all.
    std::size_t DiagonalMatches(TLines Old, TLines New) const
    {
        const std::size_t shorter = std::min(Old.size(), New.size());
        const std::size_t oldShift = Old.size() - shorter, newShift = New.size() - shorter;
        std::size_t headMatches = 0, tailMatches = 0;
        for (std::size_t i = 0; i < shorter; ++i) {
            headMatches += Same(Old[i], New[i]);
            tailMatches += Same(Old[i + oldShift], New[i + newShift]);
        }
        return std::max(headMatches, tailMatches);
    }

    void MatchByDtl(TLines Old, TLines New, std::int64_t Steps)
    {
        if (!Pay(Steps))
            return;
        TKeys oldKeys(Old.size()), newKeys(New.size());
        std::transform(Old.begin(), Old.end(), oldKeys.begin(), [&](int line) { return FOld[static_cast<std::size_t>(line)]; });
        std::transform(New.begin(), New.end(), newKeys.begin(), [&](int line) { return FNew[static_cast<std::size_t>(line)]; });
        dtl::Diff<std::uint64_t> diff(oldKeys, newKeys);
        diff.compose();
        for (const auto& [key, info] : diff.getSes().getSequence())
            if (info.type == dtl::SES_COMMON) // indexes from 1
                Emit(Old[static_cast<std::size_t>(info.beforeIdx - 1)], New[static_cast<std::size_t>(info.afterIdx - 1)]);
    }

    // Cuts Old / New, which stand from First in the piece's lines, at anchors and matches the
    // pieces between them.
    void MatchBetweenAnchors(TReducedPiece& Piece, std::size_t First, TLines Old, TLines New, int Depth)
    {
        if (Depth >= MaxDepth) {
            FComplete = false;
            return;
        }
        if (!Pay(static_cast<std::int64_t>(Old.size() + New.size())))
            return;
        const std::vector<std::pair<std::size_t, std::size_t>> anchors = Anchors(Piece, First, Old, New);
        if (anchors.empty()) {
            FComplete = false;
            return;
        }
        Piece.Table = TKeyTable(0); // not needed below, where each piece has its own
        std::size_t oldFrom = First, newFrom = First;
        for (const auto& [oldAt, newAt] : anchors) {
            Match(TLines(Piece.Old).subspan(oldFrom, oldAt - oldFrom), TLines(Piece.New).subspan(newFrom, newAt - newFrom),
                  Depth + 1);
            Emit(Piece.Old[oldAt], Piece.New[newAt]);
            oldFrom = oldAt + 1;
            newFrom = newAt + 1;
        }
        Match(TLines(Piece.Old).subspan(oldFrom, First + Old.size() - oldFrom),
              TLines(Piece.New).subspan(newFrom, First + New.size() - newFrom), Depth + 1);
    }

    // The lines of Old (from First among the piece's lines) found once on each side, as
    // positions among the piece's lines, in the longest order that both sides keep.
    std::vector<std::pair<std::size_t, std::size_t>> Anchors(TReducedPiece& Piece, std::size_t First, TLines Old, TLines New)
    {
        const std::size_t newEnd = First + New.size();
        std::vector<std::pair<std::size_t, std::size_t>> unique;
        for (std::size_t i = 0; i < Old.size(); ++i) {
            if (CancelledAt(i))
                return {};
            if (i + PrefetchAhead < Old.size())
                Piece.Table.Prefetch(FOld[static_cast<std::size_t>(Old[i + PrefetchAhead])]);
            const TKeyTable::TEntry& entry = *Piece.Table.Find(FOld[static_cast<std::size_t>(Old[i])]);
            if (entry.Old == First + i && entry.New != TKeyTable::Several && entry.New >= First && entry.New < newEnd)
                unique.emplace_back(First + i, entry.New);
        }
        return LongestIncreasing(unique);
    }

    // The longest chain of Pairs (in increasing first) whose seconds increase, by patience sorting.
    static std::vector<std::pair<std::size_t, std::size_t>> LongestIncreasing(const std::vector<std::pair<std::size_t, std::size_t>>& Pairs)
    {
        std::vector<std::size_t> pileTops;       // index into Pairs of each pile's top
        std::vector<std::size_t> below(Pairs.size()); // the top of the pile to the left when placed
        for (std::size_t i = 0; i < Pairs.size(); ++i) {
            const std::size_t value = Pairs[i].second;
            auto pile = pileTops.empty() || Pairs[pileTops.back()].second < value
                            ? pileTops.end()
                            : std::lower_bound(pileTops.begin(), pileTops.end(), value,
                                               [&](std::size_t top, std::size_t v) { return Pairs[top].second < v; });
            below[i] = pile == pileTops.begin() ? Pairs.size() : *std::prev(pile);
            if (pile == pileTops.end())
                pileTops.push_back(i);
            else
                *pile = i;
        }
        std::vector<std::pair<std::size_t, std::size_t>> chain(pileTops.size());
        std::size_t at = pileTops.empty() ? Pairs.size() : pileTops.back();
        for (std::size_t k = chain.size(); k > 0; --k, at = below[at])
            chain[k - 1] = Pairs[at];
        return chain;
    }

    std::vector<TDiffHunk> HunksBetweenRuns() const
    {
        std::vector<TDiffHunk> hunks;
        int oldAt = 0, newAt = 0;
        const auto addUpTo = [&](int oldEnd, int newEnd) {
            if (oldEnd > oldAt || newEnd > newAt)
                hunks.push_back({oldAt, oldEnd - oldAt, newAt, newEnd - newAt});
        };
        for (const TMatchRun& run : FRuns) {
            assert(run.Old >= oldAt && run.New >= newAt);
            addUpTo(run.Old, run.New);
            oldAt = run.Old + run.Length;
            newAt = run.New + run.Length;
        }
        addUpTo(static_cast<int>(FOld.size()), static_cast<int>(FNew.size()));
        return hunks;
    }
};

} // namespace

std::optional<TLineDiff> DiffLines(const std::vector<std::uint64_t>& Old, const std::vector<std::uint64_t>& New,
                                   const std::atomic<bool>& Cancel, std::int64_t Budget)
{
    return TLineMatcher(Old, New, Cancel, Budget).Run();
}

} // namespace kestrim
