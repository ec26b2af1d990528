// Syntax highlighting: computing the state each row hands on to the next, as the row list does
// after loading a script.
//
// ComputeNextRowState/Lines: 1,000,000 rows of Perl code (comments, strings, numbers, reserved
// words of conf/perl.txt) as logical lines (target: 50 MB/s).
// ComputeNextRowState/Wrapped: the same code wrapped at 40 bytes, so that every wrapped row is
// parsed together with the next one.
// TokenColors/Sjis, TokenColors/Utf8: tokens with their colours, row by row as painting asks for
// them, over Japanese comments and strings in Perl code, as Shift-JIS and as the same characters
// in UTF-8 (targets: Shift-JIS as fast as before, UTF-8 150 MB/s).
#include "PerlScript.h"

#include "editor/base/TextConversion.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/edStringList.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

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

// Rows of Japanese text (kana, kanji, wide digits and symbols) in comments, strings and plain
// prose between lines of the script, in Encoding.
std::vector<std::string> JapaneseRows(TTextEncoding Encoding)
{
    static const char* const japanese[] = {
        "吾輩は猫である。名前はまだ無い。", "どこで生れたかとんと見当がつかぬ。", "カタカナの単語とＡＢＣ、１２３，５",
        "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。", "ｶﾀｶﾅ　全角空白と「括弧」"};
    std::vector<std::string> rows;
    const std::vector<std::string> perl = PerlRows(RowCount / 5);
    for (std::size_t i = 0; i < perl.size(); ++i) {
        const std::string text = japanese[i % std::size(japanese)];
        switch (i % 3) {
        case 0:
            rows.push_back("# " + text);
            break;
        case 1:
            rows.push_back("print \"" + text + "\\n\";");
            break;
        default:
            rows.push_back(text + text);
            break;
        }
        rows.push_back(perl[i]);
    }
    for (std::string& row : rows)
        row = ConvertText(row, TTextEncoding::Utf8, Encoding).Text;
    return rows;
}

void TokenColors(benchmark::State& State)
{
    const auto encoding = static_cast<TTextEncoding>(State.range(0));
    TEditorFountain fountain;
    ConfigurePerl(fountain);
    const std::vector<std::string> rows = JapaneseRows(encoding);
    std::size_t bytes = 0;
    for (const std::string& row : rows)
        bytes += row.size();
    auto parser = fountain.NewParser(encoding);
    for (auto _ : State)
        benchmark::DoNotOptimize(ParseRowsAsPainted<true>(*parser, rows));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * bytes));
}

} // namespace

BENCHMARK(TokenColors)->Arg(static_cast<int>(TTextEncoding::ShiftJis))->Arg(static_cast<int>(TTextEncoding::Utf8))->ArgNames({"Utf8"})->Unit(benchmark::kMillisecond);
BENCHMARK(ComputeNextRowState)->Arg(0)->Arg(40)->ArgNames({"Width"})->Unit(benchmark::kMillisecond);
