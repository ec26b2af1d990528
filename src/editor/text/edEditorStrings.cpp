#include "editor/text/edEditorStrings.h"

#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/edClasses.h"
#include "editor/base/edUtils.h"
#include "editor/text/edEditorLink.h"
#include "editor/text/edRaStrings.h"

#include <algorithm>

namespace kestrim {

TEditorScreenStrings& TEditorStrings::Screen() const
{
    return FEditor.ScreenStrings();
}

int TEditorStrings::LineToRow(int Index) const
{
    return Screen().RowOfLine(Index);
}

int TEditorStrings::RowToLine(int Row) const
{
    return Screen().LineOfRow(Row);
}

int TEditorStrings::ReadLines(int Row, int MaxLines, const std::function<void(std::string_view)>& Visit) const
{
    const TEditorScreenStrings& rows = Screen();
    for (int lines = 0; lines < MaxLines && Row < rows.Count(); ++lines) {
        const int lineEnd = rows.LineEndRow(Row);
        // A line of one row is read where it lies.
        if (lineEnd == Row)
            Visit(rows.Str(Row));
        else
            Visit(rows.LineText(Row));
        Row = lineEnd + 1;
    }
    return Row;
}

int TEditorStrings::GetCount() const
{
    const TEditorScreenStrings& rows = Screen();
    if (!rows.WordWrap() || rows.Count() == 0)
        return rows.Count();
    int lines = 0;
    for (int row = 0; row < rows.Count() - 1; ++row)
        if (rows.Rows(row) != raWrapped)
            ++lines;
    return lines + 1;
}

std::string TEditorStrings::Get(int Index) const
{
    const TEditorScreenStrings& rows = Screen();
    if (!rows.WordWrap())
        return rows.Get(Index);
    if (std::optional<std::string> line = LineAt(Index))
        return *std::move(line);
    // Past the rows only the line after a final line break is there, and it is empty.
    CheckListIndex(Index, GetCount() + 1);
    return std::string();
}

std::optional<std::string> TEditorStrings::LineAt(int Index) const
{
    const TEditorScreenStrings& rows = Screen();
    if (Index < 0)
        return std::nullopt;
    if (!rows.WordWrap())
        return Index < rows.Count() ? std::optional<std::string>(rows.Get(Index)) : std::nullopt;
    const int row = rows.RowOfLine(Index);
    return row < rows.Count() ? std::optional<std::string>(rows.LineText(row)) : std::nullopt;
}

void TEditorStrings::Put(int Index, const std::string& S)
{
    CheckListIndex(Index, GetCount());
    TCaretLock lock(&FEditor);
    FEditor.CleanSelection();
    TEditorScreenStrings& rows = Screen();
    const int row = LineToRow(Index);
    const int lineEnd = rows.LineEndRow(row);
    const std::string text = rows.Rows(lineEnd) == raCrlf ? S + "\r\n" : S;
    rows.ReplaceRows(row, lineEnd - row + 1, text);
    FEditor.DistanceToCaret(row, static_cast<int>(text.size()));
}

void TEditorStrings::Insert(int Index, std::string_view S)
{
    CheckListIndex(Index, GetCount() + 1);
    TEditorScreenStrings& rows = Screen();
    const int row = LineToRow(Index);
    if (row == rows.Count()) {
        Add(S);
        return;
    }
    TCaretLock lock(&FEditor);
    FEditor.CleanSelection();
    rows.ReplaceRows(row, 0, std::string(S) + "\r\n");
    FEditor.DistanceToCaret(row, static_cast<int>(S.size()) + 2);
}

int TEditorStrings::Add(std::string_view S)
{
    const int index = GetCount();
    TCaretLock lock(&FEditor);
    FEditor.CleanSelection();
    TEditorScreenStrings& rows = Screen();
    const int count = rows.Count();
    if (count > 0 && rows.Rows(count - 1) != raCrlf) {
        const std::string text = std::string(rows.Str(count - 1)).append("\r\n").append(S);
        rows.ReplaceRows(count - 1, 1, text);
        FEditor.DistanceToCaret(count - 1, static_cast<int>(text.size()));
    } else {
        rows.ReplaceRows(count, 0, std::string(S) + "\r\n");
        FEditor.DistanceToCaret(count, static_cast<int>(S.size()) + 2);
    }
    return index;
}

void TEditorStrings::Delete(int Index)
{
    CheckListIndex(Index, GetCount());
    TCaretLock lock(&FEditor);
    FEditor.CleanSelection();
    TEditorScreenStrings& rows = Screen();
    const int row = LineToRow(Index);
    rows.ReplaceRows(row, rows.LineEndRow(row) - rows.LineStartRow(row) + 1, "");
    FEditor.SetRowCol(row, 0);
}

void TEditorStrings::Clear()
{
    Screen().Clear();
}

// Built a block of rows at a time, the editor's window answering between the blocks.
std::string TEditorStrings::GetTextStr() const
{
    const TEditorScreenStrings& rows = Screen();
    const int count = rows.Count();
    std::size_t size = 0;
    for (int row = 0; row < count; ++row)
        size += rows.Str(row).size() + 2;
    std::string text;
    text.reserve(size);
    for (int row = 0; row < count; row += ProgressLines) {
        text += rows.RowsText(row, std::min(ProgressLines, count - row)).Text;
        FEditor.KeepResponsive();
    }
    return text;
}

bool TEditorStrings::TrailingLineBreak() const
{
    const TEditorScreenStrings& rows = Screen();
    return rows.Count() == 0 || rows.Rows(rows.Count() - 1) == raCrlf;
}

void TEditorStrings::SetTextStr(const std::string& Text)
{
    SetTextStr(Text, Screen().Encoding());
}

void TEditorStrings::SetTextStr(const std::string& Text, TTextEncoding Encoding)
{
    TEditorStringList rows;
    StrToLines(Text, rows, [this] { FEditor.KeepResponsive(); });
    if (!Text.empty() && !EndsWithLineBreak(Text))
        rows.SetRows(rows.Count() - 1, raEof);
    LoadNewText(rows, Encoding);
}

void TEditorStrings::Assign(const TStrings& Source)
{
    SetTextStr(Source.GetTextStr());
    FEditor.SetRowCol(Screen().Count(), 0);
}

void TEditorStrings::LoadFromFile(const std::string& FileName)
{
    LoadFromFile(FileName, Screen().Encoding());
}

void TEditorStrings::LoadFromFile(const std::string& FileName, TTextEncoding Encoding, std::size_t BlockSize)
{
    LoadTextFile(FileName, Encoding, Encoding, BlockSize);
}

TTextFileFormat TEditorStrings::LoadTextFile(const std::string& FileName, std::optional<TTextEncoding> Encoding,
                                             TTextEncoding Default, std::size_t BlockSize)
{
    TFileReader file(FileName);
    return LoadText(file, Encoding, Default, BlockSize);
}

TTextFileFormat TEditorStrings::LoadTextBytes(std::string_view Bytes, std::optional<TTextEncoding> Encoding,
                                              TTextEncoding Default, std::size_t BlockSize)
{
    TMemoryReader bytes(Bytes);
    return LoadText(bytes, Encoding, Default, BlockSize);
}

TTextFileFormat TEditorStrings::LoadText(TByteSource& Source, std::optional<TTextEncoding> Encoding,
                                         TTextEncoding Default, std::size_t BlockSize)
{
    TTextReadOptions options;
    options.Encoding = Encoding;
    options.Default = Default;
    options.BlockSize = BlockSize;
    options.Progress = [this](std::uint64_t, std::uint64_t) { FEditor.KeepResponsive(); };
    std::optional<TTextRows> text = ReadTextRows(Source, options);
    LoadNewText(*text->Rows, text->Encoding);
    return text->Format;
}

TTextFileFormat TEditorStrings::LoadTextRows(TTextRows& Text)
{
    InstallRows(*Text.Rows, Text.Encoding);
    return Text.Format;
}

void TEditorStrings::ReplaceText(const std::string& Text, TTextEncoding Encoding)
{
    TCaretLock lock(&FEditor);
    FEditor.CleanSelection();
    const int row = FEditor.Row();
    const int col = FEditor.Col();
    Screen().ReplaceAllRows(Text, Encoding);
    FEditor.SetRowCol(row, col);
}

void TEditorStrings::LoadNewText(TEditorStringList& Rows, TTextEncoding Encoding)
{
    InstallRows(Rows, Encoding);
    ClearLines(Rows, [this] { FEditor.KeepResponsive(); });
}

void TEditorStrings::InstallRows(TEditorStringList& Rows, TTextEncoding Encoding)
{
    WithinUpdate(*this, [&] {
        TEditorScreenStrings& screen = Screen();
        screen.LoadRows(Rows, Encoding, TRowMarks{0}); // rows read or split anew carry no marks
        if (screen.WordWrap())
            screen.WrapAll();
        screen.InitBrackets();
    });
}

void TEditorStrings::RefreshEditors()
{
    for (TEditorLink* editor : Screen().Editors())
        editor->Refresh();
}

void TEditorStrings::SetUpdateState(bool Updating)
{
    if (Updating) {
        Screen().BeginUpdate();
        FEditor.BeginLinesUpdate();
    } else {
        Screen().EndUpdate();
        FEditor.EndLinesUpdate();
        RefreshEditors();
    }
}

} // namespace kestrim
