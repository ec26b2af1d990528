#include "TokenDump.h"

#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/EditorParser.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace kestrim;
using namespace kestrim::test;

namespace {

class TCounter : public TObject {
public:
    void Changed(TObject*) { ++Count; }
    int Count = 0;
};

// How many notifications the editors using Fountain get from Change.
int NotificationsOf(TEditorFountain& Fountain, const std::function<void()>& Change)
{
    TCounter counter;
    const TNotifyEvent handler = TNotifyEvent::Of<&TCounter::Changed>(&counter);
    Fountain.NotifyEventList().Add(handler);
    Change();
    Fountain.NotifyEventList().Remove(handler);
    return counter.Count;
}

class EditorParser : public ::testing::Test {
protected:
    EditorParser()
    {
        TFountainBracketItem* comment = Fountain.Brackets().Add();
        comment->SetLeftBracket("/*");
        comment->SetRightBracket("*/");
        Fountain.ReserveWordList().Add("if");
    }

    std::string Tokens(std::string_view Utf8Row)
    {
        auto parser = Fountain.NewParser();
        return DumpTokens(*parser, Sjis(Utf8Row));
    }

    // Colour name and text per token, as the painter sees them.
    std::string Colours(std::string_view Utf8Row)
    {
        std::map<TFountainColor*, std::string> names;
        Fountain.VisitColors([&names](std::string_view Name, TFountainColor& Color) {
            names.emplace(&Color, std::string(Name));
        });
        const std::string row = Sjis(Utf8Row);
        auto parser = Fountain.NewParser();
        parser->BeginRow(row, {});
        std::string dump;
        while (parser->NextToken() != tokEnd) {
            TFountainColor* color = parser->TokenColor();
            dump += (dump.empty() ? "" : " ") + (color ? names.at(color) : "None") + "\"" +
                    SjisToUtf8(parser->TokenText()) + "\"";
        }
        return dump;
    }

    TEditorFountain Fountain;
};

} // namespace

TEST(EditorColors, StartAsNoColourExceptTheSelection)
{
    TEditorFountain fountain;
    int colours = 0;
    fountain.Colors().VisitColors([&colours](std::string_view Name, TFountainColor& Color) {
        ++colours;
        const bool select = Name == "Select";
        EXPECT_EQ(Color.BkColor(), select ? clNavy : clNone) << Name;
        EXPECT_EQ(Color.Color(), select ? clWhite : clNone) << Name;
        EXPECT_TRUE(Color.Style().Empty()) << Name;
    });
    EXPECT_EQ(colours, 11);
    EXPECT_EQ(&fountain.Colors().Reserve(), &fountain.Reserve());
}

TEST(EditorColors, ChangesAndCopiesReachTheEditorsOnce)
{
    TEditorFountain fountain;
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.Colors().Int().SetColor(clRed); }), 1);
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.Colors().Reserve().SetColor(clRed); }), 1);

    TEditorFountain other;
    other.Colors().Comment().SetColor(clGreen);
    other.Colors().Reserve().SetStyle({fsBold});
    other.Colors().Select().SetBkColor(clBlack);
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.SetColors(other.Colors()); }), 1);
    EXPECT_EQ(fountain.Colors().Comment().Color(), clGreen);
    EXPECT_EQ(fountain.Colors().Int().Color(), clNone);
    EXPECT_EQ(fountain.Reserve().Style(), TFontStyles{fsBold});
    EXPECT_EQ(fountain.Colors().Select().BkColor(), clBlack);
}

TEST(EditorFountain, ApplyToAllSparesSelectionAndHit)
{
    TEditorFountain fountain;
    fountain.Colors().Hit().SetColor(clYellow);
    fountain.Brackets().Add();
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.ApplyColorToAll(clMaroon); }), 1);
    EXPECT_EQ(fountain.Colors().Select().Color(), clWhite);
    EXPECT_EQ(fountain.Colors().Select().BkColor(), clNavy);
    EXPECT_EQ(fountain.Colors().Hit().Color(), clYellow);
    EXPECT_EQ(fountain.Colors().Reserve().Color(), clMaroon);
    EXPECT_EQ(fountain.Colors().Url().Color(), clMaroon);
    // Only the colour set: the bracket colours keep theirs.
    EXPECT_EQ(fountain.Brackets().Items(0)->ItemColor().Color(), clNone);

    fountain.ApplyBkColorToAll(clSilver);
    fountain.ApplyStyleToAll({fsUnderline});
    EXPECT_EQ(fountain.Colors().Ank().BkColor(), clSilver);
    EXPECT_EQ(fountain.Colors().Ank().Color(), clMaroon);
    EXPECT_EQ(fountain.Colors().Str().Style(), TFontStyles{fsUnderline});
    EXPECT_TRUE(fountain.Colors().Hit().Style().Empty());
    EXPECT_EQ(fountain.Colors().Select().BkColor(), clNavy);
}

TEST(EditorBracketCollection, SetsOnePartOfEveryItemWithOneNotification)
{
    TEditorFountain fountain;
    for (int i = 0; i < 3; ++i)
        fountain.Brackets().Add()->ItemColor().SetColor(clRed);
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.Brackets().SetItemsBkColor(clAqua); }), 1);
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.Brackets().SetItemsStyle({fsStrikeOut}); }), 1);
    EXPECT_EQ(NotificationsOf(fountain, [&] { fountain.Brackets().SetItemsColor(clTeal); }), 1);
    for (int i = 0; i < 3; ++i) {
        const TFountainColor& color = fountain.Brackets().Items(i)->ItemColor();
        EXPECT_EQ(color.BkColor(), clAqua);
        EXPECT_EQ(color.Color(), clTeal);
        EXPECT_EQ(color.Style(), TFontStyles{fsStrikeOut});
    }
}

TEST_F(EditorParser, WithoutOptionsItIsTheBaseParserWithBrackets)
{
    EXPECT_EQ(Tokens(R"(# "a" #$1F 0x1F a@b.c http://x /* c */)"),
              R"(Sym"#" Sym""" Word"a" Sym""" Sym"#" Sym"$" Int"1" Word"F" Int"0" Word"x1F" Word"a" Sym"@" Word"b" Sym"." Word"c" Word"http" Sym":" Sym"/" Sym"/" Word"x" Bracket"/* c */")");
}

TEST_F(EditorParser, CommentMarkComesBeforeControlCodes)
{
    Fountain.SetCommenter("#");
    Fountain.SetControlCode(true);
    EXPECT_EQ(Tokens("x #13"), R"(Word"x" Comment"#13")");
    Fountain.SetCommenter("//");
    EXPECT_EQ(Tokens("#13#$0d#$ #x // rest"), R"(Ctrl"#13" CtrlHex"#$0d" CtrlHex"#$" Ctrl"#" Word"x" Comment"// rest")");
}

TEST_F(EditorParser, QuotedStrings)
{
    Fountain.SetQuotation("\"");
    EXPECT_EQ(Tokens(R"(x "a ""b"" c" y)"), R"(Word"x" Quoted""a ""b"" c"" Word"y")");
    EXPECT_EQ(Tokens(R"(x "a ""b"" c y)"), R"(Word"x" Quoted""a ""b"" c y")");
    // A trail byte equal to the quote does not close the string.
    Fountain.SetQuotation("\\");
    EXPECT_EQ(Tokens("\\表\\ x"), R"(Quoted"\表\" Word"x")");
}

TEST_F(EditorParser, HexadecimalPrefixIgnoresCase)
{
    Fountain.SetHexPrefix("0x");
    EXPECT_EQ(Colours("0X1f 0xg 0x"), R"(Int"0X1f" Int"0x" Ank"g" Int"0x")");
    EXPECT_EQ(Tokens("0X1f"), R"(Hex"0X1f")");
}

TEST_F(EditorParser, MailAddressesAndUrlsWhenSwitchedOn)
{
    const std::string row = "mail me@host.example.jp now, see http://a.b/c?d=1#e or www.x.org";
    EXPECT_EQ(Tokens(row).find("Mail"), std::string::npos);
    Fountain.SetMail(true);
    Fountain.SetUrl(true);
    EXPECT_EQ(Tokens(row),
              R"(Word"mail" Mail"me@host.example.jp" Word"now" Sym"," Word"see" Url"http://a.b/c?d=1#e" Word"or" Url"www.x.org")");
    EXPECT_EQ(Tokens("@host.jp"), R"(Sym"@" Word"host" Sym"." Word"jp")");
    EXPECT_EQ(Colours("a@b.c"), R"(Mail"a@b.c")");
}

TEST_F(EditorParser, ColourOfEachKindOfToken)
{
    Fountain.SetCommenter("--");
    Fountain.SetQuotation("'");
    Fountain.SetControlCode(true);
    EXPECT_EQ(Colours("if x1 = 2.5 + 'a' #9\tかな ｶﾅ /* if */ -- c"),
              R"(Reserve"if" Ank"x1" Symbol"=" Int"2.5" Symbol"+" Str"'a'" Str"#9" None"	" DBCS"かな" DBCS"ｶﾅ" ItemColor"/* if */" Comment"-- c")");
}

TEST_F(EditorParser, CarriedReservedWordAndBracketTakeTheirColours)
{
    TEditorStringList list;
    FillRows(list, "x i|f /* a *|/ y");
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    auto firstColour = [&](TFountainParser& Parser, int Row) {
        Parser.BeginRow(list.Str(Row), list.GetRowAttributeData(Row));
        Parser.NextToken();
        return Parser.TokenColor();
    };
    EXPECT_EQ(firstColour(*parser, 1), &Fountain.Colors().Reserve());
    EXPECT_EQ(firstColour(*parser, 2), &Fountain.Brackets().Items(0)->ItemColor());
    // A stored state naming a bracket item that has gone gets no colour.
    Fountain.Brackets().Clear();
    EXPECT_EQ(firstColour(*Fountain.NewParser(), 2), nullptr);
}

TEST_F(EditorParser, CommentsAndStringsCutByTheWrap)
{
    Fountain.SetCommenter("#");
    Fountain.SetQuotation("\"");
    // A comment goes on to the end of its logical line, scanned again on each row.
    EXPECT_EQ(DumpWrapped(Fountain, "x # com|ment|more\nx"),
              R"(Word"x" Comment"# comment" | [Comment+0] Comment"mentmore" | [Comment+0] Comment"more" | Word"x")");
    // A string ending on the next row is taken by count, here with the wrap inside a doubled
    // quote and blanks at the next row's start; one running past the next row is scanned again.
    EXPECT_EQ(DumpWrapped(Fountain, "y \"a\"|\" b\" z"), R"(Word"y" Quoted""a"" b"" | [Quoted+4] Quoted"" b"" Word"z")");
    EXPECT_EQ(DumpWrapped(Fountain, "\"c| d\" e"), R"(Quoted""c d"" | [Quoted+3] Quoted"d"" Word"e")");
    EXPECT_EQ(DumpWrapped(Fountain, "\"ab|cd|e\" f"), R"(Quoted""abcd" | [Quoted+0] Quoted"cde"" | [Quoted+2] Quoted"e"" Word"f")");
    // A blank row that ends the line ends a string carried into it.
    EXPECT_EQ(DumpWrapped(Fountain, "x \"ab|  \nyz w"), R"(Word"x" Quoted""ab  " | [Quoted+2] | Word"yz" Word"w")");
}

// The painter parses each stored row from its own state; that must colour the text as parsing
// the whole logical line does. A token spread over three rows or more is scanned again from its
// middle on the rows after the first (a row holds no more state than that), so the widths here
// keep the tokens of these lines within two rows.
TEST_F(EditorParser, StoredRowsGiveTheTokensOfTheirLogicalLine)
{
    Fountain.SetQuotation("\"");
    Fountain.SetHexPrefix("0x");
    Fountain.SetControlCode(true);
    Fountain.SetMail(true);
    Fountain.SetUrl(true);
    Fountain.SetCommenter("//");
    const std::vector<std::string> lines = {
        "if ($a == 0x1F) { mail(\"a \"\"b\"\" c\", me@host.jp); } // comment at end",
        "my $total = 1.5e+3 * $count; if $x > 42;",
        "see http://example.org/path?x=1 for /* open",
        "",
        "still open */ 漢字とかなカナ１２３ＡＢＣ #13#$0d ｱｲｳ end",
        "\"unclosed string at the end of the line",
    };
    for (int width = 4; width <= 40; ++width)
        EXPECT_EQ(MismatchOfStoredRows(Fountain, lines, width), "") << "width " << width;
}
