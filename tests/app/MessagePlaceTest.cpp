// Messages as the interpreters write them (perl 5.36, Python 3.11, Ruby 3.1, gawk 5.2), cut
// into messages and read for their places, without a QApplication.

#include "app/CaretLine.h"
#include "app/MessageGroups.h"
#include "app/MessagePlace.h"
#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kestrim;

namespace {

std::vector<std::string_view> Lines(const std::vector<std::string>& Text)
{
    return {Text.begin(), Text.end()};
}

// "first+count" per message, "!" for a traceback read from its end.
std::string GroupDump(const std::vector<std::string>& Text, const std::string& ErrLine)
{
    TMessagePattern pattern(ErrLine);
    std::ostringstream dump;
    for (const TMessageGroup& group :
         GroupMessageLines(Lines(Text), [&](std::string_view Line) { return pattern.Matches(Line); }))
        dump << "[" << group.First << "+" << group.Count << (group.MostRecentLast ? "!" : "") << "]";
    return dump.str();
}

const std::vector<std::string> PythonTraceback = {
    "Traceback (most recent call last):",
    "  File \"/k/script.py\", line 7, in <module>",
    "    main()",
    "  File \"/k/script.py\", line 6, in main",
    "    print(parse(line))",
    "          ^^^^^^^^^^^",
    "  File \"/k/script.py\", line 3, in parse",
    "    return 10 // int(line)",
    "           ~~~^^~~~~~~~~~~~",
    "ZeroDivisionError: integer division or modulo by zero",
};

} // namespace

TEST(CaretLineTest, ReadsTheFirstCaretUnderTheQuotedSource)
{
    struct TCase {
        const char* Quoted;
        const char* Caret;
        std::optional<TQuotedCaret> Expected;
    } const cases[] = {
        {"    return 10 // int(line)", "           ~~~^^~~~~~~~~~~", TQuotedCaret{"return 10 // int(line)", 10}},
        {"    print(x +)", "             ^", TQuotedCaret{"print(x +)", 9}},
        {"    y = (x +))", "            ^", TQuotedCaret{"y = (x +))", 8}}, // Ruby keeps the indent
        {"gawk: cmd. line:2: { print ( }", "gawk: cmd. line:2:           ^ syntax error", TQuotedCaret{"{ print ( }", 10}},
        {"  x", "^", TQuotedCaret{"x", 0}},      // in the blanks before the source
        {"    x.foo", "    x.fo^", std::nullopt}, // text before the marks
        {"    x.foo", "     ~~~~", std::nullopt}, // no caret
        {"    x.foo", "     ^^x", std::nullopt},  // marks run into text
        {"", "^", std::nullopt},                  // nothing quoted
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ReadCaretLine(c.Quoted, c.Caret), c.Expected) << c.Caret;
}

TEST(CaretLineTest, FindsTheQuotedSourceInTheScriptLine)
{
    const TQuotedCaret caret{"return 10 // int(line)", 10};
    EXPECT_EQ(CaretByteIn("\treturn 10 // int(line)", caret), 11u);
    EXPECT_EQ(CaretByteIn("  return 9 // int(line)", caret), 12u) << "changed since: counted from the indent";
}

TEST(MessageGroupsTest, CutsTheInterpretersOutputIntoMessages)
{
    std::vector<std::string> text = {
        "  File \"/k/script.py\", line 2", // 0: a syntax error begins indented
        "    print(x +)",
        "             ^",
        "SyntaxError: invalid syntax", // after the caret: the same message
        "Use of uninitialized value $x in addition (+) at /k/script.pl line 3, <STDIN> line 2.", // 4
        "Died at /k/script.pl line 5.",                                                         // 5
        "\tmain::f(1) called at /k/script.pl line 9",
    };
    text.insert(text.end(), PythonTraceback.begin(), PythonTraceback.end()); // 7-16
    const std::vector<std::string> rest = {
        "", // chained exceptions stand apart: 17
        "During handling of the above exception, another exception occurred:",
        "/k/script.rb:2:in `f': undefined method `foo' for 1:Integer (NoMethodError)", // 19
        "",
        "    x.foo",
        "     ^^^^",
        "Did you mean?  floor",
        "\tfrom /k/script.rb:4:in `<main>'",
        "/k/script.rb:2: syntax error, unexpected ')'", // 25
        "    y = (x +))",
        "            ^",
        "/k/script.rb:5: syntax error, unexpected end-of-input", // 28: names a line itself
        "awk: cmd. line:2: { print ( }",                         // 29
        "awk: cmd. line:2:           ^ syntax error",
    };
    text.insert(text.end(), rest.begin(), rest.end());
    EXPECT_EQ(GroupDump(text, R"((?:script\.\w+"?,? line |script\.rb:|cmd\. line:)(\d+))"),
              "[0+4][4+1][5+2][7+10!][17+1][18+1][19+6][25+3][28+1][29+2]");
}

TEST(MessagePlaceTest, ATracebackLeadsToItsInnermostScriptFrameAndItsCaret)
{
    TMessagePattern errLine(R"(script\.py", line (\d+))");
    const auto place = FindScriptPlace(Lines(PythonTraceback), true, errLine);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Named, (TNamedLine{3, 0}));
    EXPECT_EQ(place->LineIndex, 6);
    EXPECT_EQ(ScriptPlaceByte(*place, "    return 10 // int(line)", TTextEncoding::ShiftJis), 14u) << "the operator under ^";

    const std::vector<std::string> ruby = {"/k/script.rb:2:in `parse': divided by 0 (ZeroDivisionError)",
                                           "\tfrom /k/script.rb:4:in `block in <main>'"};
    TMessagePattern rubyLine(R"(script\.rb:(\d+):)");
    EXPECT_EQ(FindScriptPlace(Lines(ruby), false, rubyLine)->Named.Line, 2) << "Ruby names the innermost first";
}

TEST(MessagePlaceTest, ASecondGroupIsTheColumnInCharacters)
{
    TMessagePattern errLine(R"(line (\d+), column (\w+))");
    const std::vector<std::string> message = {"at line 4, column 3"};
    const auto place = FindScriptPlace(Lines(message), false, errLine);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->Named, (TNamedLine{4, 3}));
    EXPECT_EQ(ScriptPlaceByte(*place, Utf8ToSjis("あいう"), TTextEncoding::ShiftJis), 4u) << "two-byte characters";
    EXPECT_EQ(ScriptPlaceByte(*place, "aé表😀", TTextEncoding::Utf8), 3u) << "UTF-8 characters";
    EXPECT_EQ(ScriptPlaceByte(*place, "a", TTextEncoding::ShiftJis), 1u) << "past the end: the line's end";
    EXPECT_EQ(FindNamedLine(SharedRegExp(), R"(m/line (\d+), column (\w+)/)", "line 4, column x")->Column, 0)
        << "a second group that is no number is no column";
}

TEST(MessagePlaceTest, TheDataLineAndThePatternsErrors)
{
    TMessagePattern dataLine(R"(, <(?:STDIN|ARGV)?> line (\d+)\.)");
    const std::vector<std::string> perl = {"Illegal division by zero at /k/script.pl line 3, <STDIN> line 3."};
    const auto data = FindDataPlace(Lines(perl), false, dataLine);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Named.Line, 3);

    TMessagePattern broken(R"(line (\d+)");
    EXPECT_THROW(FindScriptPlace(Lines(perl), false, broken), EBRegExpError);
    TMessagePattern word(R"(at (\S+) line)");
    EXPECT_THROW(FindScriptPlace(Lines(perl), false, word), EConvertError);
}
