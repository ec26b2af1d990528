#pragma once
// Small runs of bytes carved one after another from shared blocks, so that millions of short
// rows cost their bytes and not an allocator header and rounding each. A block goes back to the
// system when the last run carved from it is freed; a run may be freed on any thread.

#include <cstddef>

namespace kestrim {

// Size bytes (at least one), unaligned. Throws std::bad_alloc when memory runs out.
char* AllocateBlockBytes(std::size_t Size);

// Frees a run that AllocateBlockBytes(Size) gave, with the same Size.
void FreeBlockBytes(char* Bytes, std::size_t Size) noexcept;

} // namespace kestrim
