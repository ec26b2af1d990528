#include "app/LanguageMenu.h"

#include "app/ProgramDir.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace kestrim {
namespace {

// A name may hold "&", which a menu would take for a mnemonic.
QString MenuText(QString Text)
{
    return Text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool SameFile(const QString& A, const QString& B)
{
    const QString a = QFileInfo(A).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(B).canonicalFilePath();
}

} // namespace

TLanguageMenu::TLanguageMenu(const QString& Title, std::function<QString()> Current,
                             std::function<void(const QString&)> Load, QWidget* Parent)
    : QMenu(Title, Parent), FCurrent(std::move(Current)), FLoad(std::move(Load))
{
    connect(this, &QMenu::aboutToShow, this, &TLanguageMenu::Rebuild);
}

void TLanguageMenu::Rebuild()
{
    clear();
    const QString current = InConfDir(FCurrent());
    bool listed = false;
    const QDir conf(ConfDir());
    for (const QFileInfo& file : conf.entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
        const bool inUse = SameFile(file.filePath(), current);
        listed = listed || inUse;
        AddConfiguration(file.completeBaseName(), file.fileName(), inUse);
    }
    if (!listed && QFileInfo(current).isFile()) {
        addSeparator();
        AddConfiguration(current, current, true);
    }
}

void TLanguageMenu::AddConfiguration(const QString& Caption, const QString& Name, bool InUse)
{
    QAction* action = addAction(MenuText(Caption));
    action->setCheckable(true);
    action->setChecked(InUse);
    action->setStatusTip(QStringLiteral("設定ファイル %1 を読み込みます。").arg(Name));
    connect(action, &QAction::triggered, this, [this, Name] { FLoad(Name); });
}

} // namespace kestrim
