#include "FakeEditor.h"
#include "TempFolder.h"

#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"
#include "editor/text/edEditorStrings.h"
#include "editor/text/edUndo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace kestrim;
using namespace kestrim::test;
using namespace std::string_literals;

namespace {

class EditorStringsTest : public testing::Test {
protected:
    TFakeEditor Editor;
    TEditorScreenStrings& Rows = Editor.ScreenStrings();
    TEditorStrings Lines{Editor};
};

class EditorStringsFileTest : public EditorStringsTest {
protected:
    std::string FileWith(const std::string& Bytes) { return FFolder.FileWith(Bytes); }

    // The rows of Bytes loaded with every block size up to 9, which must all agree.
    std::string Loaded(const std::string& Bytes)
    {
        const std::string name = FileWith(Bytes);
        Lines.LoadFromFile(name);
        const std::string dump = Dump(Rows);
        for (std::size_t blockSize = 1; blockSize <= 9; ++blockSize) {
            Lines.LoadFromFile(name, TTextEncoding::ShiftJis, blockSize);
            EXPECT_EQ(Dump(Rows), dump) << "block size " << blockSize;
        }
        return dump;
    }

    TTempFolder FFolder{"kestrim-lines-"};
};

} // namespace

TEST_F(EditorStringsTest, TheTextKeepsItsFinalLineBreakOrTheLackOfOne)
{
    Lines.SetText("a\r\nb");
    EXPECT_EQ(Dump(Rows), "[a|C][b|E]");
    EXPECT_EQ(Lines.Text(), "a\r\nb");
    EXPECT_FALSE(Lines.TrailingLineBreak());
    Lines.Add("z");
    EXPECT_EQ(Lines.Text(), "a\r\nb\r\nz");

    Lines.SetText("a\r\n");
    EXPECT_EQ(Lines.Count(), 1);
    Lines.Add("b");
    EXPECT_EQ(Lines.Text(), "a\r\nb\r\n");

    Lines.Clear();
    Lines.Add("x");
    EXPECT_EQ(Lines.Text(), "x\r\n");

    Lines.SetText("1\r2\n3\r\n\r\n4\r");
    EXPECT_EQ(Dump(Rows), "[1|C][2|C][3|C][|C][4|C]");

    TStringList copy;
    Lines.SetText("a\r\nb");
    copy.Assign(Lines);
    EXPECT_EQ(copy.Text(), "a\r\nb");
}

TEST_F(EditorStringsTest, EveryLineOperationIsOneUndoStepAndMovesTheCaret)
{
    Lines.SetText("one\r\ntwo\r\nthree");
    EXPECT_FALSE(Rows.UndoObj().CanUndo()) << "a new text has no history";
    Editor.SelectionDrops = 0;

    Lines.Put(1, "TWO");
    EXPECT_EQ(Lines.Text(), "one\r\nTWO\r\nthree");
    EXPECT_EQ(Editor.Row(), 2) << "after the line's break";
    Lines.Insert(0, "zero");
    EXPECT_EQ(Lines.Text(), "zero\r\none\r\nTWO\r\nthree");
    EXPECT_EQ(Editor.Row(), 1);
    EXPECT_EQ(Editor.Col(), 0);
    Lines.Insert(4, "four");
    EXPECT_EQ(Lines.Text(), "zero\r\none\r\nTWO\r\nthree\r\nfour");
    EXPECT_EQ(Editor.Row(), 4);
    EXPECT_EQ(Editor.Col(), 4);
    Lines.Delete(4);
    EXPECT_EQ(Lines.Text(), "zero\r\none\r\nTWO\r\nthree\r\n") << "the line before keeps its break";
    Lines.Delete(0);
    EXPECT_EQ(Editor.Row(), 0);
    EXPECT_EQ(Editor.Col(), 0);
    EXPECT_EQ(Rows.UndoObj().UndoList().size(), 5u);
    EXPECT_EQ(Editor.CaretLocks, 0);
    EXPECT_EQ(Editor.SelectionDrops, 5);

    EXPECT_THROW(Lines.Get(3), EStringListError);
    EXPECT_THROW(Lines.Put(3, "x"), EStringListError);
    EXPECT_THROW(Lines.Delete(-1), EStringListError);
    EXPECT_THROW(Lines.Insert(4, "x"), EStringListError);
    while (Rows.UndoObj().CanUndo())
        Rows.Undo();
    EXPECT_EQ(Lines.Text(), "one\r\ntwo\r\nthree");
}

TEST_F(EditorStringsTest, WithWordWrapALineIsARunOfRows)
{
    Rows.WrapOption().SetWrapByte(20);
    Rows.SetWordWrap(true);
    const std::string line(50, 'x');
    Lines.SetText(line + "\r\nshort\r\n");
    EXPECT_EQ(Lines.Count(), 2);
    EXPECT_EQ(Rows.Count(), 4);
    EXPECT_EQ(Lines.Get(0), line);
    EXPECT_EQ(Lines.Get(1), "short");
    EXPECT_EQ(Lines.Get(2), "") << "the line after the final break";
    EXPECT_THROW(Lines.Get(3), EStringListError);
    EXPECT_EQ(Lines.LineAt(1), "short");
    EXPECT_EQ(Lines.LineAt(0), line);
    EXPECT_EQ(Lines.LineAt(2), std::nullopt) << "past the rows a reader finds no line";
    EXPECT_EQ(Lines.LineAt(-1), std::nullopt);
    EXPECT_EQ(Lines.LineToRow(1), 3);
    EXPECT_EQ(Lines.RowToLine(2), 0);
    EXPECT_EQ(Lines.RowToLine(3), 1);
    // Lines read in slices, each from the row the last slice stopped at.
    std::vector<std::string> read;
    const auto keep = [&read](std::string_view Line) { read.emplace_back(Line); };
    const int next = Lines.ReadLines(0, 1, keep);
    EXPECT_EQ(next, 3);
    EXPECT_EQ(Lines.ReadLines(next, 5, keep), 4);
    EXPECT_EQ(read, (std::vector<std::string>{line, "short"}));

    Lines.Put(0, "now short");
    EXPECT_EQ(Dump(Rows), "[now short|C][short|C]");
    Lines.Insert(1, line);
    EXPECT_EQ(Rows.Count(), 5);
    Lines.Delete(1);
    EXPECT_EQ(Dump(Rows), "[now short|C][short|C]");
}

TEST_F(EditorStringsTest, ABatchOfEditsTellsTheEditorOnce)
{
    Lines.SetText("a\r\n");
    Editor.Changes.clear();
    Editor.Refreshes = 0;
    Lines.BeginUpdate();
    Lines.Add("b");
    Lines.Add("c");
    EXPECT_EQ(Editor.LinesUpdates, 1);
    EXPECT_TRUE(Editor.Changes.empty());
    Lines.EndUpdate();
    EXPECT_EQ(Editor.LinesUpdates, 0);
    EXPECT_EQ(Editor.Changes.size(), 1u);
    EXPECT_EQ(Editor.Refreshes, 1);
    EXPECT_EQ(Lines.Text(), "a\r\nb\r\nc\r\n");

    Lines.Assign(Lines);
    EXPECT_EQ(Editor.Row(), 3) << "below the assigned text";
}

TEST_F(EditorStringsFileTest, LoadingCutsLinesAtEveryKindOfLineBreakAcrossBlocks)
{
    EXPECT_EQ(Loaded("ab\r\ncd\r\n"), "[ab|C][cd|C]");
    EXPECT_EQ(Loaded("ab\r\ncd"), "[ab|C][cd|E]");
    EXPECT_EQ(Loaded("a\rb\nc\r\n\r\nd\r"), "[a|C][b|C][c|C][|C][d|C]");
    EXPECT_EQ(Loaded(""), "");
    EXPECT_EQ(Loaded("\r\n"), "[|C]");
    EXPECT_EQ(Loaded(std::string(20, 'x')), "[" + std::string(20, 'x') + "|E]");
}

TEST_F(EditorStringsFileTest, LoadingKeepsEveryByteButTheLineBreaksAndATrailingCtrlZ)
{
    EXPECT_EQ(Loaded("a\0b\r\n\0\r\nc"s), "[a\0b|C][\0|C][c|E]"s);
    EXPECT_EQ(Loaded("ab\x1A\x1A"), "[ab|E]");
    EXPECT_EQ(Loaded("ab\r\n\x1A"), "[ab|C]");
    EXPECT_EQ(Loaded("a\x1A" "b\r\n"), "[a\x1A" "b|C]");
    EXPECT_EQ(Loaded("\x1A"), "");
}

TEST_F(EditorStringsFileTest, ALoadedFileIsSavedWithTheSameLineEnds)
{
    for (const std::string bytes : {"a\r\n\r\nb\r\n", "a\r\nb", "\x82\xa0\r\n\t x"}) {
        Lines.LoadFromFile(FileWith(bytes));
        const std::string saved = FFolder.Path("saved.txt");
        Lines.SaveToFile(saved);
        EXPECT_EQ(ReadFileBytes(saved), bytes);
    }
    Lines.LoadFromFile(FileWith("a\nb\rc"));
    const std::string saved = FFolder.Path("saved.txt");
    Lines.SaveToFile(saved);
    EXPECT_EQ(ReadFileBytes(saved), "a\r\nb\r\nc");
}

TEST_F(EditorStringsFileTest, AFileThatCannotBeReadLeavesTheTextAsItWas)
{
    Lines.SetText("keep\r\nme\r\n");
    Rows.SetRowMarks(1, RowMark(2));
    Rows.IncludeListMarks(RowMark(2));
    Lines.Add("too");
    EXPECT_THROW(Lines.LoadFromFile(FFolder.Path("missing.txt")), EFOpenError);
    EXPECT_THROW(Lines.LoadFromFile(FFolder.Folder()), EFOpenError);
    EXPECT_EQ(Dump(Rows), "[keep|C][me|C#2][too|C]");
    EXPECT_EQ(Rows.ListMarks(), RowMark(2));
    EXPECT_TRUE(Rows.UndoObj().CanUndo());
    EXPECT_EQ(Editor.LinesUpdates, 0);
}

// Any bytes, in lines ended by CR LF, come back as they were from a UTF-8 text loaded from a
// file or set, wrapped or not, and the text keeps the encoding it was loaded in until another
// one is asked for.
TEST_F(EditorStringsFileTest, AnyBytesLoadedAsUtf8ComeBackUnchanged)
{
    std::mt19937 random(23);
    const std::string pieces[] = {"a", " ", "\t", "é", "😀", "漢", "\xCC\x81", "\xFF", "\xE3\x81", "\x80",
                                  std::string(1, '\0'), "\xF0\x9F", "\xED\xA0\x80", "\r\n"};
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        for (int i = static_cast<int>(random() % 200); i > 0; --i)
            bytes += pieces[random() % std::size(pieces)];
        for (const bool wrap : {false, true}) {
            Rows.SetWordWrap(wrap);
            Lines.LoadFromFile(FileWith(bytes), TTextEncoding::Utf8);
            EXPECT_EQ(Lines.Text(), bytes);
            Lines.SetTextStr(bytes, TTextEncoding::Utf8);
            EXPECT_EQ(Lines.Text(), bytes);
        }
    }
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::Utf8);
    Lines.SetText("x");
    Lines.LoadFromFile(FileWith("y"));
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::Utf8);
    Lines.SetTextStr("z", TTextEncoding::ShiftJis);
    EXPECT_EQ(Rows.Encoding(), TTextEncoding::ShiftJis);
}
