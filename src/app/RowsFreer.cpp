#include "app/RowsFreer.h"

#include "app/AllocatorTuning.h"

namespace kestrim {

TRowsFreer::~TRowsFreer()
{
    Wait();
}

void TRowsFreer::Free(std::unique_ptr<TEditorStringList> Rows)
{
    Wait();
    FThread = std::thread([rows = std::move(Rows)]() mutable {
        rows.reset();
        ReturnFreedMemory();
    });
}

void TRowsFreer::Wait()
{
    if (FThread.joinable())
        FThread.join();
}

} // namespace kestrim
