#pragma once
// TWrapCommands: the View menu's word wrap and its rules, for all three editors and kept in the
// user's settings: wrapping on or off, the line-break rules (no row starts with a closing mark
// or ends with an opening one, and punctuation may hang past the margin), breaking only between
// words, and the wrap column: a number of columns, or the width of the editor's window.

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

class QAction;
class QMenu;

namespace kestrim {

class TEditor;
class TEditorWrapOption;
class TIntegerDialog;
class TKestrimReg;

class TWrapCommands : public QObject {
    Q_OBJECT

public:
    using TRunCommand = std::function<void(const std::function<void()>& Handler)>;

    // Adds the commands to View; they act on Editors.
    TWrapCommands(QMenu& View, const std::array<TEditor*, 4>& Editors, TRunCommand RunCommand);

    void ApplySettings(const TKestrimReg& Settings);
    void StoreSettings(TKestrimReg& Settings) const;

    // The editors' text area may have changed its width (a new font, line numbers): the window
    // width is measured again, once the editors have laid themselves out.
    void FitWindowWidth();

    QAction* actViewWordWrap;
    QAction* actWrapRules;
    QAction* actWrapWordBreak;
    QAction* actWrapWindowWidth;
    QAction* actWrapColumns;
    TIntegerDialog* dlgWrapColumns;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QAction* AddCheckable(QMenu& Menu, const QString& Caption, const QString& Hint,
                          const std::function<void()>& Handler);
    void SetWordWrap(bool Wrap);
    // Rules and word break from the check marks, as one change of each editor's options.
    void ApplyRules();
    void ChooseColumns();
    // Column 0 is the window's width.
    void SetColumns(int Columns);
    void ApplyColumns();
    void ChangeOptions(TEditor& Editor, const std::function<void(TEditorWrapOption&)>& Change);

    std::array<TEditor*, 4> FEditors;
    TRunCommand FRunCommand;
    int FColumns; // the chosen number of columns, also while the window width is chosen
    bool FToWindow = false;
    QTimer FFitTimer;
};

} // namespace kestrim
