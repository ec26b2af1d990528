#include "editor/base/BlockBytes.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

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

void Unref(TBlockHead* Head) noexcept
{
    if (Head->Live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        Head->~TBlockHead();
        std::free(Head);
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
        void* memory = std::aligned_alloc(BlockSize, BlockSize);
        if (!memory)
            throw std::bad_alloc();
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
