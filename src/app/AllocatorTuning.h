#pragma once
// How the process's allocator is set up for texts of millions of rows.

namespace kestrim {

// Freed row-sized blocks are merged with their free neighbours as they are freed. By default
// the C library keeps them aside and merges them all at the next large allocation: after a
// text of two million rows is replaced, that one allocation held the window for about 50 ms.
void TuneAllocatorForLargeTexts();

// Gives memory freed in the middle of the heap back to the system. The C library returns only
// what lies at the heap's end by itself, so that after a run or a load of hundreds of megabytes
// the process would go on holding what their buffers and the replaced text's long rows took.
void ReturnFreedMemory();

} // namespace kestrim
