#pragma once
// TGapVector: a sequence that keeps its free slots as one gap at the place of the last change,
// so that a run of edits at one place of millions of elements moves nothing: only moving the
// gap to another place costs the elements between the two places. The row list of the editor
// keeps its rows in one.
//
// The gap's slots are raw memory: elements are built only where they are inserted, so room for
// millions of rows costs neither time nor touched pages until the rows arrive.

#include <cassert>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace kestrim {

template <typename T>
class TGapVector {
    // Moving elements across the gap must not fail halfway.
    static_assert(std::is_nothrow_move_constructible_v<T>);

public:
    TGapVector() = default;
    TGapVector(const TGapVector&) = delete;
    TGapVector& operator=(const TGapVector&) = delete;
    ~TGapVector()
    {
        std::destroy(FSlots, FSlots + FGapStart);
        std::destroy(FSlots + FGapEnd, FSlots + FCapacity);
        std::allocator<T>().deallocate(FSlots, FCapacity);
    }

    std::size_t size() const { return FCapacity - GapLength(); }
    bool empty() const { return size() == 0; }
    std::size_t capacity() const { return FCapacity; }

    T& operator[](std::size_t Index) { return FSlots[SlotOf(Index)]; }
    const T& operator[](std::size_t Index) const { return FSlots[SlotOf(Index)]; }

    // Reallocates to exactly NewCapacity slots, at least size().
    void SetCapacity(std::size_t NewCapacity)
    {
        assert(NewCapacity >= size());
        TGapVector resized;
        resized.FSlots = std::allocator<T>().allocate(NewCapacity);
        resized.FCapacity = NewCapacity;
        T* end = std::uninitialized_move(FSlots, FSlots + FGapStart, resized.FSlots);
        end = std::uninitialized_move(FSlots + FGapEnd, FSlots + FCapacity, end);
        resized.FGapStart = static_cast<std::size_t>(end - resized.FSlots);
        resized.FGapEnd = NewCapacity;
        Swap(resized);
    }

    // Moves the elements of [First, Last) to Index; the capacity must already hold them.
    template <typename Iterator>
    void Insert(std::size_t Index, Iterator First, Iterator Last)
    {
        assert(Index <= size() && static_cast<std::size_t>(std::distance(First, Last)) <= GapLength());
        MoveGapTo(Index);
        for (; First != Last; ++First)
            ::new (static_cast<void*>(FSlots + FGapStart++)) T(std::move(*First));
    }

    void Insert(std::size_t Index, T Item)
    {
        T* first = &Item;
        Insert(Index, std::make_move_iterator(first), std::make_move_iterator(first + 1));
    }

    // Removes Count elements from Index. Elements just before the gap are removed in place, so
    // that removing from the end backwards moves nothing.
    void Erase(std::size_t Index, std::size_t Count)
    {
        assert(Index + Count <= size());
        if (Index + Count == FGapStart) {
            std::destroy(FSlots + Index, FSlots + FGapStart);
            FGapStart = Index;
            return;
        }
        MoveGapTo(Index);
        std::destroy(FSlots + FGapEnd, FSlots + FGapEnd + Count);
        FGapEnd += Count;
    }

    void Swap(TGapVector& Other) noexcept
    {
        std::swap(FSlots, Other.FSlots);
        std::swap(FCapacity, Other.FCapacity);
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

    // The elements between the gap and Index cross it one by one, each built in the free slot
    // on the other side and destroyed where it was, so the gap stays raw memory.
    void MoveGapTo(std::size_t Index)
    {
        if (GapLength() == 0) {
            FGapStart = FGapEnd = Index;
            return;
        }
        while (FGapStart > Index)
            Relocate(--FGapStart, --FGapEnd);
        while (FGapStart < Index)
            Relocate(FGapEnd++, FGapStart++);
    }

    void Relocate(std::size_t From, std::size_t To)
    {
        ::new (static_cast<void*>(FSlots + To)) T(std::move(FSlots[From]));
        std::destroy_at(FSlots + From);
    }

    T* FSlots = nullptr;
    std::size_t FCapacity = 0;
    std::size_t FGapStart = 0;
    std::size_t FGapEnd = 0;
};

} // namespace kestrim
