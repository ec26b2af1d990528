#include "TokenDump.h"

#include "editor/base/Exceptions.h"
#include "editor/highlight/edFountainParser.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kestrim;
using namespace kestrim::test;

namespace {

// The base parser: what a definition without options of its own parses.
class TPlainParser : public TFountainParser {
public:
    using TFountainParser::TFountainParser;
    TFountainColor* TokenColor() override { return nullptr; }
};

class TPlainFountain : public TFountain {
protected:
    TFountainParserClass ParserClass() override
    {
        return [](TFountain* Fountain, TTextEncoding Encoding) -> std::unique_ptr<TFountainParser> {
            return std::make_unique<TPlainParser>(Fountain, Encoding);
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
        return DumpTokens(*Fountain.NewParser(), Sjis(Utf8Row), Data);
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
    EXPECT_THROW(
        try { TPlainParser parser(nullptr); } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "TFountainParser.Create need instance of TFountain");
            throw;
        },
        Exception);
}

TEST_F(FountainParser, NumbersWordsSymbolsAndTabs)
{
    EXPECT_EQ(Tokens("1.5e+3x"), R"(Float"1.5e+3" Word"x")");
    EXPECT_EQ(Tokens("12.a"), R"(Int"12" Sym"." Word"a")");
    EXPECT_EQ(Tokens("3e 1.e5 7. 2e- 0.25E2"), R"(Float"3e" Float"1.e5" Int"7" Sym"." Float"2e-" Float"0.25E2")");
    EXPECT_EQ(Tokens("\x01 $x_1\t=\x1f"), "Sym\"$\" Word\"x_1\" Tab\"\t\" Sym\"=\"");
}

TEST_F(FountainParser, TwoByteAndHalfWidthCharacters)
{
    EXPECT_EQ(Tokens("かなー カタカナ－ ＡＢｃー"), R"(Hira"かなー" Kata"カタカナ－" WLatin"ＡＢｃ" WSym"ー")");
    EXPECT_EQ(Tokens("１２ー １２，３．４"), R"(WDigits"１２" WSym"ー" WDigits"１２，３．４")");
    EXPECT_EQ(Tokens("漢字かな、Ω①"), R"(Kanji"漢字" Hira"かな" WSym"、" WSym"Ω" WSym"①")");
    EXPECT_EQ(Tokens("ｱｲｳ｡｡"), R"(HKana"ｱｲｳ" HPunct"｡" HPunct"｡")");
}

TEST_F(FountainParser, ReservedWordsIgnoreCaseAndNeedNotBeWords)
{
    EXPECT_EQ(Tokens("PRINT If + 42 printf /* print */"),
              R"(Word*"PRINT" Word*"If" Sym*"+" Int*"42" Word"printf" Bracket"/* print */")");
}

TEST_F(FountainParser, Brackets)
{
    EXPECT_EQ(DumpWrapped(Fountain, "a /* b\nc */ d\ne"), R"(Word"a" Bracket"/* b" | [b0] Bracket"c */" Word"d" | Word"e")");
    EXPECT_EQ(Tokens("a /* b */", NotParsed()), R"(Word"a" Sym"/" Sym"*" Word"b" Sym"*" Sym"/")");

    // An item without both brackets never opens; a state naming no item ends the row.
    Fountain.Brackets().Items(0)->SetRightBracket("");
    Fountain.Brackets().Add()->SetRightBracket("'");
    EXPECT_EQ(Tokens("/* x ' y"), R"(Sym"/" Sym"*" Word"x" Sym"'" Word"y")");
    TRowAttributeData data;
    data.OpenBracket = 13;
    EXPECT_EQ(Tokens("x", data), "");
}

TEST_F(FountainParser, BlankRowPassesTheStateThrough)
{
    TEditorStringList list;
    FillRows(list, "    \n");
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

TEST_F(FountainParser, TokensCutByTheWrap)
{
    // Carried by count: the rest is taken without scanning.
    EXPECT_EQ(DumpWrapped(Fountain, "x abc|def ghi"), R"(Word"x" Word"abcdef" | [Word+3] Word"def" Word"ghi")");
    EXPECT_EQ(DumpWrapped(Fountain, "pri|nt x"), R"(Word*"print" | [Reserved+2] Reserved"nt" Word"x")");
    EXPECT_EQ(DumpWrapped(Fountain, "1.|5e3"), R"(Float"1.5e3" | [Float+3] Float"5e3")");
    // Running on past the next row: scanned again there.
    EXPECT_EQ(DumpWrapped(Fountain, "ab|cd|ef g"), R"(Word"abcd" | [Word+0] Word"cdef" | [Word+2] Word"ef" Word"g")");
    // More than the row store counts: scanned again.
    EXPECT_EQ(DumpWrapped(Fountain, "a|" + std::string(300, 'b')),
              "Word\"a" + std::string(300, 'b') + "\" | [Word+0] Word\"" + std::string(300, 'b') + "\"");
}

TEST_F(FountainParser, BracketsCutByTheWrap)
{
    // Closed on the next row: found there by scanning; a cut right bracket is taken by count.
    EXPECT_EQ(DumpWrapped(Fountain, "a /* b|c */ d /* e *|/ f"),
              R"(Word"a" Bracket"/* bc */" | [b0] Bracket"c */" Word"d" Bracket"/* e */" | [b0][Bracket+1] Bracket"/" Word"f")");
    // A bracket wholly on the next row is not open at that row's start.
    EXPECT_EQ(DumpWrapped(Fountain, "ab|/* x"), R"(Word"ab" | Bracket"/* x")");

    TEditorStringList list;
    FillRows(list, "ab|/* x");
    TRowAttributeData data = NotParsed();
    data.RowAttribute = raWrapped;
    Fountain.NewParser()->ComputeNextRowState(0, list, data);
    EXPECT_EQ(data.OpenBracket, -2);
}

TEST(TokenParser, SplitsWithoutADefinition)
{
    TTokenParser parser;
    TRowAttributeData data;
    data.OpenBracket = -2;
    EXPECT_EQ(DumpTokens(parser, Sjis("if /* x */ 漢字"), data), R"(Word"if" Sym"/" Sym"*" Word"x" Sym"*" Sym"/" Kanji"漢字")");
    EXPECT_EQ(parser.TokenColor(), nullptr);
}

// Bytes that do not form characters, rows that end where a character has not, and stored
// states that no row would hold: nothing is read past the row, every byte belongs to one token.
TEST_F(FountainParser, MalformedTextAndStatesStayInsideTheRow)
{
    struct Case {
        std::string Row;
        std::string Kinds;
        TRowAttributeData Data;
    };
    TRowAttributeData carried;
    carried.CarryKind = 255;
    carried.CarryLength = 200;
    const Case cases[] = {
        {"\x82", "WSym", {}},
        {"\x82\x21x", "WSym Sym Word", {}},
        {"\x83\xF5", "WSym Kanji", {}},
        {"\x81", "WSym", {}},
        {"a\x88", "Word Kanji", {}},
        {"\x88\x30", "Kanji Int", {}},
        {std::string("ab\0cd", 5), "Word", {}},
        {"ab\rcd\n", "Word", {}},
        {"abc", "Kind255", carried},
    };
    auto parser = Fountain.NewParser();
    for (const Case& c : cases) {
        // An exact-size copy, so that a read past the row would leave the buffer.
        auto bytes = std::make_unique<char[]>(c.Row.size());
        std::copy(c.Row.begin(), c.Row.end(), bytes.get());
        parser->BeginRow(std::string_view(bytes.get(), c.Row.size()), c.Data);
        std::string kinds;
        int covered = 0;
        while (parser->NextToken() != tokEnd) {
            EXPECT_EQ(parser->TokenOffset(), covered) << c.Kinds;
            covered += parser->TokenLength();
            kinds += (kinds.empty() ? "" : " ") + KindName(parser->Token());
        }
        EXPECT_EQ(kinds, c.Kinds);
        EXPECT_LE(covered, static_cast<int>(c.Row.size()));
    }
}
