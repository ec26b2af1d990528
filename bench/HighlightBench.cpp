// Syntax highlighting: computing the state each row hands on to the next, as the row list does
// after loading a script.
//
// ComputeNextRowState/Lines: 1,000,000 rows of Perl code (comments, strings, numbers, reserved
// words of conf/perl.txt) as logical lines (target: 50 MB/s).
// ComputeNextRowState/Wrapped: the same code wrapped at 40 bytes, so that every wrapped row is
// parsed together with the next one.
#include "PerlScript.h"

#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/edStringList.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace kestrim;
using namespace kestrim::bench;

namespace {

constexpr int RowCount = 1'000'000;

// The rows as they are, or cut into rows of at most Width bytes.
std::unique_ptr<TEditorStringList> RowList(int Width, std::size_t& Bytes)
{
    auto list = std::make_unique<TEditorStringList>();
    Bytes = 0;
    for (const std::string& line : PerlRows(RowCount)) {
        Bytes += line.size();
        for (std::size_t start = 0; Width == 0 || start < line.size(); start += static_cast<std::size_t>(Width)) {
            const bool last = Width == 0 || start + static_cast<std::size_t>(Width) >= line.size();
            list->SetRows(list->Add(Width == 0 ? line : line.substr(start, static_cast<std::size_t>(Width))),
                          last ? raCrlf : raWrapped);
            if (last)
                break;
        }
    }
    return list;
}

void ComputeNextRowState(benchmark::State& State)
{
    TEditorFountain fountain;
    ConfigurePerl(fountain);
    std::size_t bytes = 0;
    const auto list = RowList(static_cast<int>(State.range(0)), bytes);
    auto parser = fountain.NewParser();
    for (auto _ : State) {
        TRowAttributeData data;
        for (int row = 0; row < list->Count(); ++row) {
            data.RowAttribute = list->Rows(row);
            parser->ComputeNextRowState(row, *list, data);
            data.PrevRowAttribute = data.RowAttribute;
        }
        benchmark::DoNotOptimize(data);
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * bytes));
    State.counters["rows"] = static_cast<double>(list->Count());
}

} // namespace

BENCHMARK(ComputeNextRowState)->Arg(0)->Arg(40)->ArgNames({"Width"})->Unit(benchmark::kMillisecond);
