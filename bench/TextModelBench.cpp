// The editor's text model: filling a row list and word-wrapping a large text.
//
// EditorStringListAdd: 1,000,000 Add calls on an empty TEditorStringList (target: 0.3 s).
// StrToWrapList: 10 MB of mixed text (ASCII words, two-byte Japanese with punctuation, half-width
// kana with voiced marks, tabs) wrapped at WrapByte 80 with every wrap rule on (target: 1 s).
#include "editor/base/CodePage.h"
#include "editor/text/edStringList.h"
#include "editor/text/edWordWrap.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

constexpr int AddCount = 1'000'000;
constexpr std::size_t WrapTextSize = 10u << 20;

// Lines of 0 to 400 bytes ending in CR LF.
std::string MixedText(std::size_t Size)
{
    std::vector<std::string> pieces;
    for (const char* utf8 : {"print", "value", "x", "42", " ", " ", "=", ";", "(", ")", ",", ".", "\t",
                             "漢字", "日本語", "です", "、", "。", "「", "」", "ー", "（", "）",
                             "ｶﾀｶﾅ", "ｶﾞ", "ﾊﾟ", "｡", "｢", "｣"})
        pieces.push_back(Utf8ToSjis(utf8));
    std::mt19937 random(7);
    std::string text;
    text.reserve(Size + 512);
    while (text.size() < Size) {
        const std::size_t length = random() % 401;
        const std::size_t lineEnd = text.size() + length;
        while (text.size() < lineEnd)
            text += pieces[random() % pieces.size()];
        text += "\r\n";
    }
    return text;
}

void EditorStringListAdd(benchmark::State& State)
{
    const std::string row = "    $total += $value; # one row";
    for (auto _ : State) {
        auto list = std::make_unique<TEditorStringList>();
        for (int i = 0; i < AddCount; ++i)
            list->Add(row);
        benchmark::DoNotOptimize(list->Count());
        State.PauseTiming(); // freeing the rows is not part of adding them
        list.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * AddCount);
}

void StrToWrapList(benchmark::State& State)
{
    const std::string text = MixedText(WrapTextSize);
    TEditorWrapOption option;
    option.SetFollowRetMark(true);
    option.SetFollowPunctuation(true);
    option.SetLeading(true);
    option.SetWordBreak(true);
    option.SetWrapByte(80);
    TEditorLayoutSettings layout;
    TEditorWordWrap wrap(option, layout);
    wrap.SetWordWrap(true);
    int rows = 0;
    for (auto _ : State) {
        auto list = std::make_unique<TEditorStringList>();
        wrap.StrToWrapList(text, *list);
        rows = list->Count();
        State.PauseTiming();
        list.reset();
        State.ResumeTiming();
    }
    State.counters["rows"] = rows;
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(text.size()));
}

} // namespace

BENCHMARK(EditorStringListAdd)->Unit(benchmark::kMillisecond);
BENCHMARK(StrToWrapList)->Unit(benchmark::kMillisecond);
