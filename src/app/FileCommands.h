#pragma once
// TFileCommands: the script page as a document (a file name, the editor's modified flag, New,
// Open, Save and Save As with the save question), the data and result pages as scratch areas
// loaded from and saved to any file, and loading another language configuration.
//
// A file is read completely before an editor changes, and written through a temporary file
// that replaces the old one only when complete, so that a failure loses neither the editor's
// text nor the file on disk.
//
// The script and the data are read as bytes; a UTF-8 file may be opened as UTF-8 instead, when
// the user so chooses, and is then saved in UTF-8 again (FileEncoding.h).

#include "app/FileEncoding.h"

#include <QString>

namespace kestrim {

class TConfigFile;
class TEditor;
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
    // The encoding of the script's or the data's file changed.
    virtual void UpdateEncodingStatus() = 0;
    // What a file was read from or written to, for the status bar.
    virtual void ReportFileDone(const QString& Text) = 0;
};

class TFileCommands {
public:
    TFileCommands(TEditor& Script, TEditor& Data, TEditor& Result, TUserDialogs& Dialogs,
                  TFileCommandsHost& Host);

    // Full name of the script file being edited; empty for a new script.
    const QString& FileName() const { return FFileName; }
    // The encoding Editor's file is written in: the one its file was opened in (the script's
    // and the data's), Shift-JIS for a new script and for the result.
    TFileEncoding EncodingOf(const TEditor& Editor) const;

    // Asks whether to save a modified script. Raises EAbort when the user cancels the question
    // or the save dialog it leads to, so that the operation that asked ends too.
    void ConfirmSave();
    // The same question for a modified data page, named by the file it was last opened from or
    // saved to ("無題" when none); Yes without a name asks for one. Raises EAbort on Cancel.
    void ConfirmSaveData();

    void actNewExecute();
    void actLoadExecute();
    void actSaveExecute();
    // Raises EAbort when the user cancels the dialog.
    void actSaveAsExecute();

    void actDataClearExecute();
    void actDataOpenExecute();
    void actDataSaveExecute();
    void actResultCopyExecute();
    void actResultSaveExecute();

    void actConfigExecute();

private:
    const TConfigFile& CurrentConfig() const;
    void ScriptSaved();
    void SaveDataTo(const QString& Name);
    // Loads the file Name into Editor, as UTF-8 when it is UTF-8 text and the user chooses so;
    // the encoding it was read in. Raises when it cannot be read or a character of a UTF-8
    // file has no Shift-JIS form; Editor is then unchanged. The status bar tells what was read.
    TFileEncoding LoadTextFile(TEditor& Editor, const QString& Name);
    TFileEncoding ReadTextFile(TEditor& Editor, const QString& Name);
    // Writes Editor's text to Name; the status bar then tells what was written.
    void SaveTextFile(TEditor& Editor, const QString& Name, TFileEncoding Encoding);
    void ReportFile(const QString& Done, TEditor& Editor, const QString& Name, TFileEncoding Encoding);

    TEditor& FScript;
    TEditor& FData;
    TEditor& FResult;
    TUserDialogs& FDialogs;
    TFileCommandsHost& FHost;
    QString FFileName;
    QString FDataFileName; // the data page's file, for the save question
    TFileEncoding FScriptEncoding = TFileEncoding::ShiftJis;
    TFileEncoding FDataEncoding = TFileEncoding::ShiftJis;
};

} // namespace kestrim
