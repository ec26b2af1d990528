#pragma once
// TEditorFeatureCommands: the window's commands for what its editors can do beyond plain text:
// the ruler and line numbers of all three editors (kept in the user's settings),
// and box selection, box paste and the numbered bookmarks of the current editor. Without them
// none of these would reach the user, since the window gives its editors its own context menu.

#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace kestrim {

class TEditor;
class TKestrimReg;
class TfrmKestrim;

class TEditorFeatureCommands : public QObject {
    Q_OBJECT

public:
    using TRunCommand = std::function<void(const std::function<void()>& Handler)>;

    // Adds the editing commands to Edit and the view switches to View.
    TEditorFeatureCommands(TfrmKestrim& Window, QMenu& Edit, QMenu& View, TRunCommand RunCommand);

    // The view switches from the settings, and back into them.
    void ApplySettings(const TKestrimReg& Settings);
    void StoreSettings(TKestrimReg& Settings) const;

    QAction* actViewRuler;
    QAction* actViewLineNumber;
    QAction* actBoxMode;
    QAction* actBoxPaste;

private:
    QAction* AddCommand(QMenu& Menu, const QString& Caption, const QKeySequence& Key, const QString& Hint,
                        const std::function<void()>& Handler);
    void AddBookmarkMenus(QMenu& Edit);
    void SetRuler(bool Visible);
    void SetLineNumbers(bool Visible);
    // Box mode and its status panel show the current editor's state whenever the Edit menu
    // opens, the page changes or an editor's mode changes.
    void UpdateBoxMode();
    void ToggleBookmark(int Mark);

    TfrmKestrim& FWindow;
    TRunCommand FRunCommand;
};

} // namespace kestrim
