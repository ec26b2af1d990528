#pragma once
// Compact dumps of token streams for the highlighting tests: Word"abc" Sym"(" ...
// Test texts are written in UTF-8 and converted for the Shift-JIS parsers; dumps are UTF-8.

#include "editor/base/CodePage.h"
#include "editor/highlight/edFountainParser.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kestrim::test {

inline std::string Sjis(std::string_view Utf8)
{
    return Utf8ToSjis(Utf8);
}

inline std::string KindName(int Kind)
{
    static const char* const names[] = {"End",  "Sym",  "?2",      "Int",    "Float",  "?5",     "Bracket",
                                        "Comment", "Reserved", "Tab",  "?10",    "Word",   "WSym",   "Letters",
                                        "WDigits", "WLatin", "Hira", "Kata",   "Kanji",  "HPunct", "HKana",
                                        "Url",  "Mail", "Hex",     "SQuoted", "DQuoted", "Quoted", "Ctrl",
                                        "CtrlHex"};
    return Kind < static_cast<int>(std::size(names)) ? names[Kind] : "Kind" + std::to_string(Kind);
}

// Kind and text of the current token; a reserved word is marked with "*" after its kind.
inline std::string DumpToken(TFountainParser& Parser, std::string_view Text)
{
    const std::string text = Parser.Encoding() == TTextEncoding::Utf8 ? std::string(Text) : SjisToUtf8(Text);
    return KindName(Parser.Token()) + (Parser.IsReservedWord() ? "*" : "") + "\"" + text + "\"";
}

// The tokens of a row in the parser's encoding parsed from Data, until tokEnd.
inline std::string DumpTokens(TFountainParser& Parser, const std::string& Row, const TRowAttributeData& Data = {})
{
    std::string dump;
    Parser.BeginRow(Row, Data);
    while (Parser.NextToken() != tokEnd)
        dump += (dump.empty() ? "" : " ") + DumpToken(Parser, Parser.TokenText());
    return dump;
}

// Computes and stores the state of every row from the initial state, as the row list does.
inline void ComputeAllRowStates(TFountainParser& Parser, TRowAttributeStringList& List)
{
    TRowAttributeData data;
    for (int row = 0; row < List.Count(); ++row) {
        data.RowAttribute = List.Rows(row);
        List.PutRowAttributeData(row, data);
        Parser.ComputeNextRowState(row, List, data);
        data.PrevRowAttribute = List.Rows(row);
    }
}

// Rows of a UTF-8 text in which "|" ends a wrapped row and "\n" a line.
inline void FillRows(TRowAttributeStringList& List, std::string_view Utf8)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= Utf8.size(); ++i) {
        if (i < Utf8.size() && Utf8[i] != '|' && Utf8[i] != '\n')
            continue;
        List.SetRows(List.Add(Sjis(Utf8.substr(start, i - start))), i < Utf8.size() && Utf8[i] == '|' ? raWrapped : raCrlf);
        start = i + 1;
    }
}

// Each stored row as the painter parses it (a wrapped row together with the next one, tokens
// that start past the row left out), rows separated by " | ". A row's stored state comes first
// when it holds more than the initial state: [b0] an open bracket, [Word+3] a carried token.
inline std::string DumpStoredRows(TFountainParser& Parser, const TRowAttributeStringList& List)
{
    std::string dump;
    for (int row = 0; row < List.Count(); ++row) {
        const TRowAttributeData data = List.GetRowAttributeData(row);
        std::string rowDump;
        if (data.OpenBracket >= 0)
            rowDump += "[b" + std::to_string(data.OpenBracket) + "]";
        if (data.CarryKind != 0)
            rowDump += "[" + KindName(data.CarryKind) + "+" + std::to_string(data.CarryLength) + "]";
        const std::string_view own = List.Str(row);
        std::string text(own);
        if (List.Rows(row) == raWrapped && row + 1 < List.Count())
            text += List.Str(row + 1);
        Parser.BeginRow(text, data);
        while (Parser.NextToken() != tokEnd && Parser.TokenOffset() < static_cast<int>(own.size()))
            rowDump += (rowDump.empty() ? "" : " ") + DumpToken(Parser, Parser.TokenText());
        dump += (row == 0 ? "" : " | ") + rowDump;
    }
    return dump;
}

inline std::string DumpWrapped(TFountain& Fountain, std::string_view Utf8)
{
    TEditorStringList list;
    FillRows(list, Utf8);
    auto parser = Fountain.NewParser();
    ComputeAllRowStates(*parser, list);
    return DumpStoredRows(*parser, list);
}

// Byte offsets at which Line is cut into rows of at most Width bytes, never inside a two-byte
// character: the first is 0, the last the line's length.
inline std::vector<std::size_t> WrapPoints(const std::string& Line, std::size_t Width)
{
    std::vector<std::size_t> cuts = {0};
    for (std::size_t i = 0; i < Line.size();) {
        const std::size_t length = IsDBCSLeadByte(Line[i]) && i + 1 < Line.size() ? 2 : 1;
        if (i - cuts.back() + length > Width)
            cuts.push_back(i);
        i += length;
    }
    cuts.push_back(Line.size());
    return cuts;
}

// What decides a token's colour: reserved words by that (also the rest of one carried over a
// wrap), the others by kind.
inline std::string ColourLabel(TFountainParser& Parser)
{
    return Parser.IsReservedWord() || Parser.Token() == tokReserved ? "Reserved" : KindName(Parser.Token());
}

inline void AppendPiece(std::string& Dump, const std::string& Label, const std::string& Piece)
{
    Dump += (Dump.empty() ? "" : " ") + Label + "\"" + SjisToUtf8(Piece) + "\"";
}

// Wraps the lines at Width, stores every row's state and parses each row from its state as the
// painter does. Returns "" when every row shows the tokens of its logical line, parsed whole
// and cut at the wrap points, else the first row that differs.
inline std::string MismatchOfStoredRows(TFountain& Fountain, const std::vector<std::string>& Lines, int Width)
{
    auto parser = Fountain.NewParser();
    TEditorStringList logical;
    for (const std::string& line : Lines)
        logical.Add(Sjis(line));
    ComputeAllRowStates(*parser, logical);

    TEditorStringList rows;
    std::vector<std::string> expected;
    for (int line = 0; line < logical.Count(); ++line) {
        const std::string text(logical.Str(line));
        const std::vector<std::size_t> cuts = WrapPoints(text, static_cast<std::size_t>(Width));
        std::vector<std::string> rowDumps(cuts.size() - 1);
        parser->BeginRow(text, logical.GetRowAttributeData(line));
        for (std::size_t part = 0; parser->NextToken() != tokEnd;) {
            std::size_t from = static_cast<std::size_t>(parser->TokenOffset());
            const std::size_t end = from + static_cast<std::size_t>(parser->TokenLength());
            while (from >= cuts[part + 1])
                ++part;
            for (std::size_t p = part; from < end; from = cuts[++p]) {
                std::string piece = text.substr(from, std::min(end, cuts[p + 1]) - from);
                // A row starts with its first token after its blanks, also inside a token.
                if (p != part)
                    piece.erase(0, piece.find_first_not_of(' '));
                if (!piece.empty())
                    AppendPiece(rowDumps[p], ColourLabel(*parser), piece);
            }
        }
        for (std::size_t p = 0; p + 1 < cuts.size(); ++p) {
            rows.SetRows(rows.Add(text.substr(cuts[p], cuts[p + 1] - cuts[p])), p + 2 < cuts.size() ? raWrapped : raCrlf);
            expected.push_back(rowDumps[p]);
        }
    }

    ComputeAllRowStates(*parser, rows);
    for (int row = 0; row < rows.Count(); ++row) {
        const std::string_view own = rows.Str(row);
        std::string text(own);
        if (rows.Rows(row) == raWrapped)
            text += rows.Str(row + 1);
        parser->BeginRow(text, rows.GetRowAttributeData(row));
        std::string dump;
        while (parser->NextToken() != tokEnd && parser->TokenOffset() < static_cast<int>(own.size())) {
            const std::size_t offset = static_cast<std::size_t>(parser->TokenOffset());
            AppendPiece(dump, ColourLabel(*parser), std::string(own.substr(offset, static_cast<std::size_t>(parser->TokenLength()))));
        }
        if (dump != expected[static_cast<std::size_t>(row)])
            return "row " + std::to_string(row) + ": " + dump + " instead of " + expected[static_cast<std::size_t>(row)];
    }
    return "";
}

} // namespace kestrim::test
