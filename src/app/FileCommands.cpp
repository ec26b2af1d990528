#include "app/FileCommands.h"

#include "app/FileEncoding.h"
#include "app/FileProgress.h"
#include "app/ProgramDir.h"
#include "app/UserDialogs.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/control/EditorControl.h"
#include "editor/control/SjisQString.h"
#include "editor/text/TextFileRead.h"
#include "editor/text/TextFileWrite.h"
#include "settings/UConfigFile.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace kestrim {
namespace {

const QString AllFilesFilter = QStringLiteral("すべてのファイル(*.*)|*.*");
const QString ConfigFilter = QStringLiteral("設定ファイル(*.ini)|*.ini");
const QString OpenTitle = QStringLiteral("開く");
const QString SaveTitle = QStringLiteral("名前を付けて保存");
// Large blocks cost fewer calls; the progress moves a few times a second all the same.
constexpr std::size_t ReadBlockSize = 1 << 18;

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

TFileCommands::~TFileCommands() = default;

// Without a loaded configuration the script dialogs offer the built-in Perl file type.
const TConfigFile& TFileCommands::CurrentConfig() const
{
    return ConfigOrDefaults(FHost.Config());
}

void TFileCommands::ConfirmSave()
{
    if (FScript.Modified())
        AskToSave(FDialogs, FFileName.isEmpty() ? QStringLiteral("(新規ファイル)") : FFileName,
                  [this] { actSaveExecute(); });
}

// The data page has no New or Open question (loading data is no loss of a document), but its
// edits are the user's work too: leaving the program asks about them as about the script.
void TFileCommands::ConfirmSaveData()
{
    if (!FData.Modified())
        return;
    const QString name = FDataFileName.isEmpty() ? QStringLiteral("無題") : FDataFileName;
    AskToSave(FDialogs, QStringLiteral("データ: ") + name, [this] {
        if (FDataFileName.isEmpty()) {
            const auto chosen = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false));
            if (!chosen)
                throw EAbort();
            SaveDataTo(*chosen);
        } else {
            SaveDataTo(FDataFileName);
        }
    });
}

void TFileCommands::actNewExecute()
{
    ConfirmSave();
    NewScript();
}

void TFileCommands::NewScript()
{
    FScript.SetEncodedText({}, FHost.DefaultEncoding());
    FFileName.clear();
    FScriptFormat.reset();
    FHost.UpdateEncodingStatus();
    FHost.ShowScriptPage();
    FScript.SetModified(false);
    FHost.UpdateCaption();
}

void TFileCommands::LoadScriptBytes(const TWorkbenchText& Script)
{
    FScriptFormat = FScript.LoadTextBytes(Script.Bytes, Script.Encoding, Script.Encoding);
    FFileName.clear();
    FHost.UpdateEncodingStatus();
    FScript.SetModified(false);
    FHost.UpdateCaption();
}

void TFileCommands::actLoadExecute()
{
    ConfirmSave();
    if (const auto name = FDialogs.ChooseFile(OpenOptions(SjisToQString(CurrentConfig().DialogExt()), true)))
        LoadScriptFile(*name);
}

void TFileCommands::OpenScriptFile(const QString& Name)
{
    ConfirmSave();
    LoadScriptFile(Name);
}

void TFileCommands::LoadScriptFile(const QString& Name)
{
    FScriptFormat = LoadTextFile(FScript, Name);
    FFileName = Name;
    FHost.UpdateEncodingStatus();
    FHost.ShowScriptPage();
    FScript.SetModified(false);
    FHost.UpdateCaption();
    FHost.FileUsed(TRecentKind::Script, Name);
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
    FScriptFormat = SaveTextFile(FScript, Name);
    FScript.SetModified(false);
    FHost.UpdateEncodingStatus();
    FHost.UpdateCaption();
    FHost.FileUsed(TRecentKind::Script, Name);
}

// An ordinary edit of the data page, so that Undo brings the data back in its encoding.
void TFileCommands::actDataClearExecute()
{
    FData.ReplaceText({}, FHost.DefaultEncoding());
    FHost.UpdateEncodingStatus();
}

void TFileCommands::actDataOpenExecute()
{
    if (const auto name = FDialogs.ChooseFile(OpenOptions(AllFilesFilter, false)))
        OpenDataFile(*name);
}

void TFileCommands::OpenDataFile(const QString& Name)
{
    FDataFormat = LoadTextFile(FData, Name);
    FDataFileName = Name;
    FData.SetModified(false);
    FHost.UpdateCaption();
    FHost.UpdateEncodingStatus();
    FHost.FileUsed(TRecentKind::Data, Name);
}

void TFileCommands::actDataSaveExecute()
{
    if (const auto name = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false)))
        SaveDataTo(*name);
}

void TFileCommands::SaveDataTo(const QString& Name)
{
    FDataFormat = SaveTextFile(FData, Name);
    FDataFileName = Name;
    FData.SetModified(false);
    FHost.UpdateEncodingStatus();
    FHost.UpdateCaption();
    FHost.FileUsed(TRecentKind::Data, Name);
}

void TFileCommands::actResultCopyExecute()
{
    FResult.CopyAllToClipboard();
}

void TFileCommands::actResultSaveExecute()
{
    if (const auto name = FDialogs.ChooseFile(SaveOptions(AllFilesFilter, QString(), false)))
        SaveTextFile(FResult, *name);
}

const std::optional<TTextFileFormat>& TFileCommands::StoredFormat(const TEditor& Editor) const
{
    static const std::optional<TTextFileFormat> none;
    if (&Editor == &FScript)
        return FScriptFormat;
    if (&Editor == &FData)
        return FDataFormat;
    const auto held = FHeldFormats.find(&Editor);
    return held != FHeldFormats.end() ? held->second : none;
}

TTextFileFormat TFileCommands::FileFormatOf(const TEditor& Editor) const
{
    TTextFileFormat format = StoredFormat(Editor).value_or(NewFileFormat(Editor.Encoding()));
    format.Encoding = Editor.Encoding();
    return format;
}

// Called on every change of a page's text: the format of its file is not copied.
QString TFileCommands::StatusText(const TEditor& Editor) const
{
    const std::optional<TTextFileFormat>& stored = StoredFormat(Editor);
    return FormatStatusText(Editor.Encoding(), stored ? *stored : NewFileFormat(Editor.Encoding()));
}

bool TFileCommands::HasFile(const TEditor& Editor) const
{
    return (&Editor == &FScript && !FFileName.isEmpty()) || (&Editor == &FData && !FDataFileName.isEmpty());
}

void TFileCommands::ReopenInOtherEncoding(TEditor& Editor)
{
    if (!HasFile(Editor))
        return;
    const TTextEncoding other = OtherEncoding(Editor.Encoding());
    if (&Editor == &FScript) {
        ConfirmSave();
        FScriptFormat = LoadTextFile(FScript, FFileName, other);
    } else {
        ConfirmSaveData();
        FDataFormat = LoadTextFile(FData, FDataFileName, other);
    }
    Editor.SetModified(false);
    FHost.UpdateEncodingStatus();
}

void TFileCommands::ConvertToOtherEncoding(TEditor& Editor)
{
    const std::optional<QString> refusal = ConvertPageText(Editor, OtherEncoding(Editor.Encoding()));
    FHost.UpdateEncodingStatus();
    if (refusal)
        throw Exception(refusal->toStdString());
}

// The file is read on a worker thread; the editor changes only once it is read whole.
TTextFileFormat TFileCommands::LoadTextFile(TEditor& Editor, const QString& Name, std::optional<TTextEncoding> Encoding)
{
    TTextRows text = ReadRows(Name, Encoding, [&Name](const TTextReadOptions& Options) {
        TFileReader file(SystemFileName(Name));
        return ReadTextRows(file, Options);
    });
    const TTextFileFormat format = LoadRows(Editor, text);
    ReportFile(QStringLiteral("を開きました"), Editor, Name);
    return format;
}

TTextRows TFileCommands::ReadRows(const QString& Name, std::optional<TTextEncoding> Encoding, const TReadRows& Read)
{
    std::optional<TTextRows> text;
    WithProgress(Name, QStringLiteral("を開いています"), QStringLiteral("を開くのを取り消しました"),
                 [&](TFileProgress& Progress) {
                     TTextReadOptions options;
                     options.Encoding = Encoding;
                     options.Default = FHost.DefaultEncoding();
                     options.BlockSize = ReadBlockSize;
                     options.Progress = [&](std::uint64_t Done, std::uint64_t Total) {
                         Progress.Report(Done, Total, Done);
                     };
                     options.Cancel = &Progress.CancelFlag();
                     Progress.RunOffThread([&] { text = Read(options); });
                     if (!text)
                         throw EAbort();
                 });
    return *std::move(text);
}

TTextFileFormat TFileCommands::LoadRows(TEditor& Editor, TTextRows& Text)
{
    const TTextFileFormat format = Editor.LoadTextRows(Text);
    FFreer.Free(std::move(Text.Rows));
    return format;
}

// Written on the window's thread a slice of lines at a time: the rows stay the editor's alone.
TTextFileFormat TFileCommands::SaveTextFile(TEditor& Editor, const QString& Name)
{
    const TTextFileFormat format = WriteFormatOf(Editor);
    WithProgress(Name, QStringLiteral("に保存しています"), QStringLiteral("への保存を取り消しました"),
                 [&](TFileProgress& Progress) {
                     ReplaceFileInBlocks(SystemFileName(Name), [&](const TWriteBytes& Write) {
                         std::uint64_t written = 0;
                         const auto writeCounted = [&](std::string_view Bytes) {
                             Write(Bytes);
                             written += Bytes.size();
                         };
                         const auto report = [&](std::uint64_t Done, std::uint64_t Total) {
                             Progress.Report(Done, Total, written);
                             Progress.Pump();
                         };
                         if (!WriteTextLines(Editor.Lines(), format, writeCounted, report, &Progress.CancelFlag()))
                             throw EAbort();
                     });
                 });
    ReportFile(QStringLiteral("に保存しました"), Editor, Name);
    return format;
}

void TFileCommands::WithProgress(const QString& Name, const QString& Doing, const QString& GivenUp,
                                 const std::function<void(TFileProgress&)>& Work)
{
    // A drop or a second program start may ask for a file while another is being read.
    if (FProgress)
        throw Exception(QStringLiteral("%1: ほかのファイルの読み書きが終わっていません。").arg(Name).toStdString());
    const QString file = QFileInfo(Name).fileName();
    TFileProgress progress(FHost.ProgressWindow(), QStringLiteral("%1 %2").arg(file, Doing),
                           [this](const QString& Text) { FHost.ReportFileDone(Text); });
    FProgress = &progress;
    const auto forget = qScopeGuard([this] { FProgress = nullptr; });
    try {
        Work(progress);
    } catch (const EAbort&) {
        if (progress.CancelFlag())
            FHost.ReportFileDone(QStringLiteral("%1 %2").arg(file, GivenUp));
        throw;
    }
}

void TFileCommands::CancelFileWork()
{
    if (FProgress)
        FProgress->Cancel();
}

TTextFileFormat TFileCommands::WriteFormatOf(const TEditor& Editor) const
{
    TTextFileFormat format = FileFormatOf(Editor);
    if (Editor.Modified())
        format.LineEnds.clear();
    return format;
}

std::string TFileCommands::FileBytesOf(TEditor& Editor) const
{
    return kestrim::FileBytesOf(Editor.Lines().Text(), WriteFormatOf(Editor));
}

void TFileCommands::HoldText(const TEditor& Editor, const std::optional<TTextFileFormat>& Format)
{
    if (&Editor == &FData) {
        FDataFormat = Format;
        FDataFileName.clear();
    } else {
        FHeldFormats[&Editor] = Format;
    }
    FHost.UpdateEncodingStatus();
}

// "a.pl を開きました (UTF-8, 12 行)": the file without its folder, so that the rest shows.
void TFileCommands::ReportFile(const QString& Done, TEditor& Editor, const QString& Name)
{
    FHost.ReportFileDone(QStringLiteral("%1 %2 (%3, %4 行)")
                             .arg(QFileInfo(Name).fileName(), Done,
                                  QString::fromUtf8(EncodingName(Editor.Encoding())))
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
