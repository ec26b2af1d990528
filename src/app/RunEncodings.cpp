#include "app/RunEncodings.h"

#include "editor/base/Exceptions.h"
#include "editor/base/edUtils.h"

namespace kestrim {
namespace {

std::string PlaceText(const TTextPlace& Place)
{
    return std::to_string(Place.Line) + " 行 " + std::to_string(Place.Column) + " 文字目";
}

} // namespace

TRunEncodings PlanRunEncodings(const TEncodingRun& Run, TTextEncoding ScriptPage, TTextEncoding DataPage)
{
    TRunEncodings plan;
    plan.Script = Run.Interpreter.value_or(ScriptPage);
    plan.Input = Run.Interpreter.value_or(DataPage);
    plan.Output = Run.Output.value_or(plan.Input);
    plan.Result = Run.Interpreter ? DataPage : plan.Output;
    plan.Error = Run.Error.value_or(plan.Script);
    plan.Messages = ScriptPage;
    plan.LineEnd = Run.LineEnd;
    return plan;
}

std::string TextForInterpreter(std::string Text, TTextEncoding From, TTextEncoding To, TLineEnd LineEnd,
                               std::string_view PageName)
{
    if (LineEnd == TLineEnd::Lf)
        Text = LfLineBreaks(Text);
    if (From == To)
        return Text;
    TConvertedText converted = ConvertText(Text, From, To);
    if (converted.Loss.Count > 0)
        throw Exception(
            InterpreterLossMessage(PageName, converted.Loss.Count, PlaceOfOffset(From, Text, converted.Loss.First), To));
    return std::move(converted.Text);
}

std::string InterpreterLossMessage(std::string_view PageName, std::size_t Count, TTextPlace First, TTextEncoding To)
{
    return "実行できません。" + std::string(PageName) + "の " + std::to_string(Count) + " 文字はインタプリタに渡す "
           + std::string(EncodingName(To)) + " で表せません (最初は " + PlaceText(First) + ")。";
}

std::string LossNotice(std::string_view ChannelName, std::size_t Count, TTextPlace First, TTextEncoding To)
{
    const char* replacement = To == TTextEncoding::Utf8 ? "U+FFFD" : "\"?\"";
    return "(" + std::string(ChannelName) + "の " + std::to_string(Count) + " 文字は " + std::string(EncodingName(To))
           + " で表せないので " + replacement + " にしました。最初は " + PlaceText(First) + ")";
}

} // namespace kestrim
