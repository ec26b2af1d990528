// The workbench file with 100 MB of samples, made of Shift-JIS lines of about 50 bytes:
// 100 samples of 1 MB each, and one sample of 100 MB.
//
// ReadWorkbench/*: ReadWorkbenchFile of the file.
// OpenWorkbench/*: ReadWorkbenchFile, then the current sample loaded into an editor's text from
// its bytes, as opening a workbench does (target: no slower than LoadDataFile).
// LoadDataFile: the same 100 MB as one data file loaded into an editor's text (the baseline).
// LoadDataBytes: the same 100 MB loaded into an editor's text from bytes already in memory.
// ReadDataBytes: the same 100 MB read as bytes (what reading can cost at least).
// WriteWorkbench/*: WriteWorkbenchFile of the workbench over the last one.
// WriteDataFile: the same 100 MB saved over the data file (the baseline of WriteWorkbench).
// ReadStoredRows: the rows of the 100 MB sample read straight from the workbench, its CRC
// checked, as opening a workbench reads them; baseline: the same rows read from the data file,
// in turn in each iteration.
// Each reports the median and, as "max", the worst of its repetitions.
#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/text/FakeEditor.h"
#include "editor/text/TextFileRead.h"
#include "editor/text/WorkbenchFile.h"
#include "editor/text/edEditorStrings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

constexpr std::size_t TotalSize = 100u << 20;

std::string TemporaryFile(const std::string& Name)
{
    return (std::filesystem::temp_directory_path() / Name).string();
}

// Lines of about 50 bytes of Japanese and ASCII in Shift-JIS, ending in CR LF.
std::string JapaneseLines(std::size_t Size)
{
    std::vector<std::string> pieces;
    for (const char* utf8 : {"商品", "番号", "価格", "東京都", "です", "、", "。", "ｶﾀｶﾅ", "12345", ",", " ", "abc"})
        pieces.push_back(Utf8ToSjis(utf8));
    std::mt19937 random(11);
    std::string text;
    text.reserve(Size + 64);
    while (text.size() < Size) {
        const std::size_t lineEnd = text.size() + 40 + random() % 20;
        while (text.size() < lineEnd)
            text += pieces[random() % pieces.size()];
        text += "\r\n";
    }
    text.resize(Size - 2);
    return text + "\r\n";
}

TWorkbench WorkbenchOf(const std::string& Text, std::size_t SampleCount)
{
    TWorkbench workbench;
    workbench.Script = {"print while <STDIN>;\r\n", TTextEncoding::ShiftJis};
    workbench.ScriptExtension = ".pl";
    workbench.Language = "Perl.ini";
    const std::size_t size = Text.size() / SampleCount;
    for (std::size_t i = 0; i < SampleCount; ++i)
        workbench.Samples.push_back({"sample " + std::to_string(i), {Text.substr(i * size, size), TTextEncoding::ShiftJis}, {}});
    return workbench;
}

// The data file and the two workbenches, made once per run.
struct TFiles {
    std::string DataFile = TemporaryFile("kestrim-bench-samples.txt");
    std::string Workbench[2] = {TemporaryFile("kestrim-bench-100.kestrim"), TemporaryFile("kestrim-bench-1.kestrim")};
    std::size_t SampleCounts[2] = {100, 1};

    TFiles()
    {
        const std::string text = JapaneseLines(TotalSize);
        WriteFileBytes(DataFile, text);
        for (int i = 0; i < 2; ++i)
            WriteWorkbenchFile(Workbench[i], WorkbenchOf(text, SampleCounts[i]));
    }
};

const TFiles& Files()
{
    static const TFiles files;
    return files;
}

// The data page's editor, and the workbench whose sample it shows.
struct TDataEditor {
    test::TFakeEditor Editor;
    TEditorStrings Lines{Editor};
    TWorkbench Workbench;
};

void ReadWorkbench(benchmark::State& State, int Which)
{
    for (auto _ : State)
        benchmark::DoNotOptimize(ReadWorkbenchFile(Files().Workbench[Which]));
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

void OpenWorkbench(benchmark::State& State, int Which)
{
    for (auto _ : State) {
        auto editor = std::make_unique<TDataEditor>();
        editor->Workbench = ReadWorkbenchFile(Files().Workbench[Which]);
        const TWorkbenchText& data = editor->Workbench.Samples[editor->Workbench.Current].Data;
        editor->Lines.LoadTextBytes(data.Bytes, data.Encoding, TTextEncoding::ShiftJis);
        State.PauseTiming();
        editor.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

void LoadDataFile(benchmark::State& State)
{
    for (auto _ : State) {
        auto editor = std::make_unique<TDataEditor>();
        editor->Lines.LoadTextFile(Files().DataFile, std::nullopt, TTextEncoding::ShiftJis);
        State.PauseTiming();
        editor.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

void LoadDataBytes(benchmark::State& State)
{
    const std::string bytes = ReadFileBytes(Files().DataFile);
    for (auto _ : State) {
        auto editor = std::make_unique<TDataEditor>();
        editor->Lines.LoadTextBytes(bytes, TTextEncoding::ShiftJis, TTextEncoding::ShiftJis);
        State.PauseTiming();
        editor.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

void ReadDataBytes(benchmark::State& State)
{
    for (auto _ : State)
        benchmark::DoNotOptimize(ReadFileBytes(Files().DataFile));
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

void WriteWorkbench(benchmark::State& State, int Which)
{
    const TWorkbench workbench = WorkbenchOf(ReadFileBytes(Files().DataFile), Files().SampleCounts[Which]);
    for (auto _ : State)
        WriteWorkbenchFile(Files().Workbench[Which], workbench);
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

void WriteDataFile(benchmark::State& State)
{
    const std::string bytes = ReadFileBytes(Files().DataFile);
    for (auto _ : State)
        WriteFileBytes(Files().DataFile, bytes);
    State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(TotalSize));
}

double Worst(const std::vector<double>& Values)
{
    return *std::max_element(Values.begin(), Values.end());
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// Milliseconds that Read takes; the rows it gives are freed outside the time.
template <typename TRead> double ReadMilliseconds(const TRead& Read)
{
    const auto start = std::chrono::steady_clock::now();
    const std::optional<TTextRows> rows = Read();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void ReadStoredRows(benchmark::State& State)
{
    const std::string& workbench = Files().Workbench[1];
    const TWorkbenchLeavingData read = ReadWorkbenchLeavingCurrentData(workbench);
    TTextReadOptions options;
    options.Encoding = TTextEncoding::ShiftJis;
    options.BlockSize = 1 << 18; // as the window reads
    std::vector<double> stored;
    std::vector<double> data;
    auto readStored = [&] {
        stored.push_back(ReadMilliseconds([&] { return ReadStoredTextRows(workbench, *read.CurrentData, options); }));
    };
    auto readData = [&] {
        data.push_back(ReadMilliseconds([&] {
            TFileReader file(Files().DataFile);
            return ReadTextRows(file, options);
        }));
    };
    // Each goes first in every other iteration: the first read meets the memory the last one
    // freed.
    for (auto _ : State) {
        if (stored.size() % 2 == 0) {
            readStored();
            readData();
        } else {
            readData();
            readStored();
        }
        State.SetIterationTime(stored.back() / 1000);
    }
    State.counters["median_ms"] = Median(stored);
    State.counters["worst_ms"] = Worst(stored);
    State.counters["data_file_median_ms"] = Median(data);
    State.counters["data_file_worst_ms"] = Worst(data);
}

} // namespace

BENCHMARK_CAPTURE(ReadWorkbench, Samples100x1MB, 0)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK_CAPTURE(ReadWorkbench, Sample1x100MB, 1)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK_CAPTURE(OpenWorkbench, Samples100x1MB, 0)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK_CAPTURE(OpenWorkbench, Sample1x100MB, 1)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK(LoadDataFile)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK(LoadDataBytes)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK(ReadDataBytes)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK_CAPTURE(WriteWorkbench, Samples100x1MB, 0)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK_CAPTURE(WriteWorkbench, Sample1x100MB, 1)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK(WriteDataFile)->Unit(benchmark::kMillisecond)->ComputeStatistics("max", Worst);
BENCHMARK(ReadStoredRows)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
