// The editor's search through 100 MB of text in 2,000,000 rows (TEditorStringList) for a
// pattern that is not there, so that every block of rows is copied and scanned.
//
// SearchDownAbsent: forward from the top, matching case (target: 1 s).
// SearchDownAbsentIgnoringCase: the same without match case, as the find dialog searches by default.
// SearchUpAbsent: backward from the end of the last row.
// SearchDownAbsentIgnoringWidth: forward with half-width and full-width forms taken as equal.
#include "editor/text/RowSearch.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

using namespace kestrim;

namespace {

constexpr int RowCount = 2'000'000;
constexpr std::size_t RowBytes = 50; // with the line break: 100 MB in all
const std::string AbsentPattern = "kestrim~"; // '~' never occurs in the text

// Rows of 48 bytes: printable ASCII but '~', one in sixteen characters a two-byte one.
const TEditorStringList& Rows()
{
    static TEditorStringList rows;
    if (rows.Count() == 0) {
        std::mt19937 random(11);
        rows.SetCapacity(RowCount);
        std::string row;
        for (int i = 0; i < RowCount; ++i) {
            row.clear();
            while (row.size() < RowBytes - 2) {
                if (random() % 16 == 0 && row.size() + 2 <= RowBytes - 2) {
                    row += '\x82';
                    row += static_cast<char>(0x9F + random() % 80);
                } else {
                    row += static_cast<char>(0x20 + random() % 94);
                }
            }
            rows.Add(row);
        }
        rows.SetRows(RowCount - 1, raEof);
    }
    return rows;
}

void Search(benchmark::State& State, int Row, int Offset, TSearchOptions Options)
{
    const TEditorStringList& rows = Rows();
    for (auto _ : State) {
        const auto hit = SearchRows(rows, Row, Offset, 0, AbsentPattern, Options);
        if (hit)
            State.SkipWithError("the absent pattern was found");
        benchmark::DoNotOptimize(hit);
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(RowCount * RowBytes));
}

void SearchDownAbsent(benchmark::State& State) { Search(State, 0, 0, soDown | soMatchCase); }
void SearchDownAbsentIgnoringCase(benchmark::State& State) { Search(State, 0, 0, soDown); }
void SearchUpAbsent(benchmark::State& State) { Search(State, RowCount - 1, RowBytes - 2, soMatchCase); }
void SearchDownAbsentIgnoringWidth(benchmark::State& State) { Search(State, 0, 0, soDown | soIgnoreWidth); }

} // namespace

BENCHMARK(SearchDownAbsent)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentIgnoringCase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchUpAbsent)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentIgnoringWidth)->Unit(benchmark::kMillisecond)->Iterations(3);
