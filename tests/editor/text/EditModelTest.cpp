// The edit model without a window: a Shift-JIS and a UTF-8 model of the same characters take the
// same seeded random keys, edits, selections, undos and redos and agree on every caret, every
// selection and the text; and UTF-8 text that Shift-JIS cannot hold is stepped over, deleted and
// box-selected in whole characters.

#include "editor/base/CodePage.h"
#include "editor/base/TextConversion.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/EditModel.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edEditorStrings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

constexpr auto ShiftJis = TTextEncoding::ShiftJis;
constexpr auto Utf8 = TTextEncoding::Utf8;

// An edit model with its screen strings and a view of 5 rows: the text model's caret is the
// model's, tokens come from the word parser or the definition.
class TModelHost : private TEditorLink, private TEditView {
    std::shared_ptr<TEditorScreenStrings> FStrings; // first: the model holds it

public:
    explicit TModelHost(TTextEncoding Encoding)
        : FStrings(std::make_shared<TEditorScreenStrings>(Encoding)), Model(FStrings, *this, Rules), FLines(*this)
    {
        FStrings->AttachEditor(*this);
    }
    ~TModelHost() { FStrings->DetachEditor(*this); }

    TEditorScreenStrings& Strings() { return *FStrings; }
    TStrings& Lines() { return FLines; }
    int CaretLocks() const { return FCaretLocks; }

    TEditRules Rules;
    TEditModel Model;

private:
    // TEditorLink
    TEditorScreenStrings& ScreenStrings() override { return *FStrings; }
    TRowStates& RowStates() override { return FFountain; }
    int DisplayRowCount() const override { return 5; }
    bool InitBracketsFull() const override { return false; }
    bool Loading() const override { return false; }
    bool Destroying() const override { return false; }
    bool HasFocus() const override { return true; }
    int Row() const override { return Model.Row(); }
    int Col() const override { return Model.Col(); }
    void SetRowCol(int ARow, int ACol) override { Model.SetRowCol(ARow, ACol); }
    void DistanceToCaret(int ARow, int Distance) override { Model.DistanceToCaret(ARow, Distance); }
    void CleanSelection() override { Model.CleanSelection(); }
    void TextChanged() override {}
    void KeepResponsive() override {}
    void InvalidateRow(int) override {}
    void Refresh() override {}
    void BeginLinesUpdate() override {}
    void EndLinesUpdate() override {}

    // TEditView
    int VisibleRowCount() const override { return 5; }
    int TopRow() const override { return FTopRow; }
    void SetTopRow(int ARow) override { FTopRow = std::max(0, ARow); }
    std::vector<TTokenSpan> Tokens(std::string_view Text, const TRowAttributeData& State, bool UseDefinition) override
    {
        const std::unique_ptr<TFountainParser> parser = UseDefinition
                                                            ? FFountain.NewParser(FStrings->Encoding())
                                                            : std::make_unique<TTokenParser>(FStrings->Encoding());
        std::vector<TTokenSpan> tokens;
        parser->BeginRow(Text, State);
        while (parser->NextToken() != tokEnd)
            tokens.push_back({parser->TokenOffset(), parser->TokenLength(), parser->Token() == tokSymbol});
        return tokens;
    }
    void LockCaret() override { ++FCaretLocks; }
    void UnlockCaret() override { --FCaretLocks; }
    void BeginCaretRowChange() override {}
    void EndCaretRowChange() override {}
    void CaretMoved() override {}
    void CaretRedrawn() override {}
    void CaretColumnLeft(int) override {}
    void InvalidateRows(int, int) override {}
    void InvalidateCaretRowMark() override {}
    void SelectionMoved(const TSelectionRange&, const TSelectionRange&) override {}
    void SelectionChanged(bool) override {}
    void SelectionModeChanged() override {}
    void RowMarksChanged(int) override {}

    TEditorFountain FFountain;
    TEditorStrings FLines;
    int FTopRow = 0;
    int FCaretLocks = 0;
};

std::string ToSjis(std::string_view Utf8Text)
{
    return ConvertText(Utf8Text, Utf8, ShiftJis).Text;
}

class EditModelTwin : public testing::Test {
protected:
    int Random(int Bound) { return static_cast<int>(FRandom() % static_cast<unsigned>(Bound)); }

    // A piece of text, as UTF-8: ASCII, kana, kanji, wide and half-width forms, the ideographic
    // space, tabs and line breaks.
    std::string RandomPiece()
    {
        static const std::vector<std::string> pieces = {"a", "Zed", " ", "12", "\t", "あ", "漢字", "ＡＢ", "ｶﾀｶﾅ",
                                                        "　", "、", "「x」", "\r\n", "a.b", "①"};
        return pieces[static_cast<std::size_t>(Random(static_cast<int>(pieces.size())))];
    }

    // Both models take the step; the UTF-8 one its text in UTF-8.
    template <class TStep>
    void Both(const std::string& Name, TStep Step)
    {
        FLastStep = Name;
        Step(FSjis, false);
        Step(FUtf8, true);
    }

    void RandomStep()
    {
        const int row = Random(FSjis.Strings().Count() + 1);
        const int col = Random(24);
        const bool extend = Random(3) == 0;
        const auto move = static_cast<TCaretMove>(Random(static_cast<int>(TCaretMove::TextEnd) + 1));
        const std::string piece = RandomPiece();
        switch (Random(14)) {
        case 0:
            return Both("undo", [](TModelHost& h, bool) { h.Model.Undo(); });
        case 1:
            return Both("redo", [](TModelHost& h, bool) { h.Model.Redo(); });
        case 2:
            return Both("backspace", [](TModelHost& h, bool) { h.Model.TypeBackSpace(); });
        case 3:
            return Both("delete", [](TModelHost& h, bool) { h.Model.TypeDelete(); });
        case 4:
            return Both("return", [&](TModelHost& h, bool) { h.Model.TypeReturn(extend); });
        case 5:
            return Both("tab", [](TModelHost& h, bool) { h.Model.TypeTab(); });
        case 6:
            return Both("click " + std::to_string(row) + "," + std::to_string(col),
                        [&](TModelHost& h, bool) { h.Model.SetRowCol(row, col); });
        case 7:
            return Both("box mode", [&](TModelHost& h, bool) {
                h.Model.SetSelectionMode(h.Model.SelectionMode() == smBox ? smStream : smBox);
            });
        case 8:
            return Both("box paste " + piece, [&](TModelHost& h, bool Utf8Text) {
                h.Model.PasteBox(Utf8Text ? piece + "\r\n" + piece : ToSjis(piece + "\r\n" + piece));
            });
        case 9:
            return Both("token at " + std::to_string(row) + "," + std::to_string(col),
                        [&](TModelHost& h, bool) { h.Model.SelectTokenAt(row, col, extend, false); });
        case 10:
            return Both("overwrite", [](TModelHost& h, bool) { h.Model.SetOverwrite(!h.Model.Overwrite()); });
        case 11:
        case 12:
            return Both("move " + std::to_string(static_cast<int>(move)) + (extend ? " extending" : ""),
                        [&](TModelHost& h, bool) { h.Model.MoveCaret(move, extend, 1 + col % 3); });
        default:
            return Both("type " + piece, [&](TModelHost& h, bool Utf8Text) {
                h.Model.InsertText(Utf8Text ? piece : ToSjis(piece));
            });
        }
    }

    void ExpectSameState()
    {
        const TEditModel& sjis = FSjis.Model;
        const TEditModel& utf8 = FUtf8.Model;
        ASSERT_EQ(ToSjis(FUtf8.Lines().Text()), FSjis.Lines().Text()) << "after " << FLastStep;
        ASSERT_EQ(utf8.Row(), sjis.Row()) << "after " << FLastStep;
        ASSERT_EQ(utf8.Col(), sjis.Col()) << "after " << FLastStep;
        ASSERT_EQ(utf8.SelectionState(), sjis.SelectionState()) << "after " << FLastStep;
        if (sjis.Selected()) {
            const TSelectionRange& a = sjis.Selection();
            const TSelectionRange& b = utf8.Selection();
            ASSERT_EQ(std::make_tuple(b.StartRow, b.StartCol, b.EndRow, b.EndCol),
                      std::make_tuple(a.StartRow, a.StartCol, a.EndRow, a.EndCol))
                << "after " << FLastStep;
            ASSERT_EQ(ToSjis(utf8.SelText()), sjis.SelText()) << "after " << FLastStep;
        }
        ASSERT_EQ(FSjis.CaretLocks(), 0) << "after " << FLastStep;
        ASSERT_EQ(FUtf8.CaretLocks(), 0) << "after " << FLastStep;
    }

    std::mt19937 FRandom{20261210};
    std::string FLastStep = "start";
    TModelHost FSjis{ShiftJis};
    TModelHost FUtf8{Utf8};
};

TEST_F(EditModelTwin, TheSameKeysAndEditsGiveTheSameCaretsSelectionsAndTextInBothEncodings)
{
    for (int round = 0; round < 6; ++round) {
        const bool wrap = round % 2 == 1;
        for (TModelHost* host : {&FSjis, &FUtf8}) {
            host->Strings().WrapOption().SetWrapByte(12);
            host->Strings().SetWordWrap(wrap);
            host->Rules.FreeCaret = round < 3;
            host->Rules.TabIndent = round % 3 == 0;
        }
        for (int step = 0; step < 1000; ++step) {
            RandomStep();
            ExpectSameState();
            if (HasFatalFailure())
                return;
        }
    }
}

// A caret walk over one row: the column after each Right, then Backspace from the end.
TEST(EditModelUtf8, TheCaretStepsOverAndDeletesWholeCharacters)
{
    TModelHost host(Utf8);
    TEditModel& model = host.Model;
    // é, 表 (wide), 😀 (wide, beyond the plane), e with a combining acute, x.
    host.Lines().SetText("a\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80" "e\xCC\x81x");
    std::vector<int> cols;
    for (int i = 0; i < 6; ++i) {
        model.MoveCaret(TCaretMove::Right, false);
        cols.push_back(model.Col());
    }
    EXPECT_EQ(cols, (std::vector<int>{1, 2, 4, 6, 7, 8}));
    model.MoveCaret(TCaretMove::Left, false);
    model.MoveCaret(TCaretMove::Left, true);
    EXPECT_EQ(model.SelText(), "e\xCC\x81");
    model.MoveCaret(TCaretMove::RowEnd, false);
    std::vector<std::string> rows;
    for (int i = 0; i < 3; ++i) {
        model.TypeBackSpace();
        rows.push_back(host.Lines().Text());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"a\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80" "e\xCC\x81",
                                              "a\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80", "a\xC3\xA9\xE8\xA1\xA8"}));
    model.SetRowCol(0, 1);
    model.TypeDelete();
    EXPECT_EQ(host.Lines().Text(), "a\xE8\xA1\xA8");
}

// A box edge inside a wide character leaves it out on the left and takes it whole on the right,
// in UTF-8 as in Shift-JIS; an ideographic space counts two columns of the next line's indent.
TEST(EditModelUtf8, BoxEdgesAndIndentationFollowTheCharactersColumns)
{
    for (const TTextEncoding encoding : {ShiftJis, Utf8}) {
        const auto text = [&](const std::string& Utf8Text) {
            return encoding == Utf8 ? Utf8Text : ToSjis(Utf8Text);
        };
        TModelHost host(encoding);
        TEditModel& model = host.Model;
        host.Lines().SetText(text("表表表\r\nab表c\r\n"));
        model.SetSelectionMode(smBox);
        model.SetRowCol(1, 1);
        model.InitSelection();
        model.SetRowCol(0, 4);
        model.SelectionToCaret();
        EXPECT_EQ(model.SelText(), text("表\r\nb表\r\n")) << EncodingName(encoding);

        host.Lines().SetText(text("\xE3\x80\x80x"));
        model.SetSelectionMode(smStream);
        model.MoveCaret(TCaretMove::TextEnd, false);
        model.TypeReturn(false);
        EXPECT_EQ(host.Lines().Text(), text("\xE3\x80\x80x\r\n  ")) << EncodingName(encoding);
        EXPECT_EQ(model.Col(), 2) << EncodingName(encoding);
    }
}

} // namespace
