#pragma once
// The main window under test: its settings and program folder in a folder of the test's own,
// its dialogs answered from queues and logged.

#include "app/Main.h"

#include "app/FileDialogs.h"
#include "app/LanguageMenu.h"
#include "app/MainActions.h"
#include "app/MessageList.h"
#include "app/ProgramDir.h"
#include "dialogs/ApplicationTitle.h"
#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/control/EditorControl.h"
#include "settings/UKestrimReg.h"
#include "web/WebPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <deque>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

using namespace kestrim;

namespace {

// What the window asked and told the user; it outlives the window, which owns the dialogs.
struct TDialogLog {
    std::deque<std::optional<QString>> Files; // answers of the file dialogs, in turn
    std::deque<TSaveAnswer> Answers;          // answers of the save question, in turn
    std::vector<TFileDialogOptions> FileRequests;
    std::vector<QString> Questions;
    std::vector<QString> Errors;        // the commands' error display
    std::vector<QString> Messages;      // plain message boxes
    std::vector<QString> Informations;  // information boxes
    std::vector<QString> ErrorMessages; // error sound and box
    int AboutShown = 0;
};

class TFakeDialogs : public TUserDialogs {
public:
    explicit TFakeDialogs(TDialogLog& Log) : FLog(Log) {}

    std::optional<QString> ChooseFile(const TFileDialogOptions& Options) override
    {
        FLog.FileRequests.push_back(Options);
        return Next(FLog.Files, std::optional<QString>());
    }
    TSaveAnswer AskYesNoCancel(const QString& Text) override
    {
        FLog.Questions.push_back(Text);
        return Next(FLog.Answers, TSaveAnswer::Cancel);
    }
    void ShowError(const QString& Text) override { FLog.Errors.push_back(Text); }
    void ShowMessage(const QString& Text) override { FLog.Messages.push_back(Text); }
    void ShowInformation(const QString& Text) override { FLog.Informations.push_back(Text); }
    void ErrorMessage(const QString& Text) override { FLog.ErrorMessages.push_back(Text); }
    void ShowAbout(TAboutDialog&) override { ++FLog.AboutShown; }

private:
    template <typename T>
    static T Next(std::deque<T>& Queue, T WhenEmpty)
    {
        if (!Queue.empty()) {
            std::swap(WhenEmpty, Queue.front());
            Queue.pop_front();
        }
        return WhenEmpty;
    }

    TDialogLog& FLog;
};

std::string Sjis(const char* Utf8)
{
    return Utf8ToSjis(Utf8);
}

[[maybe_unused]] std::string Bytes(const QString& FileName)
{
    return ReadFileBytes(QFile::encodeName(FileName).toStdString());
}

[[maybe_unused]] void Write(const QString& FileName, const std::string& Content)
{
    WriteFileBytes(QFile::encodeName(FileName).toStdString(), Content);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFolder.isValid());
        // The program's folder holds the shipped configuration; runs write their script there.
        const QDir shipped(QCoreApplication::applicationDirPath() + "/conf");
        QDir(FFolder.path()).mkpath("conf");
        for (const QString& name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), Path("conf/" + name));
        OverrideProgramDir(FFolder.path());
        RedirectSettings(Path("settings"));
    }

    void TearDown() override
    {
        FWindow.reset();
        OverrideProgramDir(QString());
    }

    QString Path(const QString& Name) const { return QDir(FFolder.path()).filePath(Name); }
    QString SettingsFile() const { return FSettingsFolder + "/Vek/Kestrim.ini"; }

    void RedirectSettings(const QString& Folder)
    {
        FSettingsFolder = Folder;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder);
    }

    TfrmKestrim& Window()
    {
        if (!FWindow)
            FWindow = std::make_unique<TfrmKestrim>(std::make_unique<TFakeDialogs>(Log));
        return *FWindow;
    }

    // Shortcuts work only in the active window.
    TfrmKestrim& ShownWindow()
    {
        TfrmKestrim& window = Window();
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return window;
    }

    void CloseWindow() { FWindow.reset(); }

    void Press(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : FWindow.get();
        QTest::keyClick(target, static_cast<Qt::Key>(Key), Modifiers);
    }

    void SetScript(const char* Utf8) { Window().tedScript->Lines().SetText(Sjis(Utf8)); }

    int Page() { return Window().pgcEditor->currentIndex(); }

    TDialogLog Log;
    QTemporaryDir FFolder;
    QString FSettingsFolder;
    std::unique_ptr<TfrmKestrim> FWindow;
};

} // namespace
