#include "editor/base/BlockBytes.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace kestrim {
namespace {

// Blocks are aligned to their size, so that a run finds its block's head from its own address.
constexpr std::size_t BlockSize = std::size_t{1} << 20;
// Larger runs get an allocation of their own, so that the tail a block leaves unused stays small.
constexpr std::size_t LargeSize = BlockSize / 16;

struct alignas(64) TBlockHead {
    // The runs not freed yet, plus one while the block is a thread's current block.
    std::atomic<std::size_t> Live{1};
};

// Blocks are mapped from the system and unmapped when empty rather than taken from the heap:
// the heap gives freed memory back only when trimmed, and trimming the hundreds of megabytes a
// replaced text leaves holds the heap's lock, so that every other thread's allocation waits.
void* MapBlock()
{
    // Twice the size, so that an aligned block lies inside; the rest goes back at once.
    const std::size_t span = 2 * BlockSize;
    void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t block = (start + BlockSize - 1) & ~(BlockSize - 1);
    const std::uintptr_t after = block + BlockSize;
    if (block > start)
        ::munmap(mapped, block - start);
    if (start + span > after)
        ::munmap(reinterpret_cast<void*>(after), start + span - after);
    return reinterpret_cast<void*>(block);
}

void Unref(TBlockHead* Head) noexcept
{
    if (Head->Live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        Head->~TBlockHead();
        ::munmap(Head, BlockSize);
    }
}

// The block this thread carves its runs from; runs are never carved on two threads at once.
class TCurrentBlock {
public:
    TCurrentBlock() = default;
    TCurrentBlock(const TCurrentBlock&) = delete;
    TCurrentBlock& operator=(const TCurrentBlock&) = delete;
    ~TCurrentBlock() { Release(); }

    char* Carve(std::size_t Size)
    {
        if (!FHead || BlockSize - FUsed < Size)
            Renew();
        FHead->Live.fetch_add(1, std::memory_order_relaxed);
        char* run = reinterpret_cast<char*>(FHead) + FUsed;
        FUsed += Size;
        return run;
    }

private:
    void Renew()
    {
        void* memory = MapBlock();
        Release();
        FHead = ::new (memory) TBlockHead;
        FUsed = sizeof(TBlockHead);
    }

    void Release() noexcept
    {
        if (FHead)
            Unref(FHead);
        FHead = nullptr;
    }

    TBlockHead* FHead = nullptr;
    std::size_t FUsed = 0;
};

thread_local TCurrentBlock CurrentBlock;

} // namespace

char* AllocateBlockBytes(std::size_t Size)
{
    if (Size <= LargeSize)
        return CurrentBlock.Carve(Size);
    if (void* own = std::malloc(Size))
        return static_cast<char*>(own);
    throw std::bad_alloc();
}

void FreeBlockBytes(char* Bytes, std::size_t Size) noexcept
{
    if (Size > LargeSize) {
        std::free(Bytes);
        return;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(Bytes) & ~(BlockSize - 1);
    Unref(reinterpret_cast<TBlockHead*>(address));
}

} // namespace kestrim
