// Line comparison: hunks of small texts in a table, a seeded random run against a plain LCS
// model, large texts that need cutting at anchors, the bounds (budget, cancel), one side's marks
// and the characters of changed lines.

#include "editor/base/StringList.h"
#include "editor/base/TextConversion.h"
#include "editor/text/DiffMarks.h"
#include "editor/text/LineDiff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

constexpr auto ShiftJis = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;
constexpr std::int64_t Unlimited = std::numeric_limits<std::int64_t>::max();
const std::atomic<bool> NoCancel{false};

std::string ToSjis(std::string_view Utf8Text) { return ConvertText(Utf8Text, Utf8, ShiftJis).Text; }

std::vector<std::uint64_t> KeysOf(const std::vector<std::string>& Lines, TTextEncoding Encoding)
{
    std::vector<std::uint64_t> keys;
    for (const std::string& line : Lines)
        keys.push_back(LineKey(Encoding == ShiftJis ? ToSjis(line) : line, Encoding));
    return keys;
}

std::string Dump(const TLineDiff& Diff)
{
    std::string out;
    for (const TDiffHunk& h : Diff.Hunks)
        out += "[" + std::to_string(h.OldStart) + "," + std::to_string(h.OldCount) + "|" + std::to_string(h.NewStart) + ","
             + std::to_string(h.NewCount) + "]";
    return out + " c" + std::to_string(Diff.Changed()) + " a" + std::to_string(Diff.Added()) + " r"
         + std::to_string(Diff.Removed()) + (Diff.Complete ? "" : " incomplete");
}

// The hunks are a valid edit script: in order, none empty, none touching, and the lines outside
// them equal pairwise in order. Gives the number of lines left unmatched.
int CheckCover(const TLineDiff& Diff, const std::vector<std::uint64_t>& Old, const std::vector<std::uint64_t>& New)
{
    int oldAt = 0, newAt = 0, unmatched = 0;
    const auto equalUpTo = [&](int oldEnd, int newEnd) {
        EXPECT_EQ(oldEnd - oldAt, newEnd - newAt);
        for (; oldAt < oldEnd && newAt < newEnd; ++oldAt, ++newAt)
            EXPECT_EQ(Old[oldAt], New[newAt]) << "old line " << oldAt;
    };
    for (std::size_t i = 0; i < Diff.Hunks.size(); ++i) {
        const TDiffHunk& h = Diff.Hunks[i];
        EXPECT_TRUE(h.OldCount > 0 || h.NewCount > 0);
        EXPECT_TRUE(i == 0 || (h.OldStart > oldAt && h.NewStart > newAt)) << "hunk " << i << " touches the one before";
        equalUpTo(h.OldStart, h.NewStart);
        oldAt += h.OldCount;
        newAt += h.NewCount;
        unmatched += h.OldCount + h.NewCount;
    }
    equalUpTo(static_cast<int>(Old.size()), static_cast<int>(New.size()));
    return unmatched;
}

int PlainLcs(const std::vector<std::uint64_t>& A, const std::vector<std::uint64_t>& B)
{
    std::vector<std::vector<int>> t(A.size() + 1, std::vector<int>(B.size() + 1));
    for (std::size_t i = A.size(); i-- > 0;)
        for (std::size_t j = B.size(); j-- > 0;)
            t[i][j] = A[i] == B[j] ? t[i + 1][j + 1] + 1 : std::max(t[i + 1][j], t[i][j + 1]);
    return t[0][0];
}

TEST(LineDiffTest, HunksOfSmallTexts)
{
    // The old text in Shift-JIS, the new one in UTF-8: lines of the same characters are equal.
    struct TCase {
        std::vector<std::string> Old, New;
        std::string Expected;
    };
    const TCase cases[] = {
        {{}, {}, " c0 a0 r0"},
        {{}, {"a", "b"}, "[0,0|0,2] c0 a2 r0"},
        {{"a", "b"}, {}, "[0,2|0,0] c0 a0 r2"},
        {{"漢字", "かな", "x"}, {"漢字", "かな", "x"}, " c0 a0 r0"},
        {{"a", "b", "c"}, {"x", "y", "z"}, "[0,3|0,3] c3 a0 r0"},
        {{"a", "c"}, {"a", "b", "b2", "c"}, "[1,0|1,2] c0 a2 r0"},
        {{"a", "b", "c", "d"}, {"a", "d"}, "[1,2|1,0] c0 a0 r2"},
        {{"頭", "b", "c", "尾"}, {"あたま", "b", "c", "しっぽ", "+"}, "[0,1|0,1][3,1|3,2] c2 a1 r0"},
        {{"", "a", "", "b", ""}, {"", "a", "", "c", ""}, "[3,1|3,1] c1 a0 r0"},
        {{"", "", "x", "", ""}, {"", "", "", ""}, "[2,1|2,0] c0 a0 r1"},
        {{"a", "b", "c", "d"}, {"b", "c", "d", "a"}, "[0,1|0,0][4,0|3,1] c0 a1 r1"},
        {{"x", "a", "b", "y"}, {"a", "p", "q", "r", "b"}, "[0,1|0,0][2,0|1,3][3,1|5,0] c0 a3 r2"},
    };
    for (const TCase& c : cases) {
        const auto diff = DiffLines(KeysOf(c.Old, ShiftJis), KeysOf(c.New, Utf8), NoCancel);
        ASSERT_TRUE(diff);
        EXPECT_EQ(Dump(*diff), c.Expected) << c.Expected;
    }
}

TEST(LineDiffTest, KeysKeepInvalidBytesApart)
{
    EXPECT_EQ(LineKey("plain ascii", ShiftJis), LineKey("plain ascii", Utf8));
    const std::string lines[] = {"\x81", "\x82", "?", "\xEF\xBF\xBD", "a\x81", "a\xE0", "\xA0"};
    for (const std::string& a : lines)
        for (const std::string& b : lines)
            if (&a != &b) {
                EXPECT_NE(LineKey(a, ShiftJis), LineKey(b, ShiftJis)) << a << " / " << b;
            }
    EXPECT_NE(LineKey("\x81", Utf8), LineKey("\x82", Utf8));
}

// Keys from a tiny alphabet make many duplicates; every third text also has keys of its own.
std::vector<std::uint64_t> RandomKeys(std::mt19937& Random, int MaxLines)
{
    std::vector<std::uint64_t> keys(Random() % (MaxLines + 1));
    for (std::uint64_t& key : keys)
        key = Random() % 3 == 0 ? 100 + Random() % 1000 : Random() % 4;
    return keys;
}

TEST(LineDiffTest, RandomTextsMatchThePlainModel)
{
    std::mt19937 random(2112);
    for (int round = 0; round < 1500; ++round) {
        const auto oldKeys = RandomKeys(random, 30), newKeys = RandomKeys(random, 30);
        const auto exact = DiffLines(oldKeys, newKeys, NoCancel, Unlimited);
        ASSERT_TRUE(exact && exact->Complete);
        const int minimal = static_cast<int>(oldKeys.size() + newKeys.size()) - 2 * PlainLcs(oldKeys, newKeys);
        ASSERT_EQ(CheckCover(*exact, oldKeys, newKeys), minimal) << "round " << round;
        // However little it may do, the comparison describes the texts correctly.
        const auto bounded = DiffLines(oldKeys, newKeys, NoCancel, round % 20);
        ASSERT_TRUE(bounded);
        CheckCover(*bounded, oldKeys, newKeys);
    }
}

TEST(LineDiffTest, SmallBudgetLeavesTheRestAsOneHunk)
{
    const std::vector<std::uint64_t> oldKeys = {1, 2, 1, 2, 1, 2, 9}, newKeys = {2, 1, 2, 1, 2, 1, 9};
    const auto diff = DiffLines(oldKeys, newKeys, NoCancel, 10);
    ASSERT_TRUE(diff);
    EXPECT_EQ(Dump(*diff), "[0,6|0,6] c6 a0 r0 incomplete");
}

TEST(LineDiffTest, CancelGivesNothing)
{
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(DiffLines({1, 2, 3}, {1, 3}, cancel));
}

// Texts too large for one piece: unique lines with blank lines among them, edited at random
// places, and a shuffled copy; and a shuffle of two keys, which no anchor can cut.
TEST(LineDiffTest, LargeTextsAreCutAtAnchors)
{
    std::mt19937 random(7);
    std::vector<std::uint64_t> base(6000);
    for (std::size_t i = 0; i < base.size(); ++i)
        base[i] = i % 5 == 0 ? 0 : 1000 + i;
    std::vector<std::uint64_t> edited = base;
    for (int edit = 0; edit < 300; ++edit) {
        const auto at = edited.begin() + random() % edited.size();
        if (edit % 3 == 0)
            edited.erase(at);
        else
            edited.insert(at, edit % 3 == 1 ? 0 : 50'000 + random() % 100);
    }
    const auto diff = DiffLines(base, edited, NoCancel);
    ASSERT_TRUE(diff && diff->Complete);
    EXPECT_LE(CheckCover(*diff, base, edited), 2 * 300);

    std::vector<std::uint64_t> shuffled = base;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    CheckCover(*DiffLines(base, shuffled, NoCancel), base, shuffled);

    std::vector<std::uint64_t> twoKeys(3000);
    for (std::uint64_t& key : twoKeys)
        key = random() % 2;
    std::vector<std::uint64_t> twoKeysShuffled = twoKeys;
    std::shuffle(twoKeysShuffled.begin(), twoKeysShuffled.end(), random);
    const auto cut = DiffLines(twoKeys, twoKeysShuffled, NoCancel);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->Complete);
    CheckCover(*cut, twoKeys, twoKeysShuffled);
}

std::string MarkDump(const TLineDiff& Diff, TDiffSide Side, int Lines)
{
    std::string out;
    for (int line = 0; line <= Lines; ++line) {
        const TLineMarkInfo info = LineMarkOf(Diff, Side, line);
        out += info.GapBefore ? "^" : "";
        out += "-CAR"[static_cast<int>(info.Mark)];
        out += info.Counterpart >= 0 ? std::to_string(info.Counterpart) : "";
        out += " ";
    }
    return out;
}

TEST(LineDiffTest, MarksAndNextChangeOfEachSide)
{
    // Old 0..7, new 0..7: old 1-2 became new 1; new 3-4 were added; old 6 was removed.
    TLineDiff diff;
    diff.Hunks = {{1, 2, 1, 1}, {4, 0, 3, 2}, {6, 1, 7, 0}};
    EXPECT_EQ(MarkDump(diff, TDiffSide::New, 8), "- C1 ^- A A - - ^- - ");
    EXPECT_EQ(MarkDump(diff, TDiffSide::Old, 8), "- C1 R - ^- - R - - ");
    EXPECT_EQ(LineMarkOf(diff, TDiffSide::New, -1).Mark, TLineMark::None);

    struct TStep {
        TDiffSide Side;
        int Line, Direction;
        std::optional<int> Expected;
    };
    const TStep steps[] = {
        {TDiffSide::New, -1, 1, 1}, {TDiffSide::New, 1, 1, 3},  {TDiffSide::New, 3, 1, 7},
        {TDiffSide::New, 7, 1, {}}, {TDiffSide::New, 8, -1, 7}, {TDiffSide::New, 4, -1, 3},
        {TDiffSide::New, 1, -1, {}}, {TDiffSide::Old, 0, 1, 1}, {TDiffSide::Old, 2, 1, 4},
        {TDiffSide::Old, 4, 1, 6},  {TDiffSide::Old, 6, -1, 4}, {TDiffSide::Old, 3, -1, 1},
    };
    for (const TStep& s : steps)
        EXPECT_EQ(NextChange(diff, s.Side, s.Line, s.Direction), s.Expected) << s.Line << " " << s.Direction;
}

std::string RangeDump(const std::vector<TByteRange>& Ranges)
{
    std::string out;
    for (const TByteRange& r : Ranges)
        out += "[" + std::to_string(r.Start) + "," + std::to_string(r.End) + ")";
    return out;
}

std::string Repeated(std::string_view Piece, std::size_t Size)
{
    std::string out;
    while (out.size() < Size)
        out += Piece;
    return out;
}


TEST(LineDiffTest, ChangedCharacters)
{
    // A long line with two characters changed in place is compared exactly, not as a whole.
    const std::string longLine = Repeated("abcdefghij", 3000);
    const std::string longChanged = longLine.substr(0, 1000) + "X" + longLine.substr(1001, 999) + "Y" + longLine.substr(2001);
    struct TCase {
        std::string Old;
        TTextEncoding OldEncoding;
        std::string New;
        TTextEncoding NewEncoding;
        std::string Expected;
    };
    const TCase cases[] = {
        {ToSjis("abc漢字"), ShiftJis, ToSjis("abc漢子"), ShiftJis, "[5,7) | [5,7)"},
        {ToSjis("漢字かなabc"), ShiftJis, "漢字かなabc", Utf8, " | "},
        {ToSjis("a漢b"), ShiftJis, "a字b", Utf8, "[1,3) | [1,4)"},
        {"cafe\u0301!", Utf8, "cafe!", Utf8, "[3,6) | [3,4)"},
        {"a👍b", Utf8, "a👍🏽b", Utf8, "[1,5) | [1,9)"},
        {"", Utf8, "abc", ShiftJis, " | [0,3)"},
        {"ab\x81", ShiftJis, "ab", Utf8, "[2,3) | "},
        {longLine, Utf8, longChanged, ShiftJis, "[1000,1001)[2000,2001) | [1000,1001)[2000,2001)"},
        {"x" + std::string(4000, 'a'), Utf8, std::string(4000, 'a'), Utf8, "[0,4001) | [0,4000)"},
    };
    for (const TCase& c : cases) {
        const TCharDiff diff = DiffChars(c.Old, c.OldEncoding, c.New, c.NewEncoding);
        EXPECT_EQ(RangeDump(diff.Old) + " | " + RangeDump(diff.New), c.Expected) << c.Expected;
    }
}

TEST(LineDiffTest, DiffMarksOfTwoTexts)
{
    TStringList oldText, newText;
    for (const char* line : {"a", "漢字x", "c"})
        oldText.Add(ToSjis(line));
    for (const char* line : {"a", "漢字y", "d", "e"})
        newText.Add(line);
    std::vector<std::uint64_t> oldKeys, newKeys;
    for (int i = 0; i < oldText.Count(); ++i)
        oldKeys.push_back(LineKey(oldText.Get(i), ShiftJis));
    for (int i = 0; i < newText.Count(); ++i)
        newKeys.push_back(LineKey(newText.Get(i), Utf8));
    const auto diff = std::make_shared<const TLineDiff>(*DiffLines(oldKeys, newKeys, NoCancel));

    const TDiffMarks newMarks(diff, TDiffSide::New, newText, Utf8, oldText, ShiftJis);
    const TDiffMarks oldMarks(diff, TDiffSide::Old, oldText, ShiftJis, newText, Utf8);
    EXPECT_EQ(MarkDump(newMarks.Diff(), newMarks.Side(), 4), "- C1 C2 A - ");
    EXPECT_EQ(newMarks.LineMark(3).Mark, TLineMark::Added);
    EXPECT_EQ(RangeDump(newMarks.ChangedBytes(1)), "[6,7)");
    EXPECT_EQ(RangeDump(oldMarks.ChangedBytes(1)), "[4,5)");
    EXPECT_EQ(RangeDump(oldMarks.ChangedBytes(2)), "[0,1)");
    EXPECT_TRUE(newMarks.ChangedBytes(0).empty());
    EXPECT_TRUE(newMarks.ChangedBytes(3).empty());
    // Marks of a text that has since lost lines ask for none of them.
    oldText.Delete(2);
    EXPECT_TRUE(newMarks.ChangedBytes(2).empty());
}

} // namespace
