#include "TokenDump.h"

#include "editor/base/Exceptions.h"
#include "editor/highlight/edFountainParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using namespace kestrim;
using namespace kestrim::test;

namespace {

// The base parser with a colour for nothing: what a definition without options parses.
class TPlainParser : public TFountainParser {
public:
    using TFountainParser::TFountainParser;
    TFountainColor* TokenColor() override { return nullptr; }
};

class TPlainFountain : public TFountain {
protected:
    TFountainParserClass ParserClass() override
    {
        return [](TFountain* Fountain) -> std::unique_ptr<TFountainParser> {
            return std::make_unique<TPlainParser>(Fountain);
        };
    }
};

class FountainParser : public ::testing::Test {
protected:
    FountainParser()
    {
        TFountainBracketItem* comment = Fountain.Brackets().Add();
        comment->SetLeftBracket("/*");
        comment->SetRightBracket("*/");
        for (const char* word : {"print", "if", "+", "42"})
            Fountain.ReserveWordList().Add(word);
    }

    std::string Tokens(std::string_view Utf8Row, const TRowAttributeData& Data = {})
    {
        auto parser = Fountain.NewParser();
        return DumpTokens(*parser, Sjis(Utf8Row), Data);
    }

    TPlainFountain Fountain;
};

TRowAttributeData NotParsed()
{
    TRowAttributeData data;
    data.OpenBracket = -2;
    return data;
}

} // namespace

TEST_F(FountainParser, CreationNeedsADefinition)
{
    try {
        TPlainParser parser(nullptr);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "TFountainParser.Create need instance of TFountain");
    }
}

TEST_F(FountainParser, Numbers)
{
    EXPECT_EQ(Tokens("1.5e+3x"), R"(Float"1.5e+3" Word"x")");
    EXPECT_EQ(Tokens("12.a"), R"(Int"12" Sym"." Word"a")");
    EXPECT_EQ(Tokens("3e 1.e5 7. 2e- 0.25E2"), R"(Float"3e" Float"1.e5" Int"7" Sym"." Float"2e-" Float"0.25E2")");
}

TEST_F(FountainParser, WordsSymbolsTabsAndSpaces)
{
    EXPECT_EQ(Tokens("my $x_1\t= foo(bar);"),
              "Word\"my\" Sym\"$\" Word\"x_1\" Tab\"\t\" Sym\"=\" Word\"foo\" Sym\"(\" Word\"bar\" Sym\")\" "
              "Sym\";\"");
    EXPECT_EQ(Tokens("\x01 a \x1f"), R"(Word"a")");
    EXPECT_EQ(Tokens("   "), "");
}

TEST_F(FountainParser, TwoByteAndHalfWidthCharacters)
{
    EXPECT_EQ(Tokens("かなー"), R"(Hira"かなー")");
    EXPECT_EQ(Tokens("カタカナ－"), R"(Kata"カタカナ－")");
    EXPECT_EQ(Tokens("１２ー"), R"(WDigits"１２" WSym"ー")");
    EXPECT_EQ(Tokens("１２，３．４"), R"(WDigits"１２，３．４")");
    EXPECT_EQ(Tokens("ＡＢｃー"), R"(WLatin"ＡＢｃ" WSym"ー")");
    EXPECT_EQ(Tokens("漢字かな、。"), R"(Kanji"漢字" Hira"かな" WSym"、" WSym"。")");
    EXPECT_EQ(Tokens("ｱｲｳ｡"), R"(HKana"ｱｲｳ" HPunct"｡")");
    EXPECT_EQ(DumpTokens(*Fountain.NewParser(), "\xA1\xA1"), "HPunct\"\xEF\xBD\xA1\" HPunct\"\xEF\xBD\xA1\"");
    EXPECT_EQ(Tokens("Ωα①"), R"(WSym"Ω" WSym"α" WSym"①")");
}

TEST_F(FountainParser, ReservedWordsIgnoreCaseAndNeedNotBeWords)
{
    EXPECT_EQ(Tokens("PRINT If + 42 printf"), R"(Word*"PRINT" Word*"If" Sym*"+" Int*"42" Word"printf")");
    // Bracket text is never a reserved word.
    EXPECT_EQ(Tokens("/* print */"), R"(Bracket"/* print */")");
}

TEST_F(FountainParser, BracketsOpenAcrossRows)
{
    TEditorStringList list;
    AddRow(list, "a /* b", raCrlf);
    AddRow(list, "c */ d", raCrlf);
    AddRow(list, "e", raEof);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    EXPECT_EQ(list.Brackets(1), 0);
    EXPECT_EQ(list.Brackets(2), -1);
    EXPECT_EQ(DumpStoredRow(*parser, list, 0), R"(Word"a" Bracket"/* b")");
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), R"(Bracket"c */" Word"d")");
    EXPECT_EQ(parser->TokenBracket(), 0);
}

TEST_F(FountainParser, BracketsNeverOpenInARowThatIsNotParsed)
{
    EXPECT_EQ(Tokens("a /* b */", NotParsed()), R"(Word"a" Sym"/" Sym"*" Word"b" Sym"*" Sym"/")");
}

TEST_F(FountainParser, BracketItemsWithoutBothBracketsNeverOpen)
{
    Fountain.Brackets().Items(0)->SetRightBracket("");
    TFountainBracketItem* quote = Fountain.Brackets().Add();
    quote->SetRightBracket("'");
    EXPECT_EQ(Tokens("/* x ' y"), R"(Sym"/" Sym"*" Word"x" Sym"'" Word"y")");

    // A state naming an item that is gone ends the row's tokens.
    TRowAttributeData data;
    data.OpenBracket = 13;
    EXPECT_EQ(Tokens("x", data), "");
}

TEST_F(FountainParser, BlankRowPassesTheStateThrough)
{
    TEditorStringList list;
    AddRow(list, "    ", raCrlf);
    AddRow(list, "", raCrlf);
    auto parser = Fountain.NewParser();
    TRowAttributeData data;
    data.OpenBracket = 0;
    data.ExtraInt1 = 7;
    data.ExtraStr = "kept";
    const TRowAttributeData before = data;
    for (int row = 0; row < 2; ++row) {
        parser->ComputeNextRowState(row, list, data);
        EXPECT_EQ(data, before);
    }
}

TEST_F(FountainParser, WordCutByTheWrapIsCarriedByCount)
{
    TEditorStringList list;
    AddRow(list, "x abc", raWrapped);
    AddRow(list, "def ghi", raCrlf);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    EXPECT_EQ(list.CarryKinds(1), tokWord);
    EXPECT_EQ(list.CarryLengths(1), 3);
    EXPECT_EQ(list.PrevRows(1), raWrapped);
    EXPECT_EQ(DumpStoredRow(*parser, list, 0), R"(Word"x" Word"abcdef")");
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), R"(Word"def" Word"ghi")");

    // Taken by count: the carried bytes need not look like a word.
    TRowAttributeData data = list.GetRowAttributeData(1);
    data.CarryLength = 5;
    parser->BeginRow("de+-1 z", data);
    EXPECT_EQ(parser->NextToken(), tokWord);
    EXPECT_TRUE(parser->WrappedStart());
    EXPECT_EQ(parser->TokenText(), "de+-1");
}

TEST_F(FountainParser, ReservedWordCutByTheWrapKeepsItsKind)
{
    TEditorStringList list;
    AddRow(list, "pri", raWrapped);
    AddRow(list, "nt x", raCrlf);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    EXPECT_EQ(list.CarryKinds(1), tokReserved);
    EXPECT_EQ(list.CarryLengths(1), 2);
    EXPECT_EQ(DumpStoredRow(*parser, list, 0), R"(Word*"print")");
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), R"(Reserved"nt" Word"x")");
}

TEST_F(FountainParser, TokenOverSeveralWrapsIsScannedAgainOnEachRow)
{
    TEditorStringList list;
    AddRow(list, "ab", raWrapped);
    AddRow(list, "cd", raWrapped);
    AddRow(list, "ef g", raCrlf);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    EXPECT_EQ(list.CarryKinds(1), tokWord);
    EXPECT_EQ(list.CarryLengths(1), 0);
    EXPECT_EQ(list.CarryKinds(2), tokWord);
    EXPECT_EQ(list.CarryLengths(2), 2);
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), R"(Word"cdef")");
    EXPECT_EQ(DumpStoredRow(*parser, list, 2), R"(Word"ef" Word"g")");
}

TEST_F(FountainParser, RestLongerThanTheRowStoreCountsIsScannedAgain)
{
    TEditorStringList list;
    AddRow(list, "a", raWrapped);
    AddRow(list, std::string(300, 'b') + " c", raCrlf);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    EXPECT_EQ(list.CarryKinds(1), tokWord);
    EXPECT_EQ(list.CarryLengths(1), 0);
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), "Word\"" + std::string(300, 'b') + "\" Word\"c\"");
}

TEST_F(FountainParser, BracketClosingOnTheNextRow)
{
    TEditorStringList list;
    AddRow(list, "a /* b", raWrapped);
    AddRow(list, "c */ d /* e *", raWrapped);
    AddRow(list, "/ f", raCrlf);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    // Open at the start of row 1, closed inside it: found again by scanning.
    EXPECT_EQ(list.Brackets(1), 0);
    EXPECT_EQ(list.CarryKinds(1), 0);
    // The wrap cuts the right bracket: its rest is taken by count.
    EXPECT_EQ(list.Brackets(2), 0);
    EXPECT_EQ(list.CarryKinds(2), tokBracket);
    EXPECT_EQ(list.CarryLengths(2), 1);
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), R"(Bracket"c */" Word"d" Bracket"/* e */")");
    EXPECT_EQ(DumpStoredRow(*parser, list, 2), R"(Bracket"/" Word"f")");
    EXPECT_EQ(parser->OpenBracket(), -1);
}

TEST_F(FountainParser, TokenWhollyOnTheNextRowLeavesNoBracketOpen)
{
    TEditorStringList list;
    AddRow(list, "ab", raWrapped);
    AddRow(list, "/* x", raCrlf);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    EXPECT_EQ(list.Brackets(1), -1);
    EXPECT_EQ(DumpStoredRow(*parser, list, 1), R"(Bracket"/* x")");

    // Nor does it open one where brackets are off.
    TRowAttributeData data = NotParsed();
    data.RowAttribute = raWrapped;
    parser->ComputeNextRowState(0, list, data);
    EXPECT_EQ(data.OpenBracket, -2);
}

TEST_F(FountainParser, StateOfDescendantsIsCopied)
{
    TEditorStringList list;
    AddRow(list, "a b", raCrlf);
    TRowAttributeData data;
    data.ExtraInt1 = 5;
    data.ExtraInt2 = 6;
    data.ExtraByte = 7;
    data.ExtraStr = "s";
    data.PrevRowAttribute = raWrapped;
    auto parser = Fountain.NewParser();
    parser->BeginRow("x", data);
    EXPECT_EQ(parser->ExtraInt1(), 5);
    EXPECT_EQ(parser->ExtraInt2(), 6);
    EXPECT_EQ(parser->ExtraByte(), 7);
    EXPECT_EQ(parser->ExtraStr(), "s");
    EXPECT_EQ(parser->PrevRowAttribute(), raWrapped);
    parser->ComputeNextRowState(0, list, data);
    EXPECT_EQ(data.ExtraInt1, 5);
    EXPECT_EQ(data.ExtraByte, 7);
}

TEST(TokenParser, SplitsWithoutADefinition)
{
    TTokenParser parser;
    TRowAttributeData data;
    data.OpenBracket = -2;
    EXPECT_EQ(DumpTokens(parser, Sjis("if /* x */ 漢字"), data),
              R"(Word"if" Sym"/" Sym"*" Word"x" Sym"*" Sym"/" Kanji"漢字")");
    EXPECT_EQ(parser.TokenColor(), nullptr);
    EXPECT_EQ(parser.Fountain(), nullptr);
}

// Bytes that do not form characters, and rows that end where a character has not: no read
// or step past the row, and every byte still belongs to exactly one token.
TEST_F(FountainParser, MalformedAndCutCharactersStayInsideTheRow)
{
    auto parser = Fountain.NewParser();
    struct Case {
        std::string Row;
        std::string Dump;
    };
    const std::vector<Case> cases = {
        {"\x82", "WSym"},
        {"\x82\x21x", "WSym Sym Word"},
        {"\x83\xF5", "WSym Kanji"},
        {"\x81", "WSym"},
        {"a\x88", "Word Kanji"},
        {"\x88\x30", "Kanji Int"},
        {"ab\0cd", "Word"},
        {"ab\rcd\n", "Word"},
        {"\"\x82", "Sym WSym"},
    };
    for (const Case& c : cases) {
        // An exact-size copy, so that a read past the row would leave the buffer.
        auto bytes = std::make_unique<char[]>(c.Row.size());
        std::copy(c.Row.begin(), c.Row.end(), bytes.get());
        parser->BeginRow(std::string_view(bytes.get(), c.Row.size()), {});
        std::string kinds;
        int covered = 0;
        while (parser->NextToken() != tokEnd) {
            EXPECT_EQ(parser->TokenOffset(), covered) << c.Dump;
            covered += parser->TokenLength();
            kinds += (kinds.empty() ? "" : " ") + KindName(parser->Token());
        }
        EXPECT_EQ(kinds, c.Dump);
        EXPECT_LE(covered, static_cast<int>(c.Row.size()));
    }
}

TEST_F(FountainParser, StoredStatesOutOfRangeAreHarmless)
{
    auto parser = Fountain.NewParser();
    TRowAttributeData data;
    data.CarryKind = 255;
    data.CarryLength = 200;
    parser->BeginRow("abc", data);
    EXPECT_EQ(parser->NextToken(), static_cast<TTokenKind>(255));
    EXPECT_EQ(parser->TokenLength(), 3);
    EXPECT_EQ(parser->NextToken(), tokEnd);

    // A carried kind whose scan finds nothing of its own gives an empty token, then goes on.
    data.CarryKind = tokHalfKanaPunct;
    data.CarryLength = 0;
    EXPECT_EQ(DumpTokens(*parser, "ab", data), R"(HPunct"" Word"ab")");
}

// The painter parses each stored row from its own state; that must colour the text as
// parsing the whole logical line does. A token spread over three rows or more is scanned again
// from its middle on the rows after the first (a row holds no more state than that), so the
// widths here keep the tokens of these lines within two rows.
TEST_F(FountainParser, StoredRowsGiveTheTokensOfTheirLogicalLine)
{
    const std::vector<std::string> lines = {
        "my $total = 1.5e+3 * $count; print \"sum\" if $x > 42;",
        "/* a block comment",
        "   that spans lines */ sub name { return 0x1F + 12.5; }",
        "漢字とかなカナ１２３ＡＢＣ text ｱｲｳ end",
        "",
        "  foreach my $item (@list) { /* inline */ printf(\"%d\", $item); }",
    };
    for (int width = 4; width <= 40; ++width)
        EXPECT_EQ(MismatchOfStoredRows(Fountain, lines, width), "") << "width " << width;
}
