#include "web/WebPage.h"

#include "editor/base/CodePage.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

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

} // namespace

TWebPage::TWebPage(QAction& actWebBack, QAction& actWebForward, QWidget* Parent) : QWidget(Parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreateBar(actWebBack, actWebForward));
    CreateBrowser();
    layout->addWidget(webPage, 1);

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

void TWebPage::CreateBrowser()
{
    webPage = new QWebEngineView(this);
    webPage->setObjectName("webPage");
    QWebEnginePage* page = webPage->page();
    connect(page, &QWebEnginePage::linkHovered, this, &TWebPage::webPageLinkHovered);
    connect(page, &QWebEnginePage::loadStarted, this, [this] { SetLoadStatus("ページを開いています..."); });
    connect(page, &QWebEnginePage::loadProgress, this,
            [this](int Percent) { SetLoadStatus(QString("ページを開いています... %1%").arg(Percent)); });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool Ok) {
        SetLoadStatus(Ok ? "ページが表示されました" : "ページを表示できませんでした");
    });
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
    webPage->load(url);
}

// At either end of the history the browser does nothing, which is all the user should see.
void TWebPage::actWebBackExecute()
{
    webPage->back();
}

void TWebPage::actWebForwardExecute()
{
    webPage->forward();
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
