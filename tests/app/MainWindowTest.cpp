#include "app/MainWindowFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>
#include <sys/resource.h>

using namespace std::string_literals;

namespace {

// ---------------------------------------------------------------------------------------------
// Start, settings and closing

TEST_F(MainWindowTest, FirstStartUsesTheDefaults)
{
    TfrmKestrim& window = ShownWindow();
    const TMainActions& a = window.Actions();
    EXPECT_EQ(window.size(), QSize(640, 480));
    EXPECT_EQ(window.MessageHeight(), 80);
    EXPECT_TRUE(window.statusBar()->isVisible());
    EXPECT_TRUE(window.tlbMain->isVisible());
    EXPECT_TRUE(a.actViewStatusBar->isChecked());
    EXPECT_TRUE(a.actViewToolBar->isChecked());
    EXPECT_EQ(window.edtLanguageName->text(), "Perl");
    EXPECT_EQ(window.windowTitle(), "Kestrim");
    EXPECT_EQ(Page(), TfrmKestrim::pgScript);
    EXPECT_TRUE(a.actViewScript->isChecked());
    EXPECT_TRUE(window.tedScript->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(window.StatusPanelText(0), "1:1");
    EXPECT_TRUE(a.actRun->isEnabled());
    EXPECT_TRUE(a.actRunClipboard->isEnabled());
    EXPECT_FALSE(a.actTerminate->isEnabled());
    EXPECT_FALSE(a.actCut->isEnabled()); // nothing selected
    EXPECT_EQ(window.Settings().ConfigFile, "Perl.ini");
    EXPECT_TRUE(Log.Errors.empty() && Log.Messages.empty());

    CloseWindow();
    QSettings stored(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Form/Width").toString(), "640");
    EXPECT_EQ(stored.value("Form/MessageHeight").toString(), "80");
    EXPECT_EQ(stored.value("Form/StatusBar").toString(), "1");
    EXPECT_EQ(stored.value("Conf/File").toString(), "Perl.ini");
}

TEST_F(MainWindowTest, SettingsOfOneRunAreAppliedAtTheNextStart)
{
    Write(Path("ruby.ini"), "[Command]\r\nCaption=Ruby\r\n");
    {
        TfrmKestrim& window = ShownWindow();
        window.resize(700, 500);
        window.SetEditorFont(QFont("IPAGothic", 14));
        window.SetStatusBarVisible(false);
        window.SetToolBarVisible(false);
        window.SetMessageHeight(120);
        window.LoadConfig(Path("ruby.ini"));
        CloseWindow();
    }
    TfrmKestrim& window = ShownWindow();
    EXPECT_EQ(window.size(), QSize(700, 500));
    EXPECT_EQ(window.MessageHeight(), 120);
    EXPECT_FALSE(window.statusBar()->isVisible());
    EXPECT_FALSE(window.Actions().actViewStatusBar->isChecked());
    EXPECT_FALSE(window.tlbMain->isVisible());
    EXPECT_FALSE(window.Actions().actViewToolBar->isChecked());
    for (TEditor* editor : {window.tedScript, window.tedData, window.tedResult}) {
        EXPECT_EQ(editor->Font().family(), "IPAGothic");
        EXPECT_EQ(editor->Font().pointSize(), 14);
    }
    // A configuration chosen with its full path is stored with it.
    EXPECT_EQ(window.edtLanguageName->text(), "Ruby");
    EXPECT_EQ(window.Settings().ConfigFile, Path("ruby.ini").toStdString());
}

TEST_F(MainWindowTest, GarbageSettingsGiveTheDefaults)
{
    QDir().mkpath(FSettingsFolder + "/Vek");
    Write(SettingsFile(), "\0\xff[[Form\nWidth=\x81\nHeight\n=\n[Form]Width=abc"s);
    TfrmKestrim& window = Window();
    EXPECT_EQ(window.size(), QSize(640, 480));
    EXPECT_EQ(window.edtLanguageName->text(), "Perl");
    EXPECT_TRUE(Log.Errors.empty());
    CloseWindow();

    // Sizes that are not positive leave the designed size.
    Write(SettingsFile(), "[Form]\nWidth=0\nHeight=-5\n");
    TfrmKestrim& designed = Window();
    const int dpi = designed.logicalDpiY();
    EXPECT_EQ(designed.size(), QSize(696 * dpi / 120, 522 * dpi / 120));
}

TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAreReportedAtTheEnd)
{
    Write(Path("plain-file"), "x");
    RedirectSettings(Path("plain-file/settings"));
    Window();
    EXPECT_TRUE(Log.Errors.empty());
    CloseWindow();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].contains("Kestrim.ini")) << Log.Errors[0].toStdString();
}

TEST_F(MainWindowTest, ClosingAsksToSaveAndStoresTheNormalSize)
{
    TfrmKestrim& window = ShownWindow();
    SetScript("print 1;");
    Log.Answers = {TSaveAnswer::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Log.Questions.size(), 1u);

    window.showMaximized();
    QTest::qWait(50);
    Log.Answers = {TSaveAnswer::No};
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isMaximized());
    CloseWindow();
    QSettings stored(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Form/Width").toString(), "640");
}

// ---------------------------------------------------------------------------------------------
// Pages, keys, wheel, clipboard

TEST_F(MainWindowTest, CtrlTabStepsThroughThePagesAndWrapsAround)
{
    TfrmKestrim& window = ShownWindow();
    Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Page(), TfrmKestrim::pgWeb);
    EXPECT_TRUE(window.Actions().actViewWeb->isChecked());
    EXPECT_EQ(window.StatusPanelText(0), "");
    EXPECT_EQ(&window.CurrentEditor(), window.tedScript);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Page(), TfrmKestrim::pgScript);
    // Also while an editor has the focus, which would take a plain Tab as text.
    window.tedScript->SetFocus();
    for (int page : {TfrmKestrim::pgData, TfrmKestrim::pgResult, TfrmKestrim::pgWeb, TfrmKestrim::pgScript}) {
        Press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(Page(), page);
    }
    EXPECT_EQ(window.tedScript->Lines().Text(), "");
}

TEST_F(MainWindowTest, PageChangesShowTheirEditorsCaret)
{
    TfrmKestrim& window = ShownWindow();
    window.tedData->Lines().SetText("abc\r\ndef");
    window.tedData->SetRowCol(1, 2);
    window.Actions().actViewData->trigger();
    EXPECT_EQ(&window.CurrentEditor(), window.tedData);
    EXPECT_EQ(window.StatusPanelText(0), "2:3");
    window.tedData->SelectAll();
    window.Actions().actViewResult->trigger();
    EXPECT_FALSE(window.Actions().actCopy->isEnabled());
    window.Actions().actViewData->trigger();
    EXPECT_TRUE(window.Actions().actCopy->isEnabled());
}

TEST_F(MainWindowTest, EveryWheelTurnScrollsTheCurrentEditorByOneLine)
{
    TfrmKestrim& window = ShownWindow();
    std::string lines;
    for (int i = 0; i < 300; ++i)
        lines += "line\r\n";
    window.tedScript->Lines().SetText(lines);
    window.tedScript->SetRow(100);
    window.tedScript->ScrollCaret();
    auto turn = [&](QWidget* Target, int Delta) {
        QWheelEvent wheel(QPointF(5, 5), Target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, Delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Target, &wheel);
    };
    const int y = window.tedScript->CaretPos().y();
    turn(window.lsbMessage->viewport(), -360);
    const int pitch = y - window.tedScript->CaretPos().y();
    EXPECT_GT(pitch, 0);
    turn(window.lsbMessage->viewport(), 1);
    EXPECT_EQ(window.tedScript->CaretPos().y(), y);
    // The Web page has no editor: the wheel scrolls the script editor behind it.
    window.ShowPage(TfrmKestrim::pgWeb);
    turn(window.pgcEditor, -120);
    EXPECT_EQ(window.tedScript->CaretPos().y(), y - pitch);
    // The browser scrolls its own page.
    QWidget* browserView = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        browserView = window.tbsWeb->Browser()->focusProxy();
        return browserView != nullptr;
    }));
    if (browserView)
        turn(browserView, -120);
    EXPECT_EQ(window.tedScript->CaretPos().y(), y - pitch);
}

TEST_F(MainWindowTest, PasteFollowsTheClipboard)
{
    QGuiApplication::clipboard()->clear();
    TfrmKestrim& window = Window();
    EXPECT_FALSE(window.Actions().actPaste->isEnabled());
    QGuiApplication::clipboard()->setText("text");
    EXPECT_TRUE(window.Actions().actPaste->isEnabled());
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(window.Actions().actPaste->isEnabled());
}

// ---------------------------------------------------------------------------------------------
// Running and the message list

TEST_F(MainWindowTest, F9RunsTheScriptOnTheDataAndShowsTheResult)
{
    TfrmKestrim& window = ShownWindow();
    SetScript("print uc while <STDIN>;\r\nprint STDERR \"two\\nlines\\n\";\r\n");
    window.tedData->Lines().SetText("abc\r\ndef\r\n");
    Press(Qt::Key_F9);
    EXPECT_EQ(window.tedResult->Lines().Text(), "ABC\r\nDEF\r\n");
    EXPECT_EQ(Page(), TfrmKestrim::pgResult);
    EXPECT_EQ(window.lsbMessage->count(), 2);
    EXPECT_TRUE(window.StatusPanelText(1).startsWith("終了コード 0")) << window.StatusPanelText(1).toStdString();
    EXPECT_TRUE(window.Actions().actRun->isEnabled());
    EXPECT_FALSE(window.Actions().actTerminate->isEnabled());
    EXPECT_TRUE(window.tedScript->Modified()); // a run does not save the user's script
    EXPECT_EQ(window.windowTitle().toStdString(), "*無題, *データ - Kestrim");
    EXPECT_TRUE(Log.Errors.empty());
}

// What the program said stays in the status bar when a menu item's hint has come and gone.
TEST_F(MainWindowTest, TheStatusBarTellsWhatOpenSaveAndRunDidAndKeepsItUnderPassingHints)
{
    TfrmKestrim& window = ShownWindow();
    Write(Path("a.pl"), "print 1;\r\nprint 2;\r\n");
    const auto hover = [&](const QString& Tip) {
        QStatusTipEvent event(Tip);
        QApplication::sendEvent(&window, &event);
    };
    const std::pair<std::function<void()>, QString> steps[] = {
        {[&] { Log.Files = {Path("a.pl")}; window.Actions().actLoad->trigger(); }, "a.pl を開きました (Shift-JIS, 2 行)"},
        {[&] { Log.Files = {Path("b.pl")}; window.Actions().actSaveAs->trigger(); }, "b.pl に保存しました (Shift-JIS, 2 行)"},
        {[&] { hover("menu"); hover(""); }, "b.pl に保存しました (Shift-JIS, 2 行)"},
        {[&] { window.Actions().actRun->trigger(); hover("menu"); hover(""); }, "終了コード 0"},
    };
    for (const auto& [step, text] : steps) {
        step();
        EXPECT_TRUE(window.StatusPanelText(1).startsWith(text)) << window.StatusPanelText(1).toStdString();
    }
    hover("menu");
    EXPECT_EQ(window.StatusPanelText(1), "menu");
}

TEST_F(MainWindowTest, CtrlF2StopsAScriptThatNeverEnds)
{
    TfrmKestrim& window = ShownWindow();
    SetScript("$| = 1; print \"started\\n\"; sleep 1 while 1;");
    bool runningStates = false;
    QTimer::singleShot(500, [&] {
        const TMainActions& a = window.Actions();
        runningStates = !a.actRun->isEnabled() && !a.actRunClipboard->isEnabled() && a.actTerminate->isEnabled();
        // F9 does nothing while the run goes on.
        Press(Qt::Key_F9);
        Press(Qt::Key_F2, Qt::ControlModifier);
    });
    QElapsedTimer timer;
    timer.start();
    Press(Qt::Key_F9);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(runningStates);
    EXPECT_TRUE(Log.Errors.empty());
    EXPECT_EQ(Log.Informations, std::vector<QString>{"コマンド処理を中断しました。"});
    EXPECT_EQ(window.tedResult->Lines().Text(), "started\r\n");
    EXPECT_TRUE(window.Actions().actRun->isEnabled());
    EXPECT_FALSE(window.Actions().actTerminate->isEnabled());
}

TEST_F(MainWindowTest, ClosingTheWindowStopsTheRun)
{
    TfrmKestrim& window = ShownWindow();
    SetScript("sleep 1 while 1;");
    window.tedScript->SetModified(false);
    QTimer::singleShot(300, [&] { window.close(); });
    QElapsedTimer timer;
    timer.start();
    window.Actions().actRun->trigger();
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(Log.Errors.empty());
    EXPECT_EQ(Log.Informations, std::vector<QString>{"コマンド処理を中断しました。"});
}

// Exit during a run shows the stop message, and then the program's event loop ends, although
// the real message box has run an event loop of its own. The loop runs in a child process, as
// ending it ends the browser engine for good.
TEST_F(MainWindowTest, ExitDuringARunReportsTheStopAndEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TfrmKestrim window; // the real message boxes
            window.show();
            window.tedScript->Lines().SetText("sleep 1 while 1;");
            window.tedScript->SetModified(false);
            QTimer::singleShot(0, &window, [&] { window.Actions().actRun->trigger(); });
            QTimer::singleShot(500, &window, [&] { window.Actions().mniExit->trigger(); });
            QString shown;
            QTimer acceptStopMessage;
            acceptStopMessage.callOnTimeout([&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    if (box->icon() == QMessageBox::Information)
                        shown = box->text();
                    box->accept();
                }
            });
            acceptStopMessage.start(100);
            QTimer::singleShot(15000, [] { ::_exit(2); }); // a program that goes on is a failure
            const int result = QCoreApplication::exec();
            ::_exit(result == 0 && shown == "コマンド処理を中断しました。" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MainWindowTest, TheOutputLimitComesFromTheSettingsAndItsMessageSaysWhereToChangeIt)
{
    QDir().mkpath(QFileInfo(SettingsFile()).path());
    Write(SettingsFile(), "[Run]\nOutputLimitMB=1\n");
    TfrmKestrim& window = ShownWindow();
    SetScript("print \"x\" x 99, \"\\n\" while 1;");
    window.Actions().actRun->trigger();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].startsWith("標準出力が上限の 1 MB に達したので")) << Log.Errors[0].toStdString();
    EXPECT_TRUE(Log.Errors[0].contains("設定ファイル " + SettingsFile() + " の [Run] OutputLimitMB"))
        << Log.Errors[0].toStdString();
    EXPECT_EQ(window.tedResult->Lines().Count(), (1 << 20) / 100 + 1);
    EXPECT_TRUE(window.Actions().actRun->isEnabled());
}

TEST_F(MainWindowTest, AMissingInterpreterIsReported)
{
    Write(Path("conf/missing.ini"), "[Command]\r\nCommand=no-such-interpreter\r\nScript=script.pl\r\n");
    TfrmKestrim& window = ShownWindow();
    window.LoadConfig("missing.ini");
    window.Actions().actRun->trigger();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].endsWith("を起動できません。")) << Log.Errors[0].toStdString();
    EXPECT_EQ(Page(), TfrmKestrim::pgScript);
    EXPECT_TRUE(window.Actions().actRun->isEnabled());
}

TEST_F(MainWindowTest, DoubleClickOnAMessageMovesTheCaretToTheScriptLine)
{
    TfrmKestrim& window = ShownWindow();
    SetScript("a\r\nb\r\nc\r\nd\r\n");
    window.tedScript->SetRowCol(0, 1);
    TMemoryStream errors("Useless use at script line 3.\nnothing here\n");
    window.lsbMessage->LoadFromStream(errors);
    window.ShowPage(TfrmKestrim::pgData);
    auto doubleClick = [&](int Index) {
        QListWidgetItem* item = window.lsbMessage->item(Index);
        const QPoint at = window.lsbMessage->visualItemRect(item).center();
        // The toolkit's double-click follows the press that picks the item.
        QTest::mouseClick(window.lsbMessage->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(window.lsbMessage->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };
    doubleClick(1);
    EXPECT_EQ(Page(), TfrmKestrim::pgData);
    doubleClick(0);
    EXPECT_EQ(Page(), TfrmKestrim::pgScript);
    EXPECT_EQ(window.tedScript->Row(), 2);
    EXPECT_EQ(window.tedScript->Col(), 0);
    EXPECT_EQ(window.StatusPanelText(0), "3:1");
    EXPECT_TRUE(window.tedScript->isAncestorOf(QApplication::focusWidget()));

    // A pattern the matcher rejects is shown and leaves the caret alone.
    Write(Path("conf/bad.ini"), "[Environment]\r\nErrLine=line (\\d+\r\n");
    window.LoadConfig("bad.ini");
    window.tedScript->SetRowCol(0, 0);
    doubleClick(0);
    EXPECT_EQ(Log.Errors.size(), 1u);
    EXPECT_EQ(window.tedScript->Row(), 0);
}

// ---------------------------------------------------------------------------------------------
// File commands

TEST_F(MainWindowTest, OpenAndNewSetTheCaption)
{
    TfrmKestrim& window = ShownWindow();
    Write(Path("sample.pl"), "print 1;\r\n");
    window.ShowPage(TfrmKestrim::pgData);
    Log.Files = {Path("sample.pl")};
    window.Actions().actLoad->trigger();
    EXPECT_EQ(window.tedScript->Lines().Text(), "print 1;\r\n");
    EXPECT_FALSE(window.tedScript->Modified());
    EXPECT_EQ(window.FileName(), Path("sample.pl"));
    EXPECT_EQ(window.windowTitle(), "sample.pl - Kestrim");
    EXPECT_EQ(ApplicationTitle(), "sample.pl - Kestrim");
    // Not the toolkit's display name, which would be appended to every dialog's own title.
    EXPECT_NE(QGuiApplication::applicationDisplayName(), "sample.pl - Kestrim");
    EXPECT_EQ(Page(), TfrmKestrim::pgScript);
    const TFileDialogOptions& open = Log.FileRequests.back();
    EXPECT_EQ(open.Kind, TFileDialogOptions::Open);
    EXPECT_TRUE(open.MustExist);
    EXPECT_EQ(open.Filter, "Perlスクリプト(*.pl)|*.pl|すべてのファイル(*.*)|*.*");

    window.Actions().actNew->trigger();
    EXPECT_TRUE(Log.Questions.empty()); // nothing was changed
    EXPECT_EQ(window.tedScript->Lines().Text(), "");
    EXPECT_EQ(window.windowTitle(), "Kestrim");
    EXPECT_EQ(ApplicationTitle(), "Kestrim");
}

// Each step, then the caption it leaves.
TEST_F(MainWindowTest, TheCaptionMarksUnsavedScriptAndData)
{
    TfrmKestrim& window = Window();
    const TMainActions& a = window.Actions();
    Write(Path("a.pl"), "1");
    const std::pair<std::function<void()>, QString> steps[] = {
        {[&] { SetScript("x"); }, "*無題 - Kestrim"},
        {[&] { window.tedData->Lines().SetText("d"); }, "*無題, *データ - Kestrim"},
        {[&] { Log.Files = {Path("d.txt")}; a.actDataSave->trigger(); }, "*無題 - Kestrim"},
        {[&] { Log.Answers = {TSaveAnswer::No}; Log.Files = {Path("a.pl")}; a.actLoad->trigger(); }, "a.pl - Kestrim"},
        {[&] { window.tedScript->SetFocus(); QTest::keyClick(window.tedScript, Qt::Key_A); }, "*a.pl - Kestrim"},
        {[&] { a.actSave->trigger(); }, "a.pl - Kestrim"},
    };
    for (const auto& [step, caption] : steps) {
        step();
        EXPECT_EQ(window.windowTitle().toStdString(), caption.toStdString());
    }
}

TEST_F(MainWindowTest, ConfirmSaveAnswers)
{
    TfrmKestrim& window = Window();
    SetScript("keep");

    Log.Answers = {TSaveAnswer::Cancel};
    window.Actions().actNew->trigger();
    ASSERT_EQ(Log.Questions.size(), 1u);
    EXPECT_EQ(Log.Questions[0], "(新規ファイル)\r\nの内容は変更されています。\r\n保存しますか？");
    EXPECT_EQ(window.tedScript->Lines().Text(), "keep");

    // Yes on a script never saved leads to Save As; cancelling it cancels the New too.
    Log.Answers = {TSaveAnswer::Yes};
    window.Actions().actNew->trigger();
    EXPECT_EQ(Log.FileRequests.back().Kind, TFileDialogOptions::Save);
    EXPECT_EQ(window.tedScript->Lines().Text(), "keep");
    EXPECT_TRUE(window.tedScript->Modified());

    Log.Answers = {TSaveAnswer::Yes};
    Log.Files = {Path("kept.pl")};
    window.Actions().actNew->trigger();
    EXPECT_EQ(Bytes(Path("kept.pl")), "keep");
    EXPECT_EQ(window.tedScript->Lines().Text(), "");
    EXPECT_FALSE(window.tedScript->Modified());

    SetScript("dropped");
    Log.Answers = {TSaveAnswer::No};
    Log.Files = {Path("kept.pl")};
    window.Actions().actLoad->trigger();
    EXPECT_EQ(Log.Questions.back(), "(新規ファイル)\r\nの内容は変更されています。\r\n保存しますか？");
    EXPECT_EQ(window.tedScript->Lines().Text(), "keep");

    // A named script is saved without a dialog, and the question names it.
    SetScript("changed");
    const std::size_t dialogs = Log.FileRequests.size();
    Log.Answers = {TSaveAnswer::Yes};
    window.Actions().actNew->trigger();
    EXPECT_TRUE(Log.Questions.back().startsWith(Path("kept.pl") + "\r\n"));
    EXPECT_EQ(Log.FileRequests.size(), dialogs);
    EXPECT_EQ(Bytes(Path("kept.pl")), "changed");
}

TEST_F(MainWindowTest, SaveReplacesTheFileKeepingItsPermissions)
{
    TfrmKestrim& window = Window();
    Write(Path("script.txt"), "old");
    ::chmod(QFile::encodeName(Path("script.txt")).constData(), 0640);
    Log.Files = {Path("script.txt")};
    window.Actions().actLoad->trigger();
    SetScript("new text");
    window.Actions().actSave->trigger();
    EXPECT_EQ(Bytes(Path("script.txt")), "new text");
    struct stat info {};
    ::stat(QFile::encodeName(Path("script.txt")).constData(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_FALSE(window.tedScript->Modified());

    // A failed save tells why and changes nothing.
    Log.Files = {Path("no-folder/x.pl")};
    window.Actions().actSaveAs->trigger();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].contains("no-folder/x.pl"));
    EXPECT_EQ(window.FileName(), Path("script.txt"));
    EXPECT_EQ(window.tedScript->Lines().Text(), "new text");
}

TEST_F(MainWindowTest, SaveAsOffersTheConfigurationsFileType)
{
    TfrmKestrim& window = Window();
    window.Actions().actSaveAs->trigger(); // cancelled: nothing happens, no message
    TFileDialogOptions save = Log.FileRequests.back();
    EXPECT_EQ(save.Filter, "Perlスクリプト(*.pl)|*.pl|すべてのファイル(*.*)|*.*");
    EXPECT_EQ(save.DefaultExt, "pl");
    EXPECT_TRUE(save.ConfirmOverwrite);
    EXPECT_TRUE(Log.Errors.empty());

    Write(Path("conf/ruby.ini"), Sjis("[Environment]\r\nDefaultExt=rb\r\nDialogExt=Rubyスクリプト(*.rb)|*.rb\r\n"));
    Log.Files = {Path("conf/ruby.ini")};
    window.Actions().actConfig->trigger();
    EXPECT_EQ(Log.FileRequests.back().Filter, "設定ファイル(*.ini)|*.ini");
    EXPECT_EQ(window.Settings().ConfigFile, Path("conf/ruby.ini").toStdString());
    window.Actions().actSaveAs->trigger();
    save = Log.FileRequests.back();
    EXPECT_EQ(save.Filter, "Rubyスクリプト(*.rb)|*.rb");
    EXPECT_EQ(save.DefaultExt, "rb");
}

// The language menu lists conf/ and the configuration loaded last from elsewhere; choosing one
// loads it as the file dialog would, which opens in conf/.
TEST_F(MainWindowTest, TheLanguageMenuSwitchesConfigurationsWithoutTheFileDialog)
{
    TfrmKestrim& window = Window();
    const auto items = [&] {
        window.mniLanguage->Rebuild();
        QStringList shown;
        for (const QAction* action : window.mniLanguage->actions())
            if (!action->isSeparator())
                shown << action->text() + (action->isChecked() ? "*" : "");
        return shown;
    };
    const auto choose = [&](const QString& Text) {
        for (QAction* action : window.mniLanguage->actions())
            if (action->text() == Text)
                action->trigger();
    };
    EXPECT_EQ(items(), (QStringList{"Awk", "Perl*", "Python", "Ruby", "Sh"}));
    choose("Ruby");
    EXPECT_EQ(window.edtLanguageName->text(), "Ruby");
    EXPECT_EQ(window.Settings().ConfigFile, "Ruby.ini");
    EXPECT_EQ(items(), (QStringList{"Awk", "Perl", "Python", "Ruby*", "Sh"}));

    Write(Path("mine.ini"), "[Command]\r\nCaption=Mine\r\n");
    Log.Files = {Path("mine.ini")};
    window.Actions().actConfig->trigger();
    EXPECT_EQ(Log.FileRequests.back().Folder, Path("conf"));
    EXPECT_EQ(items(), (QStringList{"Awk", "Perl", "Python", "Ruby", "Sh", Path("mine.ini") + "*"}));
    choose("Perl");
    EXPECT_EQ(window.edtLanguageName->text(), "Perl");
    EXPECT_EQ(items(), (QStringList{"Awk", "Perl*", "Python", "Ruby", "Sh"}));
}

TEST_F(MainWindowTest, DataAndResultPagesLoadAndSaveAnyFile)
{
    TfrmKestrim& window = Window();
    window.tedData->Lines().SetText("keep me\r\n");
    // A data file that cannot be read leaves the data page as it was.
    Log.Files = {Path("missing.txt")};
    window.Actions().actDataOpen->trigger();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].contains("missing.txt"));
    EXPECT_EQ(window.tedData->Lines().Text(), "keep me\r\n");

    Write(Path("data.txt"), "no final break");
    Log.Files = {Path("data.txt")};
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), "no final break");
    EXPECT_EQ(Log.FileRequests.back().Filter, "すべてのファイル(*.*)|*.*");

    window.tedResult->Lines().SetText("result\r\n");
    Log.Files = {Path("data.txt")};
    window.Actions().actResultSave->trigger();
    EXPECT_FALSE(Log.FileRequests.back().ConfirmOverwrite);
    EXPECT_EQ(Bytes(Path("data.txt")), "result\r\n");

    window.Actions().actResultCopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "result\n");
    EXPECT_EQ(window.tedResult->SelLength(), 0);

    // Clear is an edit like any other: Undo brings the data back.
    window.ShowPage(TfrmKestrim::pgData);
    window.Actions().actDataClear->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), "");
    window.Actions().actUndo->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), "no final break");
}

// Closing the window while a file is read gives the open up: the page keeps its text.
TEST_F(MainWindowTest, ClosingTheWindowGivesUpAnOpenAndKeepsThePage)
{
    TfrmKestrim& window = ShownWindow();
    std::string big;
    for (int line = 0; line < 300000; ++line)
        big += "a line of a data file that takes a while to read\r\n";
    Write(Path("big.txt"), big);
    window.tedData->Lines().SetText("keep me\r\n");
    window.tedData->SetModified(false);
    Log.Files = {Path("big.txt")};
    QTimer::singleShot(0, [&] { window.close(); });
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), "keep me\r\n");
    EXPECT_EQ(window.StatusPanelText(1), "big.txt を開くのを取り消しました");
    EXPECT_TRUE(Log.Errors.empty());
}

// A save that cannot be completed (here the file may not grow that large) leaves the old file
// and nothing beside it, and the page still to be saved.
TEST_F(MainWindowTest, ASaveThatFailsKeepsTheOldFileAndThePageModified)
{
    TfrmKestrim& window = Window();
    Write(Path("data.txt"), "old");
    window.tedData->Lines().SetText(std::string(100000, 'x') + "\r\n");
    Log.Files = {Path("data.txt")};
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{4096, old.rlim_max};
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    window.Actions().actDataSave->trigger();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].contains("data.txt")) << Log.Errors[0].toStdString();
    EXPECT_EQ(Bytes(Path("data.txt")), "old");
    EXPECT_EQ(QDir(FFolder.path()).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(window.tedData->Modified());
}

// Closing the window while a file is written gives the save up: the old file stays as it was.
TEST_F(MainWindowTest, ClosingTheWindowGivesUpASaveAndKeepsTheOldFile)
{
    TfrmKestrim& window = ShownWindow();
    Write(Path("data.txt"), "old");
    std::string big;
    for (int line = 0; line < 200000; ++line)
        big += "a line of a data file that takes a while to write\r\n";
    window.tedData->Lines().SetText(big);
    window.tedData->SetModified(false);
    Log.Files = {Path("data.txt")};
    QTimer::singleShot(0, [&] { window.close(); });
    window.Actions().actDataSave->trigger();
    EXPECT_EQ(Bytes(Path("data.txt")), "old");
    EXPECT_EQ(QDir(FFolder.path()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(window.StatusPanelText(1), "data.txt への保存を取り消しました");
    EXPECT_TRUE(Log.Errors.empty());
}

// A UTF-8 script opens as UTF-8 without a question and is saved as it was read, LF ends and
// all; opened again in Shift-JIS, it is the same bytes.
TEST_F(MainWindowTest, AUtf8ScriptOpensAsUtf8AndIsSavedWithItsOwnLineEnds)
{
    TfrmKestrim& window = ShownWindow();
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  CR LF");
    Write(Path("utf8.sh"), "echo \"日本語\"\nexit 0\n");
    Log.Files = {Path("utf8.sh")};
    window.Actions().actLoad->trigger();
    EXPECT_EQ(window.tedScript->Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(window.tedScript->Lines().Text(), "echo \"日本語\"\r\nexit 0\r\n");
    EXPECT_EQ(window.StatusPanelText(2), "UTF-8  LF");
    window.tedScript->Lines().Add("# 😀");
    window.Actions().actSave->trigger();
    const std::string saved = "echo \"日本語\"\nexit 0\n# 😀\n";
    EXPECT_EQ(Bytes(Path("utf8.sh")), saved);
    window.ShowPage(TfrmKestrim::pgResult);
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  CR LF");
    EXPECT_FALSE(window.Actions().actReopenEncoding->isEnabled()) << "the result has no file";
    window.ShowPage(TfrmKestrim::pgWeb);
    EXPECT_EQ(window.StatusPanelText(2), "");

    window.ShowPage(TfrmKestrim::pgScript);
    EXPECT_EQ(window.Actions().actReopenEncoding->text(), "Shift-JIS で開き直す(&R)");
    window.Actions().actReopenEncoding->trigger();
    EXPECT_EQ(window.tedScript->Encoding(), TTextEncoding::ShiftJis);
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  LF");
    window.Actions().actSave->trigger();
    EXPECT_EQ(Bytes(Path("utf8.sh")), saved);

    Log.Answers = {TSaveAnswer::No};
    window.Actions().actNew->trigger();
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  CR LF");
    EXPECT_TRUE(Log.Errors.empty());
}

// Converting a page is one edit, and is refused, with nothing changed, when the other encoding
// lacks a character.
TEST_F(MainWindowTest, ConvertingAPageIsOneEditOrRefusedWithTheFirstPlaceItCannotConvert)
{
    TfrmKestrim& window = ShownWindow();
    window.ShowPage(TfrmKestrim::pgData);
    Write(Path("emoji.txt"), "名前\n😀 と 🍣\n");
    Log.Files = {Path("emoji.txt")};
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.Actions().actConvertEncoding->text(), "Shift-JIS に変換(&V)");
    window.Actions().actConvertEncoding->trigger();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_EQ(Log.Errors[0], "Shift-JIS で表せない文字が 2 個あるため、Shift-JIS に変換しませんでした。"
                             "最初の文字は 2 行目の 1 文字目の \"😀\" (U+1F600) です。");
    EXPECT_EQ(window.tedData->Lines().Text(), "名前\r\n😀 と 🍣\r\n");

    Write(Path("bom.txt"), "\xEF\xBB\xBF" "データ\r\n");
    Log.Files = {Path("bom.txt"), Path("saved.txt")};
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.StatusPanelText(2), "UTF-8 (BOM)  CR LF");
    window.Actions().actConvertEncoding->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), Sjis("データ\r\n"));
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  CR LF");
    window.Actions().actUndo->trigger();
    EXPECT_EQ(window.tedData->Lines().Text(), "データ\r\n");
    EXPECT_EQ(window.StatusPanelText(2), "UTF-8 (BOM)  CR LF");
    window.Actions().actDataSave->trigger();
    EXPECT_EQ(Bytes(Path("saved.txt")), "\xEF\xBB\xBF" "データ\r\n");
    EXPECT_EQ(Log.Errors.size(), 1u);
}

// A file whose lines end in several ways is saved as it was read until it is edited; then its
// lines all end the way most of them did.
TEST_F(MainWindowTest, AFileWithMixedLineEndsKeepsThemUntilItIsEdited)
{
    TfrmKestrim& window = ShownWindow();
    window.ShowPage(TfrmKestrim::pgData);
    const std::string mixed = "a\r\nb\nc\n\x00\x1A"s;
    Write(Path("mixed.txt"), mixed);
    Log.Files = {Path("mixed.txt"), Path("mixed.txt"), Path("mixed.txt")};
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  LF (混在)");
    window.Actions().actDataSave->trigger();
    EXPECT_EQ(Bytes(Path("mixed.txt")), mixed);
    window.tedData->Lines().Add("d");
    window.Actions().actDataSave->trigger();
    EXPECT_EQ(Bytes(Path("mixed.txt")), "a\nb\nc\n\x00\nd\x1A"s);
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  LF");
}

// Pages start, and new and cleared pages start again, in the encoding the settings name; a
// pure ASCII file opens in it.
TEST_F(MainWindowTest, PagesTakeTheDefaultEncodingOfTheSettings)
{
    QDir().mkpath(QFileInfo(SettingsFile()).path());
    Write(SettingsFile(), "[Text]\nDefaultEncoding=UTF-8\n");
    TfrmKestrim& window = ShownWindow();
    EXPECT_EQ(window.StatusPanelText(2), "UTF-8  LF");
    for (const TEditor* editor : {window.tedScript, window.tedData, window.tedResult})
        EXPECT_EQ(editor->Encoding(), TTextEncoding::Utf8);
    EXPECT_FALSE(window.tedScript->Modified());

    window.ShowPage(TfrmKestrim::pgData);
    Write(Path("sjis.txt"), Sjis("表\r\n"));
    Write(Path("ascii.txt"), "abc\r\n");
    Log.Files = {Path("sjis.txt"), Path("ascii.txt")};
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.StatusPanelText(2), "Shift-JIS  CR LF");
    window.Actions().actDataClear->trigger();
    EXPECT_EQ(window.StatusPanelText(2), "UTF-8  CR LF") << "the file's line ends stay";
    window.Actions().actDataOpen->trigger();
    EXPECT_EQ(window.tedData->Encoding(), TTextEncoding::Utf8);
}

// ---------------------------------------------------------------------------------------------
// Configuration and help

TEST_F(MainWindowTest, LoadConfigStoresTheNameAsGivenAndReportsUnreadableFiles)
{
    TfrmKestrim& window = Window();
    window.LoadConfig("Perl.ini");
    EXPECT_EQ(window.Settings().ConfigFile, "Perl.ini");
    EXPECT_NE(window.tedScript->ReserveWordList().Count(), 0);

    QDir(FFolder.path()).mkpath("conf/folder.ini");
    window.LoadConfig("folder.ini");
    ASSERT_EQ(Log.Messages.size(), 1u);
    EXPECT_TRUE(Log.Messages[0].contains("folder.ini"));
    EXPECT_EQ(window.Config(), nullptr);
    EXPECT_EQ(window.edtLanguageName->text(), "Perl");
    EXPECT_EQ(window.Settings().ConfigFile, "Perl.ini");
}

TEST_F(MainWindowTest, AConfigurationThatLacksSettingsIsNamedInTheStatusBarAndByF9)
{
    TfrmKestrim& window = ShownWindow();
    Write(Path("conf/garbage.ini"), std::string("\x89PNG\r\n\x1a\n\0\0[x", 12));
    window.LoadConfig("garbage.ini");
    EXPECT_EQ(window.StatusPanelText(1), "設定ファイル \"garbage.ini\" には設定が一つもありません。すべての設定に既定値を使います。");
    EXPECT_TRUE(Log.Messages.empty());
    window.Actions().actRun->trigger();
    ASSERT_EQ(Log.Errors.size(), 1u);
    EXPECT_TRUE(Log.Errors[0].startsWith("実行できません。") && Log.Errors[0].contains("[Command] に Script "))
        << Log.Errors[0].toStdString();

    Write(Path("conf/some.ini"), "[Command]\r\nCaption=Some\r\nCommand=perl\r\nOption=\r\nScript=s.pl\r\n"
                                 "[Environment]\r\nComment=#\r\nDefaultExt=pl\r\nDialogExt=*.pl|*.pl\r\n"
                                 "[Color]\r\nComment=0 0 0\r\nCommentBack=0 0 0\r\n");
    window.LoadConfig("some.ini");
    EXPECT_EQ(window.StatusPanelText(1), "設定ファイル \"some.ini\" にない設定は既定値を使います: [Environment] ErrLine, "
                                         "[Environment] Keyword, [Color] Keyword, [Color] KeywordBack, [Color] RetMark");
    window.LoadConfig("missing.ini");
    EXPECT_EQ(window.StatusPanelText(1), "設定ファイル \"missing.ini\" が見つからないため、すべての設定に既定値を使います。");
    // The shipped configuration holds every setting: the note goes.
    window.LoadConfig("Perl.ini");
    EXPECT_EQ(window.StatusPanelText(1), "");
}

TEST_F(MainWindowTest, TheLanguageBoxFitsTheNameAndTheMessageListUsesTheEditorsFont)
{
    TfrmKestrim& window = ShownWindow();
    const int designed = window.edtLanguageName->width();
    const QString longName = "Python 3 (Shift-JIS のデータ)";
    Write(Path("conf/long.ini"), Sjis("[Command]\r\nCaption=Python 3 (Shift-JIS のデータ)\r\n"));
    window.LoadConfig("long.ini");
    EXPECT_GT(window.edtLanguageName->width(), window.edtLanguageName->fontMetrics().horizontalAdvance(longName));
    window.LoadConfig("Perl.ini");
    EXPECT_EQ(window.edtLanguageName->width(), designed);

    window.SetEditorFont(QFont("IPAGothic", 13));
    EXPECT_EQ(window.lsbMessage->font(), window.tedScript->Font());
    EXPECT_EQ(window.lsbMessage->font().pointSize(), 13);
}

TEST_F(MainWindowTest, HelpNamesWhatIsMissing)
{
    TfrmKestrim& window = Window();
    window.Actions().mniHelp->trigger();
    ASSERT_EQ(Log.ErrorMessages.size(), 1u);
    EXPECT_EQ(Log.ErrorMessages[0], "kestrim.html が見つかりません\r\n\r\nﾍﾙﾌﾟを見るためには実行ﾌｧｲﾙのあるﾌｫﾙﾀﾞの中に\r\n"
                                    "kestrim.html がなければいけません\r\n");
    OverrideProgramDir(Path("gone"));
    window.Actions().mniHelp->trigger();
    ASSERT_EQ(Log.ErrorMessages.size(), 2u);
    EXPECT_TRUE(Log.ErrorMessages[1].startsWith(Path("gone") + " が見つかりません\r\n"));
    window.Actions().mniAbout->trigger();
    EXPECT_EQ(Log.AboutShown, 1);

    // No program opens the help here (the offscreen platform has none): the Web page shows it.
    OverrideProgramDir(FFolder.path());
    Write(Path("kestrim.html"), "<html><body>help</body></html>");
    window.Actions().mniHelp->trigger();
    EXPECT_EQ(Log.ErrorMessages.size(), 2u);
    EXPECT_EQ(Page(), TfrmKestrim::pgWeb);
    EXPECT_EQ(window.tbsWeb->Browser()->findChild<QWebEngineView*>()->page()->requestedUrl(),
              QUrl::fromLocalFile(Path("kestrim.html")));
}

// An Alt letter used twice in one menu only selects; it no longer chooses.
TEST_F(MainWindowTest, EveryMenuGivesEachMnemonicOnce)
{
    std::function<void(const QString&, const QList<QAction*>&)> check = [&](const QString& Menu,
                                                                             const QList<QAction*>& Actions) {
        QMap<QChar, QString> taken;
        for (const QAction* action : Actions) {
            const QString text = QString(action->text()).remove("&&");
            const qsizetype amp = text.indexOf('&');
            if (amp >= 0 && amp + 1 < text.size()) {
                const QChar letter = text[amp + 1].toUpper();
                EXPECT_FALSE(taken.contains(letter))
                    << Menu.toStdString() << ": " << taken[letter].toStdString() << " / " << text.toStdString();
                taken[letter] = text;
            }
            if (action->menu())
                check(action->text(), action->menu()->actions());
        }
    };
    TfrmKestrim& window = Window();
    check("mnuMain", window.menuBar()->actions());
    check("popMain", window.popMain->actions());
    check("popError", window.lsbMessage->popError()->actions());
}

// ---------------------------------------------------------------------------------------------
// Command table and dialog filters

TEST(MainActions, HintsSplitIntoToolTipAndStatusText)
{
    QObject owner;
    TMainActions a(&owner);
    EXPECT_EQ(a.actNew->toolTip(), "新規作成");
    EXPECT_EQ(a.actNew->statusTip(), "新しいファイルを作成します。");
    EXPECT_EQ(a.actNew->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(a.actRedo->shortcut(), QKeySequence("Ctrl+Alt+Z"));
    EXPECT_EQ(a.actTerminate->shortcut(), QKeySequence("Ctrl+F2"));
    // The keys other editors use, where the window had none.
    const std::pair<QAction*, const char*> keys[] = {{a.actFindNext, "F3"},   {a.actFindPrev, "Shift+F3"},
                                                     {a.mniExit, "Ctrl+Q"},   {a.mniHelp, "F1"},
                                                     {a.actMoveLineNumber, "Ctrl+G"}, {a.actNextChange, "F8"},
                                                     {a.actPrevChange, "Shift+F8"}};
    for (const auto& [action, key] : keys)
        EXPECT_EQ(action->shortcut(), QKeySequence(key)) << key;
    EXPECT_EQ(a.actConfig->statusTip(), "設定ファイルを読み込みます。");
    EXPECT_EQ(a.actViewToolBar->toolTip(), "ツールバーの表示／非表示を切り替えます。");
    EXPECT_EQ(a.actViewToolBar->statusTip(), "ツールバーの表示／非表示を切り替えます。");
    EXPECT_EQ(a.All().size(), 53);
}

TEST(FileDialogs, FiltersBecomeTheToolkitsForm)
{
    EXPECT_EQ(QtNameFilters("Perlスクリプト(*.pl)|*.pl"), QStringList{"Perlスクリプト(*.pl) (*.pl)"});
    EXPECT_EQ(QtNameFilters("Text|*.txt;*.log|すべてのファイル(*.*)|*.*"),
              (QStringList{"Text (*.txt *.log)", "すべてのファイル(*.*) (*)"}));
    EXPECT_EQ(QtNameFilters("lonely description"), QStringList{});
    EXPECT_EQ(QtNameFilters(""), QStringList{});
}

} // namespace
