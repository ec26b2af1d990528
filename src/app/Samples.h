#pragma once
// TSamples: the data page's samples. Each has a name, its data and perhaps an expected result;
// the current one is in the data editor (and its expected result in the expected-result
// editor), where F9, live runs and the data commands find it; the others are kept as the bytes
// of their texts.

#include "editor/text/TextFileRead.h"
#include "editor/text/Workbench.h"

#include <QObject>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrim {

class TEditor;
class TFileCommands;

// How a sample's last run ended, measured against its expected result.
enum class TSampleVerdict {
    Pass,          // ended, and its result is the expected one
    Fail,          // ended, and its result differs from the expected one
    NoExpectation, // ended; the sample has no expected result
    Stopped,       // stopped by the user or at an output limit
    TimedOut,      // stopped at the live runs' time limit
    NotRun,        // the interpreter did not start (the run's error says why)
};

struct TSampleRun {
    TSampleVerdict Verdict = TSampleVerdict::NotRun;
    std::optional<int> ExitCode; // none when stopped, not started or ended by a signal
    double Seconds = 0;
    int FirstDifferentLine = 0; // of the result, from 1; 0 unless Fail
    TWorkbenchText Result;      // what the result page showed, in its encoding
};

class TSamples : public QObject {
    Q_OBJECT

public:
    // Data and Expected are the editors of the current sample; Files keeps the formats of their
    // texts; DefaultEncoding is the encoding of a new sample. Starts as Clear leaves it.
    TSamples(TEditor& Data, TEditor& Expected, TFileCommands& Files, std::function<TTextEncoding()> DefaultEncoding,
             QObject* Parent = nullptr);

    // The samples as they stand: the current one's data and expected result as its editors hold
    // them, in their pages' encodings and file formats.
    std::vector<TSample> Samples() const;
    std::size_t Current() const;
    // Puts Samples (at least one) in place of all; the current one goes into the editors, whose
    // undo histories start anew. Not a change: Modified is false after it. CurrentData, when
    // given, are the current sample's data read beforehand, whose bytes Samples leaves out: they
    // are written again from the data page when needed.
    void Reset(std::vector<TSample> Samples, std::size_t Current, std::optional<TTextRows> CurrentData = {});
    // One empty sample in the default encoding, as the program starts.
    void Clear();
    // Whether the samples hold more than the data page alone would: several samples, or an
    // expected result. Only then is there a workbench to save or to ask about.
    bool InUse() const;
    // Whether anything changed since Reset, Clear or MarkSaved: a sample's data, name or
    // expected result, the order, an added or removed sample.
    bool Modified() const;
    void MarkSaved();

    // The editor of the current sample's expected result.
    TEditor& ExpectedEditor() const;
    // Each sample's last run, shown in the samples table; kept in memory only, and dropped when
    // the sample's data or expected result changes.
    void SetLastRun(std::size_t Index, TSampleRun Run);
    // The current sample's last run, whose result is the result page's text: it is taken from
    // there (through ResultOnPage) only when the sample is left, so that a large result is not
    // held twice while the page shows it. Run.Result is not used.
    void SetLastRunOnPage(TSampleRun Run);
    // Gives the result page's text, for a run kept on the page.
    std::function<TWorkbenchText()> ResultOnPage;
    const std::optional<TSampleRun>& LastRun(std::size_t Index) const;
    // Every sample's last run dropped: a run over all samples starts from an empty table, so
    // that the rows a stop leaves out show no verdict of an older script.
    void ForgetLastRuns();

    std::size_t Count() const { return FEntries.size(); }
    const std::string& Name(std::size_t Index) const { return FEntries[Index].Sample.Name; }
    bool HasExpected(std::size_t Index) const;
    // Whether deleting the sample loses something: its data or its expected result.
    bool HoldsText(std::size_t Index) const;
    // Puts the current sample's texts away as bytes and loads sample Index into the editors.
    void SetCurrent(std::size_t Index);
    // A new empty sample, or a copy of the current one, after the current one; it becomes the
    // current one. New samples are named "サンプル1", "サンプル2", ..., the first free number.
    void Add();
    void Duplicate();
    // Raises, with nothing changed, for a name that is empty or more than one line.
    void Rename(std::size_t Index, const std::string& Name);
    // Deletes a sample, never the last one left; the one after it (or before) becomes current.
    void Remove(std::size_t Index);
    // Moves a sample one place up (Delta -1) or down (1); nothing at either end.
    void Move(std::size_t Index, int Delta);
    // The current sample has no expected result from now on.
    void RemoveExpected();

signals:
    // Modified or InUse may have changed.
    void Changed();
    // Another sample became the current one (its data and expected result are in the editors).
    void CurrentChanged();
    // The table's rows changed: a name, the order, a sample added or removed, a last run.
    void TableChanged();

private:
    struct TEntry {
        TSample Sample; // the current one's texts are in the editors, not here
        std::optional<TSampleRun> LastRun;
        bool ResultOnPage = false; // LastRun's result is the result page's text
    };

    TSample CurrentSample() const;
    void TakeEditorTexts(TSample& Sample) const;
    void StoreCurrent();
    void LoadCurrent(std::optional<TTextRows> Data = {});
    std::optional<TTextFileFormat> LoadRows(TTextRows& Data);
    void Insert(TSample Sample);
    std::string FreeName() const;
    void DataEdited();
    void ExpectedEdited();
    void DropLastRun();
    void SetModified();

    TEditor& FData;
    TEditor& FExpected;
    TFileCommands& FFiles;
    std::function<TTextEncoding()> FDefaultEncoding;
    std::vector<TEntry> FEntries;
    std::size_t FCurrent = 0;
    bool FModified = false;
    // The current sample: whether it has an expected result, and which of its texts the editors
    // changed since it was loaded (an unchanged one keeps its bytes).
    bool FCurrentHasExpected = false;
    bool FDataEdited = false;
    // Whether the current sample's entry holds its data's bytes; otherwise only the data page has them.
    bool FDataBytesKept = true;
    bool FExpectedEdited = false;
    // The editors' changes while a sample loads are no edits.
    bool FLoading = false;
};

} // namespace kestrim
