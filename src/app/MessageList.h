#pragma once
// TMessageList: the list under the editor pages that shows the interpreter's standard error of
// the last run, one line per item, with a context menu that copies the selected line or all
// lines. The lines of one message (a traceback, a message with its caret line) are selected
// together; a message that names a script line or a data line leads the editors there.

#include "app/MessageGroups.h"
#include "app/MessagePlace.h"
#include "editor/base/MemoryStream.h"
#include "editor/base/TextEncoding.h"

#include <QListWidget>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace kestrim {

class TMessageList : public QListWidget {
    Q_OBJECT

public:
    explicit TMessageList(QWidget* Parent = nullptr);

    // The configuration's patterns (ErrLine, DataLine; an empty DataLine names no data lines):
    // they tell the messages apart and show which lines name a place. The lines shown are
    // looked at again when they change.
    void SetPatterns(const std::string& ErrLine, const std::string& DataLine);

    // The folder of the run's script file: the items loaded afterwards show their text without
    // it, so that the line number and the reason are in view; the whole text is the item's
    // tool tip and what the copy commands copy.
    void SetRunFolder(const QString& Folder);

    // The most lines that the list shows: beyond them one notice tells how many were left out,
    // so that millions of lines of standard error cannot make the window sluggish.
    static constexpr int MaxLines = 100000;

    // Replaces the items by the lines of Stream, text in Encoding, from its position to its end
    // (the position moves to the end). Lines end at CR LF, a lone CR or a lone LF; the text ends
    // at its first NUL byte. Afterwards no item is selected.
    void LoadFromStream(TMemoryStream& Stream, TTextEncoding Encoding = TTextEncoding::ShiftJis);
    // Adds the lines of Text, whole lines in Encoding, after the items, as standard error streams
    // in during a run: shown as they are, up to MaxLines; the messages are told apart when the
    // run's whole text is loaded at its end.
    void AppendLines(std::string_view Text, TTextEncoding Encoding);
    // The encoding of the items' bytes, as the last load gave it.
    TTextEncoding Encoding() const { return FEncoding; }
    // Adds an item of the program's own at the end, set apart from the interpreter's lines.
    void AddNotice(const QString& Text);

    // The bytes of item Index (in Encoding), as they came from the interpreter.
    std::string ItemBytes(int Index) const;
    // The current item when it is selected, else the first selected one, or -1.
    int SelectedIndex() const;
    // Every item followed by CR LF.
    std::string AllBytes() const;
    // The message that item Index belongs to; a notice of the program's own is one alone.
    TMessageGroup GroupOf(int Index) const;

    // The script row (from 0) that the selected message names by the pattern ErrLine (its first
    // group); none when nothing is selected or the message does not match. A line number below 1
    // gives row 0. Raises ErrorLineNumber's errors.
    std::optional<int> SelectedErrorRow(const std::string& ErrLine) const;
    // The places the selected message names by the patterns given, read anew at each call; none
    // when nothing is selected or the message names none. Raise the patterns' errors.
    std::optional<TScriptPlace> SelectedScriptPlace(const std::string& ErrLine) const;
    std::optional<TDataPlace> SelectedDataPlace(const std::string& DataLine) const;
    // The first item of the nearest message after (Direction 1) or before (-1) the selected one
    // that shows a script place; from either end when nothing is selected; -1 when none is left.
    int NextPlaceMessage(int Direction) const;
    // Selects the message of item Index and scrolls it into view.
    void SelectMessage(int Index);

    QMenu* popError() const { return FPopError; }
    QAction* actErrorCurrentCopy() const { return FActErrorCurrentCopy; }
    QAction* actErrorAllCopy() const { return FActErrorAllCopy; }
    QAction* actDataLineJump() const { return FActDataLineJump; }
    // Next and previous message with a place; the window puts them in its menu.
    QAction* actMessageNext() const { return FActMessageNext; }
    QAction* actMessagePrev() const { return FActMessagePrev; }

    // The context menu's open handler: a copy command is enabled only when it has something to
    // copy, the data-line jump only for a message that names a data line.
    void popErrorPopup();
    void actErrorCurrentCopyExecute();
    void actErrorAllCopyExecute();

signals:
    // Double-click or Enter on a message: the script line. Alt+double-click or the menu command:
    // the data line.
    void ScriptPlaceRequested();
    void DataLinePlaceRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    // What the patterns found in one message, for showing it.
    struct TShownGroup {
        TMessageGroup Group;
        bool ScriptPlace = false;
    };
    struct TLineLook {
        bool Continuation = false;
        bool ScriptPlace = false;
        std::optional<int> DataLine;
    };

    void CreateActions();
    // An item of the interpreter's line Bytes, not yet looked at by the patterns.
    void AddLine(std::string_view Bytes);
    // Groups Lines, the interpreter's lines (the first items), and tells how each is shown.
    std::vector<TLineLook> Analyse(const std::vector<std::string_view>& Lines);
    static void SetLook(QListWidgetItem& Item, const TLineLook& Look);
    std::vector<std::string_view> GroupLines(const TMessageGroup& Group, std::vector<std::string>& Storage) const;
    void SelectWholeMessage();
    bool ShowsDataLine(const TMessageGroup& Group) const;

    // A configuration pattern (Shift-JIS) for matching the items' bytes.
    std::string InEncoding(const std::string& Pattern) const;
    void PutOnClipboard(std::string_view Bytes) const;

    QString FRunFolder; // with its final "/"; empty: nothing is left out
    std::string FErrLine;
    std::string FDataLine;
    TTextEncoding FEncoding = TTextEncoding::ShiftJis;
    std::vector<TShownGroup> FGroups;
    std::vector<int> FGroupOfItem; // for each of the interpreter's lines
    bool FSelectingMessage = false;
    QMenu* FPopError = nullptr;
    QAction* FActErrorCurrentCopy = nullptr;
    QAction* FActErrorAllCopy = nullptr;
    QAction* FActDataLineJump = nullptr;
    QAction* FActMessageNext = nullptr;
    QAction* FActMessagePrev = nullptr;
};

} // namespace kestrim
