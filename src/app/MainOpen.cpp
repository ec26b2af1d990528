// The window opening files from outside: the command line, drops and the recent files.
#include "app/Main.h"

#include "app/FileOpening.h"
#include "app/RecentFilesMenu.h"
#include "editor/base/Exceptions.h"
#include "editor/control/EditorControl.h"
#include "settings/UConfigFile.h"
#include "settings/UKestrimReg.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kestrim {
namespace {

// The local files of a drop; none for text, or for links to elsewhere only.
QStringList LocalFiles(const QMimeData& Data)
{
    QStringList files;
    if (Data.hasUrls())
        for (const QUrl& url : Data.urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
    return files;
}

// Opens Name, if any, with Open. A failure is added to Failures and the next file opens; Cancel
// in a save question ends the whole opening.
bool TryOpen(const std::optional<QString>& Name, const std::function<void(const QString&)>& Open,
             QStringList& Failures)
{
    if (!Name)
        return false;
    try {
        Open(*Name);
        return true;
    } catch (const EAbort&) {
        throw;
    } catch (const std::exception& Error) {
        Failures << QStringLiteral("%1: %2").arg(*Name, QString::fromUtf8(Error.what()));
        return false;
    }
}

} // namespace

void TfrmKestrim::OpenFiles(const QStringList& Paths, std::optional<TPage> DroppedOn)
{
    Execute([&] {
        QStringList failures;
        std::vector<TOpenRequest> files;
        for (const QString& path : Paths) {
            if (const std::optional<QString> problem = OpeningProblem(path)) {
                failures << QStringLiteral("%1: %2").arg(path, *problem);
                continue;
            }
            TFileKind kind = FileKindByName(path.toStdString(), ConfigOrDefaults(Config()));
            if (kind != TFileKind::Workbench && DroppedOn == pgScript)
                kind = TFileKind::Script;
            if (kind != TFileKind::Workbench && DroppedOn == pgData)
                kind = TFileKind::Data;
            files.push_back({path, kind});
        }
        const TOpenPlan plan = PlanOpening(files);
        // The workbench first: a script or data file given with it takes its page.
        TryOpen(plan.Workbench, [this](const QString& Name) { OpenWorkbenchFile(Name); }, failures);
        const bool script =
            TryOpen(plan.Script, [this](const QString& Name) { FFileCommands->OpenScriptFile(Name); }, failures);
        const bool data =
            TryOpen(plan.Data, [this](const QString& Name) { FFileCommands->OpenDataFile(Name); }, failures);
        if (data && !script)
            ShowPage(pgData);
        if (const QString report = OpeningReport(failures, plan.NotOpened); !report.isEmpty())
            FDialogs->ShowError(report);
    });
}

void TfrmKestrim::OpenRecentFile(const TRecentFile& File)
{
    const QString path = QString::fromStdString(File.Path);
    Execute([&] {
        try {
            if (const std::optional<QString> problem = OpeningProblem(path))
                throw Exception(problem->toStdString());
            switch (File.Kind) {
            case TRecentKind::Script: FFileCommands->OpenScriptFile(path); break;
            case TRecentKind::Data:
                FFileCommands->OpenDataFile(path);
                ShowPage(pgData);
                break;
            case TRecentKind::Workbench: OpenWorkbenchFile(path); break;
            }
        } catch (const EAbort&) {
            throw;
        } catch (const std::exception& Error) {
            FSettings->RecentFiles.Remove(File.Path);
            ShowRecentFiles();
            throw Exception(QStringLiteral("%1: %2\n最近使ったファイルの一覧から外しました。")
                                .arg(path, QString::fromUtf8(Error.what()))
                                .toStdString());
        }
    });
}

void TfrmKestrim::RememberRecentFile(TRecentKind Kind, const QString& Path)
{
    FSettings->RecentFiles.Add(Kind, Path.toStdString());
    ShowRecentFiles();
}

void TfrmKestrim::FileUsed(TRecentKind Kind, const QString& Name)
{
    RememberRecentFile(Kind, Name);
}

void TfrmKestrim::ShowRecentFiles()
{
    mniRecent->Show(FSettings->RecentFiles.Items());
}

// Accepted as a copy: the files stay where they are. The files open once the drop has ended,
// so that the program that dragged them is not kept waiting by a question or a message.
bool TfrmKestrim::FormDropFiles(QObject* Watched, QDropEvent* Event)
{
    const QStringList files = Event->mimeData() ? LocalFiles(*Event->mimeData()) : QStringList();
    if (files.isEmpty())
        return false;
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
    if (Event->type() != QEvent::Drop)
        return true;
    auto* target = static_cast<QWidget*>(Watched);
    const QWidget* under = target->childAt(Event->position().toPoint());
    const std::optional<TPage> page = PageOf(under ? under : target);
    QMetaObject::invokeMethod(this, [this, files, page] { OpenFiles(files, page); }, Qt::QueuedConnection);
    return true;
}

// Side by side every editor page is in view: the one under the drop counts.
std::optional<TfrmKestrim::TPage> TfrmKestrim::PageOf(const QWidget* Widget) const
{
    const std::pair<TEditor*, TPage> pages[] = {{tedScript, pgScript}, {tedData, pgData}};
    for (const auto& [editor, page] : pages) {
        const QWidget* pageWidget = editor->parentWidget();
        if (pageWidget == Widget || pageWidget->isAncestorOf(Widget))
            return page;
    }
    return std::nullopt;
}

} // namespace kestrim
