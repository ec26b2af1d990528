#include "app/RunOutput.h"

#include "app/ConsoleCommand.h"
#include "app/MessageList.h"
#include "app/RowsFreer.h"
#include "editor/base/MemoryStream.h"
#include "editor/control/EditorControl.h"
#include "editor/text/TextFileRead.h"

#include <QString>

namespace kestrim {
namespace {

constexpr int ShowIntervalMs = 50;
constexpr std::size_t ShowAtOnceBytes = 1u << 20;
// Showing an unfinished line again copies the whole line: beyond this it waits for its end.
constexpr std::size_t LongestUnfinishedShown = 1u << 20;

// Where the last line break of Text at or after From is, past it; 0 for none.
std::size_t AfterLastLineFeed(std::string_view Text, std::size_t From)
{
    const std::size_t found = Text.substr(From).rfind('\n');
    return found == std::string_view::npos ? 0 : From + found + 1;
}

} // namespace

TRunOutput::TRunOutput(TEditor& Result, TMessageList& Messages, const TRunEncodings& Encodings, bool KeepView,
                       std::function<void()> FirstOutput, int RowsExpected, TRowsFreer* Freer)
    : FResult(Result)
    , FMessages(Messages)
    , FEncodings(Encodings)
    , FKeepView(KeepView)
    , FFirstOutput(std::move(FirstOutput))
    , FRowsExpected(RowsExpected)
    , FFreer(Freer)
    , FWasReadOnly(Result.ReadOnly())
    , FRow(Result.Row())
    , FCol(Result.Col())
    , FTopRow(Result.TopRow())
    , FTopCol(Result.TopCol())
    , FOutput(Encodings.Output, Encodings.Result)
    , FErrors(Encodings.Error, Encodings.Messages)
{
    FResult.SetReadOnly(true);
    FShowTimer.setSingleShot(true);
    FShowTimer.setInterval(ShowIntervalMs);
    FShowTimer.callOnTimeout([this] { ShowSoFar(); });
}

TRunOutput::~TRunOutput()
{
    FResult.SetReadOnly(FWasReadOnly);
}

void TRunOutput::Take(TOutputChannel Channel, std::string_view Bytes)
{
    if (Channel == TOutputChannel::Output)
        TakeOutput(Bytes);
    else
        TakeErrors(Bytes);
}

void TRunOutput::TakeOutput(std::string_view Bytes)
{
    StartResult();
    FOutputBytes += Bytes.size();
    const std::size_t before = FPending.size();
    FOutput.Convert(Bytes, FPending);
    if (const std::size_t lines = AfterLastLineFeed(FPending, before); lines > 0)
        FPendingLines = lines;
    if (FPending.size() >= ShowAtOnceBytes)
        ShowSoFar();
    else if (!FShowTimer.isActive())
        FShowTimer.start();
}

void TRunOutput::TakeErrors(std::string_view Bytes)
{
    const std::size_t before = FErrorText.size();
    FErrors.Convert(Bytes, FErrorText);
    if (const std::size_t lines = AfterLastLineFeed(FErrorText, before); lines > 0)
        FErrorLines = lines;
    if (!FShowTimer.isActive())
        FShowTimer.start();
}

void TRunOutput::ShowSoFar()
{
    FShowTimer.stop();
    ShowOutput();
    ShowErrors();
}

// Whole lines go onto the page as they come. An unfinished line waits, so that a line that goes
// on and on is not copied again each time: it is shown when nothing else came, and again only
// once at least as much as is shown has come, which keeps the copying linear; a long one is
// shown once it ends, so that the window does not wait for a copy of hundreds of megabytes.
void TRunOutput::ShowOutput()
{
    if (FPending.empty())
        return;
    if (FFirstOutput)
        std::exchange(FFirstOutput, nullptr)();
    if (FPendingLines > 0) {
        FResult.AppendText(std::string_view(FPending).substr(0, FPendingLines));
        FPending.erase(0, FPendingLines);
        FPendingLines = 0;
        FShownTail = 0;
        return;
    }
    // A CR at the end may be the first half of a CR LF: it waits, or it would end a line twice.
    const std::size_t shown = FPending.size() - (FPending.ends_with('\r') ? 1 : 0);
    if (shown > 0 && shown >= FShownTail && FShownTail + shown <= LongestUnfinishedShown) {
        FResult.AppendText(std::string_view(FPending).substr(0, shown));
        FShownTail += shown;
        FPending.erase(0, shown);
    }
}

// The list shows whole lines as they come; the messages are told apart at the end.
void TRunOutput::ShowErrors()
{
    if (FErrorsEnded || FErrorLines <= FErrorsShown)
        return;
    if (!FMessagesStarted) {
        FMessagesStarted = true;
        FMessages.clear();
    }
    std::string_view shown = std::string_view(FErrorText).substr(FErrorsShown, FErrorLines - FErrorsShown);
    if (const std::size_t nul = shown.find('\0'); nul != std::string_view::npos) {
        shown = shown.substr(0, nul);
        FErrorsEnded = true;
    }
    FMessages.AppendLines(shown, FEncodings.Messages);
    FErrorsShown = FErrorLines;
}

void TRunOutput::StartResult()
{
    if (std::exchange(FResultStarted, true))
        return;
    TTextRows empty;
    empty.Encoding = FEncodings.Result;
    empty.Rows = std::make_unique<TEditorStringList>();
    // Room only: rows not filled cost no memory until they are.
    empty.Rows->SetCapacity(FRowsExpected + FRowsExpected / 8);
    FResult.LoadTextRows(empty);
    if (FFreer)
        FFreer->Free(std::move(empty.Rows));
}

void TRunOutput::Finish()
{
    // The end of the run brings the page forward or not by itself.
    FFirstOutput = nullptr;
    ShowSoFar();
    StartResult();
    FOutput.Finish(FPending);
    FResult.AppendText(FPending);
    FPending = std::string();
    ShowMessages();
    if (FOutput.LossCount() > 0)
        FMessages.AddNotice(QString::fromStdString(LossNotice(OutputChannelName(TOutputChannel::Output),
                                                              FOutput.LossCount(), FOutput.FirstLoss(),
                                                              FEncodings.Result)));
    if (FKeepView) {
        FResult.SetRowCol(FRow, FCol);
        FResult.SetTopRow(FTopRow);
        FResult.SetTopCol(FTopCol);
    }
}

void TRunOutput::ShowMessages()
{
    FErrors.Finish(FErrorText);
    TMemoryStream errors(std::move(FErrorText));
    FMessages.LoadFromStream(errors, FEncodings.Messages);
    if (FErrors.LossCount() > 0)
        FMessages.AddNotice(QString::fromStdString(
            LossNotice(OutputChannelName(TOutputChannel::Error), FErrors.LossCount(), FErrors.FirstLoss(),
                       FEncodings.Messages)));
}

} // namespace kestrim
