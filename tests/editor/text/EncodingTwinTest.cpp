// A Shift-JIS store and a UTF-8 store of the same characters, wrapped by the same rules and
// highlighted by the same definition, take the same seeded random edits, undos and redos: after
// every step both hold the same rows (the UTF-8 rows converted back), the same row attributes,
// the same highlighting states and the same search hits, counted in characters. Only byte
// counts may differ.

#include "FakeEditor.h"

#include "editor/base/TextConversion.h"
#include "editor/text/RowSearch.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edUndo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace kestrim;
using namespace kestrim::test;

namespace {

constexpr auto ShiftJis = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;

std::string ToUtf8(std::string_view Text) { return ConvertText(Text, ShiftJis, Utf8).Text; }
std::string ToSjis(std::string_view Text) { return ConvertText(Text, Utf8, ShiftJis).Text; }

// The byte offset of character Index of Row (past the end: one byte per character, as the
// line break's bytes are counted).
std::size_t OffsetOfChar(TTextEncoding Encoding, std::string_view Row, std::size_t Index)
{
    std::size_t offset = 0;
    for (; Index > 0 && offset < Row.size(); --Index)
        offset += CharByteCount(Encoding, Row, offset);
    return offset + Index;
}

std::size_t CharOfOffset(TTextEncoding Encoding, std::string_view Row, std::size_t Offset)
{
    const std::size_t inRow = std::min(Offset, Row.size());
    return CharCount(Encoding, Row.substr(0, inRow)) + (Offset - inRow);
}

class EncodingTwinTest : public testing::Test {
protected:
    EncodingTwinTest()
    {
        for (TFakeEditor* editor : {&SjisEditor, &Utf8Editor}) {
            AddBlockComment(editor->Fountain);
            editor->Fountain.SetCommenter("#");
            editor->Fountain.SetQuotation("\"");
            editor->DisplayRows = 4;
            TEditorWrapOption& option = editor->ScreenStrings().WrapOption();
            option.SetLeadStr(Utf8ToSjis("「（"));
            option.SetFollowStr(Utf8ToSjis("」）、。ー"));
            option.SetPunctuationStr(Utf8ToSjis("、。"));
            option.SetWrapByte(20);
        }
    }

    int Random(int Bound) { return static_cast<int>(FRandom() % static_cast<unsigned>(Bound)); }

    // Shift-JIS text: ASCII words and numbers, kana, kanji, wide and half-width forms, tabs,
    // the wrap rules' characters, the definition's comments and quotes.
    std::string RandomText(int MaxPieces)
    {
        static const std::vector<std::string> pieces = [] {
            std::vector<std::string> sjis;
            for (const char* utf8 : {"ab", "Zed", " ", "12", "\t", "/*", "*/", "\"", "#", "あいう", "カタカナー", "漢字",
                                     "１２", "ＡＢｃ", "ｶﾀｶﾅ", "ｶﾞ", "、", "。", "「", "」", "（", "）", "〜",
                                     "http://x.jp", "a@b.jp", "①", "Ωα"})
                sjis.push_back(Utf8ToSjis(utf8));
            return sjis;
        }();
        std::string text;
        for (int i = 1 + Random(MaxPieces); i > 0; --i)
            text += pieces[static_cast<std::size_t>(Random(static_cast<int>(pieces.size())))];
        return text;
    }

    void SetWrap()
    {
        const bool wrap = Random(4) != 0;
        const int width = 20 + Random(20);
        const bool rules[] = {Random(2) == 0, Random(2) == 0, Random(2) == 0, Random(2) == 0};
        for (TEditorScreenStrings* rows : {&SjisRows, &Utf8Rows}) {
            TEditorWrapOption& option = rows->WrapOption();
            option.SetWrapByte(width);
            option.SetLeading(rules[0]);
            option.SetFollowPunctuation(rules[1]);
            option.SetWordBreak(rules[2]);
            option.SetFollowRetMark(rules[3]);
            rows->SetWordWrap(wrap);
        }
    }

    // Replaces row Row with its text with Text inserted at character Index, in both stores.
    void Insert(int Row, std::size_t Index, const std::string& Text)
    {
        const auto edit = [&](TEditorScreenStrings& rows, TTextEncoding encoding, const std::string& text) {
            std::string row(rows.Str(Row));
            row.insert(std::min(OffsetOfChar(encoding, row, Index), row.size()), text);
            rows.ReplaceRows(Row, 1, row + (rows.Rows(Row) == raCrlf ? "\r\n" : ""));
        };
        edit(SjisRows, ShiftJis, Text);
        edit(Utf8Rows, Utf8, ToUtf8(Text));
    }

    // Removes Count characters from character Index of row Row, in both stores.
    void Erase(int Row, std::size_t Index, std::size_t Count)
    {
        const auto edit = [&](TEditorScreenStrings& rows, TTextEncoding encoding) {
            std::string row(rows.Str(Row));
            const std::size_t from = std::min(OffsetOfChar(encoding, row, Index), row.size());
            const std::size_t to = std::min(OffsetOfChar(encoding, row, Index + Count), row.size());
            row.erase(from, to - from);
            rows.ReplaceRows(Row, 1, row + (rows.Rows(Row) == raCrlf ? "\r\n" : ""));
        };
        edit(SjisRows, ShiftJis);
        edit(Utf8Rows, Utf8);
    }

    void RandomStep()
    {
        const int row = Random(SjisRows.Count());
        const std::size_t chars = CharCount(ShiftJis, SjisRows.Str(row));
        const std::size_t index = static_cast<std::size_t>(Random(static_cast<int>(chars) + 1));
        switch (Random(8)) {
        case 0:
            SjisRows.Undo(), Utf8Rows.Undo();
            FLastOp = "undo";
            break;
        case 1:
            SjisRows.Redo(), Utf8Rows.Redo();
            FLastOp = "redo";
            break;
        case 2:
            Erase(row, index, 1 + static_cast<std::size_t>(Random(4)));
            FLastOp = "erase at row " + std::to_string(row);
            break;
        case 3:
            SetWrap();
            FLastOp = "wrap";
            break;
        default: {
            std::string text = RandomText(4);
            if (Random(4) == 0)
                text += "\r\n" + RandomText(3);
            Insert(row, index, text);
            FLastOp = "insert at row " + std::to_string(row) + ": " + SjisToUtf8(text);
        }
        }
    }

    void ExpectSameRows()
    {
        ASSERT_EQ(Utf8Rows.Count(), SjisRows.Count()) << FLastOp;
        for (int row = 0; row < SjisRows.Count(); ++row) {
            ASSERT_EQ(ToSjis(Utf8Rows.Str(row)), SjisRows.Str(row)) << "row " << row << " after " << FLastOp;
            ASSERT_EQ(Utf8Rows.Rows(row), SjisRows.Rows(row)) << "row " << row << " after " << FLastOp;
        }
    }

    // The states at the start of every row, as the painter asks for them; carried lengths
    // count bytes, so they are compared in characters of the row they reach into.
    void ExpectSameStates()
    {
        for (int row = 0; row < SjisRows.Count(); ++row) {
            TRowAttributeData sjis = SjisRows.RowStartState(row);
            TRowAttributeData utf8 = Utf8Rows.RowStartState(row);
            utf8.CarryLength = static_cast<int>(CharOfOffset(Utf8, Utf8Rows.Str(row), static_cast<std::size_t>(utf8.CarryLength)));
            sjis.CarryLength = static_cast<int>(CharOfOffset(ShiftJis, SjisRows.Str(row), static_cast<std::size_t>(sjis.CarryLength)));
            ASSERT_EQ(utf8, sjis) << "row " << row << " after " << FLastOp;
        }
    }

    void ExpectSameHits()
    {
        const std::string pattern = RandomText(2);
        const TSearchOptions options = static_cast<TSearchOptions>(soDown | (Random(2) ? soMatchCase : 0)
                                                                   | (Random(2) ? soIgnoreWidth : 0));
        const int row = Random(SjisRows.Count());
        const auto sjisHit = SearchRows(SjisRows.RowList(), row, 0, 0, pattern, options, 64, ShiftJis);
        const auto utf8Hit = SearchRows(Utf8Rows.RowList(), row, 0, 0, ToUtf8(pattern), options, 64, Utf8);
        ASSERT_EQ(utf8Hit.has_value(), sjisHit.has_value()) << SjisToUtf8(pattern) << " after " << FLastOp;
        if (!sjisHit)
            return;
        ASSERT_EQ(utf8Hit->Row, sjisHit->Row);
        ASSERT_EQ(CharOfOffset(Utf8, Utf8Rows.Str(utf8Hit->Row), static_cast<std::size_t>(utf8Hit->Offset)),
                  CharOfOffset(ShiftJis, SjisRows.Str(sjisHit->Row), static_cast<std::size_t>(sjisHit->Offset)))
            << SjisToUtf8(pattern) << " after " << FLastOp;
    }

    std::mt19937 FRandom{20261210};
    std::string FLastOp = "load";
    TFakeEditor SjisEditor{std::make_shared<TEditorScreenStrings>(ShiftJis)};
    TFakeEditor Utf8Editor{std::make_shared<TEditorScreenStrings>(Utf8)};
    TEditorScreenStrings& SjisRows = SjisEditor.ScreenStrings();
    TEditorScreenStrings& Utf8Rows = Utf8Editor.ScreenStrings();
    TEditorStrings SjisLines{SjisEditor};
    TEditorStrings Utf8Lines{Utf8Editor};
};

} // namespace

TEST_F(EncodingTwinTest, EditsUndoAndRedoKeepBothStoresAlike)
{
    for (int round = 0; round < 20; ++round) {
        std::string text;
        for (int line = Random(12); line >= 0; --line)
            text += RandomText(Random(3) == 0 ? 30 : 6) + "\r\n";
        SetWrap();
        SjisLines.SetTextStr(text, ShiftJis);
        Utf8Lines.SetTextStr(ToUtf8(text), Utf8);
        FLastOp = "load";
        ASSERT_NO_FATAL_FAILURE(ExpectSameRows());
        for (int step = 0; step < 150; ++step) {
            RandomStep();
            ASSERT_NO_FATAL_FAILURE(ExpectSameRows());
            if (step % 5 == 0) {
                ASSERT_NO_FATAL_FAILURE(ExpectSameStates());
                ASSERT_NO_FATAL_FAILURE(ExpectSameHits());
            }
        }
        EXPECT_EQ(ToSjis(Utf8Lines.Text()), SjisLines.Text());
    }
}
