// The editor's text model: filling a row list and word-wrapping a large text.
//
// EditorStringListAdd: 1,000,000 Add calls on an empty TEditorStringList (target: 0.3 s).
// StrToWrapList/ShiftJis: 10 MB of mixed text (ASCII words, two-byte Japanese with punctuation,
// half-width kana with voiced marks, tabs) wrapped at WrapByte 80 with every wrap rule on
// (target: 1 s); /Utf8: the same characters in UTF-8 (items are characters in both).
//
// An editor's text of 100 MB in 2,000,000 lines of script, highlighted with comments, strings,
// hexadecimal numbers and a block comment, the display 67 rows high:
// LinesLoadFromFile: Lines.LoadFromFile of the file (target: 1 s); rss/file is the memory the
// loaded text takes over the file's size (target: at most 3), parsedRows the rows InitBrackets
// parsed.
// LoadJapaneseText/ShiftJis and /Utf8: Lines.LoadFromFile of 2,000,000 lines of Japanese and
// ASCII mixed, the same characters in either encoding (100 MB as UTF-8, less as Shift-JIS), the
// rows near the top highlighted (target: UTF-8 at most 1.2 times the Shift-JIS time, and no
// larger rss/file).
// InitBracketsAfterLoad: the parse after loading alone, only of the rows near the top.
// TypeOneCharacter: one ReplaceRows of one row in the middle of the rows (target: 50 us).
// InsertLineBreak: the same row split in two there (target: 30 ms).
#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/base/TextConversion.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edStringList.h"
#include "editor/text/edWordWrap.h"
#include "editor/text/FakeEditor.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
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

// MixedText in Encoding; items are characters, so that the two encodings compare directly.
void StrToWrapList(benchmark::State& State, TTextEncoding Encoding)
{
    const std::string sjis = MixedText(WrapTextSize);
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
        State.PauseTiming(); // freeing the rows is not part of wrapping them
        list.reset();
        State.ResumeTiming();
    }
    State.counters["rows"] = rows;
    State.counters["MB"] = static_cast<double>(text.size()) / 1e6;
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(CharCount(TTextEncoding::ShiftJis, sjis)));
}

constexpr int ScriptLineCount = 2'000'000;
constexpr std::size_t ScriptFileSize = 100'000'000;

// ScriptLineCount lines of Pieces, each ending in CR LF, in ScriptFileSize bytes in all.
std::string LinesOfPieces(const std::vector<std::string>& Pieces, unsigned Seed)
{
    std::mt19937 random(Seed);
    std::string text;
    text.reserve(ScriptFileSize);
    for (int line = 0; line < ScriptLineCount; ++line) {
        // Every line takes its share of what is left, so that the total comes out exact.
        const std::size_t left = ScriptFileSize - text.size() - 2 * static_cast<std::size_t>(ScriptLineCount - line);
        const std::size_t share = left / static_cast<std::size_t>(ScriptLineCount - line);
        const std::size_t length = line + 1 == ScriptLineCount ? left : share / 2 + random() % (share + 1);
        std::string row;
        for (const std::string* piece = &Pieces[random() % Pieces.size()]; row.size() + piece->size() <= length;
             piece = &Pieces[random() % Pieces.size()])
            row += *piece;
        row.resize(length, 'x');
        text += row;
        text += "\r\n";
    }
    return text;
}

// Lines of script averaging 48 bytes: made once and kept in the temporary folder.
std::string ScriptFile()
{
    const std::string name = (std::filesystem::temp_directory_path() / "kestrim-bench-script.txt").string();
    std::error_code error;
    if (std::filesystem::file_size(name, error) == ScriptFileSize)
        return name;
    WriteFileBytes(name, LinesOfPieces({"my ", "$total", " = ", "0x1F", " + ", "$value", "; ", "# note ", "\"text\" ",
                                        "print ", "(", ")", "/* block */ ", "\t", "42 "},
                                       5));
    return name;
}

long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// An editor as the text model sees it, with the script's highlighting and a full-screen height.
struct TScriptEditor {
    TScriptEditor()
    {
        Editor.Fountain.SetCommenter("#");
        Editor.Fountain.SetQuotation("\"");
        Editor.Fountain.SetHexPrefix("0x");
        kestrim::test::AddBlockComment(Editor.Fountain);
        Editor.DisplayRows = 67;
    }

    kestrim::test::TFakeEditor Editor;
    TEditorStrings Lines{Editor};
};

int ParsedRows(const TEditorScreenStrings& Rows)
{
    int parsed = 0;
    for (int row = 0; row < Rows.Count(); ++row)
        if (Rows.Brackets(row) != -2)
            ++parsed;
    return parsed;
}

void LinesLoadFromFile(benchmark::State& State)
{
    const std::string file = ScriptFile();
    double rssPerFile = 0;
    int parsed = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto editor = std::make_unique<TScriptEditor>();
        ::malloc_trim(0); // the rows of the last load go back to the system
        const long before = ResidentBytes();
        State.ResumeTiming();
        editor->Lines.LoadFromFile(file);
        State.PauseTiming();
        rssPerFile = static_cast<double>(ResidentBytes() - before) / static_cast<double>(ScriptFileSize);
        parsed = ParsedRows(editor->Editor.ScreenStrings());
        editor.reset();
        State.ResumeTiming();
    }
    State.counters["rss/file"] = rssPerFile;
    State.counters["parsedRows"] = parsed;
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(ScriptFileSize));
}

// The same 2,000,000 lines of Japanese and ASCII in Encoding, 100 MB as UTF-8: made once and
// kept in the temporary folder. Returns the file and its size.
std::pair<std::string, std::size_t> JapaneseFile(TTextEncoding Encoding)
{
    const auto name = [](TTextEncoding encoding) {
        const std::string file = encoding == TTextEncoding::Utf8 ? "kestrim-bench-utf8.txt" : "kestrim-bench-sjis.txt";
        return (std::filesystem::temp_directory_path() / file).string();
    };
    std::error_code error;
    if (std::filesystem::file_size(name(TTextEncoding::Utf8), error) != ScriptFileSize) {
        const std::string text = LinesOfPieces({"print ", "$value", " = ", "42", "; ", "漢字", "日本語", "です", "、",
                                                "。", "「", "」", "カタカナ", "ｶﾀｶﾅ", "\t", "# メモ "},
                                               17);
        WriteFileBytes(name(TTextEncoding::Utf8), text);
        WriteFileBytes(name(TTextEncoding::ShiftJis), ConvertText(text, TTextEncoding::Utf8, TTextEncoding::ShiftJis).Text);
    }
    const std::string file = name(Encoding);
    return {file, static_cast<std::size_t>(std::filesystem::file_size(file))};
}

void LoadJapaneseText(benchmark::State& State, TTextEncoding Encoding)
{
    const auto [file, size] = JapaneseFile(Encoding);
    double rssPerFile = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto editor = std::make_unique<TScriptEditor>();
        ::malloc_trim(0);
        const long before = ResidentBytes();
        State.ResumeTiming();
        editor->Lines.LoadFromFile(file, Encoding);
        State.PauseTiming();
        rssPerFile = static_cast<double>(ResidentBytes() - before) / static_cast<double>(size);
        editor.reset();
        State.ResumeTiming();
    }
    State.counters["rss/file"] = rssPerFile;
    State.counters["fileMB"] = static_cast<double>(size) / 1e6;
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(size));
}

// The loaded script, shared by the editing benchmarks, its middle rows parsed as painting them
// would.
TScriptEditor& LoadedScript()
{
    static TScriptEditor* editor = [] {
        auto* loaded = new TScriptEditor;
        loaded->Lines.LoadFromFile(ScriptFile());
        TEditorScreenStrings& rows = loaded->Editor.ScreenStrings();
        rows.UpdateBrackets(rows.Count() / 2, false);
        return loaded;
    }();
    return *editor;
}

void InitBracketsAfterLoad(benchmark::State& State)
{
    TEditorScreenStrings& rows = LoadedScript().Editor.ScreenStrings();
    for (auto _ : State)
        rows.InitBrackets();
    State.counters["parsedRows"] = ParsedRows(rows);
}

// Typing at the end of a row; each iteration types into the next row, so that no row grows long.
void TypeOneCharacter(benchmark::State& State)
{
    TEditorScreenStrings& rows = LoadedScript().Editor.ScreenStrings();
    int row = rows.Count() / 2;
    for (auto _ : State) {
        rows.ReplaceRows(row, 1, std::string(rows.Str(row)) + "x\r\n");
        ++row;
    }
}

void InsertLineBreak(benchmark::State& State)
{
    TEditorScreenStrings& rows = LoadedScript().Editor.ScreenStrings();
    const int row = rows.Count() / 2;
    for (auto _ : State) {
        std::string text(rows.Str(row));
        text.insert(text.size() / 2, "\r\n");
        text += "\r\n";
        rows.ReplaceRows(row, 1, text);
    }
    State.counters["rows"] = rows.Count();
}

} // namespace

BENCHMARK(EditorStringListAdd)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StrToWrapList, ShiftJis, TTextEncoding::ShiftJis)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StrToWrapList, Utf8, TTextEncoding::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(LinesLoadFromFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadJapaneseText, ShiftJis, TTextEncoding::ShiftJis)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadJapaneseText, Utf8, TTextEncoding::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(InitBracketsAfterLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(TypeOneCharacter)->Unit(benchmark::kMicrosecond);
BENCHMARK(InsertLineBreak)->Unit(benchmark::kMillisecond);
