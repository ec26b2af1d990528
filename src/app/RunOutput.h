#pragma once
// TRunOutput: what a run's interpreter writes, put where the window shows it as it arrives.
// Standard output goes to the end of the result page, which is read-only until the run ends,
// standard error into the message list; at the end both hold what they would hold had the
// whole output been put there at once: the result page's text and undo history as after a
// load, the messages told apart, notices of characters the conversions lost.

#include "app/RunEncodings.h"
#include "editor/base/LineConverter.h"

#include <QTimer>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kestrim {

class TEditor;
class TMessageList;
class TRowsFreer;
enum class TOutputChannel;

class TRunOutput {
public:
    // KeepView: the result page's caret and top row come back at the end, as far as the new
    // text allows. The pages keep what they show until the run writes to them; FirstOutput is
    // called when the result page first shows output, so that it can be brought to the front.
    // RowsExpected: how many rows the result will likely have (as many as the data, say), room
    // for which the page takes at its first output, so that a long result does not move its
    // rows again and again as it grows. The old result's rows are freed by Freer, or at once
    // without one.
    TRunOutput(TEditor& Result, TMessageList& Messages, const TRunEncodings& Encodings, bool KeepView,
               std::function<void()> FirstOutput = {}, int RowsExpected = 0, TRowsFreer* Freer = nullptr);
    // Leaves the result page as writable as it was.
    ~TRunOutput();
    TRunOutput(const TRunOutput&) = delete;
    TRunOutput& operator=(const TRunOutput&) = delete;

    void Take(TOutputChannel Channel, std::string_view Bytes);
    // The run has ended: the rest is shown; a run that wrote nothing leaves both places empty.
    void Finish();
    // Bytes the interpreter wrote on standard output.
    std::size_t OutputBytes() const { return FOutputBytes; }

private:
    void TakeOutput(std::string_view Bytes);
    void TakeErrors(std::string_view Bytes);
    // Puts what came since the last time on the page and in the list.
    void ShowSoFar();
    void ShowOutput();
    void ShowErrors();
    // The result page emptied, as a load, at its first output.
    void StartResult();
    void ShowMessages();

    TEditor& FResult;
    TMessageList& FMessages;
    TRunEncodings FEncodings;
    bool FKeepView;
    std::function<void()> FFirstOutput;
    int FRowsExpected;
    TRowsFreer* FFreer;
    bool FWasReadOnly;
    int FRow, FCol, FTopRow, FTopCol;
    bool FResultStarted = false;
    bool FMessagesStarted = false;
    TLineConverter FOutput;
    TLineConverter FErrors;
    // Output converted and not on the page yet, and how much of its unfinished last line the
    // page shows already.
    std::string FPending;
    std::size_t FPendingLines = 0; // the whole lines at its start
    std::size_t FShownTail = 0;
    std::size_t FOutputBytes = 0;
    // All of standard error, converted, for the messages at the end; how much of it the list
    // shows, and whether a NUL byte ended it.
    std::string FErrorText;
    std::size_t FErrorLines = 0; // the whole lines at its start
    std::size_t FErrorsShown = 0;
    bool FErrorsEnded = false;
    // What came is shown at most this often, or at once when much came: the pages and the
    // window's handlers of their changes take their time per change, not per byte.
    QTimer FShowTimer;
};

} // namespace kestrim
