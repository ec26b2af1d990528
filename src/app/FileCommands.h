#pragma once
// TFileCommands: the script page as a document (a file name, the editor's modified flag, New,
// Open, Save and Save As with the save question), the data and result pages as scratch areas
// loaded from and saved to any file, and loading another language configuration.
//
// A file is read completely before an editor changes, and written through a temporary file
// that replaces the old one only when complete, so that a failure loses neither the editor's
// text nor the file on disk.

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
    // The script's file name changed.
    virtual void UpdateCaption() = 0;
    virtual void LoadConfig(const QString& Name) = 0;
};

class TFileCommands {
public:
    TFileCommands(TEditor& Script, TEditor& Data, TEditor& Result, TUserDialogs& Dialogs,
                  TFileCommandsHost& Host);

    // Full name of the script file being edited; empty for a new script.
    const QString& FileName() const { return FFileName; }

    // Asks whether to save a modified script. Raises EAbort when the user cancels the question
    // or the save dialog it leads to, so that the operation that asked ends too.
    void ConfirmSave();

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
    void SaveScriptTo(const QString& Name);

    TEditor& FScript;
    TEditor& FData;
    TEditor& FResult;
    TUserDialogs& FDialogs;
    TFileCommandsHost& FHost;
    QString FFileName;
};

} // namespace kestrim
