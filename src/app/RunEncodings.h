#pragma once
// The encodings and line ends of one run, and the texts converted for it. The pages keep their
// own encodings; the language file says, per encoding of the data page, what its interpreter
// expects, so that an interpreter that reads bytes (awk, sh) can be given UTF-8 by Kestrim
// itself instead of by converters around it, and its exit code stays its own.

#include "editor/base/TextConversion.h"
#include "settings/UConfigFile.h"

#include <string>
#include <string_view>

namespace kestrim {

struct TRunEncodings {
    TTextEncoding Script = TTextEncoding::ShiftJis; // the script file is written in
    TTextEncoding Input = TTextEncoding::ShiftJis;  // standard input is given in
    TTextEncoding Output = TTextEncoding::ShiftJis; // the interpreter writes on standard output
    TTextEncoding Result = TTextEncoding::ShiftJis; // the result page takes
    TTextEncoding Error = TTextEncoding::ShiftJis;  // the interpreter writes on standard error
    // The message list's: the script page's, so that what a message quotes of the script
    // compares with the script's bytes.
    TTextEncoding Messages = TTextEncoding::ShiftJis;
    TLineEnd LineEnd = TLineEnd::CrLf;
};

// Without an interpreter encoding the script and the data go as the pages hold them and the
// result page takes the output's encoding; with one, both are converted into it and the output
// back into the data page's encoding. The output is by default in the encoding the data was
// given in; the errors in the one the script was given in, since what is not ASCII in a message
// is nearly always quoted from the script (a source line, a name, a literal).
TRunEncodings PlanRunEncodings(const TEncodingRun& Run, TTextEncoding ScriptPage, TTextEncoding DataPage);

// A page's text (lines joined by CR LF) as the interpreter is given it. Raises Exception, naming
// the page by PageName, with the count and the place of the first character that To cannot
// hold: a run on damaged data would give a result that looks whole.
std::string TextForInterpreter(std::string Text, TTextEncoding From, TTextEncoding To, TLineEnd LineEnd,
                               std::string_view PageName);
// The message of the failure TextForInterpreter raises: Count characters lost, the first at First.
std::string InterpreterLossMessage(std::string_view PageName, std::size_t Count, TTextPlace First, TTextEncoding To);

// The message list's notice of a conversion into To of what the interpreter wrote on a channel
// that lost characters: how many (Count), where the first stood in the text written, what they
// became.
std::string LossNotice(std::string_view ChannelName, std::size_t Count, TTextPlace First, TTextEncoding To);

} // namespace kestrim
