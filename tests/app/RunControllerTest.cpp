#include "app/RunController.h"

#include "app/ConsoleCommand.h"
#include "app/MessageList.h"
#include "app/ProgramDir.h"
#include "app/RowsFreer.h"
#include "app/RunOutput.h"
#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"
#include "editor/control/EditorControl.h"
#include "editor/text/LinesSource.h"
#include "settings/UConfigFile.h"
#include "settings/UEditorSettings.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace kestrim;
using Clock = std::chrono::steady_clock;

namespace {

class TFakeHost : public TRunHost {
public:
    const TConfigFile* Config() const override { return Configuration.get(); }
    void SetRunning(bool Running) override { RunningStates.push_back(Running); }
    void ShowResultPage() override { ++ResultPageShown; }
    void ShowScriptPage() override { ++ScriptPageShown; }
    void ShowRunOutcome(const QString& Text) override { Outcome = Text; }
    TOutputLimits OutputLimits() const override { return Limits; }
    QString OutputLimitSetting(TOutputChannel Channel) const override
    {
        return Channel == TOutputChannel::Output ? "the output setting" : "the error setting";
    }

    std::unique_ptr<TConfigFile> Configuration;
    TOutputLimits Limits;
    void ShowRunProgress(const QString& Text) override { Progress = Text; }

    std::vector<bool> RunningStates;
    QString Progress;
    int ResultPageShown = 0;
    int ScriptPageShown = 0;
    QString Outcome;
};

std::string NormalisedBreaks(QString Text)
{
    return Text.replace("\r\n", "\n").toStdString();
}

class RunControllerTest : public ::testing::Test {
protected:
    RunControllerTest()
    {
        OverrideProgramDir(Folder.path());
        // The run folders go to a home of the test's own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(Folder.filePath("home")));
        Configure("Script=script.pl");
        // No test may hang: a run still going after its deadline is stopped and so fails.
        ConsoleCommand.ProcessMessages = [this] {
            QCoreApplication::processEvents();
            if (OnPass)
                OnPass();
            if (Clock::now() > Deadline)
                Controller.actTerminateExecute();
        };
    }
    ~RunControllerTest() override
    {
        OverrideProgramDir({});
        qputenv("XDG_DATA_HOME", OldDataHome);
    }

    // A configuration running perl, with more lines of its [Command] section.
    void Configure(const std::string& CommandLines, const std::string& Command = "perl")
    {
        const std::string file = Folder.filePath("test.ini").toStdString();
        WriteFileBytes(file, "[Command]\r\nCommand=" + Command + "\r\n" + CommandLines + "\r\n");
        Host.Configuration = std::make_unique<TConfigFile>(file);
    }

    void Run(const std::string& Script, const std::string& Data = {})
    {
        ScriptEditor.Lines().SetText(Script);
        DataEditor.Lines().SetText(Data);
        Controller.actRunExecute();
    }

    std::string ScriptFile() { return QDir(Controller.RunFolder()).filePath("script.pl").toStdString(); }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < MessageList.count(); ++i)
            items.push_back(MessageList.ItemBytes(i));
        return items;
    }

    // The page, the list and the states after a run that failed before the interpreter started.
    void ExpectNothingRan()
    {
        EXPECT_EQ(ResultEditor.Lines().Text(), "");
        EXPECT_EQ(MessageList.count(), 0);
        EXPECT_FALSE(Host.RunningStates.back());
        EXPECT_EQ(Host.Outcome.toStdString(), "");
    }

    const QByteArray OldDataHome = qgetenv("XDG_DATA_HOME");
    QTemporaryDir Folder;
    TConsoleCommand ConsoleCommand;
    TEditor ScriptEditor;
    TEditor DataEditor;
    TEditor ResultEditor;
    TMessageList MessageList;
    TFakeHost Host;
    TRunController Controller{ConsoleCommand, ScriptEditor, DataEditor, ResultEditor, MessageList, Host};
    std::function<void()> OnPass;
    Clock::time_point Deadline = Clock::now() + std::chrono::seconds(20);
};

TEST_F(RunControllerTest, RunsTheScriptOnTheDataAndShowsTheResultPage)
{
    const std::string script = "print uc while <STDIN>;\r\n";
    ScriptEditor.Lines().SetText(script);
    DataEditor.Lines().SetText("abc\r\ndef");
    ScriptEditor.SetModified(true);
    Controller.actRunExecute();

    EXPECT_EQ(ResultEditor.Lines().Text(), "ABC\r\nDEF");
    EXPECT_EQ(ReadFileBytes(ScriptFile()), script);
    EXPECT_EQ(ConsoleCommand.CommandLine(), "\"perl\"  \"" + ScriptFile() + "\"");
    EXPECT_EQ(Host.RunningStates, (std::vector<bool>{true, false}));
    // At the end, and when output came during the run also then.
    EXPECT_GE(Host.ResultPageShown, 1);
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8("^終了コード 0 \\(経過時間 \\d+\\.\\d\\d 秒\\)$")).match(Host.Outcome).hasMatch())
        << Host.Outcome.toStdString();
    EXPECT_TRUE(ScriptEditor.Modified()) << "a run leaves the script's modified state alone";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    ScriptEditor.SetModified(false);
    Configure("Script=script.pl\r\nOption=-w -l");
    Controller.actRunExecute();
    EXPECT_FALSE(ScriptEditor.Modified());
    EXPECT_EQ(ConsoleCommand.CommandLine(), "\"perl\" -w -l \"" + ScriptFile() + "\"");
}

TEST_F(RunControllerTest, StandardErrorFillsTheMessageListLineByLine)
{
    Run(R"(print "$_\n" for 1..5; print STDERR "first\nsecond\n"; exit 3;)");
    EXPECT_EQ(ResultEditor.Lines().Count(), 5);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(Host.Outcome.startsWith(QString::fromUtf8("終了コード 3 ("))) << Host.Outcome.toStdString();

    Run(R"(binmode STDERR; print STDERR "one\rtwo\r\nthree\0four\n"; kill TERM => $$;)");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(ResultEditor.Lines().Text(), "") << "the old result is replaced";
    EXPECT_TRUE(Host.Outcome.startsWith(QString::fromUtf8("シグナル 15 で終了 ("))) << Host.Outcome.toStdString();

    Run(R"(print STDERR "line $_ at script line $_.\n" for 1..100000;)");
    ASSERT_EQ(MessageList.count(), 100000);
    EXPECT_EQ(MessageList.ItemBytes(99999), "line 100000 at script line 100000.");
}

// The run file's folder is long and the same in every message: the list leaves it out, the tool
// tip and the copies keep it. A failure without output keeps the script page in front.
TEST_F(RunControllerTest, MessagesShowTheRunFileWithoutItsFolder)
{
    Run("warn qq{careful\\n};\r\ndie qq{bad};");
    const std::string full = "bad at " + ScriptFile() + " line 2.";
    ASSERT_EQ(Messages(), (std::vector<std::string>{"careful", full}));
    EXPECT_EQ(MessageList.item(0)->text(), "careful");
    EXPECT_EQ(MessageList.item(0)->toolTip(), "");
    EXPECT_EQ(MessageList.item(1)->text(), "bad at script.pl line 2.");
    EXPECT_EQ(MessageList.item(1)->toolTip().toStdString(), full);
    EXPECT_EQ(Host.ScriptPageShown, 1);
    EXPECT_EQ(Host.ResultPageShown, 0);
    MessageList.SelectMessage(1);
    MessageList.actErrorCurrentCopyExecute();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), full);
}

TEST_F(RunControllerTest, InterpreterThatCannotStartClearsTheOldOutput)
{
    Run(R"(print "old"; print STDERR "old message";)");
    Configure("Script=script.pl", "/nonexistent/kestrim-interpreter");
    try {
        Run("print 1");
        FAIL() << "the run started";
    } catch (const ECommandTerminate&) {
        FAIL() << "a start failure is no stop";
    } catch (const Exception& error) {
        EXPECT_EQ(error.what(), "\"/nonexistent/kestrim-interpreter\"  \"" + ScriptFile() + "\" を起動できません。");
    }
    ExpectNothingRan();
    EXPECT_GE(Host.ResultPageShown, 1) << "by the first run";
    EXPECT_EQ(Host.ScriptPageShown, 1) << "nothing to see on the result page";
}

TEST_F(RunControllerTest, ScriptFileThatCannotBeWrittenStopsTheRunWithTheFileError)
{
    const std::string missingFolder = Folder.filePath("missing/script.pl").toStdString();
    const struct {
        const char* Case;
        std::function<void()> Arrange;
        std::string NamedPath;
    } cases[] = {
        {"folder missing", [&] { Configure("Script=" + missingFolder); }, missingFolder},
        {"a folder in the file's place",
         [&] {
             QFile::remove(QString::fromStdString(ScriptFile()));
             QDir().mkdir(QString::fromStdString(ScriptFile()));
         },
         ScriptFile()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        Run(R"(print "old"; print STDERR "old message";)");
        c.Arrange();
        try {
            Run("print 1");
            ADD_FAILURE() << "the run started";
        } catch (const EFCreateError& error) {
            EXPECT_NE(std::string(error.what()).find("\"" + c.NamedPath + "\""), std::string::npos) << error.what();
        }
        ExpectNothingRan();
        Configure("Script=script.pl");
        QDir().rmdir(QString::fromStdString(ScriptFile()));
    }
}

TEST_F(RunControllerTest, AConfigurationWithoutScriptOrCommandNamesTheSetting)
{
    const std::string file = Folder.filePath("test.ini").toStdString();
    const struct {
        const char* Case;
        std::function<void()> Arrange;
        std::string Message;
    } cases[] = {
        {"empty Script", [&] { Configure("Script="); },
         "実行できません。設定ファイル \"" + file + "\" の [Command] に Script (実行の前にスクリプトを書き出すファイル) が設定されていません。"},
        {"empty Command", [&] { Configure("Script=script.pl", ""); },
         "実行できません。設定ファイル \"" + file + "\" の [Command] に Command (実行するインタプリタ) が設定されていません。"},
        {"no configuration loaded", [&] { Host.Configuration.reset(); },
         "実行できません。設定ファイルの [Command] に Script (実行の前にスクリプトを書き出すファイル) が設定されていません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        Run(R"(print "old"; print STDERR "old message";)");
        c.Arrange();
        try {
            Run("print 1");
            ADD_FAILURE() << "the run started";
        } catch (const Exception& error) {
            EXPECT_EQ(error.what(), c.Message);
        }
        ExpectNothingRan();
        Configure("Script=script.pl");
    }
}

TEST_F(RunControllerTest, RunFolderThatShiftJisCannotSpellIsRefusedBeforeWriting)
{
    const QString folder = Folder.filePath(QString::fromUtf8("\xF0\x9F\x93\x81")); // a folder emoji
    ASSERT_TRUE(QDir().mkpath(folder));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder));
    EXPECT_THROW(Run("print 1"), Exception);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(ScriptFile())));
    ExpectNothingRan();
}

TEST_F(RunControllerTest, AProgramFolderThatCannotBeWrittenDoesNotMatterTheScriptIsInTheUsersFolder)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(userDir).removeRecursively();
    OverrideProgramDir("/proc"); // not even the superuser creates files there
    Run("print 'ran';");
    EXPECT_EQ(ResultEditor.Lines().Text(), "ran");
    EXPECT_EQ(ConsoleCommand.CommandLine(), "\"perl\"  \"" + ScriptFile() + "\"");
    EXPECT_TRUE(QString::fromStdString(ScriptFile()).startsWith(userDir + "/")) << ScriptFile();
    QDir(userDir).removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
}

TEST_F(RunControllerTest, StopEndsARunThatNeverEndsAndKeepsWhatCameSoFar)
{
    int cursorShape = -1;
    OnPass = [&] {
        if (QGuiApplication::overrideCursor() != nullptr)
            cursorShape = QGuiApplication::overrideCursor()->shape();
        // What came so far is on the page and in the list during the run.
        if (ResultEditor.Lines().Text() == "partial\r\n" && MessageList.count() > 0)
            Controller.actTerminateExecute();
    };
    const auto start = Clock::now();
    try {
        Run(R"($| = 1; print "partial\n"; print STDERR "warning\n"; sleep 1 while 1;)");
        FAIL() << "the run was not stopped";
    } catch (const ECommandTerminate& error) {
        EXPECT_STREQ(error.what(), "コマンド処理を中断しました。");
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(ResultEditor.Lines().Text(), "partial\r\n");
    EXPECT_EQ(Messages(), std::vector<std::string>{"warning"});
    EXPECT_EQ(cursorShape, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Host.RunningStates, (std::vector<bool>{true, false}));
    EXPECT_TRUE(Host.Outcome.startsWith(QString::fromUtf8("中断 ("))) << Host.Outcome.toStdString();
}

TEST_F(RunControllerTest, AFloodIsStoppedAtItsLimitAndWhatCameIsShownWithANotice)
{
    const struct {
        TOutputChannel Channel;
        const char* Script;
        const char* Message;
        const char* Notice;
    } cases[] = {
        {TOutputChannel::Output, R"(print "x" x 1000, "\n" while 1;)",
         "標準出力が上限の 16 MB に達したので、コマンド処理を中断しました。\r\n"
         "そこまでの出力は結果タブとメッセージ一覧にあります。\r\n上限は the output setting の値 (メガバイト) で変えられます。",
         "(標準出力は上限の 16 MB で打ち切られています)"},
        {TOutputChannel::Error, R"(print STDERR "x at line 1.\n" while 1;)",
         "標準エラー出力が上限の 1 MB に達したので、コマンド処理を中断しました。\r\n"
         "そこまでの出力は結果タブとメッセージ一覧にあります。\r\n上限は the error setting の値 (メガバイト) で変えられます。",
         "(標準エラー出力は上限の 1 MB で打ち切られています)"},
    };
    Host.Limits = {16u << 20, 1u << 20};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Notice);
        // The window's events: a timer started at the first pass ticks whenever the window's
        // events are let through, which the passes do while the flood is taken in (how long the
        // window waited at most is a benchmark's figure; a fast machine takes the flood in a
        // few milliseconds, so the test counts no time).
        QTimer ticker;
        int ticks = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        OnPass = [&] {
            if (!ticker.isActive())
                ticker.start(0);
        };
        int ticksDuringRun = 0;
        try {
            Run(c.Script);
            ADD_FAILURE() << "the flood was not stopped";
        } catch (const ECommandTerminate&) {
            ticksDuringRun = ticks;
            ADD_FAILURE() << "the limit is no plain stop";
        } catch (const Exception& error) {
            ticksDuringRun = ticks;
            EXPECT_EQ(error.what(), std::string(c.Message));
        }
        ticker.stop();
        // A window that waited through the whole flood would have seen no tick before its end.
        EXPECT_GE(ticksDuringRun, 1);
        ASSERT_GT(MessageList.count(), 0);
        EXPECT_EQ(MessageList.item(MessageList.count() - 1)->text(), QString::fromUtf8(c.Notice));
        if (c.Channel == TOutputChannel::Output) {
            EXPECT_EQ(ResultEditor.Lines().Count(), (16 << 20) / 1001 + 1);
            EXPECT_EQ(ResultEditor.Lines().Strings(0), std::string(1000, 'x'));
            EXPECT_EQ(MessageList.count(), 1);
        } else {
            EXPECT_EQ(MessageList.count(), (1 << 20) / 13 + 2); // whole lines, the cut one, the notice
            EXPECT_EQ(MessageList.ItemBytes(0), "x at line 1.");
        }
        EXPECT_TRUE(Host.Outcome.startsWith(QString::fromUtf8("出力の上限で中断 ("))) << Host.Outcome.toStdString();
        EXPECT_FALSE(Host.RunningStates.back());
        EXPECT_EQ(ConsoleCommand.OutputStream().Size() + ConsoleCommand.ErrorStream().Size(), 0u)
            << "the runner keeps no copy of what the pages show";
    }
}

// Each shipped configuration runs its interpreter on Shift-JIS and on UTF-8 pages, and on a
// script and data of different encodings, with Japanese literals in the script, and the message
// list leads to the script line its error names. The
// literals hold characters whose second Shift-JIS byte is "\\" (表, ソ), "|" (ポ) or "[" (ー);
// the UTF-8 data holds what Shift-JIS cannot (😀).
TEST_F(RunControllerTest, ShippedLanguagesTransformJapaneseTextAndFindTheirErrorLinesInEitherEncoding)
{
    // The common transformation; Perl reads Shift-JIS bytes as they are, so its literals keep
    // to characters without such second bytes.
    const char* const replacedSjis = "名前,ソ：表\r\nソフト,＼ケット：表\r\nデータ,本：表\r\n";
    const char* const replacedUtf8 = "名前,ソ：表\r\nソフト,＼ケット：表\r\n絵,😀é：表\r\n";
    const struct {
        const char* File;
        const char* Script;
        const char* FailingScript; // fails on its third line
        const char* ExpectedSjis;
        const char* ExpectedUtf8;
    } languages[] = {
        {"Perl.ini", "while (<STDIN>) { chomp; s/名前/なまえ/; print $_, 'データ', \"\\n\" }\n",
         "my $x = 'データ';\nprint 'なまえ';\nundefined_function();\n",
         "なまえ,表示データ\r\nソフト,ポケットデータ\r\nデータ,本データ\r\n",
         "なまえ,表示データ\r\nソフト,ポケットデータ\r\n絵,😀éデータ\r\n"},
        {"Python.ini",
         "import sys\nfor line in sys.stdin:\n    print(line.rstrip('\\n').replace('表示', 'ソ').replace('ポ', '＼') + '：表')\n",
         "x = 'データ'\nprint('表')\nundefined_name\n", replacedSjis, replacedUtf8},
        {"Ruby.ini", "$stdin.each_line { |l| puts l.chomp.gsub('表示', 'ソ').gsub(/ポ/, '＼') + '：表' }\n",
         "x = 'データ'\nputs '表'\nundefined_name\n", replacedSjis, replacedUtf8},
        {"Awk.ini", "{ gsub(/表示/, \"ソ\"); gsub(/ポ/, \"＼\"); print $0 \"：表\" }\n",
         "BEGIN { x = \"データ\" }\n{ print \"表\" }\n{ print ( }\n", replacedSjis, replacedUtf8},
        {"Sh.ini", "while IFS= read -r l; do printf '%s：表\\n' \"$l\" | sed 's/表示/ソ/; s/ポ/＼/'; done\n",
         "x=\"データ\"\necho \"表\"\nno_such_command_of_kestrim\n", replacedSjis, replacedUtf8},
    };
    constexpr auto sjis = TTextEncoding::ShiftJis;
    constexpr auto utf8 = TTextEncoding::Utf8;
    const std::string sjisData = "名前,表示\r\nソフト,ポケット\r\nデータ,本\r\n";
    const std::string utf8Data = "名前,表示\r\nソフト,ポケット\r\n絵,😀é\r\n";
    const struct {
        TTextEncoding Script, Data;
        std::string Text;
    } pages[] = {
        {sjis, sjis, sjisData}, {utf8, utf8, utf8Data}, {sjis, utf8, utf8Data}, {utf8, sjis, sjisData},
    };
    const auto inPage = [](TTextEncoding Encoding, const std::string& Utf8) {
        return Encoding == TTextEncoding::Utf8 ? Utf8 : Utf8ToSjis(Utf8);
    };
    const QDir conf(QCoreApplication::applicationDirPath() + "/conf");
    for (const auto& language : languages) {
        Host.Configuration = std::make_unique<TConfigFile>(conf.filePath(language.File).toStdString());
        const TConfigFile& config = *Host.Configuration;
        MessageList.SetPatterns(config.ErrLine(), config.DataLine()); // as the window does on loading it
        EXPECT_EQ(config.MissingSettings(), std::vector<std::string>{});
        EXPECT_EQ(config.Commenter(), "#");
        TStringList keywords;
        LoadKeywordFile(config.KeywordFile(), conf.absoluteFilePath("..").toStdString(), keywords);
        EXPECT_GT(keywords.Count(), 30);
        for (const auto& page : pages) {
            SCOPED_TRACE(std::string(language.File) + ", script " + std::string(EncodingName(page.Script)) + ", data "
                         + std::string(EncodingName(page.Data)));
            ScriptEditor.SetEncodedText(inPage(page.Script, language.Script), page.Script);
            DataEditor.SetEncodedText(inPage(page.Data, page.Text), page.Data);
            Controller.actRunExecute();
            EXPECT_EQ(ResultEditor.Encoding(), page.Data);
            EXPECT_EQ(ResultEditor.Lines().Text(),
                      inPage(page.Data, page.Data == utf8 ? language.ExpectedUtf8 : language.ExpectedSjis));
            EXPECT_EQ(Messages(), std::vector<std::string>{});

            ScriptEditor.SetEncodedText(inPage(page.Script, language.FailingScript), page.Script);
            Controller.actRunExecute();
            EXPECT_NE(ConsoleCommand.ExitCode(), 0) << "the interpreter's failure, not a converter's success";
            EXPECT_EQ(MessageList.Encoding(), page.Script);
            const int first = MessageList.NextPlaceMessage(1);
            ASSERT_GE(first, 0) << "no message names a line";
            MessageList.SelectMessage(first);
            EXPECT_EQ(MessageList.SelectedErrorRow(config.ErrLine()), 2) << MessageList.item(first)->text().toStdString();
        }
    }
}

// Perl on a UTF-8 page reads characters: uc changes é and leaves what has no case alone.
TEST_F(RunControllerTest, UpperCaseOnAUtf8PageKeepsJapaneseText)
{
    Host.Configuration = std::make_unique<TConfigFile>(
        QDir(QCoreApplication::applicationDirPath() + "/conf").filePath("Perl.ini").toStdString());
    ScriptEditor.SetEncodedText("while (<STDIN>) { print uc; }\n", TTextEncoding::Utf8);
    DataEditor.SetEncodedText("表示 ソフト é abc 😀\n한국어\n", TTextEncoding::Utf8);
    Controller.actRunExecute();
    EXPECT_EQ(ResultEditor.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(ResultEditor.Lines().Text(), "表示 ソフト É ABC 😀\r\n한국어\r\n");
}

// What an interpreter writes reaches the result page whole: invalid UTF-8 is kept as it came,
// and what a conversion back cannot hold is counted in a notice rather than dropped unsaid.
TEST_F(RunControllerTest, OutputIsKeptOrItsLossesAreToldNeverDroppedUnsaid)
{
    DataEditor.SetEncodedText("x\n", TTextEncoding::Utf8);
    Run(R"(binmode STDOUT; print "a\xFF\xFEb\n\xE8\xA1\xA8";)");
    EXPECT_EQ(ResultEditor.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(ResultEditor.Lines().Text(), "a\xFF\xFE" "b\r\n表");

    const std::string file = Folder.filePath("test.ini").toStdString();
    WriteFileBytes(file, "[Command]\nCommand=perl\nScript=script.pl\n[Shift-JIS]\nInterpreterEncoding=UTF-8\n");
    Host.Configuration = std::make_unique<TConfigFile>(file);
    ScriptEditor.Lines().SetText(R"(print "\xE8\xA1\xA8\n\xF0\x9F\x98\x80"; print STDERR "\xE8\xA1\xA8 at line 1.\n";)");
    DataEditor.SetEncodedText("", TTextEncoding::ShiftJis);
    Controller.actRunExecute();
    EXPECT_EQ(ResultEditor.Encoding(), TTextEncoding::ShiftJis);
    EXPECT_EQ(ResultEditor.Lines().Text(), Utf8ToSjis("表\r\n?"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{Utf8ToSjis("表 at line 1."),
                                                    Utf8ToSjis("(標準出力の 1 文字は Shift-JIS で表せないので \"?\" にしました。最初は 2 行 1 文字目)")}));
}

TEST_F(RunControllerTest, DataThatTheInterpretersEncodingCannotHoldIsRefusedBeforeTheRun)
{
    const std::string file = Folder.filePath("test.ini").toStdString();
    WriteFileBytes(file, "[Command]\nCommand=perl\nScript=script.pl\n[UTF-8]\nInterpreterEncoding=Shift-JIS\n");
    Run(R"(print "old"; print STDERR "old message";)");
    Host.Configuration = std::make_unique<TConfigFile>(file);
    ScriptEditor.Lines().SetText("print 1");
    DataEditor.SetEncodedText("ok\n表😀😀\n", TTextEncoding::Utf8);
    try {
        Controller.actRunExecute();
        FAIL() << "the run started";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "実行できません。データタブの 2 文字はインタプリタに渡す Shift-JIS で表せません (最初は 2 行 2 文字目)。");
    }
    ExpectNothingRan();
}

TEST_F(RunControllerTest, RunWithClipboardTakesTheDataFromTheClipboardAndPutsTheResultBack)
{
    QClipboard& clipboard = *QGuiApplication::clipboard();
    ScriptEditor.Lines().SetText("print while <STDIN>;");
    DataEditor.Lines().SetText("old data\r\n");
    clipboard.setText("one\ntwo\nthree");
    Controller.actRunClipboardExecute();

    EXPECT_EQ(DataEditor.Lines().Count(), 3);
    EXPECT_EQ(DataEditor.Lines().Strings(0), "one");
    EXPECT_EQ(ResultEditor.Lines().Text(), DataEditor.Lines().Text());
    EXPECT_EQ(NormalisedBreaks(clipboard.text()), "one\ntwo\nthree");
    EXPECT_EQ(ResultEditor.SelLength(), 0);

    Configure("Script=script.pl", "/nonexistent/kestrim-interpreter");
    clipboard.setText("kept");
    EXPECT_THROW(Controller.actRunClipboardExecute(), Exception);
    EXPECT_EQ(clipboard.text(), "kept") << "a failed run leaves the clipboard alone";
}

// The clipboard's text enters the data page in its encoding, and the result goes back whole.
TEST_F(RunControllerTest, RunWithClipboardOnAUtf8PageKeepsEveryCharacter)
{
    QClipboard& clipboard = *QGuiApplication::clipboard();
    clipboard.setText(QString::fromUtf8("é表😀\n한국어"));
    ScriptEditor.Lines().SetText("print while <STDIN>;");
    DataEditor.SetEncodedText("old\n", TTextEncoding::Utf8);
    Controller.actRunClipboardExecute();
    EXPECT_EQ(DataEditor.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(DataEditor.Lines().Text(), "é表😀\r\n한국어");
    EXPECT_EQ(ResultEditor.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(NormalisedBreaks(clipboard.text()), "é表😀\n한국어");
}

// However the output is cut into blocks, the pages end as they would with the whole output put
// there at once: the text, its rows and encoding, no undo step, the messages and the notices.
TEST_F(RunControllerTest, OutputInBlocksEndsAsTheWholeOutputShownAtOnce)
{
    constexpr auto Sjis = TTextEncoding::ShiftJis;
    constexpr auto Utf8 = TTextEncoding::Utf8;
    const struct {
        TTextEncoding Written;
        TTextEncoding Shown;
        std::string Text;
        int Notices;
    } cases[] = {
        {Sjis, Sjis, "a\r\nb\rc\nd", 0},
        {Sjis, Sjis, "line\r\n\r\n", 0},
        {Utf8, Sjis, "aé😀\r\nあ\n", 2},
        {Sjis, Utf8, Utf8ToSjis("漢字\r\n") + "\x81", 2},
    };
    for (const auto& c : cases)
        for (const std::size_t blockSize : {1, 3, 1000}) {
            SCOPED_TRACE(c.Text + " in blocks of " + std::to_string(blockSize));
            TRunEncodings encodings;
            encodings.Output = encodings.Error = c.Written;
            encodings.Result = encodings.Messages = c.Shown;
            ResultEditor.SetEncodedText("old", Sjis);
            {
                TRunOutput output(ResultEditor, MessageList, encodings, false);
                for (std::size_t at = 0; at < c.Text.size(); at += blockSize) {
                    output.Take(TOutputChannel::Output, std::string_view(c.Text).substr(at, blockSize));
                    output.Take(TOutputChannel::Error, std::string_view(c.Text).substr(at, blockSize));
                    EXPECT_TRUE(ResultEditor.ReadOnly());
                }
                output.Finish();
            }
            const std::string shown = ConvertText(c.Text, c.Written, c.Shown).Text;
            TEditor whole;
            whole.SetEncodedText(shown, c.Shown);
            EXPECT_EQ(ResultEditor.Lines().Text(), whole.Lines().Text());
            EXPECT_EQ(ResultEditor.GetLineCount(), whole.GetLineCount());
            EXPECT_EQ(ResultEditor.Encoding(), c.Shown);
            EXPECT_FALSE(ResultEditor.CanUndo());
            EXPECT_FALSE(ResultEditor.ReadOnly());
            TMessageList messages;
            TMemoryStream errors(shown);
            messages.LoadFromStream(errors, c.Shown);
            ASSERT_EQ(MessageList.count(), messages.count() + c.Notices);
            for (int i = 0; i < messages.count(); ++i)
                EXPECT_EQ(MessageList.ItemBytes(i), messages.ItemBytes(i));
        }
}

// A long old result is freed beside the run, and a block that comes with the events after the
// first output follows it.
TEST_F(RunControllerTest, ABlockThatComesWhileTheOldResultIsFreedKeepsItsPlace)
{
    std::string old;
    for (int i = 0; i < 200000; ++i)
        old += "old\r\n";
    ResultEditor.SetEncodedText(old, TTextEncoding::ShiftJis);
    TRowsFreer freer;
    TRunOutput output(ResultEditor, MessageList, TRunEncodings{}, false, {}, 200000, &freer);
    QTimer::singleShot(0, [&] { output.Take(TOutputChannel::Output, "second\n"); });
    // The editor lets events through at most every 30 ms, were it to free the rows itself.
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    output.Take(TOutputChannel::Output, "first\n");
    QCoreApplication::processEvents();
    output.Finish();
    EXPECT_EQ(ResultEditor.Lines().Text(), "first\r\nsecond\r\n");
}

// The data goes to the interpreter from the page's rows, a block at a time, as the page's whole
// text converted for it would.
TEST_F(RunControllerTest, TheDataPageIsReadAsItsConvertedText)
{
    const struct {
        TTextEncoding To;
        TLineEnd LineEnd;
    } runs[] = {{TTextEncoding::ShiftJis, TLineEnd::CrLf}, {TTextEncoding::Utf8, TLineEnd::Lf}};
    const std::string texts[] = {"", "a", "a\r\n", "\r\n", "a\r\nb\r\n\r\n", Utf8ToSjis("表\r\nソ")};
    for (const auto& run : runs)
        for (const std::string& text : texts)
            for (const std::size_t blockSize : {1, 4096}) {
                DataEditor.SetEncodedText(text, TTextEncoding::ShiftJis);
                TLinesSource source(DataEditor.Lines(), TTextEncoding::ShiftJis, run.To, run.LineEnd);
                std::string read;
                for (std::string_view block; !(block = source.ReadBlock(nullptr, blockSize)).empty();)
                    read += block;
                EXPECT_TRUE(source.AtEnd());
                EXPECT_EQ(read, TextForInterpreter(text, TTextEncoding::ShiftJis, run.To, run.LineEnd, "データタブ"))
                    << text;
            }
}

// The first lines are seen while the run goes on, on a page the user cannot change meanwhile,
// and a run that takes a while tells how far it got.
TEST_F(RunControllerTest, TheResultGrowsDuringTheRunOnAReadOnlyPage)
{
    bool seenDuringRun = false;
    OnPass = [&] {
        if (ResultEditor.Lines().Text() == "first\r\n" && MessageList.count() == 1) {
            seenDuringRun = true;
            EXPECT_EQ(Host.ResultPageShown, 1);
            EXPECT_TRUE(ResultEditor.ReadOnly());
            EXPECT_TRUE(DataEditor.ReadOnly());
        }
    };
    Run(R"($| = 1; print "first\n"; print STDERR "warning\n"; select(undef, undef, undef, 1.2); print "second\n";)");
    EXPECT_TRUE(seenDuringRun);
    EXPECT_EQ(ResultEditor.Lines().Text(), "first\r\nsecond\r\n");
    EXPECT_FALSE(ResultEditor.ReadOnly());
    EXPECT_FALSE(DataEditor.ReadOnly());
    EXPECT_FALSE(ResultEditor.CanUndo());
    EXPECT_TRUE(Host.Progress.startsWith(QString::fromUtf8("実行中 (経過時間 "))) << Host.Progress.toStdString();
}

// A change of the data page during a run never reaches the interpreter: data already given is
// what it was; a change before the rest is given stops the run.
TEST_F(RunControllerTest, AChangeOfTheDataDuringTheRunDoesNotReachTheInterpreter)
{
    const auto changeDataOnce = [this] {
        OnPass = [this] {
            OnPass = nullptr;
            DataEditor.Lines().SetText("changed");
        };
    };
    changeDataOnce();
    Run("select(undef, undef, undef, 0.3); print uc while <STDIN>;", "abc\r\n");
    EXPECT_EQ(ResultEditor.Lines().Text(), "ABC\r\n");

    changeDataOnce();
    std::string data;
    for (int i = 0; i < 200000; ++i)
        data += "a line of the data, long enough to fill the pipe\r\n";
    try {
        Run("select(undef, undef, undef, 0.3); $n += length while <STDIN>; print $n;", data);
        FAIL() << "the run went on";
    } catch (const ECommandTerminate& error) {
        EXPECT_STREQ(error.what(), "データタブが実行中に変わったので、コマンド処理を中断しました。");
    }
    EXPECT_EQ(ResultEditor.Lines().Text(), "");
}

} // namespace
