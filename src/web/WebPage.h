#pragma once
// TWebPage: the Web page of the main window. A bar with the list of reference pages from the
// URL file, the keyword box, "Go!" and the history buttons, above an embedded browser.

#include "web/UWebItemShelf.h"

#include <QString>
#include <QWidget>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWebEngineView;

namespace kestrim {

// The editing operations that the window's edit shortcuts carry out in a text box of the page.
enum class TBoxEdit { Undo, Redo, Cut, Copy, Paste, SelectAll };

class TWebPage : public QWidget {
    Q_OBJECT

public:
    // actWebBack and actWebForward are the window's history commands: the page runs them on
    // its browser and shows them as its two buttons.
    TWebPage(QAction& actWebBack, QAction& actWebForward, QWidget* Parent = nullptr);

    // Appends the entries of the URL file FileName (a path as the file system takes it) to the
    // list, selects the first line and applies it. Raises EFOpenError when the file cannot be
    // read; the list then stays as it was.
    void LoadUrlFile(const std::string& FileName);

    // The item of the selected line, or none.
    const TWebItem* SelectedWebItem() const;

    // Why the page has no browser (its helper program is missing); empty when it has one.
    const QString& BrowserMissing() const { return FBrowserMissing; }

    // Opens Address (Shift-JIS bytes, as the URL file holds them) in the browser. Without a
    // browser it raises ErrorRaised with BrowserMissing.
    void Navigate(const std::string& Address);

    // Whether Object is the browser or one of its parts.
    bool IsInBrowser(const QObject* Object) const;
    // Whether Object is a text box of the page: the keyword box, or the browser with the boxes
    // of the pages it shows.
    bool IsTextBox(const QObject* Object) const;
    // Carries out Edit in the text box Box.
    void EditTextBox(const QObject* Box, TBoxEdit Edit);

    // The controls, for the window and for tests.
    QComboBox* cmbWebItem;
    QLineEdit* edtKeyword;
    QPushButton* bbnGo;
    QToolButton* spbBack;
    QToolButton* spbForward;
    // None when the browser cannot start; the page then says why in its place.
    QWebEngineView* webPage;

signals:
    // The browser's status while the page is visible: the link under the mouse, or how
    // loading goes.
    void StatusTextChanged(const QString& Text);
    // A command of the page failed; Text tells the user why.
    void ErrorRaised(const QString& Text);

public slots:
    void cmbWebItemSelect();
    void bbnGoClick();
    void actWebBackExecute();
    void actWebForwardExecute();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWidget* CreateBar(QAction& actWebBack, QAction& actWebForward);
    QWidget* CreateBrowser();
    void webPageRenderProcessTerminated(int Status, int ExitCode);
    void FillWebItems();
    void SetKeywordEnabled(bool Enabled);
    std::string SelectedAddress(const TWebItem& Item) const;
    void webPageLinkHovered(const QString& Url);
    void SetLoadStatus(const QString& Text);
    void ShowStatus(const QString& Text);

    TWebItemShelf FShelf;
    // The status of the last load, shown again when the mouse leaves a link.
    QString FLoadStatus;
    // Why there is no browser; empty when there is one.
    QString FBrowserMissing;
};

} // namespace kestrim
