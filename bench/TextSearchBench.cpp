// The editor's search through 100 MB of text in 2,000,000 rows (TEditorStringList) for a
// pattern that is not there, so that every block of rows is copied and scanned.
//
// SearchDownAbsent: forward from the top, matching case (target: 1 s).
// SearchDownAbsentIgnoringCase: the same without match case, as the find dialog searches by default.
// SearchUpAbsent: backward from the end of the last row.
// SearchDownAbsentIgnoringWidth: forward with half-width and full-width forms taken as equal.
// ...Utf8: the same search in the UTF-8 twin of the text (target: at most 1.2 times the Shift-JIS time).
// SearchJapaneseAbsent, ...Utf8: a Japanese word not in a text of which every other character
// is hiragana, ignoring case, in both encodings.
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

// Rows of 48 bytes: printable ASCII but '~', one in JapaneseEvery characters a two-byte one.
void MakeRows(TEditorStringList& rows, unsigned JapaneseEvery)
{
    std::mt19937 random(11);
    rows.SetCapacity(RowCount);
    std::string row;
    for (int i = 0; i < RowCount; ++i) {
        row.clear();
        while (row.size() < RowBytes - 2) {
            if (random() % JapaneseEvery == 0 && row.size() + 2 <= RowBytes - 2) {
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

// The same characters in UTF-8: the two-byte ones (hiragana) take three bytes.
void MakeUtf8Twin(TEditorStringList& rows, const TEditorStringList& Sjis)
{
    rows.SetCapacity(RowCount);
    for (int i = 0; i < RowCount; ++i)
        rows.Add(ConvertText(Sjis.Str(i), TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text);
    rows.SetRows(RowCount - 1, raEof);
}

// Rows made on first use, one in JapaneseEvery characters Japanese, in either encoding.
const TEditorStringList& RowsOf(unsigned JapaneseEvery, TTextEncoding Encoding)
{
    static TEditorStringList lists[2][2];
    const int share = JapaneseEvery == 2 ? 1 : 0;
    TEditorStringList& sjis = lists[share][0];
    if (sjis.Count() == 0)
        MakeRows(sjis, JapaneseEvery);
    if (Encoding == TTextEncoding::ShiftJis)
        return sjis;
    TEditorStringList& utf8 = lists[share][1];
    if (utf8.Count() == 0)
        MakeUtf8Twin(utf8, sjis);
    return utf8;
}

void SearchIn(benchmark::State& State, const TEditorStringList& rows, int Row, int Offset, TSearchOptions Options,
              TTextEncoding Encoding, const std::string& Pattern)
{
    for (auto _ : State) {
        const auto hit = SearchRows(rows, Row, Offset, 0, Pattern, Options, SearchBlockSize, Encoding);
        if (hit)
            State.SkipWithError("the absent pattern was found");
        benchmark::DoNotOptimize(hit);
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(RowCount * RowBytes));
}

void Search(benchmark::State& State, int Row, int Offset, TSearchOptions Options,
            TTextEncoding Encoding = TTextEncoding::ShiftJis)
{
    SearchIn(State, RowsOf(16, Encoding), Row, Offset, Options, Encoding, AbsentPattern);
}

// A kanji word: the Japanese rows hold hiragana only.
void SearchJapanese(benchmark::State& State, TTextEncoding Encoding)
{
    const std::string word = "検索語";
    const std::string pattern =
        Encoding == TTextEncoding::Utf8 ? word : ConvertText(word, TTextEncoding::Utf8, TTextEncoding::ShiftJis).Text;
    SearchIn(State, RowsOf(2, Encoding), 0, 0, soDown, Encoding, pattern);
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
    Search(State, RowCount - 1, static_cast<int>(RowsOf(16, Utf8).Str(RowCount - 1).size()), soMatchCase, Utf8);
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
BENCHMARK_CAPTURE(SearchJapanese, ShiftJis, TTextEncoding::ShiftJis)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(SearchJapanese, Utf8, TTextEncoding::Utf8)->Unit(benchmark::kMillisecond)->Iterations(3);
