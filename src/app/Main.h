#pragma once
// TfrmKestrim: the program's one window. A tool bar, four pages (script, data, result, Web; the
// first three one tab each or side by side), the message list under them and a status bar; it
// owns the runner, the settings and the current language configuration, and carries every user
// command as an action.

#include "app/FileCommands.h"
#include "app/LineJump.h"
#include "app/LiveRun.h"
#include "app/MainActions.h"
#include "app/RunController.h"
#include "app/SampleSeries.h"
#include "app/UserDialogs.h"
#include "app/WorkbenchCommands.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QDropEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace kestrim {

class TAboutDialog;
class TChangeMarksController;
class TConfigFile;
class TConsoleCommand;
class TEditor;
class TEditorFeatureCommands;
class TKestrimReg;
class TLanguageMenu;
class TMessageList;
class TPagePane;
class TSamples;
class TSamplesPanel;
class TRecentFilesMenu;
class TWrapCommands;
class TWebPage;
class TWorkbenchLayout;
enum class TBoxEdit;

class TfrmKestrim : public QMainWindow,
                    private TRunHost,
                    private TFileCommandsHost,
                    private TLiveRunHost,
                    private TWorkbenchHost {
    Q_OBJECT

public:
    enum TPage { pgScript = 0, pgData = 1, pgResult = 2, pgWeb = 3 };

    // Loads the settings and the language configuration. Dialogs answers for the user; without
    // it the window shows the real dialogs.
    explicit TfrmKestrim(std::unique_ptr<TUserDialogs> Dialogs = nullptr);
    // Stores the settings.
    ~TfrmKestrim() override;

    // The editor of the visible page; the script editor while the Web page is visible. With the
    // pages side by side, the editor with the focus (or the last one to have it).
    TEditor& CurrentEditor() const;
    // Side by side, an editor page's editor takes the focus.
    void ShowPage(TPage Page);
    // The pages side by side, or one tab each.
    void SetWorkbench(bool On);
    // The samples table above the data editor; the expected result's editor under the result.
    void SetSamplesVisible(bool Visible);
    void SetExpectedVisible(bool Visible);
    TSamples& Samples() const { return *FSamples; }
    // The script, data, result and expected result's editors.
    std::array<TEditor*, 4> Editors() const { return {tedScript, tedData, tedResult, tedExpected}; }

    // Status panel 1: the editor's caret as "line:column", both from 1; empty without an editor.
    void UpdateCaretStatus(TEditor* Editor);
    void UpdateCutCopy();
    void UpdatePaste();
    void UpdateCaption() override;
    void ConfirmSave();
    void SetEditorFont(const QFont& Font);
    void SetStatusBarVisible(bool Visible);
    void SetToolBarVisible(bool Visible);
    void SetRunning(bool Running) override;
    // Status panel 3: the visible page's encoding and its file's line ends; empty on the Web
    // page. The encoding commands name the other encoding.
    void UpdateEncodingStatus() override;
    // Status panel 5, beside the caret: shown while the current editor selects boxes.
    void ShowBoxMode(bool On);
    // Loads a language configuration: a bare name lies in conf/ beside the program. Never
    // fails: an error is shown in a message box and the steps after it are skipped.
    void LoadConfig(const QString& Name) override;
    const TConfigFile* Config() const override { return FConfig.get(); }
    TTextEncoding DefaultEncoding() const override;

    const QString& FileName() const { return FFileCommands->FileName(); }
    // The workbench file's full name; empty before one was opened or saved.
    const QString& WorkbenchFileName() const { return FWorkbenchCommands->FileName(); }
    // Opens a workbench file after the questions that leaving the texts asks, and enters it in
    // the recent files. Raises, with
    // nothing changed, when the file cannot be read or is no workbench this program reads, and
    // EAbort when the user cancels a question.
    void OpenWorkbenchFile(const QString& Name);
    const TMainActions& Actions() const { return *FActions; }
    TKestrimReg& Settings() const { return *FSettings; }
    // The text of status panel Index + 1; panel 4 is the result's state while live runs are on,
    // panel 5 the box mode, panel 6 the change marks' counts.
    QString StatusPanelText(int Index) const;
    int MessageHeight() const;
    void SetMessageHeight(int Height);

    // Opens files as a user opens them from outside (the command line, a drop): a ".kestrim"
    // file as the workbench; any other file, dropped on the script or the data page, there;
    // else by its kind (FileKindByName). At most one workbench, one script and one data file
    // open; one message names what failed (missing, a folder, unreadable) and what was left.
    // The rest open all the same, and a page keeps its text when its file fails.
    void OpenFiles(const QStringList& Paths, std::optional<TPage> DroppedOn = {});
    // Puts the file Path first in the File menu's recent files, as Kind.
    void RememberRecentFile(TRecentKind Kind, const QString& Path);

    // Components.
    QToolBar* tlbMain;
    QLineEdit* edtLanguageName;
    QTabWidget* pgcEditor;
    TEditor* tedScript;
    TEditor* tedData;
    TEditor* tedResult;
    TEditor* tedExpected;
    TWebPage* tbsWeb;
    QSplitter* Splitter2;
    TMessageList* lsbMessage;
    QMenu* mniEdit;
    QMenu* mniView;
    TLanguageMenu* mniLanguage;
    TRecentFilesMenu* mniRecent;
    QMenu* popMain;
    TAboutDialog* dlgAbout;

signals:
    // Another page is shown, or another editor became the current one.
    void CurrentEditorChanged();

protected:
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    QMenu* createPopupMenu() override;

private:
    int Scaled(int DesignPixels) const;
    void FormCreate();
    void FormDestroy();
    void ApplySettings();
    void StoreSettings();
    QSize NormalSize() const;
    void SetUpWebPage();
    void ReportMissingSettings(const QString& Name);
    void ShowLanguageName(const QString& Caption);

    void CreateComponents();
    void CreateToolBar();
    QWidget* CreateEditorPage(TEditor*& Editor, QToolBar* PageToolBar);
    void CreatePages();
    void CreateExpectedPane();
    void CreateSamples();
    void CreateStatusBar();
    void CreateMenus();
    void CreateAboutDialog();
    void ConnectEditor(TEditor& Editor);
    void ConnectActions();
    void ConnectPageAction(QAction* Action, TPage Page);
    void ConnectCommand(QAction* Action, std::function<void()> Handler);

    // Runs a command handler; an error that leaves it is shown by the error display, the
    // silent abort ends it without a message.
    void Execute(const std::function<void()>& Handler);

    // The page shown or the current editor changed.
    void pgcEditorChange();
    TPage VisiblePage() const;
    bool FormKeyDown(QKeyEvent* Event);
    bool FormMouseWheel(QObject* Watched, QWheelEvent* Event);
    void lsbMessageDblClick();
    void lsbMessageDataLineJump();
    // Shows Page and puts the focused caret of its Editor on Line (from 1), at the byte of that
    // line's text that ByteInLine gives.
    void ShowLine(TPage Page, TEditor& Editor, int Line, const TByteInLine& ByteInLine);
    // Selects the next (Direction 1) or previous (-1) message with a place and jumps there.
    void GoToMessage(int Direction);
    void mniHelpClick();
    void ShowResultPage() override;
    void ShowScriptPage() override;
    void ShowRunOutcome(const QString& Text) override;
    void ShowRunProgress(const QString& Text) override;
    TOutputLimits OutputLimits() const override;
    QString OutputLimitSetting(TOutputChannel Channel) const override;
    // Every run of the current sample goes into its row: F9, live runs and the series alike.
    void RunShown() override;
    void RunAllSamples();
    void TakeResultAsExpected();
    // The current sample's last result on the result page, as a run puts it there.
    void ShowCurrentSampleRun();
    void ShowKeptRun();
    // Status panel 2: what the program says stands until it says something else; a passing
    // hint (menu item, link) covers it only while it is not empty.
    void ShowHint(const QString& Hint);
    void ShowPassingHint(const QString& Hint);
    void ReportFileDone(const QString& Text) override;
    QString ConfigName() const override;
    QString ScriptExtension() const override;
    void RememberWorkbench(const QString& Name) override;
    void FileUsed(TRecentKind Kind, const QString& Name) override;
    QWidget& ProgressWindow() override { return *this; }
    // Opens a recent file as what it was; one that fails is told about and leaves the list.
    void OpenRecentFile(const TRecentFile& File);
    void ShowRecentFiles();
    // Files dropped on the window: a list of local files opens them (OpenFiles), on the page
    // under the drop. Whether Event was such a drop.
    bool FormDropFiles(QObject* Watched, QDropEvent* Event);
    // The editor page that holds Widget; none for the rest of the window.
    std::optional<TPage> PageOf(const QWidget* Widget) const;
    void UpdateRunActions();
    void SwitchLiveRun(bool On);
    void ExecuteCommand(const std::function<void()>& Command) override;
    void ShowResultState(bool Shown, TResultState State, const QString& Reason) override;
    void LiveRunningChanged() override;
    void LiveRunsSwitchedOff(const QString& Note) override;
    bool IsInThisWindow(QObject* Object) const;
    bool IsCommandShortcut(const QKeyEvent* Event) const;
    std::optional<TBoxEdit> BoxEditOf(const QKeyEvent* Event) const;

    std::unique_ptr<TUserDialogs> FDialogs;
    std::unique_ptr<TMainActions> FActions;
    std::unique_ptr<TConsoleCommand> FConsoleCommand;
    std::unique_ptr<TKestrimReg> FSettings;
    std::unique_ptr<TConfigFile> FConfig;
    std::unique_ptr<TRunController> FRunController;
    std::unique_ptr<TLiveRun> FLiveRun;
    std::unique_ptr<TSampleSeries> FSampleSeries;
    std::unique_ptr<TChangeMarksController> FChangeMarks; // ends before the editors, its marks with it
    bool FNormalRunning = false;
    std::unique_ptr<TFileCommands> FFileCommands;
    std::unique_ptr<TWorkbenchCommands> FWorkbenchCommands;
    TEditorFeatureCommands* FFeatureCommands = nullptr; // a child object
    TWrapCommands* FWrapCommands = nullptr;             // a child object
    TWorkbenchLayout* FWorkbench = nullptr;             // a child object
    TSamples* FSamples = nullptr;                       // a child object
    TPagePane* FSamplesPane = nullptr;                  // a child object of the panel
    TSamplesPanel* FSamplesPanel = nullptr;             // a child object
    // The current sample changed during a run, which then belongs to none.
    bool FRunOfOtherSample = false;
    TPagePane* FExpectedPane = nullptr;                 // a child object of the pane
    QLabel* FCaretPanel;
    QLabel* FHintPanel;
    QLabel* FEncodingPanel;
    QLabel* FResultStatePanel;
    QLabel* FBoxModePanel;
    QLabel* FChangesPanel;
    QWidget* pnlMessage;
    // The message panel's height while the window is not laid out yet.
    int FMessageHeight;
    bool FLaidOut = false;
    // The window's normal size when it was closed.
    std::optional<QSize> FClosedSize;
    // Command handlers on the stack: a run lets others run nested inside it.
    int FRunningCommands = 0;
    // What the editors noticed during the outermost command (characters that became "?"),
    // kept in the status bar beside the outcome of the run that command makes.
    QString FCommandNotice;
    QString FStandingHint;
};

} // namespace kestrim
