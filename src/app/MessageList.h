#pragma once
// TMessageList: the list under the editor pages that shows the interpreter's standard error of
// the last run, one line per item, with a context menu that copies the selected line or all
// lines. A line that names a script line leads the script editor there (ErrorLineNumber).

#include "editor/base/MemoryStream.h"

#include <QListWidget>

#include <optional>
#include <string>

class QAction;
class QMenu;

namespace kestrim {

class TMessageList : public QListWidget {
    Q_OBJECT

public:
    explicit TMessageList(QWidget* Parent = nullptr);

    // The most lines that the list shows: beyond them one notice tells how many were left out,
    // so that millions of lines of standard error cannot make the window sluggish.
    static constexpr int MaxLines = 100000;

    // Replaces the items by the lines of Stream from its position to its end (the position
    // moves to the end). Lines end at CR LF, a lone CR or a lone LF; the text ends at its first
    // NUL byte. Afterwards no item is selected.
    void LoadFromStream(TMemoryStream& Stream);
    // Adds an item of the program's own at the end, set apart from the interpreter's lines.
    void AddNotice(const QString& Text);

    // The Shift-JIS bytes of item Index, as they came from the interpreter.
    std::string ItemBytes(int Index) const;
    // The row of the selected item, or -1.
    int SelectedIndex() const;
    // Every item followed by CR LF.
    std::string AllBytes() const;

    // The script row (from 0) that the selected message names by the pattern ErrLine (its first
    // group); none when nothing is selected or the message does not match. A line number below 1
    // gives row 0. Raises ErrorLineNumber's errors.
    std::optional<int> SelectedErrorRow(const std::string& ErrLine) const;

    QMenu* popError() const { return FPopError; }
    QAction* actErrorCurrentCopy() const { return FActErrorCurrentCopy; }
    QAction* actErrorAllCopy() const { return FActErrorAllCopy; }

    // The context menu's open handler: a copy command is enabled only when it has something to copy.
    void popErrorPopup();
    void actErrorCurrentCopyExecute();
    void actErrorAllCopyExecute();

protected:
    void contextMenuEvent(QContextMenuEvent* Event) override;

private:
    void CreateActions();

    QMenu* FPopError = nullptr;
    QAction* FActErrorCurrentCopy = nullptr;
    QAction* FActErrorAllCopy = nullptr;
};

// The line number that Message names: ErrLine is placed between "m/" and "/" unchanged and
// matched through SharedRegExp; its first group, a decimal 32-bit integer, is the number.
// None when the pattern does not match. Raises EBRegExpError for a pattern the matcher rejects
// or one without a group, and EConvertError naming the text when the group is not such a number.
std::optional<int> ErrorLineNumber(const std::string& Message, const std::string& ErrLine);

} // namespace kestrim
