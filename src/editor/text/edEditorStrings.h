#pragma once
// TEditorStrings: the editor's Lines, its text as logical lines over the screen strings. Every
// change through it is an ordinary edit: one ReplaceRows, hence one undo step, and the caret
// moves as if the user had made it. Whole-text operations (Text, loading, Clear) reset the rows,
// the highlighting state and the undo history. The facade holds no text of its own.

#include "editor/base/StringsBase.h"
#include "editor/base/TextEncoding.h"
#include "editor/text/TextFileRead.h"
#include "editor/text/edFileLines.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kestrim {

class TEditorLink;
class TEditorScreenStrings;
class TEditorStringList;

class TEditorStrings : public TStrings {
public:
    explicit TEditorStrings(TEditorLink& Editor) : FEditor(Editor) {}

    // With word wrap on, the line after a final line break reads as an empty line.
    std::string Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, std::string_view S) override;
    // Appends S as a new last line; a text without a final line break keeps lacking one.
    int Add(std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;
    std::string GetTextStr() const override;
    // Lines end at CR, LF and CR LF; the text ends with a line break only when Text does. The
    // text keeps its encoding, or takes the one given.
    void SetTextStr(const std::string& Text) override;
    void SetTextStr(const std::string& Text, TTextEncoding Encoding);
    // Takes Source's text and puts the caret below it.
    void Assign(const TStrings& Source) override;
    bool TrailingLineBreak() const override;
    // Opens the file before anything changes: when it cannot be read, the text, the marks and
    // the undo history stay as they were.
    void LoadFromFile(const std::string& FileName) override;
    void LoadFromFile(const std::string& FileName, TTextEncoding Encoding,
                      std::size_t BlockSize = TFileLines::DefaultBlockSize);
    // The same in Encoding, or without one in the encoding the file's bytes show (Default for
    // pure ASCII; EncodingOfBytes). A UTF-8 byte-order mark is no text. Returns how the file
    // is to be written back.
    TTextFileFormat LoadTextFile(const std::string& FileName, std::optional<TTextEncoding> Encoding,
                                 TTextEncoding Default, std::size_t BlockSize = TFileLines::DefaultBlockSize);
    // The same for the bytes a file would hold, read in place.
    TTextFileFormat LoadTextBytes(std::string_view Bytes, std::optional<TTextEncoding> Encoding, TTextEncoding Default,
                                  std::size_t BlockSize = TFileLines::DefaultBlockSize);
    // Makes rows read beforehand (ReadTextRows) the whole text, as loading a file does, and
    // leaves the old text's rows in Text, for the caller to free where it suits (a million rows
    // take a second); returns how the file is to be written back.
    TTextFileFormat LoadTextRows(TTextRows& Text);
    // Puts Text, in Encoding, in place of the whole text as one edit: one undo step, whose undo
    // brings the old text back in its old encoding. The caret keeps its row and column as far
    // as the new text has them.
    void ReplaceText(const std::string& Text, TTextEncoding Encoding);

    // Without counting the lines: a line is found from the line asked before, so that lines
    // read near each other cost little however long the text.
    std::optional<std::string> LineAt(int Index) const override;

    // The first row of line Index; the row count for the line after the last.
    int LineToRow(int Index) const;
    // The line that holds Row.
    int RowToLine(int Row) const;
    // Visits the text of up to MaxLines lines, the first of them starting at row Row, and
    // returns the row the next line starts at (the row count after the last): for reading the
    // lines in slices at the cost of their rows, where Get counts rows from the first under
    // word wrap.
    int ReadLines(int Row, int MaxLines, const std::function<void(std::string_view)>& Visit) const;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TEditorScreenStrings& Screen() const;
    TTextFileFormat LoadText(TByteSource& Source, std::optional<TTextEncoding> Encoding, TTextEncoding Default,
                             std::size_t BlockSize);
    // Makes Rows the whole text, wrapped when word wrap is on, with the visible rows parsed;
    // the old text is freed after, the window answering meanwhile.
    void LoadNewText(TEditorStringList& Rows, TTextEncoding Encoding);
    // The same, leaving the old text's rows in Rows.
    void InstallRows(TEditorStringList& Rows, TTextEncoding Encoding);
    void RefreshEditors();

    TEditorLink& FEditor;
};

} // namespace kestrim
