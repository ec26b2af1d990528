#include "app/AllocatorTuning.h"

#include <malloc.h>

namespace kestrim {

void TuneAllocatorForLargeTexts()
{
    ::mallopt(M_MXFAST, 0);
}

void ReturnFreedMemory()
{
    ::malloc_trim(0);
}

} // namespace kestrim
