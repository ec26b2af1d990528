// Seeded random edits of the text model against a plain model of the text: lines and whether
// the text ends with a line break. Edits are made as the editor makes them, by replacing rows
// through ReplaceRows or through the Lines facade; after every step the text, the marks in use
// and the stored highlighting states are checked, and undo and redo must retrace the texts and
// put the caret back. The text is Shift-JIS or UTF-8; the UTF-8 text also holds characters that
// Shift-JIS cannot, combining marks and invalid bytes. KESTRIM_LONG_RANDOM=n runs n times as
// many operations.

#include "FakeEditor.h"

#include "editor/base/edUtils.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edUndo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;
using namespace kestrim::test;

namespace {

// The reference: the lines, and whether the last one ends with a line break. Kept canonical: a
// text ending with a line break never ends with an empty line without one.
struct TModel {
    std::vector<std::string> Lines;
    bool FinalBreak = true;

    std::string Text() const
    {
        std::string text;
        for (std::size_t i = 0; i < Lines.size(); ++i) {
            text += Lines[i];
            if (i + 1 < Lines.size() || FinalBreak)
                text += "\r\n";
        }
        return text;
    }

    // The text of an earlier step, for undo and redo.
    void SetText(const std::string& Text)
    {
        Lines.clear();
        FinalBreak = ForEachLine(Text, [&](std::size_t begin, std::size_t end) {
            Lines.push_back(Text.substr(begin, end - begin));
        });
        Normalize();
    }

    void Normalize()
    {
        if (!Lines.empty() && !FinalBreak && Lines.back().empty()) {
            Lines.pop_back();
            FinalBreak = true;
        }
        if (Lines.empty())
            FinalBreak = true;
    }

    // Inserts Text, whose lines end with CR LF, at byte Offset of line Line; Line may be the
    // line after the last.
    void Insert(std::size_t Line, std::size_t Offset, const std::string& Text)
    {
        if (Line == Lines.size()) {
            Lines.emplace_back();
            FinalBreak = false;
        }
        const std::string tail = Lines[Line].substr(Offset);
        Lines[Line].erase(Offset);
        std::size_t start = 0;
        for (std::size_t lf; (lf = Text.find("\r\n", start)) != std::string::npos; start = lf + 2) {
            Lines[Line] += Text.substr(start, lf - start);
            Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(++Line), std::string());
        }
        Lines[Line] += Text.substr(start) + tail;
        Normalize();
    }

    void EraseLines(std::size_t First, std::size_t Count)
    {
        if (First + Count == Lines.size())
            FinalBreak = true; // the line before keeps its break
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(First),
                    Lines.begin() + static_cast<std::ptrdiff_t>(First + Count));
        Normalize();
    }

    // Lines.Add: a text without a final line break still lacks one afterwards.
    void Add(const std::string& Line)
    {
        const bool noFinalBreak = !Lines.empty() && !FinalBreak;
        Lines.push_back(Line);
        FinalBreak = !noFinalBreak;
        Normalize();
    }

    // Removes the line break after Line: the next line joins it, or the text loses its final break.
    void Join(std::size_t Line)
    {
        if (Line + 1 < Lines.size()) {
            Lines[Line] += Lines[Line + 1];
            Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(Line + 1));
        } else {
            FinalBreak = false;
        }
        Normalize();
    }
};

struct TCaret {
    int Row = 0;
    int Col = 0;
    bool operator==(const TCaret&) const = default;
};

// A place in the rows and the same place in the model.
struct TPlace {
    int Row = 0;
    int Byte = 0;
    std::size_t Line = 0;
    std::size_t Offset = 0;
};

// With block comments, states run on from line to line; without, every line starts afresh and
// rows far below the parsed ones get their states from their own line.
class TextModelRandomTest : public testing::TestWithParam<std::tuple<bool, TTextEncoding>> {
protected:
    static bool BlockComments() { return std::get<0>(GetParam()); }
    static TTextEncoding Encoding() { return std::get<1>(GetParam()); }

    TextModelRandomTest()
    {
        if (BlockComments())
            AddBlockComment(Editor.Fountain);
        Editor.Fountain.SetCommenter("#");
        Editor.Fountain.SetQuotation("\"");
        Editor.DisplayRows = 3;
        Rows.WrapOption().SetWrapByte(20);
    }

    int Random(int Bound) { return static_cast<int>(FRandom() % static_cast<unsigned>(Bound)); }
    bool Chance(int Percent) { return Random(100) < Percent; }

    std::string RandomText(int MaxChars)
    {
        static const std::vector<std::string> sjisPieces = {"a", "b", "x", " ", "  ", "/*", "*/", "\"", "#", "\t",
                                                             "12", "\x82\xa0", "\x88\x9f", "\xb1"};
        static const std::vector<std::string> utf8Pieces = {"a", "b", " ", "/*", "*/", "\"", "#", "\t", "12", "あ",
                                                             "漢", "ｱ", "é", "😀", "한", "\xCC\x81", "\xFF", "\xE3\x81"};
        const std::vector<std::string>& pieces = Encoding() == TTextEncoding::Utf8 ? utf8Pieces : sjisPieces;
        std::string text;
        for (int i = 1 + Random(MaxChars); i > 0; --i)
            text += pieces[static_cast<std::size_t>(Random(static_cast<int>(pieces.size())))];
        return text;
    }

    // Byte offsets in Row's text where a character starts, and its end.
    std::vector<int> Boundaries(int Row)
    {
        std::vector<int> offsets = {0};
        if (Row < Rows.Count()) {
            const std::string_view text = Rows.Str(Row);
            for (std::size_t i = 0; i < text.size(); i += CharByteCount(Encoding(), text, i))
                offsets.push_back(static_cast<int>(i + CharByteCount(Encoding(), text, i)));
        }
        return offsets;
    }

    static std::string Describe(const TPlace& Place)
    {
        return "row " + std::to_string(Place.Row) + " byte " + std::to_string(Place.Byte) + " (line " +
               std::to_string(Place.Line) + " offset " + std::to_string(Place.Offset) + ")";
    }

    // A place on a character boundary; the row after the last only where the caret may go.
    TPlace RandomPlace()
    {
        const bool pastEnd = Rows.Count() == 0 || Rows.Rows(Rows.Count() - 1) == raCrlf;
        TPlace place;
        place.Row = Random(Rows.Count() + (pastEnd ? 1 : 0));
        const std::vector<int> offsets = Boundaries(place.Row);
        place.Byte = offsets[static_cast<std::size_t>(Random(static_cast<int>(offsets.size())))];
        place.Line = static_cast<std::size_t>(Rows.LineOfRow(place.Row));
        place.Offset = static_cast<std::size_t>(place.Byte + Rows.RowOffsetInLine(place.Row));
        return place;
    }

    std::string LineBreakOf(int Row) { return Rows.Rows(Row) == raCrlf ? "\r\n" : ""; }

    // Replaces the row at Place by its text with Text inserted, as typing and pasting do.
    void InsertAt(const TPlace& Place, const std::string& Text)
    {
        FLastOp = "insert at " + Describe(Place) + ": " + testing::PrintToString(Text);
        if (Place.Row == Rows.Count()) {
            Rows.ReplaceRows(Place.Row, 0, Text);
        } else {
            std::string row(Rows.Str(Place.Row));
            row.insert(static_cast<std::size_t>(Place.Byte), Text);
            Rows.ReplaceRows(Place.Row, 1, row + LineBreakOf(Place.Row));
        }
        Model.Insert(Place.Line, Place.Offset, Text);
    }

    void Type()
    {
        const TPlace place = RandomPlace();
        SetCaret(place);
        std::string text = RandomText(Chance(30) ? 30 : 3);
        if (Chance(25))
            text += "\r\n" + (Chance(50) ? RandomText(4) : std::string());
        if (Chance(10))
            text = "\r\n";
        InsertAt(place, text);
    }

    void DeleteCharacters()
    {
        const TPlace place = RandomPlace();
        if (place.Row == Rows.Count())
            return Type();
        const std::vector<int> offsets = Boundaries(place.Row);
        std::size_t first = 0;
        while (offsets[first] != place.Byte)
            ++first;
        const std::size_t last = std::min(offsets.size() - 1, first + 1 + static_cast<std::size_t>(Random(4)));
        if (last == first)
            return JoinLines();
        SetCaret(place);
        std::string row(Rows.Str(place.Row));
        const std::size_t count = static_cast<std::size_t>(offsets[last] - offsets[first]);
        row.erase(static_cast<std::size_t>(place.Byte), count);
        FLastOp = "delete " + std::to_string(count) + " bytes at " + Describe(place);
        Rows.ReplaceRows(place.Row, 1, row + LineBreakOf(place.Row));
        Model.Lines[place.Line].erase(place.Offset, count);
        Model.Normalize();
    }

    // Deletes the line break at the end of a line, as Delete at the line's end does.
    void JoinLines()
    {
        std::vector<int> lineEnds;
        for (int row = 0; row < Rows.Count(); ++row)
            if (Rows.Rows(row) == raCrlf)
                lineEnds.push_back(row);
        if (lineEnds.empty())
            return Type();
        const int row = lineEnds[static_cast<std::size_t>(Random(static_cast<int>(lineEnds.size())))];
        SetCaret(TCaret{row, static_cast<int>(Rows.Str(row).size())});
        const std::size_t line = static_cast<std::size_t>(Rows.LineOfRow(row));
        FLastOp = "join row " + std::to_string(row);
        Rows.ReplaceRows(row, 1, std::string(Rows.Str(row)));
        Model.Join(line);
    }

    void DeleteWholeLines()
    {
        if (Rows.Count() == 0)
            return Type();
        const int first = Rows.LineStartRow(Random(Rows.Count()));
        int last = Rows.LineEndRow(first);
        std::size_t lines = 1;
        while (Chance(30) && last + 1 < Rows.Count()) {
            last = Rows.LineEndRow(last + 1);
            ++lines;
        }
        SetCaret(TCaret{first, 0});
        const std::size_t line = static_cast<std::size_t>(Rows.LineOfRow(first));
        FLastOp = "delete rows " + std::to_string(first) + ".." + std::to_string(last);
        Rows.ReplaceRows(first, last - first + 1, "");
        Model.EraseLines(line, lines);
    }

    void EditThroughLines()
    {
        const int count = Lines.Count();
        const int index = Random(count + 1);
        const std::string text = Chance(30) ? std::string() : RandomText(8);
        SetCaret(TCaret{0, 0});
        FLastOp = "Lines edit of line " + std::to_string(index) + ": " + testing::PrintToString(text);
        switch (Random(4)) {
        case 0:
            Lines.Add(text);
            Model.Add(text);
            break;
        case 1:
            if (index == count)
                return EditThroughLines();
            Lines.Put(index, text);
            Model.Lines[static_cast<std::size_t>(index)] = text;
            Model.Normalize();
            break;
        case 2:
            if (index == count)
                return EditThroughLines();
            Lines.Delete(index);
            Model.EraseLines(static_cast<std::size_t>(index), 1);
            break;
        default:
            Lines.Insert(index, text);
            if (index == count)
                Model.Add(text);
            else
                Model.Lines.insert(Model.Lines.begin() + index, text);
        }
    }

    // Also remembers the caret as the one an edit's undo step is to restore.
    void SetCaret(const TCaret& Caret)
    {
        Editor.SetRowCol(Caret.Row, Caret.Col);
        FStepCaret = Caret;
    }
    void SetCaret(const TPlace& Place) { SetCaret(TCaret{Place.Row, Place.Byte}); }
    TCaret Caret() const { return {Editor.Row(), Editor.Col()}; }

    // A bookmark moves to a row, as the editor's PutRowMark does; ListMarks follows the rows.
    void PutBookmark()
    {
        if (Rows.Count() == 0)
            return;
        const TRowMarks mark = RowMark(Random(10));
        for (int row = 0; row < Rows.Count(); ++row)
            if (Rows.RowMarks(row) & mark)
                Rows.SetRowMarks(row, Rows.RowMarks(row) & static_cast<TRowMarks>(~mark));
        const int row = Random(Rows.Count());
        Rows.SetRowMarks(row, Rows.RowMarks(row) | mark);
        Rows.IncludeListMarks(mark);
    }

    void Paint()
    {
        if (Rows.Count() == 0)
            return;
        const int row = Random(Rows.Count());
        const TRowAttributeData state = Rows.RowStartState(row);
        TEditorStringList fresh;
        FreshRowStates(Rows, Editor.Fountain, fresh);
        ASSERT_EQ(state, fresh.GetRowAttributeData(row)) << "row " << row;
    }

    void NewHistory()
    {
        History.assign(1, Model.Text());
        CaretBefore.clear();
        CaretAtUndo.clear();
        Position = 0;
    }

    // After one edit: it is the newest step of the history.
    void Recorded(const TCaret& Before)
    {
        History.resize(Position + 1);
        CaretBefore.resize(Position);
        CaretAtUndo.resize(Position);
        History.push_back(Model.Text());
        CaretBefore.push_back(Before);
        CaretAtUndo.emplace_back();
        ++Position;
        if (History.size() > static_cast<std::size_t>(Rows.UndoObj().UndoListMax()) + 1) {
            History.pop_front();
            CaretBefore.pop_front();
            CaretAtUndo.pop_front();
            --Position;
        }
    }

    void UndoRun()
    {
        FLastOp = "undo";
        for (int i = 1 + Random(5); i > 0 && Position > 0; --i) {
            SetCaret(RandomPlace());
            CaretAtUndo[Position - 1] = Caret();
            Rows.Undo();
            --Position;
            Model.SetText(History[Position]);
            ASSERT_EQ(Lines.Text(), History[Position]);
            ASSERT_EQ(Caret(), CaretBefore[Position]);
        }
    }

    void RedoRun()
    {
        FLastOp = "redo";
        for (int i = 1 + Random(5); i > 0 && Position + 1 < History.size(); --i) {
            SetCaret(RandomPlace());
            CaretBefore[Position] = Caret();
            Rows.Redo();
            ASSERT_EQ(Caret(), CaretAtUndo[Position]);
            ++Position;
            Model.SetText(History[Position]);
            ASSERT_EQ(Lines.Text(), History[Position]);
        }
    }

    void SwitchWrap()
    {
        FLastOp = "wrap switch";
        if (Chance(30)) {
            const int old = Rows.WrapOption().WrapByte();
            const int wrapByte = 20 + Random(10);
            Rows.WrapOption().SetWrapByte(wrapByte);
            if (!Rows.WordWrap() || wrapByte == old)
                return; // nothing was re-wrapped
        } else {
            Rows.SetWordWrap(!Rows.WordWrap());
        }
        NewHistory();
    }

    // One random edit, one undo step; edits keep the text at some 20 to 50 lines.
    void Edit()
    {
        const int lines = static_cast<int>(Model.Lines.size());
        const int edit = Random(100);
        if (edit < 45 + (lines < 20 ? 25 : 0))
            Type();
        else if (edit < 70)
            DeleteCharacters();
        else if (edit < 78)
            JoinLines();
        else if (edit < 84 + (lines > 50 ? 16 : 0))
            DeleteWholeLines();
        else
            EditThroughLines();
        Recorded(FStepCaret);
    }

    void Step()
    {
        const int choice = Random(100);
        if (choice < 2)
            SwitchWrap();
        else if (choice < 10)
            UndoRun();
        else if (choice < 14)
            RedoRun();
        else if (choice < 17)
            PutBookmark();
        else if (choice < 20)
            Paint();
        else
            Edit();
    }

    void Check(int Operation)
    {
        ASSERT_EQ(Lines.Text(), Model.Text()) << "after operation " << Operation << ", " << FLastOp;
        ASSERT_EQ(Rows.UndoObj().CanUndo(), Position > 0) << "after operation " << Operation << ", " << FLastOp;
        ASSERT_EQ(Rows.UndoObj().CanRedo(), Position + 1 < History.size()) << "after operation " << Operation << ", " << FLastOp;
        TRowMarks marks = 0;
        for (int row = 0; row < Rows.Count(); ++row) {
            marks |= Rows.RowMarks(row);
            const bool last = row + 1 == Rows.Count();
            ASSERT_TRUE(last ? Rows.Rows(row) != raWrapped : Rows.Rows(row) != raEof)
                << "row " << row << " after operation " << Operation;
        }
        ASSERT_EQ(Rows.ListMarks(), marks) << "after operation " << Operation << ", " << FLastOp;
        // Rows and lines map as a count from the start gives them, up the rows and down the
        // lines, so that the next edit finds the count's anchor below it.
        std::vector<int> lineOfRow(static_cast<std::size_t>(Rows.Count()) + 1, 0);
        for (int row = 0; row < Rows.Count(); ++row)
            lineOfRow[row + 1] = lineOfRow[row] + (Rows.Rows(row) != raWrapped ? 1 : 0);
        for (int row = Rows.Count(); row >= 0; --row)
            ASSERT_EQ(Rows.LineOfRow(row), lineOfRow[row]) << "row " << row << " after operation " << Operation;
        for (int row = 0; row <= Rows.Count(); ++row)
            if (row == 0 || Rows.Rows(row - 1) != raWrapped) {
                ASSERT_EQ(Rows.RowOfLine(lineOfRow[row]), row) << "after operation " << Operation << ", " << FLastOp;
            }
        ASSERT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1) << "after operation " << Operation << ", " << FLastOp;
    }

    static int Operations(int Count)
    {
        const char* factor = std::getenv("KESTRIM_LONG_RANDOM");
        return factor ? Count * std::max(1, std::atoi(factor)) : Count;
    }

    TFakeEditor Editor{std::make_shared<TEditorScreenStrings>(Encoding())};
    TEditorScreenStrings& Rows = Editor.ScreenStrings();
    TEditorStrings Lines{Editor};
    TModel Model;
    std::deque<std::string> History;
    std::deque<TCaret> CaretBefore;
    std::deque<TCaret> CaretAtUndo;
    std::size_t Position = 0;
    TCaret FStepCaret;
    std::string FLastOp;
    std::mt19937 FRandom{20240611};
};

} // namespace

TEST_P(TextModelRandomTest, EditsWrapsUndoAndRedoAgreeWithAPlainModel)
{
    NewHistory();
    const int operations = Operations(BlockComments() ? 100'000 : 30'000);
    for (int operation = 0; operation < operations; ++operation) {
        Step();
        Check(operation);
        if (HasFatalFailure())
            return;
    }
}

TEST_P(TextModelRandomTest, UndoingEverythingGivesTheFirstTextBackAndRedoingEverythingTheLast)
{
    Rows.UndoObj().SetUndoListMax(1'000'000);
    for (const bool wrap : {false, true}) {
        Rows.SetWordWrap(wrap);
        const std::string first = "first line /* with\r\na comment */ in it\r\n" + std::string(45, 'x');
        Lines.SetText(first);
        Model.SetText(first);
        NewHistory();
        const int operations = Operations(3000);
        for (int operation = 0; operation < operations; ++operation) {
            Edit();
            Check(operation);
            if (HasFatalFailure())
                return;
        }
        const std::string last = Lines.Text();
        while (Rows.UndoObj().CanUndo())
            Rows.Undo();
        EXPECT_EQ(Lines.Text(), first);
        while (Rows.UndoObj().CanRedo())
            Rows.Redo();
        EXPECT_EQ(Lines.Text(), last);
        EXPECT_EQ(FirstStaleRow(Rows, Editor.Fountain), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(States, TextModelRandomTest,
                         testing::Combine(testing::Values(true, false),
                                          testing::Values(TTextEncoding::ShiftJis, TTextEncoding::Utf8)),
                         [](const testing::TestParamInfo<std::tuple<bool, TTextEncoding>>& Info) {
                             return std::string(std::get<0>(Info.param) ? "CrossingLines" : "WithinLines")
                                    + (std::get<1>(Info.param) == TTextEncoding::Utf8 ? "Utf8" : "ShiftJis");
                         });
