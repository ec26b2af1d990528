#include "app/SampleRun.h"

#include "app/RunController.h"
#include "editor/control/EditorControl.h"
#include "editor/text/ResultCheck.h"

namespace kestrim {
namespace {

using TRunEnd = TRunController::TRunEnd;

TSampleVerdict EndVerdict(TRunEnd End)
{
    switch (End) {
    case TRunEnd::NotStarted: return TSampleVerdict::NotRun;
    case TRunEnd::Stopped:
    case TRunEnd::LimitReached: return TSampleVerdict::Stopped;
    case TRunEnd::TimeLimitReached: return TSampleVerdict::TimedOut;
    case TRunEnd::Ended: break;
    }
    return TSampleVerdict::NoExpectation;
}

} // namespace

TWorkbenchText PageText(TEditor& Page)
{
    return {Page.Lines().Text(), Page.Encoding()};
}

void MeasureAgainst(TSampleRun& Run, const TWorkbenchText& Result, const TWorkbenchText& Expected)
{
    const std::optional<int> line = FirstDifferentLine(Result, Expected);
    Run.Verdict = line ? TSampleVerdict::Fail : TSampleVerdict::Pass;
    Run.FirstDifferentLine = line.value_or(0);
}

TSampleRun LastSampleRun(const TRunController& Controller, TEditor& Result,
                         const std::optional<TWorkbenchText>& Expected)
{
    TSampleRun run;
    run.Verdict = EndVerdict(Controller.LastRunEnd());
    run.ExitCode = Controller.LastRunExitCode();
    run.Seconds = Controller.LastRunSeconds();
    // Only a run that ended gave its whole result: a stopped one is not measured.
    if (run.Verdict == TSampleVerdict::NoExpectation && Expected)
        MeasureAgainst(run, PageText(Result), *Expected);
    return run;
}

} // namespace kestrim
