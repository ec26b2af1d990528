#pragma once
// TWorkbenchLayout: the window's two views of its editor pages. In the tab view each page is a
// tab of its own. In the workbench the script page stands on the left and the data and result
// pages one above the other on the right, each under its caption, all in one tab before the
// tabs that follow the pages (the Web page). A page moves between the views by being
// reparented, never rebuilt, so that its editor keeps its text, caret, selection, undo history
// and scroll position.
//
// Pages are numbered as the tab view numbers its tabs: 0 to 2 the editor pages, 3 and on the
// tabs after them.

#include <QObject>
#include <QString>

#include <array>
#include <utility>
#include <vector>

class QLabel;
class QSplitter;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace kestrim {

class TEditor;

// A caption above a pane, as the workbench shows one above each page.
QLabel* NewPaneCaption(QWidget* Parent);

class TWorkbenchLayout : public QObject {
    Q_OBJECT

public:
    static constexpr int PageCount = 3;

    // The first three tabs of Tabs are the editor pages, in the order of Editors; Caption names
    // the workbench's tab.
    TWorkbenchLayout(QTabWidget& Tabs, const std::array<TEditor*, PageCount>& Editors, const QString& Caption,
                     QObject* Parent);

    // Editor is another editor on Page (the expected result under the result): while it is
    // shown and the last of the page's editors to have had the focus, it is the page's editor.
    void AddEditor(int Page, TEditor& Editor);

    bool On() const { return FOn; }
    // Switches the view; the page shown stays shown, and its editor takes the focus.
    void SetOn(bool On);

    // The page shown; in the workbench, the focused editor's page while the workbench is shown.
    int VisiblePage() const;
    // The editor that the commands act on: in the tab view the visible page's (the script's
    // while another tab is shown), in the workbench the one with the focus or the last one to
    // have it (the script's when none has had it). Of a page's editors, the one that had the
    // focus last while shown.
    TEditor& CurrentEditor() const;
    // Shows Page; in the workbench an editor page's editor takes the focus.
    void ShowPage(int Page);
    // Brings Page into view; in the workbench the focus stays where it is.
    void RevealPage(int Page);

    // A page's caption: its tab's text, or in the workbench the text above it.
    void SetCaption(int Page, const QString& Caption);

    // The script page's share of the workbench's width and the data page's share of the right
    // side's height, in thousandths (the settings' shares).
    int ScriptShare() const;
    int DataShare() const;
    void SetShares(int Script, int Data);

signals:
    // In the workbench, another editor became the current one; in either view, another editor
    // of the page shown.
    void CurrentEditorChanged();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWidget* CreatePane(int Page);
    void ApplyShares();
    void RememberShares();
    void SetFocusedPage(int Page);
    TEditor& PageEditor(int Page) const;
    void EditorFocused(TEditor& Editor);
    void ShowCaptions();

    QTabWidget& FTabs;
    std::array<TEditor*, PageCount> FEditors;
    // Each page's editor that had the focus last, and the pages of the editors added.
    std::array<TEditor*, PageCount> FPageEditors;
    std::vector<std::pair<TEditor*, int>> FAddedEditors;
    std::array<QWidget*, PageCount> FPages;
    std::array<QString, PageCount> FCaptions;
    std::array<QLabel*, PageCount> FPaneCaptions;
    std::array<QVBoxLayout*, PageCount> FPaneLayouts;
    QString FCaption;
    QSplitter* FColumns; // the workbench: the script page and the right side
    QSplitter* FRows;    // the right side: the data and the result page
    bool FOn = false;
    // Focus changes while the pages move are the toolkit's, not the user's.
    bool FSwitching = false;
    int FFocusedPage = 0;
    int FScriptShare;
    int FDataShare;
};

} // namespace kestrim
