#include "app/RecentFilesMenu.h"

#include <QAction>
#include <QFileInfo>

namespace kestrim {
namespace {

QString KindCaption(TRecentKind Kind)
{
    switch (Kind) {
    case TRecentKind::Script: return QStringLiteral("スクリプト");
    case TRecentKind::Data: return QStringLiteral("データ");
    case TRecentKind::Workbench: return QStringLiteral("ワークベンチ");
    }
    return {};
}

// "&1" to "&9", then "1&0": each entry has a key of its own.
QString Mnemonic(std::size_t Index)
{
    const QString number = QString::number(Index + 1);
    return number.size() == 1 ? u'&' + number : number.chopped(1) + u'&' + number.back();
}

} // namespace

TRecentFilesMenu::TRecentFilesMenu(std::function<void(const TRecentFile&)> Open, std::function<void()> Clear,
                                   QWidget* Parent)
    : QMenu(QStringLiteral("最近使ったファイル(&F)"), Parent), FOpen(std::move(Open)), FClear(std::move(Clear))
{
    Show({});
}

void TRecentFilesMenu::Show(const std::vector<TRecentFile>& Files)
{
    clear();
    for (std::size_t i = 0; i < Files.size(); ++i) {
        const TRecentFile& file = Files[i];
        const QString path = QString::fromStdString(file.Path);
        // A name may hold "&", which a menu would take for a mnemonic.
        const QString name = QFileInfo(path).fileName().replace(u'&', QStringLiteral("&&"));
        QAction* action = addAction(QStringLiteral("%1 %2 (%3)").arg(Mnemonic(i), name, KindCaption(file.Kind)));
        action->setStatusTip(path);
        // Queued: what it calls lists the files again, which ends this entry.
        connect(action, &QAction::triggered, this, [this, file] { FOpen(file); }, Qt::QueuedConnection);
    }
    addSeparator();
    QAction* clearList = addAction(QStringLiteral("一覧を消去(&C)"));
    clearList->setStatusTip(QStringLiteral("最近使ったファイルの一覧を消去します。"));
    connect(clearList, &QAction::triggered, this, [this] { FClear(); }, Qt::QueuedConnection);
    menuAction()->setEnabled(!Files.empty());
}

} // namespace kestrim
