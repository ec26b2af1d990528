#pragma once
// TFileCommands: the script page as a document (a file name, the editor's modified flag, New,
// Open, Save and Save As with the save question), the data and result pages as scratch areas
// loaded from and saved to any file, and loading another language configuration.
//
// A file is read completely (on a worker thread) before an editor changes, and written a slice
// of lines at a time through a temporary file that replaces the old one only when complete, so
// that a failure or the user giving up (TFileProgress) loses neither the editor's text nor the
// file on disk.
//
// A file opens in the encoding its bytes show (TextFileFormat.h), without a question and
// without conversion, and is written in its page's encoding, with the byte-order mark and the
// line ends it was read with; a page without a file writes its encoding's line ends.

#include "app/RowsFreer.h"
#include "editor/text/TextFileFormat.h"
#include "editor/text/TextFileRead.h"
#include "editor/text/Workbench.h"
#include "settings/RecentFiles.h"

#include <QString>

class QWidget;

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace kestrim {

class TConfigFile;
class TEditor;
class TFileProgress;
class TUserDialogs;

// What the commands need of the window they work in.
class TFileCommandsHost {
public:
    virtual ~TFileCommandsHost() = default;
    // The current language configuration; none after a configuration failed to load.
    virtual const TConfigFile* Config() const = 0;
    virtual void ShowScriptPage() = 0;
    // The script's file name, or whether the script or the data is modified, changed.
    virtual void UpdateCaption() = 0;
    virtual void LoadConfig(const QString& Name) = 0;
    // The encoding or the format of a page's file changed.
    virtual void UpdateEncodingStatus() = 0;
    // The encoding of a new or cleared page.
    virtual TTextEncoding DefaultEncoding() const = 0;
    // What a file was read from or written to, for the status bar.
    virtual void ReportFileDone(const QString& Text) = 0;
    // The script's or the data's file Name was opened or saved.
    virtual void FileUsed(TRecentKind Kind, const QString& Name) = 0;
    // The window that a long read's or write's progress bar holds.
    virtual QWidget& ProgressWindow() = 0;
};

class TFileCommands {
public:
    TFileCommands(TEditor& Script, TEditor& Data, TEditor& Result, TUserDialogs& Dialogs,
                  TFileCommandsHost& Host);
    ~TFileCommands();

    // Full name of the script file being edited; empty for a new script.
    const QString& FileName() const { return FFileName; }
    // How Editor's text is written to a file: in its page's encoding, with the byte-order mark
    // and line ends of the file it was read from or last saved to (the script's and the data's),
    // else with the line ends of a new file in that encoding.
    TTextFileFormat FileFormatOf(const TEditor& Editor) const;
    // The bytes a file of Editor's page gets when it is saved now.
    std::string FileBytesOf(TEditor& Editor) const;
    // Editor, another than the script's, now holds a text read from bytes of Format (none: of
    // a page without a file) that no file of its own holds (a sample): the data page forgets
    // its file.
    void HoldText(const TEditor& Editor, const std::optional<TTextFileFormat>& Format);
    // What the status bar says of Editor's page (FormatStatusText).
    QString StatusText(const TEditor& Editor) const;
    // Whether Editor's page has a file to open again.
    bool HasFile(const TEditor& Editor) const;
    // Opens the page's file again, in the other encoding, after the page's save question.
    void ReopenInOtherEncoding(TEditor& Editor);
    // Converts the page's text into the other encoding as one edit; raises, with nothing
    // changed, when some character has no form there.
    void ConvertToOtherEncoding(TEditor& Editor);

    // Asks whether to save a modified script. Raises EAbort when the user cancels the question
    // or the save dialog it leads to, so that the operation that asked ends too.
    void ConfirmSave();
    // The same question for a modified data page, named by the file it was last opened from or
    // saved to ("無題" when none); Yes without a name asks for one. Raises EAbort on Cancel.
    void ConfirmSaveData();

    void actNewExecute();
    // New without the question: an empty script page without a file.
    void NewScript();
    // Puts a workbench's script on the script page, without a file of its own, unmodified.
    void LoadScriptBytes(const TWorkbenchText& Script);
    void actLoadExecute();
    // Open without the dialog: the save question, then the file Name (a full name) as the
    // script. Raises when it cannot be read; the script is then unchanged.
    void OpenScriptFile(const QString& Name);
    void actSaveExecute();
    // Raises EAbort when the user cancels the dialog.
    void actSaveAsExecute();

    void actDataClearExecute();
    void actDataOpenExecute();
    // Data Open without the dialog: the file Name (a full name) replaces the data. Raises when
    // it cannot be read; the data is then unchanged.
    void OpenDataFile(const QString& Name);
    void actDataSaveExecute();
    void actResultCopyExecute();
    void actResultSaveExecute();

    void actConfigExecute();

    // Gives up a file being read or written, as its Cancel button does (the window is closing).
    void CancelFileWork();

    // Reads rows with the progress of opening the file Name: Read runs on a worker thread with
    // the options it is given, in Encoding or the one the bytes show. Raises what Read raises,
    // EAbort when the user gave it up.
    using TReadRows = std::function<std::optional<TTextRows>(const TTextReadOptions& Options)>;
    TTextRows ReadRows(const QString& Name, std::optional<TTextEncoding> Encoding, const TReadRows& Read);
    // Makes Text Editor's whole text; the old text's rows are freed on a thread of their own.
    TTextFileFormat LoadRows(TEditor& Editor, TTextRows& Text);

private:
    const TConfigFile& CurrentConfig() const;
    void LoadScriptFile(const QString& Name);
    void SaveScriptTo(const QString& Name);
    void SaveDataTo(const QString& Name);
    // Loads the file Name into Editor, in Encoding or the one its bytes show; how it is to be
    // written back. Raises when it cannot be read, EAbort when the user gave it up; Editor is
    // then unchanged. The status bar
    // tells what was read, and after SaveTextFile what was written.
    TTextFileFormat LoadTextFile(TEditor& Editor, const QString& Name, std::optional<TTextEncoding> Encoding = {});
    // Writes Editor's text in its file format as a save writes it. Cancelled, it raises EAbort
    // with the old file intact.
    TTextFileFormat SaveTextFile(TEditor& Editor, const QString& Name);
    // Runs Work on the file Name with progress titled "Name Doing". Work raises EAbort when the
    // user gave it up, and the status bar then says GivenUp.
    void WithProgress(const QString& Name, const QString& Doing, const QString& GivenUp,
                      const std::function<void(TFileProgress&)>& Work);
    // Editor's file format as a save writes it: an edited text has lines of its own, which all
    // end the way most lines of its file did.
    TTextFileFormat WriteFormatOf(const TEditor& Editor) const;
    // The format of Editor's file: the script's, the data's, a held text's; none for the result.
    const std::optional<TTextFileFormat>& StoredFormat(const TEditor& Editor) const;
    void ReportFile(const QString& Done, TEditor& Editor, const QString& Name);

    TEditor& FScript;
    TEditor& FData;
    TEditor& FResult;
    TUserDialogs& FDialogs;
    TFileCommandsHost& FHost;
    QString FFileName;
    QString FDataFileName; // the data page's file, for the save question
    // The formats of the script's and the data's files; none for a page without a file.
    std::optional<TTextFileFormat> FScriptFormat;
    std::optional<TTextFileFormat> FDataFormat;
    // The formats of the texts held by editors of no page of their own (the expected result).
    std::map<const TEditor*, std::optional<TTextFileFormat>> FHeldFormats;
    TFileProgress* FProgress = nullptr; // of the file being read or written
    TRowsFreer FFreer;                  // of the rows of the texts opens replaced
};

} // namespace kestrim
