#include "app/RunEncodings.h"

#include "editor/base/CodePage.h"

#include <gtest/gtest.h>

using namespace kestrim;

namespace {

constexpr auto Sjis = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;

std::string Dump(const TRunEncodings& E)
{
    std::string text;
    for (const TTextEncoding encoding : {E.Script, E.Input, E.Output, E.Result, E.Error, E.Messages})
        text += encoding == Sjis ? 'S' : 'U';
    return text;
}

// Script, input, output, result, error, messages: S for Shift-JIS, U for UTF-8.
TEST(RunEncodingsTest, PagesAndLanguageFileDecideTheEncodingsOfARun)
{
    const struct {
        const char* Case;
        TEncodingRun Run;
        TTextEncoding ScriptPage, DataPage;
        const char* Expected;
    } cases[] = {
        {"no keys, Shift-JIS pages", {}, Sjis, Sjis, "SSSSSS"},
        {"no keys: the output as the data, the errors as the script", {}, Sjis, Utf8, "SUUUSS"},
        {"an interpreter encoding converts both ways", {"", TLineEnd::Lf, Utf8, {}, {}}, Sjis, Sjis, "UUUSUS"},
        {"the output's encoding is the result page's", {"", TLineEnd::CrLf, {}, Sjis, Utf8}, Utf8, Utf8, "UUSSUU"},
        {"converted output named apart", {"", TLineEnd::CrLf, Utf8, Sjis, {}}, Utf8, Sjis, "UUSSUU"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dump(PlanRunEncodings(c.Run, c.ScriptPage, c.DataPage)), c.Expected) << c.Case;
}

TEST(RunEncodingsTest, TextsAreGivenInTheInterpretersEncodingAndLineEnd)
{
    const std::string sjis = Utf8ToSjis("表\r\nソ\r\n");
    EXPECT_EQ(TextForInterpreter(sjis, Sjis, Sjis, TLineEnd::CrLf, "データタブ"), sjis);
    EXPECT_EQ(TextForInterpreter(sjis, Sjis, Utf8, TLineEnd::Lf, "データタブ"), "表\nソ\n");
    EXPECT_EQ(TextForInterpreter("a\xFF\r\n", Utf8, Utf8, TLineEnd::Lf, "データタブ"), "a\xFF\n")
        << "the page's own bytes go as they are";
}

} // namespace
