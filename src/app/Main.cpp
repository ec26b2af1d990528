#include "app/Main.h"

#include "app/ChangeMarksController.h"
#include "app/ConsoleCommand.h"
#include "app/EditCommands.h"
#include "app/EditorDesign.h"
#include "app/EditorFeatureCommands.h"
#include "app/EncodingPanel.h"
#include "app/FileEncoding.h"
#include "app/LanguageMenu.h"
#include "app/LineJump.h"
#include "app/MessageList.h"
#include "app/PagePane.h"
#include "app/ProgramDir.h"
#include "app/SampleRun.h"
#include "app/Samples.h"
#include "app/SamplesPanel.h"
#include "app/ProgramVersion.h"
#include "app/RecentFilesMenu.h"
#include "app/StandardLibrary.h"
#include "app/UserDialogs.h"
#include "app/WorkbenchLayout.h"
#include "app/WrapCommands.h"
#include "dialogs/About.h"
#include "dialogs/ApplicationTitle.h"
#include "editor/base/Exceptions.h"
#include "editor/control/EditorControl.h"
#include "editor/control/SjisQString.h"
#include "settings/UConfigFile.h"
#include "settings/UEditorSettings.h"
#include "settings/UKestrimReg.h"
#include "web/WebPage.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace kestrim {
namespace {

const QString ProgramTitle = QStringLiteral("Kestrim");
const QString CopyrightHolder = QStringLiteral("Vek");
const QString CopyrightYear = QStringLiteral("2026");
const QString ResultCaption = QStringLiteral("結果");
const QString ExpectedCaption = QStringLiteral("期待値");
const QString WorkbenchCaption = QStringLiteral("スクリプト・データ・結果");
const QString LiveRunExplanation =
    QStringLiteral("自動実行がオンの間は、入力が止まるたびにスクリプトがデータに対して実行されるので、"
                   "ファイルを書き換えたり消したりするスクリプトもそのたびに実行されます。");
const QString HelpFileName = QStringLiteral("kestrim.html");
const QString HelpFileHint = QStringLiteral("\r\n\r\nﾍﾙﾌﾟを見るためには実行ﾌｧｲﾙのあるﾌｫﾙﾀﾞの中に\r\n"
                                            "kestrim.html がなければいけません\r\n");

// Sizes are designed for 120 dots per inch and scaled to the screen.
constexpr int DesignDpi = 120;
constexpr int DesignWidth = 696;
constexpr int DesignHeight = 522;
constexpr int DesignMessageHeight = 105;
constexpr int DesignFontPixels = 15;
constexpr int DesignLanguageBoxWidth = 59;
constexpr int DesignCaretPanelWidth = 50;
constexpr int SplitterWidth = 4;
constexpr int PageCount = 4;

bool IsKeyOrWheel(const QEvent& Event)
{
    const QEvent::Type type = Event.type();
    return type == QEvent::ShortcutOverride || type == QEvent::KeyPress || type == QEvent::Wheel;
}

bool IsDragOrDrop(const QEvent& Event)
{
    const QEvent::Type type = Event.type();
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

} // namespace

TfrmKestrim::TfrmKestrim(std::unique_ptr<TUserDialogs> Dialogs)
    : FDialogs(Dialogs ? std::move(Dialogs) : std::make_unique<TQtUserDialogs>(this))
{
    setObjectName("frmKestrim");
    CreateComponents();
    FormCreate();
}

TfrmKestrim::~TfrmKestrim()
{
    qApp->removeEventFilter(this);
    FormDestroy();
}

int TfrmKestrim::Scaled(int DesignPixels) const
{
    return DesignPixels * logicalDpiY() / DesignDpi;
}

// ---------------------------------------------------------------------------------------------
// Components

void TfrmKestrim::CreateComponents()
{
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setPixelSize(Scaled(DesignFontPixels));
    setFont(windowFont);
    resize(Scaled(DesignWidth), Scaled(DesignHeight));
    FMessageHeight = Scaled(DesignMessageHeight);

    FActions = std::make_unique<TMainActions>(this);
    addActions(FActions->All());
    // Files dropped anywhere on the window open (FormDropFiles).
    setAcceptDrops(true);
    CreateToolBar();
    CreatePages();
    CreateStatusBar();
    CreateMenus();
    CreateAboutDialog();
    ConnectActions();
}

void TfrmKestrim::CreateToolBar()
{
    const TMainActions& a = *FActions;
    tlbMain = new QToolBar(this);
    tlbMain->setObjectName("tlbMain");
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setIconSize(QSize(Scaled(20), Scaled(20)));
    tlbMain->addActions({a.actNew, a.actLoad, a.actSave});
    tlbMain->addSeparator();
    tlbMain->addActions({a.actCut, a.actCopy, a.actPaste});
    tlbMain->addSeparator();
    tlbMain->addActions({a.actRun, a.actTerminate, a.actRunClipboard, a.actLiveRun});
    tlbMain->addSeparator();
    tlbMain->addAction(a.actViewWorkbench);
    tlbMain->addSeparator();
    tlbMain->addAction(a.actConfig);
    edtLanguageName = new QLineEdit(tlbMain);
    edtLanguageName->setObjectName("edtLanguageName");
    edtLanguageName->setReadOnly(true);
    edtLanguageName->setFocusPolicy(Qt::ClickFocus);
    tlbMain->addWidget(edtLanguageName);
    addToolBar(tlbMain);
}

QWidget* TfrmKestrim::CreateEditorPage(TEditor*& Editor, QToolBar* PageToolBar)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (PageToolBar) {
        PageToolBar->setParent(page);
        PageToolBar->setIconSize(QSize(Scaled(20), Scaled(20)));
        layout->addWidget(PageToolBar);
    }
    Editor = new TEditor(page);
    ApplyEditorDesign(*Editor);
    layout->addWidget(Editor, 1);
    ConnectEditor(*Editor);
    return page;
}

void TfrmKestrim::CreatePages()
{
    const TMainActions& a = *FActions;
    pgcEditor = new QTabWidget;
    pgcEditor->setObjectName("pgcEditor");
    pgcEditor->setFocusPolicy(Qt::NoFocus);

    auto* tlbData = new QToolBar;
    tlbData->setObjectName("tlbData");
    tlbData->addActions({a.actDataClear, a.actDataOpen, a.actDataSave});
    auto* tlbResult = new QToolBar;
    tlbResult->setObjectName("tlbResult");
    tlbResult->addActions({a.actResultCopy, a.actResultSave});
    tlbResult->addSeparator();
    tlbResult->addAction(a.actResultToExpected);

    pgcEditor->addTab(CreateEditorPage(tedScript, nullptr), QStringLiteral("スクリプト"));
    pgcEditor->addTab(CreateEditorPage(tedData, tlbData), QStringLiteral("データ"));
    pgcEditor->addTab(CreateEditorPage(tedResult, tlbResult), ResultCaption);
    tbsWeb = new TWebPage(*a.actWebBack, *a.actWebForward);
    tbsWeb->setObjectName("tbsWeb");
    pgcEditor->addTab(tbsWeb, QStringLiteral("Web"));
    tedScript->setObjectName("tedScript");
    tedData->setObjectName("tedData");
    tedResult->setObjectName("tedResult");
    FWorkbench = new TWorkbenchLayout(*pgcEditor, {tedScript, tedData, tedResult}, WorkbenchCaption, this);
    CreateExpectedPane();

    lsbMessage = new TMessageList;
    lsbMessage->setObjectName("lsbMessage");
    pnlMessage = new QWidget;
    pnlMessage->setObjectName("pnlMessage");
    auto* messageLayout = new QVBoxLayout(pnlMessage);
    messageLayout->setContentsMargins(0, 0, 0, 0);
    messageLayout->addWidget(lsbMessage);

    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName("Splitter2");
    Splitter2->setHandleWidth(SplitterWidth);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(pgcEditor);
    Splitter2->addWidget(pnlMessage);
    // The pages take every change of the window's height; the message panel keeps its own.
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    setCentralWidget(Splitter2);

    connect(pgcEditor, &QTabWidget::currentChanged, this, &TfrmKestrim::pgcEditorChange);
    connect(FWorkbench, &TWorkbenchLayout::CurrentEditorChanged, this, &TfrmKestrim::pgcEditorChange);
    connect(lsbMessage, &TMessageList::ScriptPlaceRequested, this, &TfrmKestrim::lsbMessageDblClick);
    connect(lsbMessage, &TMessageList::DataLinePlaceRequested, this, &TfrmKestrim::lsbMessageDataLineJump);
    addActions({lsbMessage->actMessageNext(), lsbMessage->actMessagePrev()});
    connect(Splitter2, &QSplitter::splitterMoved, this, [this] { FMessageHeight = pnlMessage->height(); });
    connect(tbsWeb, &TWebPage::StatusTextChanged, this, &TfrmKestrim::ShowPassingHint);
    connect(tbsWeb, &TWebPage::ErrorRaised, this, [this](const QString& Text) { FDialogs->ShowError(Text); });
}

// Under the result, in the result's place on the page: the two move as one between the views.
void TfrmKestrim::CreateExpectedPane()
{
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QLabel* caption = NewPaneCaption(pane);
    caption->setText(ExpectedCaption);
    layout->addWidget(caption);
    tedExpected = new TEditor(pane);
    tedExpected->setObjectName("tedExpected");
    ApplyEditorDesign(*tedExpected);
    layout->addWidget(tedExpected, 1);
    ConnectEditor(*tedExpected);
    FExpectedPane = new TPagePane(*tedResult, *pane, TPagePane::Below, "splExpected");
    FWorkbench->AddEditor(pgResult, *tedExpected);
}

void TfrmKestrim::CreateSamples()
{
    FSamples = new TSamples(*tedData, *tedExpected, *FFileCommands, [this] { return DefaultEncoding(); }, this);
    FSamples->ResultOnPage = [this] { return PageText(*tedResult); };
    FSamplesPanel =
        new TSamplesPanel(*FSamples, *FDialogs, [this](const std::function<void()>& Handler) { Execute(Handler); });
    FSamplesPane = new TPagePane(*tedData, *FSamplesPanel, TPagePane::Above, "splSamples");
    // A workbench of several samples shows them, a sample with an expected result shows it.
    connect(FSamples, &TSamples::CurrentChanged, this, [this] {
        if (FSamples->Count() > 1)
            SetSamplesVisible(true);
        if (FSamples->HasExpected(FSamples->Current()))
            SetExpectedVisible(true);
        UpdateCaption();
        pgcEditorChange();
    });
}

void TfrmKestrim::CreateStatusBar()
{
    FCaretPanel = new QLabel;
    FCaretPanel->setObjectName("stbMainPanel1");
    FCaretPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FCaretPanel->setMinimumWidth(Scaled(DesignCaretPanelWidth));
    FHintPanel = new QLabel;
    FHintPanel->setObjectName("stbMainPanel2");
    auto* encodingMenu = new QMenu(this);
    encodingMenu->addActions({FActions->actReopenEncoding, FActions->actConvertEncoding});
    FEncodingPanel = new TEncodingPanel(*encodingMenu);
    FEncodingPanel->setObjectName("stbMainPanel3");
    FResultStatePanel = new QLabel;
    FResultStatePanel->setObjectName("stbMainPanel4");
    FResultStatePanel->setContentsMargins(0, 0, Scaled(8), 0); // apart from the encoding beside it
    FResultStatePanel->hide();
    FBoxModePanel = new QLabel;
    FBoxModePanel->setObjectName("stbMainPanel5");
    FBoxModePanel->hide();
    FChangesPanel = new QLabel;
    FChangesPanel->setObjectName("stbMainPanel6");
    FChangesPanel->setContentsMargins(0, 0, Scaled(8), 0);
    FChangesPanel->hide();
    statusBar()->setObjectName("stbMain");
    statusBar()->addWidget(FCaretPanel);
    statusBar()->addWidget(FBoxModePanel);
    statusBar()->addWidget(FHintPanel, 1);
    statusBar()->addPermanentWidget(FChangesPanel);
    statusBar()->addPermanentWidget(FResultStatePanel);
    statusBar()->addPermanentWidget(FEncodingPanel);
}

void TfrmKestrim::CreateMenus()
{
    const TMainActions& a = *FActions;
    QMenuBar* mnuMain = menuBar();
    mnuMain->setObjectName("mnuMain");

    QMenu* file = mnuMain->addMenu(QStringLiteral("ファイル(&F)"));
    file->addActions({a.actNew, a.actLoad});
    file->addSeparator();
    file->addActions({a.actSave, a.actSaveAs});
    file->addSeparator();
    file->addActions({a.actWorkbenchNew, a.actWorkbenchOpen, a.actWorkbenchSave, a.actWorkbenchSaveAs});
    file->addSeparator();
    file->addActions({a.actReopenEncoding, a.actConvertEncoding});
    file->addSeparator();
    mniRecent = new TRecentFilesMenu([this](const TRecentFile& File) { OpenRecentFile(File); },
                                     [this] {
                                         FSettings->RecentFiles.Clear();
                                         ShowRecentFiles();
                                     },
                                     file);
    mniRecent->setObjectName("mniRecent");
    file->addMenu(mniRecent);
    file->addSeparator();
    file->addAction(a.mniExit);

    mniEdit = mnuMain->addMenu(QStringLiteral("編集(&E)"));
    mniEdit->setObjectName("mniEdit");
    mniEdit->addActions({a.actUndo, a.actRedo});
    mniEdit->addSeparator();
    mniEdit->addActions({a.actCut, a.actCopy, a.actPaste, a.actSelectAll});
    mniEdit->addSeparator();
    mniEdit->addActions({a.actFind, a.actFindNext, a.actFindPrev});

    mniView = mnuMain->addMenu(QStringLiteral("表示(&V)"));
    mniView->addActions({a.actViewScript, a.actViewData, a.actViewResult, a.actViewWeb});
    mniView->addSeparator();
    mniView->addAction(a.actViewWorkbench);
    mniView->addActions({a.actViewSamples, a.actViewExpected});
    mniView->addSeparator();
    mniView->addActions({a.actMoveTop, a.actMoveLineNumber, a.actMoveBottom});
    mniView->addSeparator();
    mniView->addActions({lsbMessage->actMessageNext(), lsbMessage->actMessagePrev()});
    // A menu of their own: their keys (M, N, P) are taken in the View menu.
    QMenu* changes = mniView->addMenu(QStringLiteral("変更箇所(&G)"));
    changes->addAction(a.actViewChanges);
    changes->addSeparator();
    changes->addActions({a.actNextChange, a.actPrevChange});
    mniView->addSeparator();
    mniView->addActions({a.actViewStatusBar, a.actViewToolBar});

    QMenu* run = mnuMain->addMenu(QStringLiteral("実行(&R)"));
    run->addActions({a.actRun, a.actTerminate, a.actRunClipboard});
    run->addSeparator();
    run->addActions({a.actRunAllSamples, a.actResultToExpected});
    run->addSeparator();
    run->addAction(a.actLiveRun);

    QMenu* settings = mnuMain->addMenu(QStringLiteral("設定(&S)"));
    settings->addActions({a.actFont, a.actConfig});
    mniLanguage = new TLanguageMenu(
        QStringLiteral("言語(&L)"), [this] { return QString::fromStdString(FSettings->ConfigFile); },
        [this](const QString& Name) { LoadConfig(Name); }, settings);
    mniLanguage->setObjectName("mniLanguage");
    settings->addMenu(mniLanguage);

    QMenu* help = mnuMain->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addActions({a.mniHelp, a.mniAbout});

    popMain = new QMenu(this);
    popMain->setObjectName("popMain");
    popMain->addActions({a.actUndo, a.actRedo});
    popMain->addSeparator();
    popMain->addActions({a.actCut, a.actCopy, a.actPaste});
}

void TfrmKestrim::CreateAboutDialog()
{
    dlgAbout = new TAboutDialog(this);
    dlgAbout->setObjectName("dlgAbout");
    dlgAbout->SetTitle(ProgramTitle);
    dlgAbout->SetVersion(ProgramVersion());
    dlgAbout->SetYear(CopyrightYear);
    dlgAbout->SetCopyright(CopyrightHolder);
}

// No tool-bar toggle menu of the toolkit's own: the view commands keep their check marks.
QMenu* TfrmKestrim::createPopupMenu()
{
    return nullptr;
}

void TfrmKestrim::ConnectEditor(TEditor& Editor)
{
    // A key released after its page was left (Ctrl+Tab) leaves the new page's caret shown.
    connect(&Editor, &TEditor::OnKeyUp, this, [this, &Editor] {
        if (Editor.isVisible() && &Editor == &CurrentEditor())
            UpdateCaretStatus(&Editor);
        UpdateCutCopy();
    });
    connect(&Editor, &TEditor::OnClick, this, [this, &Editor] { UpdateCaretStatus(&Editor); });
    connect(&Editor, &TEditor::OnChange, this, &TfrmKestrim::UpdateCaption);
    connect(&Editor, &TEditor::OnMouseUp, this, &TfrmKestrim::UpdateCutCopy);
    // Undo and redo may take a page's encoding back.
    connect(&Editor, &TEditor::OnChange, this, &TfrmKestrim::UpdateEncodingStatus);
    connect(&Editor, &TEditor::OnCharactersLost, this, [this] {
        FCommandNotice = QStringLiteral("Shift-JIS で表せない文字を \"?\" に置き換えました。");
        ShowHint(FCommandNotice);
    });
    Editor.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&Editor, &QWidget::customContextMenuRequested, this,
            [this, &Editor](const QPoint& Pos) { popMain->popup(Editor.mapToGlobal(Pos)); });
}

void TfrmKestrim::ConnectCommand(QAction* Action, std::function<void()> Handler)
{
    connect(Action, &QAction::triggered, this, [this, Handler = std::move(Handler)] { Execute(Handler); });
}

void TfrmKestrim::ConnectPageAction(QAction* Action, TPage Page)
{
    connect(Action, &QAction::triggered, this, [this, Page] { ShowPage(Page); });
}

void TfrmKestrim::ConnectActions()
{
    const TMainActions& a = *FActions;
    new TEditCommands(*this, a, *mniEdit, [this](const std::function<void()>& Handler) { Execute(Handler); });
    FFeatureCommands = new TEditorFeatureCommands(*this, *mniEdit, *mniView,
                                                  [this](const std::function<void()>& Handler) { Execute(Handler); });
    FWrapCommands = new TWrapCommands(*mniView, Editors(),
                                      [this](const std::function<void()>& Handler) { Execute(Handler); });
    // Line numbers narrow the text: a wrap at the window's width follows.
    connect(FFeatureCommands->actViewLineNumber, &QAction::triggered, FWrapCommands, &TWrapCommands::FitWindowWidth);
    ConnectCommand(a.actNew, [this] { FFileCommands->actNewExecute(); });
    ConnectCommand(a.actLoad, [this] { FFileCommands->actLoadExecute(); });
    ConnectCommand(a.actSave, [this] { FFileCommands->actSaveExecute(); });
    ConnectCommand(a.actSaveAs, [this] { FFileCommands->actSaveAsExecute(); });
    ConnectCommand(a.actWorkbenchNew, [this] { FWorkbenchCommands->actNewExecute(); });
    ConnectCommand(a.actWorkbenchOpen, [this] { FWorkbenchCommands->actOpenExecute(); });
    ConnectCommand(a.actWorkbenchSave, [this] { FWorkbenchCommands->actSaveExecute(); });
    ConnectCommand(a.actWorkbenchSaveAs, [this] { FWorkbenchCommands->actSaveAsExecute(); });
    ConnectCommand(a.actReopenEncoding, [this] { FFileCommands->ReopenInOtherEncoding(CurrentEditor()); });
    ConnectCommand(a.actConvertEncoding, [this] { FFileCommands->ConvertToOtherEncoding(CurrentEditor()); });
    ConnectCommand(a.actDataClear, [this] { FFileCommands->actDataClearExecute(); });
    ConnectCommand(a.actDataOpen, [this] { FFileCommands->actDataOpenExecute(); });
    ConnectCommand(a.actDataSave, [this] { FFileCommands->actDataSaveExecute(); });
    ConnectCommand(a.actResultCopy, [this] { FFileCommands->actResultCopyExecute(); });
    ConnectCommand(a.actResultSave, [this] { FFileCommands->actResultSaveExecute(); });
    ConnectCommand(a.actConfig, [this] { FFileCommands->actConfigExecute(); });

    ConnectCommand(a.actRun, [this] { FLiveRun->RunNormally([this] { FRunController->actRunExecute(); }); });
    ConnectCommand(a.actRunClipboard,
                   [this] { FLiveRun->RunNormally([this] { FRunController->actRunClipboardExecute(); }); });
    ConnectCommand(a.actTerminate, [this] {
        FSampleSeries->Stop();
        FLiveRun->Stop();
    });
    ConnectCommand(a.actRunAllSamples, [this] { FLiveRun->RunNormally([this] { RunAllSamples(); }); });
    ConnectCommand(a.actResultToExpected, [this] { TakeResultAsExpected(); });
    connect(a.actLiveRun, &QAction::triggered, this, &TfrmKestrim::SwitchLiveRun);

    ConnectPageAction(a.actViewScript, pgScript);
    ConnectPageAction(a.actViewData, pgData);
    ConnectPageAction(a.actViewResult, pgResult);
    ConnectPageAction(a.actViewWeb, pgWeb);
    connect(a.actViewWorkbench, &QAction::triggered, this, &TfrmKestrim::SetWorkbench);
    connect(a.actViewSamples, &QAction::triggered, this, &TfrmKestrim::SetSamplesVisible);
    connect(a.actViewExpected, &QAction::triggered, this, &TfrmKestrim::SetExpectedVisible);

    ConnectCommand(lsbMessage->actMessageNext(), [this] { GoToMessage(1); });
    ConnectCommand(lsbMessage->actMessagePrev(), [this] { GoToMessage(-1); });

    FChangeMarks = std::make_unique<TChangeMarksController>(
        *this, a, *FChangesPanel, [this](const std::function<void()>& Handler) { Execute(Handler); },
        [this](const QString& Hint) { ShowHint(Hint); });

    ConnectCommand(a.mniExit, [this] { close(); });
    ConnectCommand(a.mniHelp, [this] { mniHelpClick(); });
    ConnectCommand(a.mniAbout, [this] { FDialogs->ShowAbout(*dlgAbout); });
}

// ---------------------------------------------------------------------------------------------
// Start and end

void TfrmKestrim::FormCreate()
{
    FConsoleCommand = std::make_unique<TConsoleCommand>();
    FRunController = std::make_unique<TRunController>(*FConsoleCommand, *tedScript, *tedData, *tedResult,
                                                      *lsbMessage, static_cast<TRunHost&>(*this));
    FLiveRun = std::make_unique<TLiveRun>(*FRunController, *tedScript, *tedData, *tedResult, *lsbMessage,
                                          static_cast<TLiveRunHost&>(*this));
    FFileCommands = std::make_unique<TFileCommands>(*tedScript, *tedData, *tedResult, *FDialogs,
                                                    static_cast<TFileCommandsHost&>(*this));
    FSettings = std::make_unique<TKestrimReg>("Vek", "Kestrim");
    Execute([this] { FSettings->Load(); });
    CreateSamples();
    FSampleSeries = std::make_unique<TSampleSeries>(*FSamples, *FRunController, *lsbMessage);
    connect(FSamples, &TSamples::CurrentChanged, this, &TfrmKestrim::ShowCurrentSampleRun);
    ApplySettings();
    LoadConfig(QString::fromStdString(FSettings->ConfigFile));
    SetUpWebPage();
    FWorkbenchCommands = std::make_unique<TWorkbenchCommands>(*tedScript, *tedData, *FSamples, *FFileCommands,
                                                              *FDialogs, static_cast<TWorkbenchHost&>(*this));
    connect(tedScript, &TEditor::OnChange, this, [this] { FWorkbenchCommands->ScriptChanged(); });
    connect(FSamples, &TSamples::Changed, this, &TfrmKestrim::UpdateCaption);
    ShowPage(pgScript);
    pgcEditorChange();
    // Key preview and the mouse-wheel rule see the events before the focused control does.
    qApp->installEventFilter(this);
    // Joining the clipboard's watchers tells at once what it holds.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmKestrim::UpdatePaste);
    UpdatePaste();
    UpdateCutCopy();
    UpdateCaption();
}

void TfrmKestrim::ApplySettings()
{
    SetEditorFont(FSettings->Font);
    for (TEditor* editor : Editors())
        if (editor->Encoding() != FSettings->DefaultEncoding) {
            editor->SetEncodedText({}, FSettings->DefaultEncoding);
            editor->SetModified(false);
        }
    if (FSettings->Width > 0)
        resize(FSettings->Width, height());
    if (FSettings->Height > 0)
        resize(width(), FSettings->Height);
    SetStatusBarVisible(FSettings->StatusBar);
    SetToolBarVisible(FSettings->ToolBar);
    FFeatureCommands->ApplySettings(*FSettings);
    FWrapCommands->ApplySettings(*FSettings);
    FLiveRun->SetPauseMs(FSettings->LivePauseMS);
    FLiveRun->SetTimeLimitMs(FSettings->LiveTimeLimitMS);
    FActions->actLiveRun->setChecked(FSettings->LiveRun);
    FLiveRun->SetEnabled(FSettings->LiveRun);
    FChangeMarks->SetPauseMs(FSettings->LivePauseMS);
    FChangeMarks->ApplySettings(*FSettings);
    if (FSettings->MessageHeight > 0)
        SetMessageHeight(FSettings->MessageHeight);
    FWorkbench->SetShares(FSettings->WorkbenchScriptShare, FSettings->WorkbenchDataShare);
    SetWorkbench(FSettings->Workbench);
    FExpectedPane->SetShare(FSettings->ExpectedShare);
    SetExpectedVisible(FSettings->Expected);
    FSamplesPane->SetShare(FSettings->SamplesShare);
    SetSamplesVisible(FSettings->Samples);
    ShowRecentFiles();
}

// The list of reference pages; a URL file that cannot be read leaves it empty. The browser is
// made when the page is first shown. A browser that cannot start is told about in the status bar
// and in its place on the page; everything else works without it.
void TfrmKestrim::SetUpWebPage()
{
    try {
        tbsWeb->LoadUrlFile(SystemFileName(InConfDir(QString::fromStdString(FSettings->UrlFile))));
    } catch (const std::exception& Error) {
        FDialogs->ShowMessage(QString::fromUtf8(Error.what()));
    }
    if (!tbsWeb->BrowserMissing().isEmpty())
        ShowHint(tbsWeb->BrowserMissing());
}

void TfrmKestrim::closeEvent(QCloseEvent* Event)
{
    bool confirmed = false;
    Execute([this, &confirmed] {
        FWorkbenchCommands->ConfirmLeave();
        confirmed = true;
    });
    if (!confirmed) {
        Event->ignore();
        return;
    }
    // A run in progress ends with its stop error before the program ends; no live run follows.
    // A file being read or written is given up, the page and the file as they were.
    FFileCommands->CancelFileWork();
    FSampleSeries->Stop();
    FLiveRun->Stop();
    // The size stored at the end is the normal one, not the maximised one; the platform may
    // carry out the change of state only later.
    FClosedSize = NormalSize();
    if (isMaximized() || isMinimized() || isFullScreen())
        showNormal();
    Event->accept();
}

void TfrmKestrim::FormDestroy()
{
    FSampleSeries.reset();
    FLiveRun.reset();
    FRunController.reset();
    FConsoleCommand.reset();
    StoreSettings();
    Execute([this] { FSettings->Save(); });
    FSettings.reset();
    FConfig.reset();
}

void TfrmKestrim::StoreSettings()
{
    const QSize size = FClosedSize.value_or(NormalSize());
    FSettings->Width = size.width();
    FSettings->Height = size.height();
    FSettings->Font = tedScript->Font();
    FSettings->StatusBar = !statusBar()->isHidden();
    FSettings->ToolBar = !tlbMain->isHidden();
    FFeatureCommands->StoreSettings(*FSettings);
    FWrapCommands->StoreSettings(*FSettings);
    FSettings->LiveRun = FActions->actLiveRun->isChecked();
    FChangeMarks->StoreSettings(*FSettings);
    FSettings->MessageHeight = MessageHeight();
    FSettings->Workbench = FWorkbench->On();
    FSettings->WorkbenchScriptShare = FWorkbench->ScriptShare();
    FSettings->WorkbenchDataShare = FWorkbench->DataShare();
    FSettings->Expected = FExpectedPane->Shown();
    FSettings->ExpectedShare = FExpectedPane->Share();
    FSettings->Samples = FSamplesPane->Shown();
    FSettings->SamplesShare = FSamplesPane->Share();
}

QSize TfrmKestrim::NormalSize() const
{
    return isMaximized() || isMinimized() || isFullScreen() ? normalGeometry().size() : size();
}

void TfrmKestrim::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    FClosedSize.reset();
    if (!FLaidOut) {
        FLaidOut = true;
        SetMessageHeight(FMessageHeight);
    }
}

void TfrmKestrim::changeEvent(QEvent* Event)
{
    QMainWindow::changeEvent(Event);
    // The current editor takes the focus whenever the window is activated. On the Web page that
    // is the hidden script editor, which cannot take it: the focus then stays on the page.
    if (Event->type() == QEvent::ActivationChange && isActiveWindow())
        CurrentEditor().SetFocus();
}

// ---------------------------------------------------------------------------------------------
// Configuration

void TfrmKestrim::LoadConfig(const QString& Name)
{
    try {
        FConfig.reset();
        FConfig = std::make_unique<TConfigFile>(SystemFileName(InConfDir(Name)));
        ApplyConfigToEditors(*FConfig, *tedScript, *tedData, *tedResult);
        tedExpected->Marks().RetMark().Assign(tedResult->Marks().RetMark());
        ShowLanguageName(SjisToQString(FConfig->Caption()));
        LoadKeywordFile(FConfig->KeywordFile(), SystemFileName(ProgramDir()), tedScript->ReserveWordList());
        FSettings->ConfigFile = Name.toStdString();
        ReportMissingSettings(Name);
    } catch (const std::exception& Error) {
        FDialogs->ShowMessage(QString::fromUtf8(Error.what()));
    }
    const TConfigFile& config = ConfigOrDefaults(Config());
    lsbMessage->SetPatterns(config.ErrLine(), config.DataLine());
}

// Bad content falls back to the defaults without a question; the status bar says which
// settings were not found, so that a file that cannot run does not go unnoticed. A complete
// file clears what an earlier one left there.
void TfrmKestrim::ReportMissingSettings(const QString& Name)
{
    if (!QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(FConfig->FileName())))) {
        ShowHint(QStringLiteral("設定ファイル \"%1\" が見つからないため、すべての設定に既定値を使います。").arg(Name));
        return;
    }
    QStringList names;
    for (const std::string& setting : FConfig->MissingSettings())
        names << QString::fromStdString(setting);
    ShowHint(names.isEmpty()                             ? QString()
             : names.size() == TConfigFile::SettingCount
                 ? QStringLiteral("設定ファイル \"%1\" には設定が一つもありません。すべての設定に既定値を使います。").arg(Name)
                 : QStringLiteral("設定ファイル \"%1\" にない設定は既定値を使います: %2").arg(Name, names.join(QStringLiteral(", "))));
}

// The box is as wide as the language's name, and never narrower than designed. The width is
// worked out as the box works out its own size hint, for the name instead of its sample text.
void TfrmKestrim::ShowLanguageName(const QString& Caption)
{
    constexpr int LineEditMargin = 2; // the box's own space on either side of its text
    QLineEdit& box = *edtLanguageName;
    box.setText(Caption);
    const QMargins margins = box.textMargins() + box.contentsMargins();
    const int textWidth =
        box.fontMetrics().horizontalAdvance(Caption) + 2 * LineEditMargin + margins.left() + margins.right();
    QStyleOptionFrame frame;
    frame.initFrom(&box);
    frame.lineWidth = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &box);
    const int width =
        box.style()->sizeFromContents(QStyle::CT_LineEdit, &frame, QSize(textWidth, box.height()), &box).width();
    box.setFixedWidth(std::max(Scaled(DesignLanguageBoxWidth), width));
}

// ---------------------------------------------------------------------------------------------
// Pages, status bar and enabled states

TEditor& TfrmKestrim::CurrentEditor() const
{
    return FWorkbench->CurrentEditor();
}

void TfrmKestrim::ShowPage(TPage Page)
{
    FWorkbench->ShowPage(Page);
}

TfrmKestrim::TPage TfrmKestrim::VisiblePage() const
{
    return static_cast<TPage>(FWorkbench->VisiblePage());
}

void TfrmKestrim::SetWorkbench(bool On)
{
    FActions->actViewWorkbench->setChecked(On);
    FWorkbench->SetOn(On);
    pgcEditorChange();
}

void TfrmKestrim::SetSamplesVisible(bool Visible)
{
    FActions->actViewSamples->setChecked(Visible);
    FSamplesPane->SetShown(Visible);
}

// A hidden editor is no longer the current one.
void TfrmKestrim::SetExpectedVisible(bool Visible)
{
    FActions->actViewExpected->setChecked(Visible);
    FExpectedPane->SetShown(Visible);
    FChangeMarks->SetOldEditor(Visible ? *tedExpected : *tedData);
    if (!Visible && tedExpected->hasFocus())
        tedResult->SetFocus();
    pgcEditorChange();
}

void TfrmKestrim::ShowScriptPage()
{
    ShowPage(pgScript);
}

// Side by side the result is in view already: the focus stays where the user works.
void TfrmKestrim::ShowResultPage()
{
    FWorkbench->RevealPage(pgResult);
}

void TfrmKestrim::pgcEditorChange()
{
    const TMainActions& a = *FActions;
    const QList<QAction*> pageActions{a.actViewScript, a.actViewData, a.actViewResult, a.actViewWeb};
    const TPage page = VisiblePage();
    if (page >= 0 && page < pageActions.size())
        pageActions[page]->setChecked(true);
    UpdateCaretStatus(page == pgWeb ? nullptr : &CurrentEditor());
    UpdateCutCopy();
    UpdateEncodingStatus();
    emit CurrentEditorChanged();
}

TTextEncoding TfrmKestrim::DefaultEncoding() const
{
    return FSettings->DefaultEncoding;
}

void TfrmKestrim::UpdateEncodingStatus()
{
    const bool web = VisiblePage() == pgWeb;
    const TEditor& editor = CurrentEditor();
    const QString other = QString::fromUtf8(EncodingName(OtherEncoding(editor.Encoding())));
    FEncodingPanel->setText(web ? QString() : FFileCommands->StatusText(editor));
    FActions->actReopenEncoding->setText(other + QStringLiteral(" で開き直す(&R)"));
    FActions->actReopenEncoding->setEnabled(!web && FFileCommands->HasFile(editor));
    FActions->actConvertEncoding->setText(other + QStringLiteral(" に変換(&V)"));
    FActions->actConvertEncoding->setEnabled(!web);
}

void TfrmKestrim::ShowBoxMode(bool On)
{
    FBoxModePanel->setText(On ? QStringLiteral("Box選択") : QString());
    FBoxModePanel->setVisible(On);
}

void TfrmKestrim::UpdateCaretStatus(TEditor* Editor)
{
    FCaretPanel->setText(Editor ? QStringLiteral("%1:%2").arg(Editor->Row() + 1).arg(Editor->Col() + 1)
                                : QString());
}

void TfrmKestrim::UpdateCutCopy()
{
    const bool selected = CurrentEditor().HasSelectedText();
    FActions->actCut->setEnabled(selected);
    FActions->actCopy->setEnabled(selected);
}

void TfrmKestrim::UpdatePaste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    FActions->actPaste->setEnabled(data != nullptr && data->hasText());
}

// Unsaved work is marked as other editors mark it: "*" before the script's name ("無題" when it
// has none), and "*データ" for the data page.
// The pages a workbench in use holds are named by the workbench; a page with a file of its own
// by that file.
void TfrmKestrim::UpdateCaption()
{
    const TWorkbenchCommands* workbench = FWorkbenchCommands.get(); // none while the window is made
    const auto held = [workbench](const TEditor& Page) { return workbench && workbench->HoldsPage(Page); };
    QStringList pages;
    if (workbench && workbench->InUse()) {
        const QString name = workbench->FileName().isEmpty() ? QStringLiteral("ワークベンチ")
                                                             : QFileInfo(workbench->FileName()).fileName();
        pages << (workbench->Modified() ? QStringLiteral("*") : QString()) + name;
    }
    const QString mark = tedScript->Modified() ? QStringLiteral("*") : QString();
    if (!FileName().isEmpty())
        pages << mark + QFileInfo(FileName()).fileName();
    else if (!mark.isEmpty() && !held(*tedScript))
        pages << mark + QStringLiteral("無題");
    if (tedData->Modified() && !held(*tedData))
        pages << QStringLiteral("*データ");
    const QString caption =
        pages.isEmpty() ? ProgramTitle : QStringLiteral("%1 - %2").arg(pages.join(QStringLiteral(", ")), ProgramTitle);
    if (caption == windowTitle())
        return;
    SetApplicationTitle(caption);
    setWindowTitle(caption);
}

void TfrmKestrim::ConfirmSave()
{
    FFileCommands->ConfirmSave();
}

// The message list shows the interpreter's messages in the editors' font, so that a marker
// under a column of the script's line (Python's "^^^") stands under it.
void TfrmKestrim::SetEditorFont(const QFont& Font)
{
    for (TEditor* editor : Editors())
        editor->SetFont(Font);
    lsbMessage->setFont(Font);
    FWrapCommands->FitWindowWidth();
}

void TfrmKestrim::SetStatusBarVisible(bool Visible)
{
    statusBar()->setVisible(Visible);
    FActions->actViewStatusBar->setChecked(Visible);
}

void TfrmKestrim::SetToolBarVisible(bool Visible)
{
    tlbMain->setVisible(Visible);
    FActions->actViewToolBar->setChecked(Visible);
}

void TfrmKestrim::SetRunning(bool Running)
{
    FNormalRunning = Running;
    UpdateRunActions();
}

// A live run leaves the run commands enabled (they take over from it); Stop reaches it.
void TfrmKestrim::UpdateRunActions()
{
    FActions->actRun->setEnabled(!FNormalRunning);
    FActions->actRunClipboard->setEnabled(!FNormalRunning);
    FActions->actRunAllSamples->setEnabled(!FNormalRunning);
    FActions->actResultToExpected->setEnabled(!FNormalRunning);
    // Another sample made current would take the run's record, and the series' order with it.
    FSamplesPanel->setEnabled(!FNormalRunning);
    FActions->actTerminate->setEnabled(FNormalRunning || FLiveRun->LiveRunning());
    FChangeMarks->SetRunning(FNormalRunning || FLiveRun->LiveRunning());
}

void TfrmKestrim::SwitchLiveRun(bool On)
{
    if (On && !FSettings->LiveRunExplained) {
        FDialogs->ShowMessage(LiveRunExplanation);
        FSettings->LiveRunExplained = true;
    }
    FLiveRun->SetEnabled(On);
}

void TfrmKestrim::ExecuteCommand(const std::function<void()>& Command)
{
    Execute(Command);
}

void TfrmKestrim::ShowResultState(bool Shown, TResultState State, const QString& Reason)
{
    if (!Shown) {
        FWorkbench->SetCaption(pgResult, ResultCaption);
        FResultStatePanel->clear();
        FResultStatePanel->hide();
        return;
    }
    QString word;
    switch (State) {
    case TResultState::Fresh: word = QStringLiteral("最新"); break;
    case TResultState::Running: word = QStringLiteral("実行中"); break;
    case TResultState::Stale: word = QStringLiteral("古い"); break;
    case TResultState::Failed: word = QStringLiteral("失敗"); break;
    case TResultState::Stopped: word = QStringLiteral("中断"); break;
    }
    FWorkbench->SetCaption(pgResult, QStringLiteral("%1 (%2)").arg(ResultCaption, word));
    FResultStatePanel->setText(Reason.isEmpty() ? QStringLiteral("自動実行: %1").arg(word)
                                                : QStringLiteral("自動実行: %1 - %2").arg(word, Reason));
    FResultStatePanel->show();
}

void TfrmKestrim::LiveRunningChanged()
{
    UpdateRunActions();
}

void TfrmKestrim::LiveRunsSwitchedOff(const QString& Note)
{
    FActions->actLiveRun->setChecked(false);
    ShowHint(Note);
}

// Run with clipboard pastes before it runs: what the paste noticed stays beside the outcome.
void TfrmKestrim::ShowRunOutcome(const QString& Text)
{
    const QString separator = Text.isEmpty() || FCommandNotice.isEmpty() ? QString() : QStringLiteral("  ");
    ShowHint(Text + separator + FCommandNotice);
}

void TfrmKestrim::ShowRunProgress(const QString& Text)
{
    ShowHint(Text);
}

TOutputLimits TfrmKestrim::OutputLimits() const
{
    constexpr std::size_t MegaByte = std::size_t{1} << 20;
    return {static_cast<std::size_t>(FSettings->OutputLimitMB) * MegaByte,
            static_cast<std::size_t>(FSettings->ErrorLimitMB) * MegaByte};
}

QString TfrmKestrim::OutputLimitSetting(TOutputChannel Channel) const
{
    return QStringLiteral("設定ファイル %1 の [%2] %3")
        .arg(FSettings->FileName(), TKestrimReg::RunSection,
             Channel == TOutputChannel::Output ? TKestrimReg::OutputLimitIdent : TKestrimReg::ErrorLimitIdent);
}

void TfrmKestrim::RunShown()
{
    if (std::exchange(FRunOfOtherSample, false)) {
        ShowKeptRun();
        return;
    }
    const std::size_t current = FSamples->Current();
    std::optional<TWorkbenchText> expected;
    if (FSamples->HasExpected(current))
        expected = PageText(*tedExpected);
    FSamples->SetLastRunOnPage(LastSampleRun(*FRunController, *tedResult, expected));
}

// One command for the whole series, as F9 is one: the run commands wait and Stop reaches it.
void TfrmKestrim::RunAllSamples()
{
    SetRunning(true);
    const auto leave = qScopeGuard([this] { SetRunning(false); });
    ShowHint(SeriesSummary(FSampleSeries->Run(FSettings->LiveTimeLimitMS)));
}

// The result page's text, whatever the user did to it since the run: what the user sees is
// what the user takes. The run's verdict is measured again against it.
void TfrmKestrim::TakeResultAsExpected()
{
    const std::size_t current = FSamples->Current();
    std::optional<TSampleRun> run = FSamples->LastRun(current);
    if (!run) {
        ShowHint(QStringLiteral("このサンプルはまだ実行していないので、期待値にする結果がありません。"));
        return;
    }
    const TWorkbenchText expected = PageText(*tedResult);
    FSamples->ExpectedEditor().ReplaceText(expected.Bytes, expected.Encoding);
    SetExpectedVisible(true);
    if (run->Verdict == TSampleVerdict::Pass || run->Verdict == TSampleVerdict::Fail
        || run->Verdict == TSampleVerdict::NoExpectation) {
        MeasureAgainst(*run, expected, expected);
        FSamples->SetLastRunOnPage(std::move(*run));
    }
}

// A result belongs to the data it was made of: a sample that has not run yet shows an empty
// result page, not the result of the sample shown before, which the change marks would then
// measure against the wrong data.
void TfrmKestrim::ShowCurrentSampleRun()
{
    if (FSampleSeries->Running())
        return;
    // A live run in progress was started on the sample shown before: its output is not this
    // one's, and it waits until that run has ended.
    if (FRunController->Running()) {
        FRunOfOtherSample = true;
        return;
    }
    ShowKeptRun();
}

void TfrmKestrim::ShowKeptRun()
{
    const std::optional<TSampleRun>& run = FSamples->LastRun(FSamples->Current());
    FRunController->ShowKeptResult(run ? run->Result.Bytes : std::string(),
                                   run ? run->Result.Encoding : tedResult->Encoding());
}

void TfrmKestrim::ShowHint(const QString& Hint)
{
    FStandingHint = Hint;
    FHintPanel->setText(Hint);
}

// A menu item's hint or a link under the mouse stands in panel 2 only while it is there; then
// what the program last said (a run's outcome, a file opened) comes back.
void TfrmKestrim::ShowPassingHint(const QString& Hint)
{
    FHintPanel->setText(Hint.isEmpty() ? FStandingHint : Hint);
}

void TfrmKestrim::ReportFileDone(const QString& Text)
{
    ShowHint(Text);
}

QString TfrmKestrim::ConfigName() const
{
    return QString::fromStdString(FSettings->ConfigFile);
}

QString TfrmKestrim::ScriptExtension() const
{
    return SjisToQString(ConfigOrDefaults(Config()).DefaultExt());
}

void TfrmKestrim::RememberWorkbench(const QString& Name)
{
    RememberRecentFile(TRecentKind::Workbench, Name);
}

void TfrmKestrim::OpenWorkbenchFile(const QString& Name)
{
    FWorkbenchCommands->Open(Name);
}

QString TfrmKestrim::StatusPanelText(int Index) const
{
    const QLabel* panels[] = {FCaretPanel, FHintPanel, FEncodingPanel, FResultStatePanel, FBoxModePanel,
                              FChangesPanel};
    return panels[Index]->text();
}

int TfrmKestrim::MessageHeight() const
{
    return FLaidOut ? pnlMessage->height() : FMessageHeight;
}

void TfrmKestrim::SetMessageHeight(int Height)
{
    FMessageHeight = Height;
    if (!FLaidOut)
        return;
    const QList<int> sizes = Splitter2->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    Splitter2->setSizes({std::max(0, total - Height), Height});
}

// ---------------------------------------------------------------------------------------------
// Events

bool TfrmKestrim::event(QEvent* Event)
{
    // The long hint of the command under the mouse goes to status panel 2.
    if (Event->type() == QEvent::StatusTip) {
        ShowPassingHint(static_cast<QStatusTipEvent*>(Event)->tip());
        return true;
    }
    return QMainWindow::event(Event);
}

bool TfrmKestrim::IsInThisWindow(QObject* Object) const
{
    const auto* widget = qobject_cast<QWidget*>(Object);
    return widget != nullptr && widget->window() == this;
}

// A focused control may keep a command's key for itself; the window's enabled commands come
// first, so that on the Web page they still act on the current editor.
bool TfrmKestrim::IsCommandShortcut(const QKeyEvent* Event) const
{
    const QKeySequence pressed(Event->keyCombination());
    const QList<QAction*> actions = FActions->All();
    return std::any_of(actions.begin(), actions.end(), [&pressed](const QAction* Action) {
        return Action->isEnabled() && Action->shortcuts().contains(pressed);
    });
}

// The edit command whose shortcut Event is: in a text box of the Web page it acts on the box.
std::optional<TBoxEdit> TfrmKestrim::BoxEditOf(const QKeyEvent* Event) const
{
    const TMainActions& a = *FActions;
    const std::pair<QAction*, TBoxEdit> edits[] = {
        {a.actUndo, TBoxEdit::Undo}, {a.actRedo, TBoxEdit::Redo},   {a.actCut, TBoxEdit::Cut},
        {a.actCopy, TBoxEdit::Copy}, {a.actPaste, TBoxEdit::Paste}, {a.actSelectAll, TBoxEdit::SelectAll}};
    const QKeySequence pressed(Event->keyCombination());
    for (const auto& [action, edit] : edits)
        if (action->shortcuts().contains(pressed))
            return edit;
    return std::nullopt;
}

// The filter sees the events of every object, those of objects being destroyed among them, whose
// type can no longer be asked: it looks at the object only for key and wheel events, which reach
// living widgets only.
bool TfrmKestrim::eventFilter(QObject* Watched, QEvent* Event)
{
    // Before the control under the mouse (a text box, the browser) takes the files for text.
    if (IsDragOrDrop(*Event) && IsInThisWindow(Watched) && FormDropFiles(Watched, static_cast<QDropEvent*>(Event)))
        return true;
    if (!IsKeyOrWheel(*Event) || !IsInThisWindow(Watched))
        return QMainWindow::eventFilter(Watched, Event);
    const bool inTextBox = tbsWeb->IsTextBox(Watched);
    if (Event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        // Accepted: no command runs, the key press goes to the box (below).
        if (inTextBox && BoxEditOf(key)) {
            Event->accept();
            return true;
        }
        if (IsCommandShortcut(key)) {
            Event->ignore();
            return true;
        }
    }
    if (Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if (FormKeyDown(key))
            return true;
        const std::optional<TBoxEdit> edit = inTextBox ? BoxEditOf(key) : std::nullopt;
        if (edit)
            tbsWeb->EditTextBox(Watched, *edit);
        return edit.has_value();
    }
    // The browser is a control of its own that scrolls its page by the wheel: its wheel turns
    // are not the window's.
    if (Event->type() == QEvent::Wheel && !tbsWeb->IsInBrowser(Watched))
        return FormMouseWheel(Watched, static_cast<QWheelEvent*>(Event));
    return QMainWindow::eventFilter(Watched, Event);
}

// Ctrl+Tab and Ctrl+Shift+Tab step through the pages, wrapping around. The caret panel shows
// the position before the key takes effect; the editors' key-release handlers refresh it.
bool TfrmKestrim::FormKeyDown(QKeyEvent* Event)
{
    const bool control = Event->modifiers().testFlag(Qt::ControlModifier);
    const bool backward = Event->key() == Qt::Key_Backtab
                          || (Event->key() == Qt::Key_Tab && Event->modifiers().testFlag(Qt::ShiftModifier));
    const bool pageKey = control && (Event->key() == Qt::Key_Tab || Event->key() == Qt::Key_Backtab);
    if (pageKey)
        ShowPage(static_cast<TPage>((VisiblePage() + (backward ? PageCount - 1 : 1)) % PageCount));
    UpdateCaretStatus(VisiblePage() == pgWeb ? nullptr : &CurrentEditor());
    return pageKey;
}

// Every wheel turn scrolls the current editor by one line, whatever its size and wherever the
// mouse is in the window. Side by side, where three editors are in view, it scrolls the one
// under the mouse.
bool TfrmKestrim::FormMouseWheel(QObject* Watched, QWheelEvent* Event)
{
    const int delta = Event->angleDelta().y();
    if (delta == 0)
        return false;
    TEditor* editor = &CurrentEditor();
    if (FWorkbench->On())
        for (TEditor* pageEditor : Editors())
            if (Watched->isWidgetType() && pageEditor->isAncestorOf(static_cast<QWidget*>(Watched)))
                editor = pageEditor;
    editor->ScrollLines(delta > 0 ? -1 : 1);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfrmKestrim::Execute(const std::function<void()>& Handler)
{
    if (++FRunningCommands == 1)
        FCommandNotice.clear();
    try {
        Handler();
    } catch (const EAbort&) {
    } catch (const ECommandTerminate& Stop) {
        // The user stopped the run: no error, only the news that it was stopped.
        FDialogs->ShowInformation(QString::fromUtf8(Stop.what()));
    } catch (const std::exception& Error) {
        FDialogs->ShowError(QString::fromUtf8(Error.what()));
    }
    --FRunningCommands;
    // The window closed while a command was still running (a run keeps the window alive). The
    // application's request to quit was posted then, and the message box that reported the
    // stop has dropped it, as every new event loop does: ask again once the last one has ended.
    if (FClosedSize && FRunningCommands == 0)
        QCoreApplication::quit();
}

void TfrmKestrim::lsbMessageDblClick()
{
    Execute([this] {
        const auto place = lsbMessage->SelectedScriptPlace(ConfigOrDefaults(Config()).ErrLine());
        if (!place)
            return;
        ShowLine(pgScript, *tedScript, place->Named.Line,
                 [&place, encoding = tedScript->Encoding()](std::string_view Line) {
                     return ScriptPlaceByte(*place, Line, encoding);
                 });
    });
}

void TfrmKestrim::lsbMessageDataLineJump()
{
    Execute([this] {
        const auto place = lsbMessage->SelectedDataPlace(ConfigOrDefaults(Config()).DataLine());
        if (!place)
            return;
        ShowLine(pgData, *tedData, place->Named.Line,
                 [&place, encoding = tedData->Encoding()](std::string_view Line) {
                     return ColumnByte(Line, place->Named.Column, encoding);
                 });
    });
}

void TfrmKestrim::ShowLine(TPage Page, TEditor& Editor, int Line, const TByteInLine& ByteInLine)
{
    ShowPage(Page);
    MoveCaretToLine(Editor, Line, ByteInLine);
    UpdateCaretStatus(&Editor);
    Editor.SetFocus();
}

void TfrmKestrim::GoToMessage(int Direction)
{
    const int next = lsbMessage->NextPlaceMessage(Direction);
    if (next < 0) {
        QApplication::beep();
        ShowHint(Direction > 0 ? QStringLiteral("これより後に移動先のあるメッセージはありません。")
                               : QStringLiteral("これより前に移動先のあるメッセージはありません。"));
        return;
    }
    lsbMessage->SelectMessage(next);
    lsbMessageDblClick();
}

void TfrmKestrim::mniHelpClick()
{
    const QString folder = ProgramDir();
    if (!FolderCanBeEntered(folder)) {
        FDialogs->ErrorMessage(folder + QStringLiteral(" が見つかりません") + HelpFileHint);
        return;
    }
    switch (ShellOpen(folder, HelpFileName)) {
    case TShellOpenResult::Opened:
        break;
    case TShellOpenResult::NotFound:
        FDialogs->ErrorMessage(HelpFileName + QStringLiteral(" が見つかりません") + HelpFileHint);
        break;
    case TShellOpenResult::Failed:
        // No program opens it (a machine without a desktop): the Web page's browser shows it.
        tbsWeb->Load(QUrl::fromLocalFile(QDir(folder).filePath(HelpFileName)));
        ShowPage(pgWeb);
        break;
    }
}

} // namespace kestrim
