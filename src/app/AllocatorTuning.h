#pragma once
// How the process's allocator is set up for texts of millions of rows.

namespace kestrim {

// Freed row-sized blocks are merged with their free neighbours as they are freed. By default
// the C library keeps them aside and merges them all at the next large allocation: after a
// text of two million rows is replaced, that one allocation held the window for about 50 ms.
void TuneAllocatorForLargeTexts();

} // namespace kestrim
