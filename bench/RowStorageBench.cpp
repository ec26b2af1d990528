// What the editor's rows cost: rows of three shapes added to a row list the way a loaded file
// fills one (room for an eighth more reserved first), with the resident bytes they took per
// row and per byte of the file they stand for (each row's text and its line break), and the
// time the adding took. Resident bytes are measured with the list alive; the worst of the
// iterations is reported.

#include "editor/text/edStringList.h"
#include "support/ProcessMemory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <random>
#include <string>

using namespace kestrim;

namespace {

struct TRowShape {
    const char* Name;
    std::size_t Shortest;
    std::size_t Longest;
    int Rows;
};
const TRowShape Shapes[] = {
    {"rows of 0..15 bytes", 0, 15, 2'000'000},
    {"rows of 40..58 bytes", 40, 58, 2'000'000},
    {"rows of 200..2000 bytes", 200, 2000, 200'000},
};

void AddRows(benchmark::State& State)
{
    const TRowShape& shape = Shapes[State.range(0)];
    double bytesPerRow = 0;
    double perFileByte = 0;
    for (auto _ : State) {
        std::mt19937 random(5);
        std::string row;
        std::size_t fileBytes = 0;
        ::malloc_trim(0);
        const std::size_t before = test::StatusBytes("VmRSS");
        TEditorStringList rows;
        const auto start = std::chrono::steady_clock::now();
        rows.SetCapacity(shape.Rows + shape.Rows / 8 + 16);
        for (int i = 0; i < shape.Rows; ++i) {
            row.assign(shape.Shortest + random() % (shape.Longest - shape.Shortest + 1), 'x');
            rows.Add(row);
            fileBytes += row.size() + 2;
        }
        State.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        const auto grown = static_cast<double>(test::StatusBytes("VmRSS") - before);
        bytesPerRow = std::max(bytesPerRow, grown / shape.Rows);
        perFileByte = std::max(perFileByte, grown / static_cast<double>(fileBytes));
    }
    State.counters["bytes/row"] = bytesPerRow;
    State.counters["rss/file"] = perFileByte;
    State.SetLabel(shape.Name);
}
BENCHMARK(AddRows)->DenseRange(0, 2)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
