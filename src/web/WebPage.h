#pragma once
// TWebPage: the Web page of the main window. A bar with the list of reference pages from the
// URL file, the keyword box, "Go!" and the history buttons, above an embedded browser. The
// browser is made on first use: its engine and helper processes cost start-up time and memory
// that a user who never opens the page should not pay.

#include "web/UWebItemShelf.h"
#include "web/WebBrowser.h"

#include <QString>
#include <QWidget>

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kestrim {

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

    // Why the page has no browser (its helper program or its module is missing); empty while
    // it has one or may still make one.
    const QString& BrowserMissing() const { return FBrowserMissing; }

    // The browser, made (showing "about:blank") when first asked for; none when it cannot start.
    TWebBrowser* Browser();

    // Opens Address (Shift-JIS bytes, as the URL file holds them) in the browser. Without a
    // browser it raises ErrorRaised with BrowserMissing.
    void Navigate(const std::string& Address);
    // Opens Url in the browser, as Navigate does.
    void Load(const QUrl& Url);

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
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* CreateBar(QAction& actWebBack, QAction& actWebForward);
    QWidget* CreateBrowserPlace();
    void CreateBrowser();
    void SayBrowserMissing(const QString& Why);
    void webPageRenderProcessTerminated(int ExitCode);
    void FillWebItems();
    void SetKeywordEnabled(bool Enabled);
    std::string SelectedAddress(const TWebItem& Item) const;
    void webPageLinkHovered(const QString& Url);
    void SetLoadStatus(const QString& Text);
    void ShowStatus(const QString& Text);

    TWebItemShelf FShelf;
    // Where the browser goes once it is made; the page says there why it has none.
    QWidget* FBrowserPlace = nullptr;
    // None until first asked for, and when the browser cannot start.
    TWebBrowser* webPage = nullptr;
    // The status of the last load, shown again when the mouse leaves a link.
    QString FLoadStatus;
    // Why there is no browser; empty when there is one.
    QString FBrowserMissing;
};

} // namespace kestrim
