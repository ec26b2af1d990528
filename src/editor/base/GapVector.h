#pragma once
// TGapVector: a sequence that keeps its free slots as one gap at the place of the last change,
// so that a run of edits at one place of millions of elements moves nothing: only moving the
// gap to another place costs the elements between the two places. The row list of the editor
// keeps its rows in one.
//
// Slots of the gap hold default-constructed elements; removed elements are reset to that, so
// that what they owned is freed at once.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace kestrim {

template <typename T>
class TGapVector {
public:
    std::size_t size() const { return FSlots.size() - GapLength(); }
    bool empty() const { return size() == 0; }
    std::size_t capacity() const { return FSlots.size(); }

    T& operator[](std::size_t Index) { return FSlots[SlotOf(Index)]; }
    const T& operator[](std::size_t Index) const { return FSlots[SlotOf(Index)]; }

    // Reallocates to exactly NewCapacity slots, at least size().
    void SetCapacity(std::size_t NewCapacity)
    {
        assert(NewCapacity >= size());
        std::vector<T> resized(NewCapacity);
        const std::size_t count = size();
        for (std::size_t i = 0; i < count; ++i)
            resized[i] = std::move((*this)[i]);
        FSlots.swap(resized);
        FGapStart = count;
        FGapEnd = NewCapacity;
    }

    // Moves the elements of [First, Last) to Index; the capacity must already hold them.
    template <typename Iterator>
    void Insert(std::size_t Index, Iterator First, Iterator Last)
    {
        const auto count = static_cast<std::size_t>(std::distance(First, Last));
        assert(Index <= size() && count <= GapLength());
        MoveGapTo(Index);
        for (; First != Last; ++First)
            FSlots[FGapStart++] = std::move(*First);
    }

    void Insert(std::size_t Index, T Item)
    {
        T* first = &Item;
        Insert(Index, std::make_move_iterator(first), std::make_move_iterator(first + 1));
    }

    // Removes Count elements from Index.
    void Erase(std::size_t Index, std::size_t Count)
    {
        assert(Index + Count <= size());
        MoveGapTo(Index);
        for (std::size_t i = 0; i < Count; ++i)
            FSlots[FGapEnd + i] = T();
        FGapEnd += Count;
    }

    void Swap(TGapVector& Other) noexcept
    {
        FSlots.swap(Other.FSlots);
        std::swap(FGapStart, Other.FGapStart);
        std::swap(FGapEnd, Other.FGapEnd);
    }

    void Clear() { TGapVector().Swap(*this); }

private:
    std::size_t GapLength() const { return FGapEnd - FGapStart; }
    std::size_t SlotOf(std::size_t Index) const
    {
        assert(Index < size());
        return Index < FGapStart ? Index : Index + GapLength();
    }

    // The elements between the gap and Index cross it; the gap's slots stay default elements.
    void MoveGapTo(std::size_t Index)
    {
        if (GapLength() == 0) {
            FGapStart = FGapEnd = Index;
        } else if (Index < FGapStart) {
            const std::size_t moved = FGapStart - Index;
            std::move_backward(FSlots.begin() + Index, FSlots.begin() + FGapStart, FSlots.begin() + FGapEnd);
            ResetSlots(Index, std::min(moved, GapLength()));
            FGapEnd -= moved;
            FGapStart = Index;
        } else if (Index > FGapStart) {
            const std::size_t moved = Index - FGapStart;
            const std::size_t from = FGapEnd;
            std::move(FSlots.begin() + from, FSlots.begin() + from + moved, FSlots.begin() + FGapStart);
            FGapStart += moved;
            FGapEnd += moved;
            ResetSlots(std::max(from, FGapStart), FGapEnd - std::max(from, FGapStart));
        }
    }

    // Moved-from elements are left valid but unspecified: the gap holds plain default ones.
    void ResetSlots(std::size_t First, std::size_t Count)
    {
        for (std::size_t i = First; i < First + Count; ++i)
            FSlots[i] = T();
    }

    std::vector<T> FSlots;
    std::size_t FGapStart = 0;
    std::size_t FGapEnd = 0;
};

} // namespace kestrim
