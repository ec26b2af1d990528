#include "app/WorkbenchLayout.h"

#include "editor/control/EditorControl.h"
#include "settings/UKestrimReg.h"

#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace kestrim {
namespace {

constexpr int SplitterWidth = 4;
constexpr int CaptionMargin = 3;

// The first widget's share of a splitter that has been laid out, in thousandths; never all
// or nothing, since no pane may vanish.
std::optional<int> FirstShare(const QSplitter& Splitter)
{
    const QList<int> sizes = Splitter.sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (!Splitter.isVisible() || total <= 0)
        return std::nullopt;
    const int share = static_cast<int>(static_cast<long long>(sizes.value(0)) * TKestrimReg::WholeShare / total);
    return std::clamp(share, 1, TKestrimReg::WholeShare - 1);
}

QSplitter* NewSplitter(Qt::Orientation Orientation, const char* Name)
{
    auto* splitter = new QSplitter(Orientation);
    splitter->setObjectName(Name);
    splitter->setHandleWidth(SplitterWidth);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

} // namespace

QLabel* NewPaneCaption(QWidget* Parent)
{
    auto* caption = new QLabel(Parent);
    caption->setContentsMargins(CaptionMargin, CaptionMargin, CaptionMargin, CaptionMargin);
    caption->setAutoFillBackground(true);
    caption->setBackgroundRole(QPalette::Button);
    caption->setForegroundRole(QPalette::ButtonText);
    return caption;
}

TWorkbenchLayout::TWorkbenchLayout(QTabWidget& Tabs, const std::array<TEditor*, PageCount>& Editors,
                                   const QString& Caption, QObject* Parent)
    : QObject(Parent), FTabs(Tabs), FEditors(Editors), FPageEditors(Editors), FCaption(Caption),
      FScriptShare(TKestrimReg::WholeShare / 2), FDataShare(TKestrimReg::WholeShare / 2)
{
    for (int page = 0; page < PageCount; ++page) {
        FPages[page] = FTabs.widget(page);
        FCaptions[page] = FTabs.tabText(page);
        FEditors[page]->installEventFilter(this);
    }
    FColumns = NewSplitter(Qt::Horizontal, "splWorkbench");
    FRows = NewSplitter(Qt::Vertical, "splWorkbenchRight");
    FColumns->addWidget(CreatePane(0));
    FColumns->addWidget(FRows);
    FRows->addWidget(CreatePane(1));
    FRows->addWidget(CreatePane(2));
    // A change of the window's size keeps the panes' proportions.
    for (QSplitter* splitter : {FColumns, FRows}) {
        splitter->setStretchFactor(0, 1);
        splitter->setStretchFactor(1, 1);
        connect(splitter, &QSplitter::splitterMoved, this, &TWorkbenchLayout::RememberShares);
    }
    // Owned by the tab widget while out of it too, so that it ends with the window.
    FColumns->setParent(&FTabs);
    FColumns->hide();
    ApplyShares();
}

QWidget* TWorkbenchLayout::CreatePane(int Page)
{
    auto* pane = new QWidget;
    FPaneLayouts[Page] = new QVBoxLayout(pane);
    FPaneLayouts[Page]->setContentsMargins(0, 0, 0, 0);
    FPaneLayouts[Page]->setSpacing(0);
    FPaneCaptions[Page] = NewPaneCaption(pane);
    FPaneLayouts[Page]->addWidget(FPaneCaptions[Page]);
    return pane;
}

void TWorkbenchLayout::AddEditor(int Page, TEditor& Editor)
{
    FAddedEditors.emplace_back(&Editor, Page);
    Editor.installEventFilter(this);
}

void TWorkbenchLayout::SetOn(bool On)
{
    if (On == FOn)
        return;
    const int visible = VisiblePage();
    if (visible < PageCount)
        FFocusedPage = visible;
    FSwitching = true;
    {
        // The window hears of the change once it is complete. The new tabs come in before the
        // old ones leave, so that the Web page never shows in passing: showing it starts its
        // browser.
        const QSignalBlocker blocker(FTabs);
        if (On) {
            FTabs.insertTab(0, FColumns, FCaption);
            if (visible < PageCount)
                FTabs.setCurrentIndex(0);
            for (int page = PageCount; page >= 1; --page)
                FTabs.removeTab(page);
            for (int page = 0; page < PageCount; ++page) {
                FPaneLayouts[page]->addWidget(FPages[page], 1);
                FPages[page]->show();
            }
        } else {
            RememberShares();
            for (int page = 0; page < PageCount; ++page)
                FTabs.insertTab(page + 1, FPages[page], FCaptions[page]);
            if (visible < PageCount)
                FTabs.setCurrentIndex(visible + 1);
            FTabs.removeTab(0);
        }
        FOn = On;
        ApplyShares();
        ShowCaptions();
    }
    FSwitching = false;
    ShowPage(visible);
    if (visible < PageCount)
        PageEditor(visible).SetFocus();
}

int TWorkbenchLayout::VisiblePage() const
{
    const int index = FTabs.currentIndex();
    if (!FOn)
        return index;
    return index == 0 ? FFocusedPage : index + PageCount - 1;
}

TEditor& TWorkbenchLayout::CurrentEditor() const
{
    const int page = FOn ? FFocusedPage : FTabs.currentIndex();
    return PageEditor(page >= 0 && page < PageCount ? page : 0);
}

TEditor& TWorkbenchLayout::PageEditor(int Page) const
{
    TEditor* editor = FPageEditors[Page];
    return editor->isVisibleTo(FPages[Page]) ? *editor : *FEditors[Page];
}

void TWorkbenchLayout::ShowPage(int Page)
{
    if (!FOn) {
        FTabs.setCurrentIndex(Page);
        return;
    }
    if (Page >= PageCount) {
        FTabs.setCurrentIndex(Page - PageCount + 1);
        return;
    }
    // Known as current before the tab shows, so that the window shows this editor's state.
    SetFocusedPage(Page);
    FTabs.setCurrentIndex(0);
    PageEditor(Page).SetFocus();
}

void TWorkbenchLayout::RevealPage(int Page)
{
    if (FOn && Page < PageCount)
        FTabs.setCurrentIndex(0);
    else
        ShowPage(Page);
}

void TWorkbenchLayout::SetCaption(int Page, const QString& Caption)
{
    FCaptions[Page] = Caption;
    if (FOn)
        FPaneCaptions[Page]->setText(Caption);
    else
        FTabs.setTabText(Page, Caption);
}

int TWorkbenchLayout::ScriptShare() const
{
    return FirstShare(*FColumns).value_or(FScriptShare);
}

int TWorkbenchLayout::DataShare() const
{
    return FirstShare(*FRows).value_or(FDataShare);
}

void TWorkbenchLayout::SetShares(int Script, int Data)
{
    FScriptShare = Script;
    FDataShare = Data;
    ApplyShares();
}

void TWorkbenchLayout::ApplyShares()
{
    FColumns->setSizes({FScriptShare, TKestrimReg::WholeShare - FScriptShare});
    FRows->setSizes({FDataShare, TKestrimReg::WholeShare - FDataShare});
}

void TWorkbenchLayout::RememberShares()
{
    FScriptShare = ScriptShare();
    FDataShare = DataShare();
}

void TWorkbenchLayout::SetFocusedPage(int Page)
{
    if (Page == FFocusedPage)
        return;
    FFocusedPage = Page;
    if (!FOn)
        return;
    ShowCaptions();
    emit CurrentEditorChanged();
}

// The current editor's caption stands out: the caret alone is easily lost among three pages.
void TWorkbenchLayout::ShowCaptions()
{
    for (int page = 0; page < PageCount; ++page) {
        QLabel& caption = *FPaneCaptions[page];
        caption.setText(FCaptions[page]);
        const bool current = page == FFocusedPage;
        caption.setBackgroundRole(current ? QPalette::Highlight : QPalette::Button);
        caption.setForegroundRole(current ? QPalette::HighlightedText : QPalette::ButtonText);
    }
}

bool TWorkbenchLayout::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::FocusIn && !FSwitching)
        EditorFocused(*static_cast<TEditor*>(Watched));
    return QObject::eventFilter(Watched, Event);
}

// Only the editors watched come here.
void TWorkbenchLayout::EditorFocused(TEditor& Editor)
{
    const auto pageEditor = std::find(FEditors.begin(), FEditors.end(), &Editor);
    int page = static_cast<int>(pageEditor - FEditors.begin());
    for (const auto& [added, addedPage] : FAddedEditors)
        if (added == &Editor)
            page = addedPage;
    const bool otherOfPage = FPageEditors[page] != &Editor;
    const bool otherPage = FOn && page != FFocusedPage;
    FPageEditors[page] = &Editor;
    SetFocusedPage(page);
    if (otherOfPage && !otherPage)
        emit CurrentEditorChanged();
}

} // namespace kestrim
