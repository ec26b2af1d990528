// A seeded random run of keys and mouse gestures against a plain model of the text: lines of
// Shift-JIS bytes, a caret as line and byte, a stream or box selection and an undo history.
// After every step the editor's text, caret, selected text and undo state must be the model's.
// The editor runs with plain caret rules (no free caret, no indentation help), so that the
// model stays plain; the typing tests cover the rest.

#include "editor/control/EditorControl.h"

#include "editor/base/CodePage.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <random>

namespace kestrim {
namespace {

constexpr int TabWidth = 4;

bool IsLead(const std::string& S, std::size_t I)
{
    return I + 1 < S.size() && IsDBCSLeadByte(S[I]);
}

// One cell per column: 'c' a character, 'L'/'T' the two halves of a two-byte one, 't' a tab's
// own column and 'f' its fill.
std::string Cells(const std::string& Line)
{
    std::string cells;
    for (std::size_t i = 0; i < Line.size(); ++i) {
        if (IsLead(Line, i)) {
            cells += "LT";
            ++i;
        } else if (Line[i] == '\t') {
            cells += 't';
            while (cells.size() % TabWidth != 0)
                cells += 'f';
        } else {
            cells += 'c';
        }
    }
    return cells;
}

int ColOfByte(const std::string& Line, int Byte)
{
    return static_cast<int>(Cells(Line.substr(0, static_cast<std::size_t>(Byte))).size());
}

int ByteOfCol(const std::string& Line, int Col)
{
    const std::string cells = Cells(Line);
    int byte = 0;
    for (int col = 0; col < Col && col < static_cast<int>(cells.size()); ++col)
        if (cells[static_cast<std::size_t>(col)] != 'f')
            ++byte;
    return byte;
}

// Text for a failure message: control and non-ASCII bytes as hexadecimal escapes.
std::string Escaped(const std::string& Text)
{
    std::string out;
    for (const char c : Text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        }
    }
    return out;
}

struct TPlace {
    int Row = 0;
    int Byte = 0;
    bool operator<(const TPlace& O) const { return Row < O.Row || (Row == O.Row && Byte < O.Byte); }
    bool operator==(const TPlace&) const = default;
};

// The text as lines; a text ending with a line break has an empty last line, the row after it.
struct TModel {
    std::vector<std::string> Lines{""};
    TPlace Caret;
    int KeptCol = -1;
    bool Selecting = false; // a selection is shown (it may be empty)
    bool Box = false;
    TPlace Anchor;
    int AnchorCol = 0;
    std::string Clip;
    bool ClipBox = false;
    bool ClipSet = false;

    std::string Text() const
    {
        std::string text;
        for (std::size_t i = 0; i < Lines.size(); ++i)
            text += Lines[i] + (i + 1 < Lines.size() ? "\r\n" : "");
        return text;
    }
    void SetText(const std::string& Text)
    {
        Lines.assign(1, "");
        for (std::size_t i = 0; i < Text.size(); ++i) {
            if (Text.compare(i, 2, "\r\n") == 0) {
                Lines.emplace_back();
                ++i;
            } else {
                Lines.back() += Text[i];
            }
        }
    }
    int Col() const { return ColOfByte(Lines[static_cast<std::size_t>(Caret.Row)], Caret.Byte); }
    std::string& Line(int Row) { return Lines[static_cast<std::size_t>(Row)]; }
    int Last() const { return static_cast<int>(Lines.size()) - 1; }
    // Rows of the text: the empty line after a final line break is none.
    int RealRows() const { return static_cast<int>(Lines.size()) - (Lines.back().empty() ? 1 : 0); }

    // The caret on Col of Row as the editor's column rules put it.
    void PlaceAtCol(int Row, int Col)
    {
        const std::string cells = Cells(Line(Row));
        int col = std::min(Col, static_cast<int>(cells.size()));
        if (col < static_cast<int>(cells.size()) && cells[static_cast<std::size_t>(col)] == 'T')
            --col;
        while (col > 0 && col < static_cast<int>(cells.size()) && cells[static_cast<std::size_t>(col)] == 'f')
            --col;
        Caret = {Row, ByteOfCol(Line(Row), col)};
    }
    void Vertical(int Row)
    {
        const int want = KeptCol >= 0 ? KeptCol : Col();
        const std::string cells = Cells(Line(Row));
        int col = std::min(want, static_cast<int>(cells.size()));
        const auto at = [&](int C) { return C < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(C)] : ' '; };
        if (at(col) == 'T' || at(col) == 'f') {
            if (KeptCol < 0)
                KeptCol = col;
            while (at(col) == 'T' || at(col) == 'f')
                --col;
        }
        Caret = {Row, ByteOfCol(Line(Row), col)};
    }

    std::pair<int, int> BoxBytes(int Row, int Left, int Right)
    {
        const std::string cells = Cells(Line(Row));
        const auto at = [&](int C) { return C >= 0 && C < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(C)] : ' '; };
        while (at(Left) == 'T' || at(Left) == 'f')
            ++Left;
        if (at(Right) == 'f')
            while (Right > 0 && at(Right) == 'f')
                --Right;
        else if (at(Right) == 'T')
            ++Right;
        const int left = ByteOfCol(Line(Row), Left);
        return {left, std::max(left, ByteOfCol(Line(Row), Right))};
    }
    std::pair<TPlace, TPlace> Range() const { return Caret < Anchor ? std::make_pair(Caret, Anchor) : std::make_pair(Anchor, Caret); }
    int LeftCol() const { return std::min(AnchorCol, Col()); }
    int RightCol() const { return std::max(AnchorCol, Col()); }

    std::string SelText()
    {
        if (!Selecting)
            return {};
        const auto [from, to] = Range();
        std::string text;
        for (int row = from.Row; row <= to.Row; ++row) {
            if (Box) {
                if (row >= RealRows())
                    break;
                const auto [l, r] = BoxBytes(row, LeftCol(), RightCol());
                text += Line(row).substr(static_cast<std::size_t>(l), static_cast<std::size_t>(r - l)) + "\r\n";
                continue;
            }
            const int begin = row == from.Row ? from.Byte : 0;
            const int end = row == to.Row ? to.Byte : static_cast<int>(Line(row).size());
            text += Line(row).substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
            if (row < to.Row)
                text += "\r\n";
        }
        return text;
    }
    // Takes the selection out; the caret goes where it began.
    void DeleteSelection()
    {
        const auto [from, to] = Range();
        if (Box) {
            const int left = LeftCol();
            const int right = RightCol();
            int firstByte = 0;
            for (int row = from.Row; row <= to.Row; ++row) {
                const auto [l, r] = BoxBytes(row, left, right);
                Line(row).erase(static_cast<std::size_t>(l), static_cast<std::size_t>(r - l));
                if (row == from.Row)
                    firstByte = l;
            }
            Caret = {from.Row, firstByte};
        } else {
            Line(from.Row) = Line(from.Row).substr(0, static_cast<std::size_t>(from.Byte)) + Line(to.Row).substr(static_cast<std::size_t>(to.Byte));
            Lines.erase(Lines.begin() + from.Row + 1, Lines.begin() + to.Row + 1);
            Caret = from;
        }
        Selecting = false;
        KeptCol = -1;
    }
    void Insert(const std::string& Text)
    {
        if (Selecting)
            DeleteSelection();
        std::string& line = Line(Caret.Row);
        const std::string rest = line.substr(static_cast<std::size_t>(Caret.Byte));
        line.resize(static_cast<std::size_t>(Caret.Byte));
        TModel inserted;
        inserted.SetText(Text);
        line += inserted.Lines[0];
        Lines.insert(Lines.begin() + Caret.Row + 1, inserted.Lines.begin() + 1, inserted.Lines.end());
        const int lastRow = Caret.Row + static_cast<int>(inserted.Lines.size()) - 1;
        const int byte = static_cast<int>(Line(lastRow).size());
        Line(lastRow) += rest;
        Caret = {lastRow, byte};
    }
    // Works on the rows of the text (the selection's first row is one even when emptied), then
    // gives the text back its final line break, as it had one.
    void PasteBox(const std::string& Text)
    {
        bool finalBreak = Lines.size() > 1 && Lines.back().empty();
        int row = Caret.Row;
        int col = Col();
        int realRows = RealRows();
        if (Selecting) {
            // A box leaves its rows; a stream joins its rows into its first.
            const auto [from, to] = Range();
            row = from.Row;
            col = Box ? LeftCol() : ColOfByte(Line(from.Row), from.Byte);
            if (!Box) {
                finalBreak = finalBreak && to.Row < realRows;
                realRows = from.Row + 1 + std::max(0, realRows - 1 - std::min(to.Row, realRows - 1));
            }
            DeleteSelection();
        }
        Lines.resize(static_cast<std::size_t>(realRows));
        TModel pasted;
        pasted.SetText(Text);
        if (pasted.Lines.size() > 1 && pasted.Lines.back().empty())
            pasted.Lines.pop_back();
        for (std::size_t i = 0; i < pasted.Lines.size(); ++i) {
            const int target = row + static_cast<int>(i);
            if (target >= static_cast<int>(Lines.size()))
                Lines.emplace_back();
            std::string& line = Line(target);
            const std::string cells = Cells(line);
            int left = col;
            while (left < static_cast<int>(cells.size()) && (cells[static_cast<std::size_t>(left)] == 'T' || cells[static_cast<std::size_t>(left)] == 'f'))
                ++left;
            const int byte = ByteOfCol(line, left) + std::max(0, left - static_cast<int>(cells.size()));
            if (byte > static_cast<int>(line.size()))
                line.append(static_cast<std::size_t>(byte) - line.size(), ' ');
            line.insert(static_cast<std::size_t>(byte), pasted.Lines[i]);
            Caret = {target, byte + static_cast<int>(pasted.Lines[i].size())};
        }
        if (finalBreak || Lines.empty())
            Lines.emplace_back();
        KeptCol = -1; // the caret is placed anew, even when nothing changed
    }

    void BackSpace()
    {
        if (Selecting) {
            DeleteSelection();
        } else if (Caret.Byte > 0) {
            std::string& line = Line(Caret.Row);
            int previous = 0;
            for (int i = 0; i < Caret.Byte; i += IsLead(line, static_cast<std::size_t>(i)) ? 2 : 1)
                previous = i;
            line.erase(static_cast<std::size_t>(previous), static_cast<std::size_t>(Caret.Byte - previous));
            Caret.Byte = previous;
        } else if (Caret.Row > 0) {
            const int row = Caret.Row - 1;
            Caret = {row, static_cast<int>(Line(row).size())};
            Line(row) += Line(row + 1);
            Lines.erase(Lines.begin() + row + 1);
        }
    }
    void Delete()
    {
        std::string& line = Line(Caret.Row);
        if (Selecting) {
            DeleteSelection();
        } else if (Caret.Byte < static_cast<int>(line.size())) {
            line.erase(static_cast<std::size_t>(Caret.Byte), IsLead(line, static_cast<std::size_t>(Caret.Byte)) ? 2 : 1);
        } else if (Caret.Row < Last()) {
            line += Line(Caret.Row + 1);
            Lines.erase(Lines.begin() + Caret.Row + 1);
        }
    }
    // Copies a selection that is not empty; true when it did.
    bool Copy()
    {
        const std::string text = SelText();
        if (text.empty())
            return false;
        Clip = text;
        ClipBox = Box;
        return true;
    }
};

// A step of the history: the text before and after it, the caret before it and where it was
// when the step was undone.
struct TStep {
    std::string Before;
    std::string After;
    std::pair<int, int> CaretBefore;
    std::pair<int, int> CaretAtUndo;
};

class EditorRandom : public testing::Test {
protected:
    EditorRandom()
    {
        Editor.resize(900, 700);
        Editor.show();
        Editor.setFocus();
        TEditorCaret& caret = Editor.Caret();
        caret.SetFreeCaret(false);
        caret.SetNextLine(true);
        caret.SetAutoIndent(false);
        caret.SetBackSpaceUnIndent(false);
        caret.SetSelMove(false);
        caret.SetTabSpaceCount(TabWidth);
        Editor.SetUndoListMax(1'000'000);
        QApplication::clipboard()->clear();
    }

    int Random(int Bound) { return static_cast<int>(FRandom() % static_cast<unsigned>(Bound)); }
    void Key(Qt::Key Code, Qt::KeyboardModifiers Modifiers = {}) { QTest::keyClick(&Editor, Code, Modifiers); }
    std::pair<int, int> ModelCaret() const { return {M.Caret.Row, M.Col()}; }

    // Applies Edit to the model; a change of its text is one step of the history.
    template <typename Edit>
    void Edited(Edit&& edit)
    {
        const std::string before = M.Text();
        const std::pair<int, int> caret = ModelCaret();
        edit();
        if (M.Text() == before)
            return;
        M.KeptCol = -1;
        History.resize(Position);
        History.push_back({before, M.Text(), caret, {}});
        ++Position;
    }

    void Move(Qt::Key Code, bool Shift)
    {
        if (Shift && !M.Selecting) {
            M.Selecting = true;
            M.Anchor = M.Caret;
            M.AnchorCol = M.Col();
        } else if (!Shift && M.Selecting) {
            M.Selecting = false;
            M.KeptCol = -1;
        }
        const std::string& line = M.Line(M.Caret.Row);
        const int length = static_cast<int>(line.size());
        if (Code != Qt::Key_Up && Code != Qt::Key_Down)
            M.KeptCol = -1;
        if (Code == Qt::Key_Left && M.Caret.Byte > 0) {
            int previous = 0;
            for (int i = 0; i < M.Caret.Byte; i += IsLead(line, static_cast<std::size_t>(i)) ? 2 : 1)
                previous = i;
            M.Caret.Byte = previous;
        } else if (Code == Qt::Key_Left && M.Caret.Row > 0) {
            M.Caret = {M.Caret.Row - 1, static_cast<int>(M.Line(M.Caret.Row - 1).size())};
        } else if (Code == Qt::Key_Right && M.Caret.Byte < length) {
            M.Caret.Byte += IsLead(line, static_cast<std::size_t>(M.Caret.Byte)) ? 2 : 1;
        } else if (Code == Qt::Key_Right && M.Caret.Row < M.Last()) {
            M.Caret = {M.Caret.Row + 1, 0};
        } else if (Code == Qt::Key_Home) {
            M.Caret.Byte = 0;
        } else if (Code == Qt::Key_End) {
            M.Caret.Byte = length;
        } else if (Code == Qt::Key_Up && M.Caret.Row > 0) {
            M.Vertical(M.Caret.Row - 1);
        } else if (Code == Qt::Key_Down && M.Caret.Row < M.Last()) {
            M.Vertical(M.Caret.Row + 1);
        }
        Key(Code, Shift ? Qt::ShiftModifier : Qt::NoModifier);
    }

    // A press on a cell and a release on another (or the same) cell of the visible text.
    void Drag()
    {
        const int top = Editor.TopRow();
        const auto cell = [&] {
            const int row = std::min(top + Random(Editor.VisibleRowCount()), M.Last());
            return std::make_pair(row, Editor.TopCol() + Random(12));
        };
        const auto [row1, col1] = cell();
        const auto [row2, col2] = Random(2) ? cell() : std::make_pair(row1, col1);
        const auto pixel = [&](int Row, int Col) {
            const QRect rect = Editor.CellRect(Row, Col);
            return QPoint(rect.left() + rect.width() / 4, rect.top() + 1);
        };
        M.KeptCol = -1;
        M.Selecting = false;
        M.PlaceAtCol(row1, col1);
        const TPlace anchor = M.Caret;
        const int anchorCol = M.Col();
        M.PlaceAtCol(row2, col2);
        if (row1 != row2 || col1 != col2) {
            M.Selecting = true;
            M.Anchor = anchor;
            M.AnchorCol = anchorCol;
        }
        QTest::mousePress(Editor.viewport(), Qt::LeftButton, {}, pixel(row1, col1));
        if (row1 != row2 || col1 != col2)
            QTest::mouseMove(Editor.viewport(), pixel(row2, col2));
        QTest::mouseRelease(Editor.viewport(), Qt::LeftButton, {}, pixel(row2, col2));
    }

    void Undo()
    {
        if (Position > 0) {
            --Position;
            TStep& step = History[Position];
            step.CaretAtUndo = ModelCaret();
            M.SetText(step.Before);
            M.Selecting = false;
            M.KeptCol = -1;
            M.PlaceAtCol(step.CaretBefore.first, step.CaretBefore.second);
        }
        Key(Qt::Key_Z, Qt::ControlModifier);
    }

    void Redo()
    {
        if (Position < History.size()) {
            // Undoing the step again puts the caret back where the redo found it.
            TStep& step = History[Position];
            step.CaretBefore = ModelCaret();
            ++Position;
            M.SetText(step.After);
            M.Selecting = false;
            M.KeptCol = -1;
            M.PlaceAtCol(step.CaretAtUndo.first, step.CaretAtUndo.second);
        }
        Key(Qt::Key_A, Qt::ControlModifier);
    }

    void Type()
    {
        static const char* const characters[] = {"a", "q", " ", "\x82\xa0", "\x88\x9f"};
        const std::string c = characters[Random(5)];
        Edited([&] { M.Insert(c); });
        QTest::sendKeyEvent(QTest::Click, &Editor, Qt::Key_unknown, QString::fromStdU16String(SjisToUtf16(c)), {});
    }

    void Step()
    {
        const int choice = Random(100);
        FLastStep = choice;
        FRecent.push_back(choice);
        if (FRecent.size() > 12)
            FRecent.pop_front();
        FBefore = Escaped(M.Text()) + " caret " + std::to_string(M.Caret.Row) + ":" + std::to_string(M.Col()) + (M.Selecting ? " sel from " + std::to_string(M.Anchor.Row) + ":" + std::to_string(M.Anchor.Byte) : "") + (M.Box ? " box" : "") + " clip " + Escaped(M.Clip) + (M.ClipBox ? " (box)" : "");
        static const Qt::Key moves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End};
        if (choice < 28) {
            Move(moves[Random(6)], Random(3) == 0);
        } else if (choice < 46) {
            Type();
        } else if (choice < 50) {
            Edited([&] { M.Insert("\t"); });
            Key(Qt::Key_Tab);
        } else if (choice < 56) {
            if (M.Selecting)
                Edited([&] { M.DeleteSelection(); });
            Edited([&] { M.Insert("\r\n"); });
            Key(Qt::Key_Return);
        } else if (choice < 63) {
            Edited([&] { M.BackSpace(); });
            Key(Qt::Key_Backspace);
        } else if (choice < 67) {
            Edited([&] { M.Delete(); });
            Key(Qt::Key_Delete);
        } else if (choice < 71) {
            M.Copy();
            Key(Qt::Key_C, Qt::ControlModifier);
        } else if (choice < 74) {
            Edited([&] {
                if (M.Copy())
                    M.DeleteSelection();
            });
            Key(Qt::Key_X, Qt::ControlModifier);
        } else if (choice < 79) {
            if (!M.Clip.empty())
                Edited([&] { M.ClipBox ? M.PasteBox(M.Clip) : M.Insert(M.Clip); });
            Key(Qt::Key_V, Qt::ControlModifier);
        } else if (choice < 81) {
            if (!M.Clip.empty())
                Edited([&] { M.PasteBox(M.Clip); });
            Key(Qt::Key_B, Qt::ControlModifier);
        } else if (choice < 84) {
            M.Box = !M.Box;
            Key(Qt::Key_K, Qt::ControlModifier);
        } else if (choice < 91) {
            Drag();
        } else if (choice < 97) {
            Undo();
        } else {
            Redo();
        }
    }

    std::string Recent() const
    {
        std::string text = "recent";
        for (const int choice : FRecent)
            text += " " + std::to_string(choice);
        return text + "; ";
    }

    void Check(int Step)
    {
        ASSERT_EQ(Editor.Lines().Text(), M.Text()) << Recent() << "step " << Step << " choice " << FLastStep << " before " << FBefore;
        ASSERT_EQ(std::make_pair(Editor.Row(), Editor.Col()), ModelCaret()) << Recent() << "step " << Step << " choice " << FLastStep << " before " << FBefore;
        ASSERT_EQ(Editor.SelText(), M.SelText()) << Recent() << "step " << Step << " choice " << FLastStep << " before " << FBefore;
        ASSERT_EQ(Editor.HasSelectedText(), !M.SelText().empty()) << "step " << Step;
        ASSERT_EQ(Editor.CanUndo(), Position > 0) << "step " << Step;
        ASSERT_EQ(Editor.CanRedo(), Position < History.size()) << "step " << Step;
    }

    TEditor Editor;
    TModel M;
    std::vector<TStep> History;
    std::size_t Position = 0;
    std::mt19937 FRandom{20261208};
    int FLastStep = 0;
    std::deque<int> FRecent;

    std::string FBefore;
};

} // namespace

TEST_F(EditorRandom, KeysAndMouseAgreeWithAPlainModel)
{
    const char* factor = std::getenv("KESTRIM_LONG_RANDOM");
    const int steps = 30'000 * (factor ? std::max(1, std::atoi(factor)) : 1);
    for (int step = 0; step < steps; ++step) {
        Step();
        Check(step);
        if (HasFatalFailure())
            return;
        // Keep the text at a few dozen short lines, so that every row stays within reach of the
        // mouse and within the columns that the display holds.
        const bool longRow = std::any_of(M.Lines.begin(), M.Lines.end(), [](const std::string& Line) { return Line.size() > 300; });
        if (M.Lines.size() > 40 || longRow) {
            M.SetText("restart\r\n" + M.Line(0));
            Editor.Lines().SetText(M.Text());
            Editor.SetRowCol(0, 0);
            M.Caret = {};
            M.Selecting = false;
            M.KeptCol = -1;
            History.clear();
            Position = 0;
        }
    }
}

} // namespace kestrim
