#include "app/PagePane.h"

#include "settings/UKestrimReg.h"

#include <QLayout>
#include <QSplitter>

#include <algorithm>

namespace kestrim {
namespace {

constexpr int SplitterWidth = 4;
constexpr int DefaultShare = TKestrimReg::WholeShare / 3;

} // namespace

TPagePane::TPagePane(QWidget& Editor, QWidget& Pane, TPlace Place, const char* SplitterName)
    : QObject(&Pane), FPane(Pane), FPaneIndex(Place == Above ? 0 : 1), FShare(DefaultShare)
{
    FSplitter = new QSplitter(Qt::Vertical);
    FSplitter->setObjectName(SplitterName);
    FSplitter->setHandleWidth(SplitterWidth);
    FSplitter->setChildrenCollapsible(false);
    QLayout* layout = Editor.parentWidget()->layout();
    delete layout->replaceWidget(&Editor, FSplitter);
    FSplitter->addWidget(&Editor);
    FSplitter->insertWidget(FPaneIndex, &Pane);
    // A change of the page's height keeps the proportions, so that the shares set in
    // thousandths come out as shares of the pixels.
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 1);
    Pane.hide();
    connect(FSplitter, &QSplitter::splitterMoved, this, &TPagePane::RememberShare);
}

bool TPagePane::Shown() const
{
    return !FPane.isHidden();
}

void TPagePane::SetShown(bool Shown)
{
    if (Shown == this->Shown())
        return;
    FPane.setVisible(Shown);
    if (Shown)
        ApplyShare();
}

int TPagePane::Share() const
{
    return FShare;
}

void TPagePane::SetShare(int Share)
{
    FShare = Share;
    if (Shown())
        ApplyShare();
}

// The splitter spreads its height in these proportions.
void TPagePane::ApplyShare()
{
    QList<int> sizes{TKestrimReg::WholeShare - FShare, TKestrimReg::WholeShare - FShare};
    sizes[FPaneIndex] = FShare;
    FSplitter->setSizes(sizes);
}

// Never all or nothing: the pane and the editor both stay.
void TPagePane::RememberShare()
{
    const QList<int> sizes = FSplitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > 0)
        FShare = std::clamp(static_cast<int>(static_cast<long long>(sizes.value(FPaneIndex)) * TKestrimReg::WholeShare
                                             / total),
                            1, TKestrimReg::WholeShare - 1);
}

} // namespace kestrim
