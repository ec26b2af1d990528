#include "web/WebPage.h"

#include "editor/base/CodePage.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLibrary>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrim {
namespace {

constexpr int BarHeight = 41;
constexpr int ListMinimumWidth = 200;
constexpr int KeywordWidth = 200;

QString ToQString(const std::string& Sjis)
{
    return QString::fromStdU16String(SjisToUtf16(Sjis));
}

bool IsEnterKey(const QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(Event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The browser's helper program, found as the toolkit finds it. Without it the toolkit would
// end the whole program when the browser is created.
bool BrowserProcessExists()
{
    const QString named = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!named.isEmpty())
        return QFileInfo(named).isExecutable();
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath),
                                  QCoreApplication::applicationDirPath()})
        if (QFileInfo(folder + QStringLiteral("/QtWebEngineProcess")).isExecutable())
            return true;
    return false;
}

// The browser from its module beside the program; none, with the loader's reason, when the
// module cannot be loaded.
TWebBrowser* LoadBrowser(QWidget* Parent, const TBrowserEvents& Events, QString& Why)
{
    QLibrary module(QCoreApplication::applicationDirPath() + '/' + BrowserModuleName);
    const auto create = reinterpret_cast<TCreateBrowser>(module.resolve(CreateBrowserEntry));
    if (!create) {
        Why = module.errorString();
        return nullptr;
    }
    return create(Parent, Events);
}

void EditLine(QLineEdit& Box, TBoxEdit Edit)
{
    switch (Edit) {
    case TBoxEdit::Undo: Box.undo(); break;
    case TBoxEdit::Redo: Box.redo(); break;
    case TBoxEdit::Cut: Box.cut(); break;
    case TBoxEdit::Copy: Box.copy(); break;
    case TBoxEdit::Paste: Box.paste(); break;
    case TBoxEdit::SelectAll: Box.selectAll(); break;
    }
}

} // namespace

TWebPage::TWebPage(QAction& actWebBack, QAction& actWebForward, QWidget* Parent) : QWidget(Parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreateBar(actWebBack, actWebForward));
    layout->addWidget(CreateBrowserPlace(), 1);

    connect(cmbWebItem, &QComboBox::activated, this, &TWebPage::cmbWebItemSelect);
    connect(bbnGo, &QPushButton::clicked, this, &TWebPage::bbnGoClick);
    connect(&actWebBack, &QAction::triggered, this, &TWebPage::actWebBackExecute);
    connect(&actWebForward, &QAction::triggered, this, &TWebPage::actWebForwardExecute);
    // Enter opens the selected entry from the list and from the keyword box; the key goes on.
    cmbWebItem->installEventFilter(this);
    edtKeyword->installEventFilter(this);
    SetKeywordEnabled(false);
}

QWidget* TWebPage::CreateBar(QAction& actWebBack, QAction& actWebForward)
{
    auto* bar = new QWidget(this);
    bar->setObjectName("Panel1");
    // At least the designed height; taller when a large font needs it.
    bar->setMinimumHeight(BarHeight);
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    cmbWebItem = new QComboBox(bar);
    cmbWebItem->setObjectName("cmbWebItem");
    cmbWebItem->setMinimumWidth(ListMinimumWidth);
    cmbWebItem->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    edtKeyword = new QLineEdit(bar);
    edtKeyword->setObjectName("edtKeyword");
    edtKeyword->setFixedWidth(KeywordWidth);

    bbnGo = new QPushButton("Go!", bar);
    bbnGo->setObjectName("bbnGo");
    bbnGo->setToolTip("移動");
    bbnGo->setStatusTip("選択したページに移動します。");

    spbBack = new QToolButton(bar);
    spbBack->setObjectName("spbBack");
    spbBack->setDefaultAction(&actWebBack);
    spbBack->setAutoRaise(true);

    spbForward = new QToolButton(bar);
    spbForward->setObjectName("spbForward");
    spbForward->setDefaultAction(&actWebForward);
    spbForward->setAutoRaise(true);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(cmbWebItem);
    layout->addWidget(edtKeyword);
    layout->addWidget(bbnGo);
    layout->addWidget(spbBack);
    layout->addWidget(spbForward);
    layout->addStretch(1);
    return bar;
}

QWidget* TWebPage::CreateBrowserPlace()
{
    FBrowserPlace = new QWidget(this);
    auto* layout = new QVBoxLayout(FBrowserPlace);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!BrowserProcessExists())
        SayBrowserMissing(QStringLiteral("ブラウザーの補助プログラム QtWebEngineProcess が見つかりません "
                                         "(パッケージ qt6-webengine)。"));
    return FBrowserPlace;
}

// Says in the browser's place, and in the status bar while the page is visible, why there is no
// browser.
void TWebPage::SayBrowserMissing(const QString& Why)
{
    FBrowserMissing = QStringLiteral("Web ページのブラウザーを起動できません。%1ほかの機能はそのまま使えます。").arg(Why);
    auto* note = new QLabel(FBrowserMissing, FBrowserPlace);
    note->setObjectName("webPageMissing");
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    FBrowserPlace->layout()->addWidget(note);
    ShowStatus(FBrowserMissing);
}

TWebBrowser* TWebPage::Browser()
{
    if (!webPage && FBrowserMissing.isEmpty())
        CreateBrowser();
    return webPage;
}

void TWebPage::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    Browser();
}

void TWebPage::CreateBrowser()
{
    TBrowserEvents events;
    events.LinkHovered = [this](const QString& Url) { webPageLinkHovered(Url); };
    events.LoadStarted = [this] { SetLoadStatus("ページを開いています..."); };
    events.LoadProgress = [this](int Percent) { SetLoadStatus(QString("ページを開いています... %1%").arg(Percent)); };
    events.LoadFinished = [this](bool Ok) {
        SetLoadStatus(Ok ? "ページが表示されました" : "ページを表示できませんでした");
    };
    events.DisplayProcessBroke = [this](int ExitCode) { webPageRenderProcessTerminated(ExitCode); };
    QString why;
    webPage = LoadBrowser(FBrowserPlace, events, why);
    if (!webPage) {
        SayBrowserMissing(QStringLiteral("ブラウザーの部品を読み込めません (%1)。").arg(why));
        return;
    }
    webPage->setObjectName("webBrowser");
    FBrowserPlace->layout()->addWidget(webPage);
    webPage->Load(QUrl(QStringLiteral("about:blank")));
}

// The browser draws its pages in a process of its own; when that one cannot start or breaks
// down, the page stays empty and the rest of the program goes on. The next Go! starts it anew.
void TWebPage::webPageRenderProcessTerminated(int ExitCode)
{
    SetLoadStatus(QString("ページを表示できませんでした"));
    emit ErrorRaised(QString("Web ページのブラウザーがページを表示できなくなりました (表示プロセスの終了コード %1)。"
                             "ほかの機能はそのまま使えます。Go! でページを開き直せます。")
                         .arg(ExitCode));
}

void TWebPage::LoadUrlFile(const std::string& FileName)
{
    FShelf.LoadFromFile(FileName);
    FillWebItems();
    cmbWebItemSelect();
}

void TWebPage::FillWebItems()
{
    cmbWebItem->clear();
    for (auto iterator = FShelf.GetIterator(); iterator->HasNext();) {
        const TWebItem& item = iterator->Next();
        cmbWebItem->addItem(ToQString(item.Name()), QVariant::fromValue(&item));
    }
    cmbWebItem->setCurrentIndex(cmbWebItem->count() > 0 ? 0 : -1);
}

const TWebItem* TWebPage::SelectedWebItem() const
{
    const int index = cmbWebItem->currentIndex();
    return index < 0 ? nullptr : cmbWebItem->itemData(index).value<const TWebItem*>();
}

void TWebPage::cmbWebItemSelect()
{
    if (const TWebItem* item = SelectedWebItem())
        SetKeywordEnabled(item->HasKey());
}

// A box that takes no keyword is greyed in the colour of the bars around it; its text stays
// for the next entry that takes one.
void TWebPage::SetKeywordEnabled(bool Enabled)
{
    edtKeyword->setEnabled(Enabled);
    QPalette palette; // no colour of its own: the box follows the window's palette
    if (!Enabled) {
        const QColor barColor = palette.color(QPalette::Window);
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, barColor);
    }
    edtKeyword->setPalette(palette);
}

void TWebPage::bbnGoClick()
{
    if (const TWebItem* item = SelectedWebItem())
        Navigate(SelectedAddress(*item));
}

std::string TWebPage::SelectedAddress(const TWebItem& Item) const
{
    if (!Item.HasKey())
        return Item.Url();
    const std::string keyword = Utf16ToSjis(edtKeyword->text().toStdU16String());
    return Item.BuildUrl(UrlEncode(keyword));
}

void TWebPage::Navigate(const std::string& Address)
{
    if (!Browser()) {
        emit ErrorRaised(FBrowserMissing);
        return;
    }
    const QString text = ToQString(Address);
    if (text.trimmed().isEmpty()) {
        emit ErrorRaised("開くページのアドレスがありません。URL ファイルのこの項目にアドレスを書いてください。");
        return;
    }
    // Like a browser's address bar: "www.example.org" means http, "/path" a local file.
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid()) {
        emit ErrorRaised(QString("アドレス \"%1\" のページは開けません。").arg(text));
        return;
    }
    webPage->Load(url);
}

void TWebPage::Load(const QUrl& Url)
{
    if (Browser())
        webPage->Load(Url);
    else
        emit ErrorRaised(FBrowserMissing);
}

// At either end of the history the browser does nothing, which is all the user should see; a
// browser not made yet has no history.
void TWebPage::actWebBackExecute()
{
    if (webPage)
        webPage->Back();
}

void TWebPage::actWebForwardExecute()
{
    if (webPage)
        webPage->Forward();
}

bool TWebPage::IsInBrowser(const QObject* Object) const
{
    const auto* widget = qobject_cast<const QWidget*>(Object);
    return webPage != nullptr && widget != nullptr && (widget == webPage || webPage->isAncestorOf(widget));
}

bool TWebPage::IsTextBox(const QObject* Object) const
{
    return Object == edtKeyword || IsInBrowser(Object);
}

void TWebPage::EditTextBox(const QObject* Box, TBoxEdit Edit)
{
    if (Box == edtKeyword)
        EditLine(*edtKeyword, Edit);
    else if (IsInBrowser(Box))
        webPage->Edit(Edit);
}

void TWebPage::webPageLinkHovered(const QString& Url)
{
    ShowStatus(Url.isEmpty() ? FLoadStatus : Url);
}

void TWebPage::SetLoadStatus(const QString& Text)
{
    FLoadStatus = Text;
    ShowStatus(Text);
}

// A browser behind another page (loading the blank page at start-up, say) would only
// overwrite the hints.
void TWebPage::ShowStatus(const QString& Text)
{
    if (isVisible())
        emit StatusTextChanged(Text);
}

bool TWebPage::eventFilter(QObject* Watched, QEvent* Event)
{
    if ((Watched == cmbWebItem || Watched == edtKeyword) && IsEnterKey(Event))
        bbnGoClick();
    return QWidget::eventFilter(Watched, Event);
}

} // namespace kestrim
