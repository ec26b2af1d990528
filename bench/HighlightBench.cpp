// Syntax highlighting: computing the state each row hands on to the next, as the row list does
// after loading a script.
//
// ComputeNextRowState/Lines: 1,000,000 rows of Perl code (comments, strings, numbers, reserved
// words of conf/perl.txt) as logical lines (target: 50 MB/s).
// ComputeNextRowState/Wrapped: the same code wrapped at 40 bytes, so that every wrapped row is
// parsed together with the next one.
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/edStringList.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

constexpr int RowCount = 1'000'000;

// The keyword file's words (its first word on each line that is not a remark), or a few
// common ones when the file is missing.
std::vector<std::string> PerlKeywords()
{
    std::vector<std::string> words;
    try {
        TStringList lines;
        lines.SetText(ReadFileBytes(KESTRIM_CONF_DIR "/perl.txt"));
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string line = lines.Get(i);
            const std::string word = line.substr(0, line.find_first_of(" \t"));
            if (!word.empty() && word[0] != '#')
                words.push_back(word);
        }
    } catch (const Exception&) {
        words = {"my", "if", "else", "foreach", "while", "return", "print", "printf", "split", "join", "sub"};
    }
    return words;
}

// Rows of a script built from typical lines with varying names and numbers.
std::vector<std::string> PerlRows(int Count)
{
    const std::vector<std::string> keywords = PerlKeywords();
    std::mt19937 random(11);
    auto keyword = [&] { return keywords[random() % keywords.size()]; };
    auto number = [&] { return std::to_string(random() % 100000); };
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(Count));
    while (static_cast<int>(rows.size()) < Count) {
        switch (random() % 8) {
        case 0:
            rows.push_back("# " + keyword() + " the totals for record " + number());
            break;
        case 1:
            rows.push_back("my $total_" + number() + " = " + number() + ".5e-3 * $count;");
            break;
        case 2:
            rows.push_back("    " + keyword() + " \"name: $name, value: $value\\n\" if $x > " + number() + ";");
            break;
        case 3:
            rows.push_back("foreach my $line (@lines) {  # " + keyword() + " each line");
            break;
        case 4:
            rows.push_back("    my ($name, $value) = split /,/, $line, " + number() + ";");
            break;
        case 5:
            rows.push_back("    printf(\"%-10s %8.2f\\n\", $name, $value / 0x" + number() + ");");
            break;
        case 6:
            rows.push_back("}");
            break;
        default:
            rows.push_back("return $total > " + number() + " ? '" + keyword() + "' : 'small';");
            break;
        }
    }
    return rows;
}

void Configure(TEditorFountain& Fountain)
{
    Fountain.SetCommenter("#");
    Fountain.SetQuotation("\"");
    Fountain.SetHexPrefix("0x");
    TStringList words;
    for (const std::string& word : PerlKeywords())
        words.Add(word);
    Fountain.SetReserveWordList(words);
}

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
    Configure(fountain);
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
