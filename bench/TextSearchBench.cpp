// The editor's search through 100 MB of text in 2,000,000 rows (TEditorStringList) for a
// pattern that is not there, so that every block of rows is copied and scanned.
//
// SearchDownAbsent: forward from the top, matching case (target: 1 s).
// SearchDownAbsentIgnoringCase: the same without match case, as the find dialog searches by default.
// SearchUpAbsent: backward from the end of the last row.
// SearchDownAbsentIgnoringWidth: forward with half-width and full-width forms taken as equal.
// ...Utf8: the same search in the UTF-8 twin of the text (target: at most 1.2 times the Shift-JIS time).
#include "editor/base/TextConversion.h"
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

// The same characters in UTF-8: the two-byte ones (hiragana) take three bytes.
const TEditorStringList& Utf8Rows()
{
    static TEditorStringList rows;
    if (rows.Count() == 0) {
        const TEditorStringList& sjis = Rows();
        rows.SetCapacity(RowCount);
        for (int i = 0; i < RowCount; ++i)
            rows.Add(ConvertText(sjis.Str(i), TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text);
        rows.SetRows(RowCount - 1, raEof);
    }
    return rows;
}

void Search(benchmark::State& State, int Row, int Offset, TSearchOptions Options,
            TTextEncoding Encoding = TTextEncoding::ShiftJis)
{
    const TEditorStringList& rows = Encoding == TTextEncoding::Utf8 ? Utf8Rows() : Rows();
    for (auto _ : State) {
        const auto hit = SearchRows(rows, Row, Offset, 0, AbsentPattern, Options, SearchBlockSize, Encoding);
        if (hit)
            State.SkipWithError("the absent pattern was found");
        benchmark::DoNotOptimize(hit);
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(RowCount * RowBytes));
}

constexpr auto Utf8 = TTextEncoding::Utf8;

void SearchDownAbsent(benchmark::State& State) { Search(State, 0, 0, soDown | soMatchCase); }
void SearchDownAbsentIgnoringCase(benchmark::State& State) { Search(State, 0, 0, soDown); }
void SearchUpAbsent(benchmark::State& State) { Search(State, RowCount - 1, RowBytes - 2, soMatchCase); }
void SearchDownAbsentIgnoringWidth(benchmark::State& State) { Search(State, 0, 0, soDown | soIgnoreWidth); }
void SearchDownAbsentUtf8(benchmark::State& State) { Search(State, 0, 0, soDown | soMatchCase, Utf8); }
void SearchDownAbsentIgnoringCaseUtf8(benchmark::State& State) { Search(State, 0, 0, soDown, Utf8); }
void SearchUpAbsentUtf8(benchmark::State& State)
{
    Search(State, RowCount - 1, static_cast<int>(Utf8Rows().Str(RowCount - 1).size()), soMatchCase, Utf8);
}
void SearchDownAbsentIgnoringWidthUtf8(benchmark::State& State) { Search(State, 0, 0, soDown | soIgnoreWidth, Utf8); }

} // namespace

BENCHMARK(SearchDownAbsent)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentIgnoringCase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchUpAbsent)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentIgnoringWidth)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentUtf8)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentIgnoringCaseUtf8)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchUpAbsentUtf8)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SearchDownAbsentIgnoringWidthUtf8)->Unit(benchmark::kMillisecond)->Iterations(3);
