#include "app/FileCommands.h"

#include "app/ProgramDir.h"
#include "app/UserDialogs.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/MemoryStream.h"
#include "editor/control/EditorControl.h"
#include "editor/control/SjisQString.h"
#include "settings/UConfigFile.h"

#include <QFileInfo>

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

// Why a UTF-8 file is not opened: nothing may turn into "?" unnoticed.
std::string LostCharactersText(const QString& Name, const TSjisConversion& Conversion)
{
    const char32_t lost = Conversion.FirstLost;
    return QStringLiteral("ファイル \"%1\" は UTF-8 として開けません。Shift-JIS で表せない文字が %2 個あります。"
                          "最初の文字は %3 行目の %4 文字目の \"%5\" (U+%6) です。ファイルは開いていません。")
        .arg(Name)
        .arg(Conversion.LostCount)
        .arg(Conversion.FirstLostLine)
        .arg(Conversion.FirstLostColumn)
        .arg(QString::fromUcs4(&lost, 1))
        .arg(QString::number(static_cast<uint>(lost), 16).toUpper().rightJustified(4, QLatin1Char('0')))
        .toStdString();
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

// The data page has no New or Open question (loading data is no loss of a document), but its
// edits are the user's work too: leaving the program asks about them as about the script.
void TFileCommands::ConfirmSaveData()
{
    if (!FData.Modified())
        return;
    const QString name = FDataFileName.isEmpty() ? QStringLiteral("無題") : FDataFileName;
    switch (FDialogs.AskYesNoCancel(QStringLiteral("データ: ") + name
                                    + QStringLiteral("\r\nの内容は変更されています。\r\n保存しますか？"))) {
    case TSaveAnswer::Yes:
        if (FDataFileName.isEmpty()) {
            const auto chosen = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false));
            if (!chosen)
                throw EAbort();
            SaveDataTo(*chosen);
        } else {
            SaveDataTo(FDataFileName);
        }
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
    FScriptEncoding = TFileEncoding::ShiftJis;
    FHost.UpdateEncodingStatus();
    FHost.ShowScriptPage();
    FScript.SetModified(false);
    FHost.UpdateCaption();
}

void TFileCommands::actLoadExecute()
{
    ConfirmSave();
    const auto name = FDialogs.ChooseFile(OpenOptions(SjisToQString(CurrentConfig().DialogExt()), true));
    if (!name)
        return;
    FScriptEncoding = LoadTextFile(FScript, *name);
    FFileName = *name;
    FHost.UpdateEncodingStatus();
    FHost.ShowScriptPage();
    FScript.SetModified(false);
    FHost.UpdateCaption();
}

void TFileCommands::actSaveExecute()
{
    if (FFileName.isEmpty()) {
        actSaveAsExecute();
        return;
    }
    SaveTextFile(FScript, FFileName, FScriptEncoding);
    ScriptSaved();
}

void TFileCommands::actSaveAsExecute()
{
    const TConfigFile& config = CurrentConfig();
    const auto name = FDialogs.ChooseFile(
        SaveOptions(SjisToQString(config.DialogExt()), SjisToQString(config.DefaultExt()), true));
    if (!name)
        throw EAbort();
    SaveTextFile(FScript, *name, FScriptEncoding);
    FFileName = *name;
    ScriptSaved();
}

void TFileCommands::ScriptSaved()
{
    FScript.SetModified(false);
    FHost.UpdateCaption();
}

// An ordinary edit of the data page, so that Undo brings the data back.
void TFileCommands::actDataClearExecute()
{
    FData.SelectAll();
    FData.ClearSelection();
}

void TFileCommands::actDataOpenExecute()
{
    if (const auto name = FDialogs.ChooseFile(OpenOptions(AllFilesFilter, false))) {
        FDataEncoding = LoadTextFile(FData, *name);
        FDataFileName = *name;
        FData.SetModified(false);
        FHost.UpdateCaption();
        FHost.UpdateEncodingStatus();
    }
}

void TFileCommands::actDataSaveExecute()
{
    if (const auto name = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false)))
        SaveDataTo(*name);
}

void TFileCommands::SaveDataTo(const QString& Name)
{
    SaveTextFile(FData, Name, FDataEncoding);
    FDataFileName = Name;
    FData.SetModified(false);
    FHost.UpdateCaption();
}

void TFileCommands::actResultCopyExecute()
{
    FResult.CopyAllToClipboard();
}

void TFileCommands::actResultSaveExecute()
{
    if (const auto name = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false)))
        SaveTextFile(FResult, *name, TFileEncoding::ShiftJis);
}

TFileEncoding TFileCommands::EncodingOf(const TEditor& Editor) const
{
    if (&Editor == &FScript)
        return FScriptEncoding;
    return &Editor == &FData ? FDataEncoding : TFileEncoding::ShiftJis;
}

TFileEncoding TFileCommands::LoadTextFile(TEditor& Editor, const QString& Name)
{
    const TFileEncoding encoding = ReadTextFile(Editor, Name);
    ReportFile(QStringLiteral("を開きました"), Editor, Name, encoding);
    return encoding;
}

TFileEncoding TFileCommands::ReadTextFile(TEditor& Editor, const QString& Name)
{
    const std::string path = SystemFileName(Name);
    const std::optional<std::string> utf8 = ReadUtf8Text(path);
    if (!utf8 || !FDialogs.AskOpenAsUtf8(Name)) {
        Editor.Lines().LoadFromFile(path);
        return TFileEncoding::ShiftJis;
    }
    const TSjisConversion conversion = Utf8TextToSjis(*utf8);
    if (conversion.LostCount > 0)
        throw Exception(LostCharactersText(Name, conversion));
    TMemoryStream stream(conversion.Sjis);
    Editor.Lines().LoadFromStream(stream);
    return conversion.Encoding;
}

void TFileCommands::SaveTextFile(TEditor& Editor, const QString& Name, TFileEncoding Encoding)
{
    const std::string path = SystemFileName(Name);
    if (Encoding == TFileEncoding::ShiftJis)
        Editor.Lines().SaveToFile(path);
    else
        WriteFileBytes(path, SjisToFileBytes(Editor.Lines().Text(), Encoding));
    ReportFile(QStringLiteral("に保存しました"), Editor, Name, Encoding);
}

// "a.pl を開きました (UTF-8, 12 行)": the file without its folder, so that the rest shows.
void TFileCommands::ReportFile(const QString& Done, TEditor& Editor, const QString& Name, TFileEncoding Encoding)
{
    FHost.ReportFileDone(QStringLiteral("%1 %2 (%3, %4 行)")
                             .arg(QFileInfo(Name).fileName(), Done, EncodingName(Encoding))
                             .arg(Editor.Lines().Count()));
}

// The shipped configurations are where the user looks first.
void TFileCommands::actConfigExecute()
{
    TFileDialogOptions options = OpenOptions(ConfigFilter, true);
    options.Folder = ConfDir();
    if (const auto name = FDialogs.ChooseFile(options))
        FHost.LoadConfig(*name);
}

} // namespace kestrim
