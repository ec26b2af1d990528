// A result against its expected result: line ends, byte-order mark, encodings and the last
// line break in one table.

#include "editor/base/TextConversion.h"
#include "editor/text/ResultCheck.h"

#include <gtest/gtest.h>

using namespace kestrim;

namespace {

constexpr auto ShiftJis = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;

// Texts are written in UTF-8 here and stored in Encoding.
TWorkbenchText Text(std::string_view Utf8Text, TTextEncoding Encoding)
{
    return {ConvertText(Utf8Text, Utf8, Encoding).Text, Encoding};
}

struct TCheckCase {
    const char* Name;
    const char* Result;
    TTextEncoding ResultEncoding;
    const char* Expected;
    TTextEncoding ExpectedEncoding;
    std::optional<int> FirstDifferent;
};

TEST(ResultCheckTest, ComparesTextsLineByLine)
{
    const TCheckCase cases[] = {
        {"same bytes", "a\nb\n", Utf8, "a\nb\n", Utf8, std::nullopt},
        {"both empty", "", ShiftJis, "", Utf8, std::nullopt},
        {"line ends of three kinds", "a\r\nb\rc\n", ShiftJis, "a\nb\r\nc\r", ShiftJis, std::nullopt},
        {"byte-order mark", "\xEF\xBB\xBF" "表\n", Utf8, "表\n", Utf8, std::nullopt},
        {"Shift-JIS and UTF-8 alike", "日本語\r\nｶﾅ\r\n", ShiftJis, "日本語\nｶﾅ\n", Utf8, std::nullopt},
        {"Shift-JIS and UTF-8 differ", "日本語\n本\n", ShiftJis, "日本語\n木\n", Utf8, 2},
        {"changed middle line", "a\nx\nc\n", Utf8, "a\nb\nc\n", Utf8, 2},
        {"last line break missing", "a\nb", Utf8, "a\nb\n", Utf8, 2},
        {"last line break added", "a\n", Utf8, "a", Utf8, 1},
        {"result longer", "a\nb\n", Utf8, "a\n", Utf8, 2},
        {"result shorter", "a\n", ShiftJis, "a\n\n", ShiftJis, 2},
        {"empty against a line break", "", Utf8, "\n", Utf8, 1},
        {"a CR LF is one line end, not two", "a\r\nb\n", Utf8, "a\n\nb\n", Utf8, 2},
    };
    for (const TCheckCase& c : cases)
        EXPECT_EQ(FirstDifferentLine(Text(c.Result, c.ResultEncoding), Text(c.Expected, c.ExpectedEncoding)),
                  c.FirstDifferent)
            << c.Name;
}

} // namespace
