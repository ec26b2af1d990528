#include "app/SampleSeries.h"

#include "app/MessageList.h"
#include "app/RunController.h"
#include "app/SamplesModel.h"
#include "editor/base/Exceptions.h"
#include "editor/base/MemoryStream.h"
#include "editor/base/TextConversion.h"

#include <QScopeGuard>
#include <QStringList>

#include <exception>

namespace kestrim {

QString SeriesSummary(const TSeriesCounts& Counts)
{
    QStringList parts{QStringLiteral("%1 件中 %2 件一致").arg(Counts.Samples).arg(Counts.Pass)};
    const std::pair<int, TSampleVerdict> others[] = {
        {Counts.Fail, TSampleVerdict::Fail},       {Counts.NoExpectation, TSampleVerdict::NoExpectation},
        {Counts.Stopped, TSampleVerdict::Stopped}, {Counts.TimedOut, TSampleVerdict::TimedOut}};
    for (const auto& [count, verdict] : others)
        if (count > 0)
            parts << QStringLiteral("%1 件%2").arg(count).arg(VerdictText(verdict));
    if (Counts.NotReached > 0)
        parts << QStringLiteral("%1 件未実行").arg(Counts.NotReached);
    return parts.join(QStringLiteral("、"));
}

TSampleSeries::TSampleSeries(TSamples& Samples, TRunController& Controller, TMessageList& Messages)
    : FSamples(Samples)
    , FController(Controller)
    , FMessages(Messages)
{
}

TSeriesCounts TSampleSeries::Run(int TimeLimitMs)
{
    const std::size_t before = FSamples.Current();
    TSeriesCounts counts;
    counts.Samples = static_cast<int>(FSamples.Count());
    counts.NotReached = counts.Samples;
    std::string kept;
    std::exception_ptr failure;
    FStopRequested = false;
    FRunning = true;
    FSamples.ForgetLastRuns();
    {
        const auto leave = qScopeGuard([this] { FRunning = false; });
        for (std::size_t i = 0; i < FSamples.Count(); ++i) {
            FSamples.SetCurrent(i);
            const bool goOn = RunCurrent(TimeLimitMs, failure);
            const TSampleVerdict verdict = FSamples.LastRun(i) ? FSamples.LastRun(i)->Verdict : TSampleVerdict::NotRun;
            Count(verdict, counts);
            KeepMessages(i, verdict, kept);
            if (!goOn)
                break;
        }
    }
    FSamples.SetCurrent(before);
    TMemoryStream messages(std::move(kept));
    FMessages.LoadFromStream(messages, TTextEncoding::Utf8);
    if (failure)
        std::rethrow_exception(failure);
    return counts;
}

bool TSampleSeries::RunCurrent(int TimeLimitMs, std::exception_ptr& Failure)
{
    try {
        FController.RunLive(TimeLimitMs);
    } catch (const ETimeLimit&) {
    } catch (const ECommandTerminate&) {
        return false; // the user's Stop
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception&) {
        // An output limit stops this sample only; a run that could not start stops them all.
        if (FController.LastRunEnd() == TRunController::TRunEnd::NotStarted) {
            Failure = std::current_exception();
            return false;
        }
    }
    return !FStopRequested;
}

void TSampleSeries::Count(TSampleVerdict Verdict, TSeriesCounts& Counts) const
{
    switch (Verdict) {
    case TSampleVerdict::Pass: ++Counts.Pass; break;
    case TSampleVerdict::Fail: ++Counts.Fail; break;
    case TSampleVerdict::NoExpectation: ++Counts.NoExpectation; break;
    case TSampleVerdict::Stopped: ++Counts.Stopped; break;
    case TSampleVerdict::TimedOut: ++Counts.TimedOut; break;
    case TSampleVerdict::NotRun: return; // the series ends with the run's error, not its counts
    }
    --Counts.NotReached;
}

// A passing sample's warnings are not why the user looks: only the others' messages stay.
void TSampleSeries::KeepMessages(std::size_t Index, TSampleVerdict Verdict, std::string& Kept) const
{
    if (Verdict == TSampleVerdict::Pass || FMessages.count() == 0)
        return;
    const QString name = QString::fromStdString(FSamples.Name(Index));
    Kept += QStringLiteral("=== %1: %2 ===\r\n").arg(name, VerdictText(Verdict)).toStdString();
    for (int item = 0; item < FMessages.count(); ++item)
        Kept += ConvertText(FMessages.ItemBytes(item), FMessages.Encoding(), TTextEncoding::Utf8).Text + "\r\n";
}

} // namespace kestrim
