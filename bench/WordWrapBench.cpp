// Word wrap of the same Japanese text in either encoding.
//
// WrapJapaneseText/ShiftJis and /Utf8: StrToWrapList of 10 MB (as Shift-JIS) of Japanese prose
// with ASCII words, half-width kana and tabs, the same characters in either encoding, wrapped at
// WrapByte 80 with every wrap rule on. chars/s counts characters, so the two compare directly.
#include "editor/base/CodePage.h"
#include "editor/base/TextConversion.h"
#include "editor/text/edStringList.h"
#include "editor/text/edWordWrap.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

constexpr std::size_t TextSize = 10u << 20;

// Lines of 0 to 600 bytes of Shift-JIS ending in CR LF, mostly two-byte characters.
std::string JapaneseText(std::size_t Size)
{
    std::vector<std::string> pieces;
    for (const char* utf8 : {"吾輩は", "猫である", "名前は", "まだ無い", "どこで", "生れたか", "とんと見当がつかぬ",
                             "、", "。", "「", "」", "（", "）", "ー", "ｶﾀｶﾅ", "ｶﾞ", "｡", " ", "Perl", "42", "\t"})
        pieces.push_back(Utf8ToSjis(utf8));
    std::mt19937 random(11);
    std::string text;
    text.reserve(Size + 1024);
    while (text.size() < Size) {
        const std::size_t lineEnd = text.size() + random() % 601;
        while (text.size() < lineEnd)
            text += pieces[random() % pieces.size()];
        text += "\r\n";
    }
    return text;
}

void WrapJapaneseText(benchmark::State& State, TTextEncoding Encoding)
{
    const std::string sjis = JapaneseText(TextSize);
    const std::string text = ConvertText(sjis, TTextEncoding::ShiftJis, Encoding).Text;
    TEditorWrapOption option;
    option.SetFollowRetMark(true);
    option.SetFollowPunctuation(true);
    option.SetLeading(true);
    option.SetWordBreak(true);
    option.SetWrapByte(80);
    TEditorLayoutSettings layout(Encoding);
    TEditorWordWrap wrap(option, layout);
    wrap.SetWordWrap(true);
    int rows = 0;
    for (auto _ : State) {
        auto list = std::make_unique<TEditorStringList>();
        wrap.StrToWrapList(text, *list);
        rows = list->Count();
        State.PauseTiming(); // freeing the rows is not part of wrapping
        list.reset();
        State.ResumeTiming();
    }
    State.counters["rows"] = rows;
    State.counters["MB"] = static_cast<double>(text.size()) / (1 << 20);
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(CharCount(TTextEncoding::ShiftJis, sjis)));
}

} // namespace

BENCHMARK_CAPTURE(WrapJapaneseText, ShiftJis, TTextEncoding::ShiftJis)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WrapJapaneseText, Utf8, TTextEncoding::Utf8)->Unit(benchmark::kMillisecond);
