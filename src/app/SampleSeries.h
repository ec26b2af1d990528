#pragma once
// TSampleSeries: the run over all samples. Each sample in turn becomes the current one and the
// script runs over it as a live run runs (the live runs' time and output limits, no message
// box), one interpreter at a time; the window records each run in the sample's row. Stop ends
// the whole series. At the end the sample that was current before is current again, and the
// message list holds the messages of the samples that did not pass.

#include "app/Samples.h"

#include <QString>

#include <cstddef>

namespace kestrim {

class TMessageList;
class TRunController;

// How many samples a series ran to each verdict; NotReached were not run (a stop came first).
struct TSeriesCounts {
    int Samples = 0;
    int Pass = 0;
    int Fail = 0;
    int NoExpectation = 0;
    int Stopped = 0;
    int TimedOut = 0;
    int NotReached = 0;
};

// "12 件中 10 件一致、1 件不一致、1 件期待値なし": the verdicts that occurred, after the passes.
QString SeriesSummary(const TSeriesCounts& Counts);

class TSampleSeries {
public:
    TSampleSeries(TSamples& Samples, TRunController& Controller, TMessageList& Messages);

    // Runs the series. A sample past TimeLimitMs is stopped and the series goes on; a run that
    // cannot start ends the series, which then raises that run's error.
    TSeriesCounts Run(int TimeLimitMs);
    // Ends the series after the run in progress, which the caller stops.
    void Stop() { FStopRequested = true; }
    bool Running() const { return FRunning; }

private:
    // Runs the current sample; false when the series ends with it.
    bool RunCurrent(int TimeLimitMs, std::exception_ptr& Failure);
    void Count(TSampleVerdict Verdict, TSeriesCounts& Counts) const;
    // Adds the message list's lines, under a line naming the sample, to Kept (UTF-8).
    void KeepMessages(std::size_t Index, TSampleVerdict Verdict, std::string& Kept) const;

    TSamples& FSamples;
    TRunController& FController;
    TMessageList& FMessages;
    bool FRunning = false;
    bool FStopRequested = false;
};

} // namespace kestrim
