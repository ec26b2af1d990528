#include "regex/BRegExp.h"

#include "editor/base/CodePage.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace kestrim;
using namespace std::string_literals;

namespace {

std::string ErrorOf(TBRegExp& RegExp, const std::string& Pattern, const std::string& Target)
{
    try {
        RegExp.Match(Pattern, Target);
    } catch (const EBRegExpError& error) {
        return error.what();
    }
    return "";
}

std::string GroupError(const TBRegExp& RegExp, int Index)
{
    try {
        RegExp.Strings(Index);
    } catch (const EBRegExpError& error) {
        return error.what();
    }
    return "";
}

} // namespace

TEST(BRegExpTest, GivesTheGroupsOfTheMatch)
{
    TBRegExp regExp;
    ASSERT_TRUE(regExp.Match(R"(m/(\d+) +(\d+) +(\d+)/)", "colour 0 0 192 here"));
    EXPECT_EQ(regExp.Count(), 4);
    EXPECT_EQ(regExp.Strings(0), "0 0 192");
    EXPECT_EQ(regExp.Strings(1), "0");
    EXPECT_EQ(regExp.Strings(3), "192");
    EXPECT_EQ(GroupError(regExp, 4), "index out of range");
    EXPECT_EQ(GroupError(regExp, -1), "index out of range");
}

TEST(BRegExpTest, GroupsExistOnlyAfterASuccessfulMatch)
{
    TBRegExp regExp;
    EXPECT_EQ(GroupError(regExp, 0), "no strings now");
    ASSERT_TRUE(regExp.Match("m/a(b)/", "xab"));
    EXPECT_FALSE(regExp.Match("m/a(b)/", "xyz"));
    EXPECT_EQ(GroupError(regExp, 0), "no strings now");
    EXPECT_EQ(GroupError(regExp, 1), "no strings now");
}

TEST(BRegExpTest, GroupsThatTookNoPartAreEmpty)
{
    TBRegExp regExp;
    ASSERT_TRUE(regExp.Match("m/(a)|(b)(c)?/", "b"));
    EXPECT_EQ(regExp.Count(), 4);
    EXPECT_EQ(regExp.Strings(1), "");
    EXPECT_EQ(regExp.Strings(2), "b");
    EXPECT_EQ(regExp.Strings(3), "");
}

TEST(BRegExpTest, GroupsAreCopiesThatOutliveTheTarget)
{
    TBRegExp regExp;
    {
        std::string target = "error at x.pl line 17.";
        ASSERT_TRUE(regExp.Match(R"(m/line (\d+)[.,]/)", target));
        target.assign(target.size(), '#');
    }
    EXPECT_EQ(regExp.Strings(1), "17");
}

TEST(BRegExpTest, ABadPatternRaisesTheEngineMessageAndLeavesNoMatch)
{
    TBRegExp regExp;
    ASSERT_TRUE(regExp.Match("m/(a)/", "a"));
    EXPECT_NE(ErrorOf(regExp, "m/(abc/", "abc").find("missing closing parenthesis"), std::string::npos);
    EXPECT_EQ(GroupError(regExp, 0), "no strings now");
    for (const char* pattern : {"m/[a/", "m/*a/", "m/a{2,1}/", "m/\\/", "m/(?<n>a)(?<n>b)/", "m/(*UTF)a/"})
        EXPECT_FALSE(ErrorOf(regExp, pattern, "a").empty()) << pattern;
    ASSERT_TRUE(regExp.Match("m/(b)/", "abc"));
    EXPECT_EQ(regExp.Strings(1), "b");
}

TEST(BRegExpTest, RejectsTextsOutsideTheMatchNotation)
{
    TBRegExp regExp;
    for (const char* pattern : {"", "abc", "/abc/", "m/abc", "m/", "s/a/b/", "m/a/g", "m/a/I"})
        EXPECT_FALSE(ErrorOf(regExp, pattern, "abc").empty()) << pattern;
    EXPECT_NE(ErrorOf(regExp, "m/a/q", "a").find("\"q\""), std::string::npos);
    EXPECT_TRUE(regExp.Match("m//", "abc")); // the empty expression matches everywhere
}

TEST(BRegExpTest, ModifiersChangeTheMatch)
{
    TBRegExp regExp;
    EXPECT_FALSE(regExp.Match("m/abc/", "ABC"));
    EXPECT_TRUE(regExp.Match("m/abc/i", "ABC"));
    EXPECT_FALSE(regExp.Match("m/^b/", "a\nb"));
    EXPECT_TRUE(regExp.Match("m/^b/m", "a\nb"));
    EXPECT_FALSE(regExp.Match("m/a.b/", "a\nb"));
    EXPECT_TRUE(regExp.Match("m/a.b/s", "a\nb"));
    EXPECT_TRUE(regExp.Match("m/a b # comment/x", "ab"));
    EXPECT_TRUE(regExp.Match("m/^A.B$/ism", "x\na\nb"));
}

TEST(BRegExpTest, CompilesOnlyWhenThePatternTextChanges)
{
    TBRegExp regExp;
    regExp.Match("m/a/", "a");
    regExp.Match("m/a/", "b");
    EXPECT_EQ(regExp.CompileCount(), 1);
    regExp.Match("m/b/", "b");
    regExp.Match("m/a/", "a");
    EXPECT_EQ(regExp.CompileCount(), 3);
    regExp.Match("m/a/i", "a"); // the modifiers are part of the text
    EXPECT_EQ(regExp.CompileCount(), 4);
    ErrorOf(regExp, "m/(/", "a");
    EXPECT_TRUE(regExp.Match("m/a/i", "A"));
    EXPECT_EQ(regExp.CompileCount(), 5);
}

TEST(BRegExpTest, SearchesTheWholeTargetIncludingNulBytes)
{
    TBRegExp regExp;
    const std::string target = "abc\0def 123\0"s;
    ASSERT_TRUE(regExp.Match(R"(m/(\d+)/)", target));
    EXPECT_EQ(regExp.Strings(1), "123");
    ASSERT_TRUE(regExp.Match(R"(m/c\x00(d)/)", target));
    EXPECT_EQ(regExp.Strings(0), "c\0d"s);
    EXPECT_TRUE(regExp.Match(R"(m/^\s*$/)", ""));
    EXPECT_FALSE(regExp.Match("m/x/", ""));
}

TEST(BRegExpTest, ShiftJisCharactersWithSyntaxTrailBytesMatchLiterally)
{
    // "ソ" is 0x83 0x5C and "表" 0x95 0x5C: the trail byte is a backslash.
    const std::string software = Utf8ToSjis("ソフト");
    const std::string target = Utf8ToSjis("新しいソフトの表示: 1 件");
    TBRegExp regExp;
    ASSERT_TRUE(regExp.Match("m/(" + software + ")/", target));
    EXPECT_EQ(regExp.Strings(1), software);
    ASSERT_TRUE(regExp.Match("m/" + Utf8ToSjis("表示") + R"(: (\d+))" + "/", target));
    EXPECT_EQ(regExp.Strings(1), "1");
    EXPECT_TRUE(regExp.Match("m/\\Q" + Utf8ToSjis("ソ") + "\\E/", target));
    EXPECT_FALSE(regExp.Match("m/" + Utf8ToSjis("ソ") + "x/", target));
    // "\\" still means a backslash, and the character after a lone "\" stays escaped.
    EXPECT_TRUE(regExp.Match(R"(m/a\\b\./)", R"(a\b.)"));
}

TEST(BRegExpTest, FindsAMatchAtTheEndOfAHundredMegabytes)
{
    std::string target(100u << 20, 'a');
    const std::string tail = "at x.pl line 42.";
    target.replace(target.size() - 100, tail.size(), tail);
    TBRegExp regExp;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(regExp.Match(R"(m/line (\d+)[.,]/)", target));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(regExp.Strings(1), "42");
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST(BRegExpTest, ARunawayPatternRaisesInsteadOfHanging)
{
    TBRegExp regExp;
    const std::string target = std::string(40, 'a') + "!";
    EXPECT_FALSE(ErrorOf(regExp, "m/^(\\w+\\s?)*$/", target).empty());
    EXPECT_EQ(GroupError(regExp, 0), "no strings now");
}
