#pragma once
// TWorkbenchCommands: the workbench as a document. New, Open, Save and Save As of a workbench
// file, whether it holds changes, and the questions asked before anything would be lost.
//
// A workbench is in use once it has a file, or once the samples hold more than the data page
// alone would (several samples, an expected result). Then its file holds the script and the
// data pages that have no file of their own, and its question replaces theirs. Without it, the
// script and the data are asked about as they always were.

#include "editor/text/TextFileRead.h"
#include "editor/text/Workbench.h"

#include <QString>

#include <optional>

namespace kestrim {

class TEditor;
class TFileCommands;
class TSamples;
class TUserDialogs;

// What the commands need of the window they work in.
class TWorkbenchHost {
public:
    virtual ~TWorkbenchHost() = default;
    // The language configuration's name as the settings hold it, and loading another one.
    virtual QString ConfigName() const = 0;
    virtual void LoadConfig(const QString& Name) = 0;
    // The script page's file extension in the current configuration, without a dot.
    virtual QString ScriptExtension() const = 0;
    virtual void UpdateCaption() = 0;
    virtual void ReportFileDone(const QString& Text) = 0;
    // A workbench file was opened or saved.
    virtual void RememberWorkbench(const QString& Name) = 0;
};

class TWorkbenchCommands {
public:
    TWorkbenchCommands(TEditor& Script, TEditor& Data, TSamples& Samples, TFileCommands& Files, TUserDialogs& Dialogs,
                       TWorkbenchHost& Host);

    // The workbench file's full name; empty before one was opened or saved.
    const QString& FileName() const { return FFileName; }
    bool InUse() const;
    // Whether the workbench holds changes its file lacks.
    bool Modified() const;
    // The script page changed: a change of the workbench when it holds the script.
    void ScriptChanged();
    // Whether Editor's page is saved in the workbench file: the workbench is in use and the
    // page has no file of its own.
    bool HoldsPage(const TEditor& Editor) const;

    // Asks about everything that would be lost by leaving the texts: the workbench when it is
    // in use and changed, and the script and the data as ever unless the workbench holds them.
    // Raises EAbort when the user cancels.
    void ConfirmLeave();

    void actNewExecute();
    void actOpenExecute();
    // Opens the workbench file Name after the questions of ConfirmLeave. A file that is no
    // workbench this program reads raises its reason with nothing changed.
    void Open(const QString& Name);
    void actSaveExecute();
    // Raises EAbort when the user cancels the dialog.
    void actSaveAsExecute();

private:
    TWorkbench Collect() const;
    void Apply(TWorkbench Workbench, std::optional<TTextRows> CurrentData = {});
    void SaveTo(const QString& Name);
    // The workbench as saved or opened: the pages it holds are no longer changed.
    void MarkSaved();

    TEditor& FScript;
    TEditor& FData;
    TSamples& FSamples;
    TFileCommands& FFiles;
    TUserDialogs& FDialogs;
    TWorkbenchHost& FHost;
    QString FFileName;
    bool FScriptChanged = false;
    QString FSavedLanguage;
};

} // namespace kestrim
