// Feeds random rows and random start states to the editor's parser and to the word parser, for
// Shift-JIS and for UTF-8, row by row and through the state computation of a wrapped text. Each row alone is parsed
// from an exact-size copy, so that a read past the row is caught by AddressSanitizer.

#include "editor/highlight/EditorParser.h"
#include "editor/highlight/edFountainParser.h"

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

TEditorFountain& Fountain()
{
    static TEditorFountain fountain;
    if (fountain.Brackets().Count() == 0) {
        for (auto [left, right] : {std::pair{"/*", "*/"}, {"<<", "EOF"}, {"\x82\xA0", "\x82\xA2"}, {"'", ""}}) {
            TFountainBracketItem* item = fountain.Brackets().Add();
            item->SetLeftBracket(left);
            item->SetRightBracket(right);
        }
        for (const char* word : {"if", "print", "my", "+", "1", "\x8A\xBF"})
            fountain.ReserveWordList().Add(word);
    }
    return fountain;
}

void ChooseOptions(FuzzedDataProvider& In, TEditorFountain& Fountain)
{
    static const char* const commenters[] = {"", "#", "//", "--", "\x81\x97"};
    static const char* const quotations[] = {"", "\"", "'", "\x82"};
    static const char* const prefixes[] = {"", "0x", "$", "&H"};
    Fountain.SetCommenter(commenters[In.ConsumeIntegralInRange<int>(0, 4)]);
    Fountain.SetQuotation(quotations[In.ConsumeIntegralInRange<int>(0, 3)]);
    Fountain.SetHexPrefix(prefixes[In.ConsumeIntegralInRange<int>(0, 3)]);
    Fountain.SetControlCode(In.ConsumeBool());
    Fountain.SetMail(In.ConsumeBool());
    Fountain.SetUrl(In.ConsumeBool());
}

TRowAttributeData RandomState(FuzzedDataProvider& In)
{
    TRowAttributeData data;
    data.RowAttribute = static_cast<TRowAttribute>(In.ConsumeIntegralInRange<int>(0, 3));
    data.PrevRowAttribute = static_cast<TRowAttribute>(In.ConsumeIntegralInRange<int>(0, 3));
    data.OpenBracket = In.ConsumeIntegralInRange<int>(-3, 15);
    data.CarryKind = In.ConsumeIntegral<std::uint8_t>();
    data.CarryLength = In.ConsumeIntegralInRange<int>(-2, 300);
    data.ExtraInt1 = In.ConsumeIntegral<std::uint8_t>();
    data.ExtraByte = In.ConsumeIntegral<std::uint8_t>();
    return data;
}

// Every token lies inside the row and the row ends after finitely many tokens.
void ParseAlone(TFountainParser& Parser, const std::string& Row, const TRowAttributeData& Data)
{
    std::vector<char> bytes(Row.begin(), Row.end());
    Parser.BeginRow(std::string_view(bytes.data(), bytes.size()), Data);
    for (std::size_t tokens = 0; Parser.NextToken() != tokEnd; ++tokens) {
        Check(tokens <= bytes.size() + 1, "a row ends");
        Check(Parser.TokenOffset() >= 0 && Parser.TokenLength() >= 0, "tokens go forward");
        Check(static_cast<std::size_t>(Parser.TokenOffset() + Parser.TokenLength()) <= bytes.size(),
              "tokens stay in the row");
        Parser.TokenColor();
        Parser.IsReservedWord();
    }
}

// Computes the states of all rows as the row list does and parses each row as the painter does.
void ParseWrappedText(TFountainParser& Parser, TEditorStringList& Rows, const TRowAttributeData& Start)
{
    // Start as a row would store it: every field within its range.
    Rows.PutRowAttributeData(0, Start);
    TRowAttributeData data = Rows.GetRowAttributeData(0);
    for (int row = 0; row < Rows.Count(); ++row) {
        data.RowAttribute = Rows.Rows(row);
        Rows.PutRowAttributeData(row, data);
        Parser.ComputeNextRowState(row, Rows, data);
        Check(data.CarryLength >= 0 && data.CarryLength <= 255, "a carried length fits its field");
        data.PrevRowAttribute = Rows.Rows(row);
    }
    for (int row = 0; row < Rows.Count(); ++row) {
        std::string text = Rows.Str(row);
        if (Rows.Rows(row) == raWrapped && row + 1 < Rows.Count())
            text += Rows.Str(row + 1);
        ParseAlone(Parser, text, Rows.GetRowAttributeData(row));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzedDataProvider in(Data, Size);
    TEditorFountain& fountain = Fountain();
    ChooseOptions(in, fountain);
    const TRowAttributeData start = RandomState(in);

    TEditorStringList rows;
    const int rowCount = in.ConsumeIntegralInRange<int>(1, 6);
    for (int i = 0; i < rowCount; ++i) {
        const TRowAttribute attribute = static_cast<TRowAttribute>(in.ConsumeIntegralInRange<int>(0, 3));
        rows.SetRows(rows.Add(in.ConsumeRandomLengthString(6000)), attribute);
    }

    for (TTextEncoding encoding : {TTextEncoding::ShiftJis, TTextEncoding::Utf8}) {
        auto editorParser = fountain.NewParser(encoding);
        TTokenParser tokenParser(encoding);
        for (int row = 0; row < rows.Count(); ++row) {
            ParseAlone(*editorParser, rows.Str(row), start);
            ParseAlone(tokenParser, rows.Str(row), start);
        }
        ParseWrappedText(*editorParser, rows, start);
        ParseWrappedText(tokenParser, rows, start);
    }
    return 0;
}
