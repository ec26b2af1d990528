#include "app/FileCommands.h"

#include "app/ProgramDir.h"
#include "app/UserDialogs.h"
#include "editor/base/Exceptions.h"
#include "editor/control/EditorControl.h"
#include "editor/control/SjisQString.h"
#include "settings/UConfigFile.h"

namespace kestrim {
namespace {

const QString AllFilesFilter = QStringLiteral("すべてのファイル(*.*)|*.*");
const QString ConfigFilter = QStringLiteral("設定ファイル(*.ini)|*.ini");
const QString OpenTitle = QStringLiteral("開く");
const QString SaveTitle = QStringLiteral("名前を付けて保存");

TFileDialogOptions OpenOptions(const QString& Filter, bool MustExist)
{
    TFileDialogOptions options;
    options.Kind = TFileDialogOptions::Open;
    options.Title = OpenTitle;
    options.Filter = Filter;
    options.MustExist = MustExist;
    return options;
}

TFileDialogOptions SaveOptions(const QString& Filter, const QString& DefaultExt, bool ConfirmOverwrite)
{
    TFileDialogOptions options;
    options.Kind = TFileDialogOptions::Save;
    options.Title = SaveTitle;
    options.Filter = Filter;
    options.DefaultExt = DefaultExt;
    options.ConfirmOverwrite = ConfirmOverwrite;
    return options;
}

} // namespace

TFileCommands::TFileCommands(TEditor& Script, TEditor& Data, TEditor& Result, TUserDialogs& Dialogs,
                             TFileCommandsHost& Host)
    : FScript(Script), FData(Data), FResult(Result), FDialogs(Dialogs), FHost(Host)
{
}

// Without a loaded configuration the script dialogs offer the built-in Perl file type.
const TConfigFile& TFileCommands::CurrentConfig() const
{
    return ConfigOrDefaults(FHost.Config());
}

void TFileCommands::ConfirmSave()
{
    if (!FScript.Modified())
        return;
    const QString name = FFileName.isEmpty() ? QStringLiteral("(新規ファイル)") : FFileName;
    switch (FDialogs.AskYesNoCancel(name + QStringLiteral("\r\nの内容は変更されています。\r\n保存しますか？"))) {
    case TSaveAnswer::Yes:
        actSaveExecute();
        break;
    case TSaveAnswer::No:
        break;
    case TSaveAnswer::Cancel:
        throw EAbort();
    }
}

void TFileCommands::actNewExecute()
{
    ConfirmSave();
    FScript.Lines().Clear();
    FFileName.clear();
    FHost.UpdateCaption();
    FHost.ShowScriptPage();
    FScript.SetModified(false);
}

void TFileCommands::actLoadExecute()
{
    ConfirmSave();
    const auto name = FDialogs.ChooseFile(OpenOptions(SjisToQString(CurrentConfig().DialogExt()), true));
    if (!name)
        return;
    FScript.Lines().LoadFromFile(SystemFileName(*name));
    FFileName = *name;
    FHost.UpdateCaption();
    FHost.ShowScriptPage();
    FScript.SetModified(false);
}

void TFileCommands::actSaveExecute()
{
    if (FFileName.isEmpty()) {
        actSaveAsExecute();
        return;
    }
    SaveScriptTo(FFileName);
}

void TFileCommands::actSaveAsExecute()
{
    const TConfigFile& config = CurrentConfig();
    const auto name = FDialogs.ChooseFile(
        SaveOptions(SjisToQString(config.DialogExt()), SjisToQString(config.DefaultExt()), true));
    if (!name)
        throw EAbort();
    SaveScriptTo(*name);
    FFileName = *name;
    FHost.UpdateCaption();
}

void TFileCommands::SaveScriptTo(const QString& Name)
{
    FScript.Lines().SaveToFile(SystemFileName(Name));
    FScript.SetModified(false);
}

// An ordinary edit of the data page, so that Undo brings the data back.
void TFileCommands::actDataClearExecute()
{
    FData.SelectAll();
    FData.ClearSelection();
}

void TFileCommands::actDataOpenExecute()
{
    if (const auto name = FDialogs.ChooseFile(OpenOptions(AllFilesFilter, false)))
        FData.Lines().LoadFromFile(SystemFileName(*name));
}

void TFileCommands::actDataSaveExecute()
{
    if (const auto name = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false)))
        FData.Lines().SaveToFile(SystemFileName(*name));
}

void TFileCommands::actResultCopyExecute()
{
    FResult.SelectAll();
    FResult.CopyToClipboard();
    FResult.SetSelLength(0);
}

void TFileCommands::actResultSaveExecute()
{
    if (const auto name = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false)))
        FResult.Lines().SaveToFile(SystemFileName(*name));
}

void TFileCommands::actConfigExecute()
{
    if (const auto name = FDialogs.ChooseFile(OpenOptions(ConfigFilter, true)))
        FHost.LoadConfig(*name);
}

} // namespace kestrim
