#pragma once
// TRowsFreer: the rows of a replaced text, freed on a thread of their own. Freeing millions of
// rows takes about a second, which the window's thread does not wait for. One text is freed at
// a time; the freer waits for the last one when it goes.

#include "editor/text/edStringList.h"

#include <memory>
#include <thread>

namespace kestrim {

class TRowsFreer {
public:
    TRowsFreer() = default;
    ~TRowsFreer();
    TRowsFreer(const TRowsFreer&) = delete;
    TRowsFreer& operator=(const TRowsFreer&) = delete;

    void Free(std::unique_ptr<TEditorStringList> Rows);

private:
    void Wait();

    std::thread FThread;
};

} // namespace kestrim
