#pragma once
// TSamples: the data page's samples. Each has a name, its data and perhaps an expected result;
// the current one is in the data editor (and its expected result in the expected-result
// editor), where F9, live runs and the data commands find it; the others are kept as the bytes
// of their texts.

#include "editor/text/Workbench.h"

#include <QObject>

#include <cstddef>
#include <optional>
#include <vector>

namespace kestrim {

class TEditor;

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
    // The samples as they stand: the current one's data and expected result as its editors hold
    // them, in their pages' encodings and file formats.
    std::vector<TSample> Samples() const;
    std::size_t Current() const;
    // Puts Samples (at least one) in place of all; the current one goes into the editors, whose
    // undo histories start anew. Not a change: Modified is false after it.
    void Reset(std::vector<TSample> Samples, std::size_t Current);
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
    const std::optional<TSampleRun>& LastRun(std::size_t Index) const;

signals:
    // Modified or InUse may have changed.
    void Changed();
    // Another sample became the current one (its data and expected result are in the editors).
    void CurrentChanged();
};

} // namespace kestrim
