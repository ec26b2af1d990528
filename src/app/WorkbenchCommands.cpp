#include "app/WorkbenchCommands.h"

#include "app/FileCommands.h"
#include "app/ProgramDir.h"
#include "app/Samples.h"
#include "app/UserDialogs.h"
#include "editor/base/Exceptions.h"
#include "editor/control/EditorControl.h"
#include "editor/text/WorkbenchFile.h"

#include <QFileInfo>

namespace kestrim {
namespace {

const QString WorkbenchFilter = QStringLiteral("ワークベンチ(*.kestrim)|*.kestrim|すべてのファイル(*.*)|*.*");

TFileDialogOptions WorkbenchDialog(TFileDialogOptions::TKind Kind)
{
    TFileDialogOptions options;
    options.Kind = Kind;
    options.Filter = WorkbenchFilter;
    if (Kind == TFileDialogOptions::Open) {
        options.Title = QStringLiteral("ワークベンチを開く");
        options.MustExist = true;
    } else {
        options.Title = QStringLiteral("ワークベンチに名前を付けて保存");
        options.DefaultExt = QStringLiteral("kestrim");
        options.ConfirmOverwrite = true;
    }
    return options;
}

} // namespace

TWorkbenchCommands::TWorkbenchCommands(TEditor& Script, TEditor& Data, TSamples& Samples, TFileCommands& Files,
                                       TUserDialogs& Dialogs, TWorkbenchHost& Host)
    : FScript(Script), FData(Data), FSamples(Samples), FFiles(Files), FDialogs(Dialogs), FHost(Host),
      FSavedLanguage(Host.ConfigName())
{
}

bool TWorkbenchCommands::InUse() const
{
    return !FFileName.isEmpty() || FSamples.InUse();
}

bool TWorkbenchCommands::Modified() const
{
    return InUse() && (FScriptChanged || FSamples.Modified() || FHost.ConfigName() != FSavedLanguage);
}

void TWorkbenchCommands::ScriptChanged()
{
    FScriptChanged = true;
}

// A page with a file of its own is saved to it as ever; the others live in the workbench.
bool TWorkbenchCommands::HoldsPage(const TEditor& Editor) const
{
    return InUse() && !FFiles.HasFile(Editor);
}

void TWorkbenchCommands::ConfirmLeave()
{
    if (Modified())
        AskToSave(FDialogs,
                  QStringLiteral("ワークベンチ: ")
                      + (FFileName.isEmpty() ? QStringLiteral("(新しいワークベンチ)") : FFileName),
                  [this] { actSaveExecute(); });
    if (!HoldsPage(FScript))
        FFiles.ConfirmSave();
    if (!HoldsPage(FData))
        FFiles.ConfirmSaveData();
}

// The language stays: a new workbench is most often for the same kind of script.
void TWorkbenchCommands::actNewExecute()
{
    ConfirmLeave();
    FFiles.NewScript();
    FSamples.Clear();
    FFileName.clear();
    MarkSaved();
}

void TWorkbenchCommands::actOpenExecute()
{
    if (const auto name = FDialogs.ChooseFile(WorkbenchDialog(TFileDialogOptions::Open)))
        Open(*name);
}

// The file is read whole before the questions: one that cannot be opened asks nothing and
// changes nothing. The current sample's data is read straight into rows, with the progress of
// a data file, rather than into memory first.
void TWorkbenchCommands::Open(const QString& Name)
{
    const std::string fileName = SystemFileName(Name);
    TWorkbenchLeavingData read = ReadWorkbenchLeavingCurrentData(fileName);
    TWorkbench& workbench = read.Workbench;
    std::optional<TTextRows> data;
    if (read.CurrentData)
        data = FFiles.ReadRows(Name, workbench.Samples[workbench.Current].Data.Encoding,
                               [&](const TTextReadOptions& Options) {
                                   return ReadStoredTextRows(fileName, *read.CurrentData, Options);
                               });
    ConfirmLeave();
    const auto count = workbench.Samples.size();
    Apply(std::move(workbench), std::move(data));
    FFileName = Name;
    MarkSaved();
    FHost.RememberWorkbench(Name);
    FHost.ReportFileDone(
        QStringLiteral("%1 を開きました (サンプル %2 件)").arg(QFileInfo(Name).fileName()).arg(count));
}

// The language first: it decides how the texts are shown.
void TWorkbenchCommands::Apply(TWorkbench Workbench, std::optional<TTextRows> CurrentData)
{
    const QString language = QString::fromStdString(Workbench.Language);
    if (!language.isEmpty() && language != FHost.ConfigName())
        FHost.LoadConfig(language);
    FFiles.LoadScriptBytes(Workbench.Script);
    FSamples.Reset(std::move(Workbench.Samples), Workbench.Current, std::move(CurrentData));
}

void TWorkbenchCommands::actSaveExecute()
{
    if (FFileName.isEmpty()) {
        actSaveAsExecute();
        return;
    }
    SaveTo(FFileName);
}

void TWorkbenchCommands::actSaveAsExecute()
{
    const auto name = FDialogs.ChooseFile(WorkbenchDialog(TFileDialogOptions::Save));
    if (!name)
        throw EAbort();
    SaveTo(*name);
}

void TWorkbenchCommands::SaveTo(const QString& Name)
{
    const TWorkbench workbench = Collect();
    WriteWorkbenchFile(SystemFileName(Name), workbench);
    FFileName = Name;
    MarkSaved();
    FHost.RememberWorkbench(Name);
    FHost.ReportFileDone(QStringLiteral("%1 に保存しました (サンプル %2 件)")
                             .arg(QFileInfo(Name).fileName())
                             .arg(workbench.Samples.size()));
}

TWorkbench TWorkbenchCommands::Collect() const
{
    TWorkbench workbench;
    workbench.Script = {FFiles.FileBytesOf(FScript), FScript.Encoding()};
    const QString extension = FHost.ScriptExtension();
    if (!extension.isEmpty())
        workbench.ScriptExtension = "." + extension.toStdString();
    workbench.Language = FHost.ConfigName().toStdString();
    workbench.Samples = FSamples.Samples();
    workbench.Current = FSamples.Current();
    return workbench;
}

void TWorkbenchCommands::MarkSaved()
{
    FScriptChanged = false;
    FSavedLanguage = FHost.ConfigName();
    FSamples.MarkSaved();
    for (TEditor* page : {&FScript, &FData})
        if (HoldsPage(*page))
            page->SetModified(false);
    FHost.UpdateCaption();
}

} // namespace kestrim
