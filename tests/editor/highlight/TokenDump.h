#pragma once
// Compact dumps of token streams for the highlighting tests: Word"abc" Sym"(" ...
// Test texts are written in UTF-8 and converted, since the parsers read Shift-JIS.

#include "editor/base/CodePage.h"
#include "editor/highlight/EditorParser.h"
#include "editor/highlight/edFountainParser.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kestrim::test {

inline std::string Sjis(std::string_view Utf8)
{
    return Utf8ToSjis(Utf8);
}

inline std::string KindName(TTokenKind Kind)
{
    switch (Kind) {
    case tokEnd: return "End";
    case tokSymbol: return "Sym";
    case tokInteger: return "Int";
    case tokFloat: return "Float";
    case tokBracket: return "Bracket";
    case tokLineComment: return "Comment";
    case tokReserved: return "Reserved";
    case tokTab: return "Tab";
    case tokWord: return "Word";
    case tokWideSymbol: return "WSym";
    case tokWideDigits: return "WDigits";
    case tokWideLatin: return "WLatin";
    case tokHiragana: return "Hira";
    case tokKatakana: return "Kata";
    case tokKanji: return "Kanji";
    case tokHalfKanaPunct: return "HPunct";
    case tokHalfKana: return "HKana";
    case tokUrl: return "Url";
    case tokMail: return "Mail";
    case tokHexNumber: return "Hex";
    case tokSingleQuoted: return "SQuoted";
    case tokDoubleQuoted: return "DQuoted";
    case tokQuoted: return "Quoted";
    case tokControlChar: return "Ctrl";
    case tokControlHex: return "CtrlHex";
    }
    return "Kind" + std::to_string(static_cast<int>(Kind));
}

// Name and text of one token; a reserved word is marked with "*" after its kind.
inline std::string DumpToken(TFountainParser& Parser, std::string_view Text)
{
    return KindName(Parser.Token()) + (Parser.IsReservedWord() ? "*" : "") + "\"" + SjisToUtf8(Text) + "\"";
}

// The tokens of a Shift-JIS row parsed from Data, until tokEnd.
inline std::string DumpTokens(TFountainParser& Parser, const std::string& Row, const TRowAttributeData& Data = {})
{
    std::string dump;
    Parser.BeginRow(Row, Data);
    while (Parser.NextToken() != tokEnd)
        dump += (dump.empty() ? "" : " ") + DumpToken(Parser, Parser.TokenText());
    return dump;
}

// A row list that a test fills with rows and their row attributes.
inline void AddRow(TRowAttributeStringList& List, const std::string& Row, TRowAttribute Attribute)
{
    List.SetRows(List.Add(Row), Attribute);
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

// The tokens of one stored row as the painter takes them: a wrapped row is parsed together
// with the next one, and tokens that start past the row's end are left out.
inline std::string DumpStoredRow(TFountainParser& Parser, const TRowAttributeStringList& List, int Row)
{
    const std::string& own = List.Str(Row);
    std::string text = own;
    if (List.Rows(Row) == raWrapped && Row + 1 < List.Count())
        text += List.Str(Row + 1);
    std::string dump;
    Parser.BeginRow(text, List.GetRowAttributeData(Row));
    while (Parser.NextToken() != tokEnd && Parser.TokenOffset() < static_cast<int>(own.size()))
        dump += (dump.empty() ? "" : " ") + DumpToken(Parser, Parser.TokenText());
    return dump;
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

// The token label that decides a token's colour: reserved words by that, others by kind.
inline std::string ColourLabel(TFountainParser& Parser)
{
    return Parser.IsReservedWord() ? "Reserved" : KindName(Parser.Token());
}

// Wraps the UTF-8 lines at Width, stores every row's state and parses each row from its state
// as the painter does. Returns "" when every row shows the tokens of its logical line, parsed
// whole and cut at the wrap points, else the first row that differs.
inline std::string MismatchOfStoredRows(TFountain& Fountain, const std::vector<std::string>& Lines, int Width)
{
    auto parser = Fountain.NewParser();
    TEditorStringList logical;
    for (const std::string& line : Lines)
        AddRow(logical, Sjis(line), raCrlf);
    ComputeAllRowStates(*parser, logical);

    TEditorStringList rows;
    std::vector<std::string> expected;
    for (int line = 0; line < logical.Count(); ++line) {
        const std::string& text = logical.Str(line);
        const std::vector<std::size_t> cuts = WrapPoints(text, static_cast<std::size_t>(Width));
        std::vector<std::string> rowDumps(cuts.size() - 1);
        parser->BeginRow(text, logical.GetRowAttributeData(line));
        std::size_t part = 0;
        while (parser->NextToken() != tokEnd) {
            const std::size_t offset = static_cast<std::size_t>(parser->TokenOffset());
            const std::size_t end = offset + static_cast<std::size_t>(parser->TokenLength());
            while (offset >= cuts[part + 1])
                ++part;
            const std::string label = ColourLabel(*parser);
            for (std::size_t p = part, from = offset; from < end; ++p) {
                const std::size_t to = std::min(end, cuts[p + 1]);
                // A row starts with its first token after its blanks, also inside a token.
                std::string piece = text.substr(from, to - from);
                if (from != offset)
                    piece.erase(0, piece.find_first_not_of(' '));
                std::string& dump = rowDumps[p];
                if (!piece.empty())
                    dump += (dump.empty() ? "" : " ") + label + "\"" + SjisToUtf8(piece) + "\"";
                from = to;
            }
        }
        for (std::size_t p = 0; p + 1 < cuts.size(); ++p) {
            AddRow(rows, text.substr(cuts[p], cuts[p + 1] - cuts[p]), p + 2 < cuts.size() ? raWrapped : raCrlf);
            expected.push_back(rowDumps[p]);
        }
    }

    ComputeAllRowStates(*parser, rows);
    for (int row = 0; row < rows.Count(); ++row) {
        const std::string& own = rows.Str(row);
        std::string text = own;
        if (rows.Rows(row) == raWrapped)
            text += rows.Str(row + 1);
        parser->BeginRow(text, rows.GetRowAttributeData(row));
        std::string dump;
        while (parser->NextToken() != tokEnd && parser->TokenOffset() < static_cast<int>(own.size())) {
            const std::size_t offset = static_cast<std::size_t>(parser->TokenOffset());
            const std::size_t end = std::min(own.size(), offset + static_cast<std::size_t>(parser->TokenLength()));
            // The rest of a reserved word carried over a wrap has the kind tokReserved.
            const std::string label = parser->Token() == tokReserved ? "Reserved" : ColourLabel(*parser);
            dump += (dump.empty() ? "" : " ") + label + "\"" + SjisToUtf8(own.substr(offset, end - offset)) + "\"";
        }
        if (dump != expected[static_cast<std::size_t>(row)])
            return "row " + std::to_string(row) + ": " + dump + " instead of " + expected[static_cast<std::size_t>(row)];
    }
    return "";
}

} // namespace kestrim::test
