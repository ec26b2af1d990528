// The UTF-8 parser: the same tokens and row states as the Shift-JIS parser for the same
// characters, and kinds from Unicode properties for characters beyond Shift-JIS.

#include "TokenDump.h"

#include "editor/base/TextConversion.h"
#include "editor/highlight/EditorFountain.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

using namespace kestrim;
using namespace kestrim::test;

namespace {

std::string Utf8Of(const std::string& Sjis)
{
    return ConvertText(Sjis, TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text;
}

// A definition that uses every kind of token, with brackets and reserved words beyond ASCII.
class Utf8Tokens : public ::testing::Test {
protected:
    Utf8Tokens()
    {
        for (auto [left, right] : {std::pair{"/*", "*/"}, {"「", "」"}}) {
            TFountainBracketItem* item = Fountain.Brackets().Add();
            item->SetLeftBracket(Sjis(left));
            item->SetRightBracket(Sjis(right));
        }
        for (const char* word : {"print", "if", "漢字", "ｱｲ", "かな"})
            Fountain.ReserveWordList().Add(Sjis(word));
        Fountain.SetCommenter(Sjis("//"));
        Fountain.SetQuotation("\"");
        Fountain.SetHexPrefix("0x");
        Fountain.SetControlCode(true);
        Fountain.SetMail(true);
        Fountain.SetUrl(true);
    }

    std::string Tokens(std::string_view Utf8Row)
    {
        return DumpTokens(*Fountain.NewParser(TTextEncoding::Utf8), std::string(Utf8Row));
    }

    // Each row of Lines (in Encoding), wrapped at the given character counts, as the painter
    // parses it after the states of all rows were computed; carried lengths left out, since
    // they count bytes.
    std::string PaintedRows(TTextEncoding Encoding, const std::vector<std::string>& Lines,
                            const std::vector<std::vector<std::size_t>>& Cuts)
    {
        TEditorStringList list;
        for (std::size_t line = 0; line < Lines.size(); ++line) {
            const std::string& text = Lines[line];
            std::vector<std::size_t> offsets = {0};
            for (std::size_t i = 0; i < text.size(); i += CharByteCount(Encoding, text, i))
                offsets.push_back(i + CharByteCount(Encoding, text, i));
            const std::vector<std::size_t>& cuts = Cuts[line];
            for (std::size_t part = 0; part + 1 < cuts.size(); ++part) {
                const std::size_t from = offsets[cuts[part]];
                const std::size_t to = offsets[cuts[part + 1]];
                list.SetRows(list.Add(text.substr(from, to - from)), part + 2 < cuts.size() ? raWrapped : raCrlf);
            }
        }
        auto parser = Fountain.NewParser(Encoding);
        ComputeAllRowStates(*parser, list);
        return std::regex_replace(DumpStoredRows(*parser, list), std::regex(R"(\+[0-9]+\])"), "]");
    }

    TEditorFountain Fountain;
};

// Shift-JIS characters that come back unchanged through UTF-8, from the ranges of every kind.
class TSjisTextMaker {
public:
    explicit TSjisTextMaker(unsigned Seed) : FRandom(Seed) {}

    std::string Line()
    {
        std::string line;
        const int pieces = Pick(0, 12);
        for (int i = 0; i < pieces; ++i)
            line += Piece();
        return line;
    }

private:
    int Pick(int First, int Last) { return std::uniform_int_distribution<int>(First, Last)(FRandom); }

    std::string Run(unsigned First, unsigned Last)
    {
        std::string run;
        for (int n = Pick(1, 4); n > 0; --n) {
            const unsigned code = static_cast<unsigned>(Pick(static_cast<int>(First), static_cast<int>(Last)));
            std::string c = code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                                        : std::string{static_cast<char>(code)};
            const TConvertedText utf8 = ConvertText(c, TTextEncoding::ShiftJis, TTextEncoding::Utf8);
            if (utf8.Loss.Count == 0 && ConvertText(utf8.Text, TTextEncoding::Utf8, TTextEncoding::ShiftJis).Text == c)
                run += c;
        }
        return run;
    }

    std::string Piece()
    {
        static const char* const fixed[] = {"abc_1", "12.5e3", "7", " ", "  ", "\t", "print", "if", "漢字", "ｱｲ",
                                            "かな", "/*", "*/", "「", "」", "\"q \"\"x\" ", "// note",
                                            "http://example.com/a?b", "a.b@example.com", "0x1F", "#$7f", "#12", "ー",
                                            "－", "，", "．", "、"};
        switch (Pick(0, 9)) {
        case 0:
            return Run(0x829F, 0x82F1); // hiragana
        case 1:
            return Run(0x8340, 0x8396); // katakana
        case 2:
            return Run(0x889F, 0x88FC) + Run(0x9140, 0x91FC) + Run(0xE040, 0xE0FC); // kanji
        case 3:
            return Run(0x824F, 0x8258) + Run(0x8260, 0x829A); // wide digits and letters
        case 4:
            return Run(0xA1, 0xDF); // half-width kana
        case 5:
            return Run(0x8140, 0x81FC) + Run(0x839F, 0x83D6) + Run(0x8440, 0x8491) + Run(0x8740, 0x879C);
        default:
            return Sjis(fixed[Pick(0, static_cast<int>(std::size(fixed)) - 1)]);
        }
    }

    std::mt19937 FRandom;
};

} // namespace

TEST_F(Utf8Tokens, CharactersBeyondShiftJis)
{
    struct Case {
        std::string Row;
        std::string Tokens;
    };
    const Case cases[] = {
        {"café naïve straße Ωé", R"(Word"café" Word"naïve" Word"straße" WSym"Ω" Word"é")"},
        {"한국어 ไทย", R"(Letters"한국어" Letters"ไทย")"},
        {"😀👍x", R"(WSym"😀" WSym"👍" Word"x")"},
        {"e\u0301t +\u0301 か\u3099な \u0301", "Word\"e\u0301t\" Sym\"+\u0301\" Hira\"か\u3099な\" WSym\"\u0301\""},
        {"\x80\xC0\xAFx\xED\xA0\x80", "Sym\"\x80\" Sym\"\xC0\" Sym\"\xAF\" Word\"x\" Sym\"\xED\" Sym\"\xA0\" Sym\"\x80\""},
        {"漢字\xE6\xBC", "Kanji*\"漢字\" Sym\"\xE6\" Sym\"\xBC\""},
        {"〜−¢ 𠮷野家 ゔ", R"(WSym"〜" WSym"−" WSym"¢" Kanji"𠮷野家" Hira"ゔ")"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Tokens(c.Row), c.Tokens) << c.Row;
}

TEST_F(Utf8Tokens, DefinitionTextsMeanTheSameCharacters)
{
    EXPECT_EQ(Tokens("「かな」 かな ｱｲ 漢字x // 「"),
              R"(Bracket"「かな」" Hira*"かな" HKana*"ｱｲ" Kanji*"漢字" Word"x" Comment"// 「")");
}

// The same characters in both encodings give the same tokens, line by line and over wrapped
// rows whose states were computed from the top.
TEST_F(Utf8Tokens, SameTokensAndStatesAsShiftJis)
{
    TSjisTextMaker maker(23);
    std::mt19937 random(5);
    auto sjisParser = Fountain.NewParser(TTextEncoding::ShiftJis);
    auto utf8Parser = Fountain.NewParser(TTextEncoding::Utf8);
    for (int round = 0; round < 60; ++round) {
        std::vector<std::string> sjisLines, utf8Lines;
        std::vector<std::vector<std::size_t>> cuts;
        for (int line = 0; line < 8; ++line) {
            sjisLines.push_back(maker.Line());
            utf8Lines.push_back(Utf8Of(sjisLines.back()));
            ASSERT_EQ(DumpTokens(*utf8Parser, utf8Lines.back()), DumpTokens(*sjisParser, sjisLines.back()));
            const std::size_t chars = CharCount(TTextEncoding::ShiftJis, sjisLines.back());
            const std::size_t width = std::uniform_int_distribution<std::size_t>(1, 12)(random);
            cuts.emplace_back();
            for (std::size_t cut = 0; cut < chars; cut += width)
                cuts.back().push_back(cut);
            cuts.back().push_back(chars);
            if (chars == 0)
                cuts.back() = {0, 0};
        }
        ASSERT_EQ(PaintedRows(TTextEncoding::Utf8, utf8Lines, cuts), PaintedRows(TTextEncoding::ShiftJis, sjisLines, cuts))
            << "round " << round;
    }
}
