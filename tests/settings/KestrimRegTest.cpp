#include "settings/UKestrimReg.h"

#include "editor/base/FileIO.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using namespace kestrim;
namespace fs = std::filesystem;

namespace {

// Every test gets a store of its own in a fresh folder.
class KestrimRegTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFolder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FFolder.path());
    }

    std::string StoreFile() const { return (FFolder.path() + "/Vek/Kestrim.ini").toStdString(); }

    void WriteStore(const std::string& Content) const
    {
        fs::create_directories(fs::path(StoreFile()).parent_path());
        WriteFileBytes(StoreFile(), Content);
    }

    static void ExpectFirstStartValues(const TKestrimReg& Settings)
    {
        EXPECT_EQ(Settings.Font.family().toStdString(), "ＭＳ ゴシック");
        EXPECT_EQ(Settings.Font.pointSize(), 10);
        EXPECT_EQ(Settings.ConfigFile, "Perl.ini");
        EXPECT_EQ(Settings.UrlFile, "url.txt");
        EXPECT_EQ(Settings.Width, 640);
        EXPECT_EQ(Settings.Height, 480);
        EXPECT_EQ(Settings.MessageHeight, 80);
        EXPECT_TRUE(Settings.StatusBar);
        EXPECT_TRUE(Settings.ToolBar);
        EXPECT_EQ(Settings.OutputLimitMB, 256);
        EXPECT_EQ(Settings.ErrorLimitMB, 16);
        EXPECT_FALSE(Settings.LiveRun);
        EXPECT_FALSE(Settings.LiveRunExplained);
        EXPECT_EQ(Settings.LivePauseMS, 600);
        EXPECT_EQ(Settings.LiveTimeLimitMS, 3000);
    }

    QTemporaryDir FFolder;
};

} // namespace

TEST_F(KestrimRegTest, FirstStartGivesTheDefaultsAndSaveWritesEveryValueAsText)
{
    TKestrimReg settings("Vek", "Kestrim");
    EXPECT_EQ(settings.FileName().toStdString(), StoreFile());
    settings.Load();
    ExpectFirstStartValues(settings);

    settings.StatusBar = false;
    settings.Save();
    const std::string stored = ReadFileBytes(StoreFile());
    for (const char* line : {"[Font]", "Name=ＭＳ ゴシック", "Size=10", "[Conf]", "File=Perl.ini",
                             "UrlFile=url.txt", "[Form]", "Width=640", "Height=480", "MessageHeight=80",
                             "StatusBar=0", "ToolBar=1", "[Run]", "OutputLimitMB=256", "ErrorLimitMB=16",
                             "Live=0", "LiveExplained=0", "LivePauseMS=600", "LiveTimeLimitMS=3000"})
        EXPECT_NE(stored.find(line), std::string::npos) << line << " missing in\n" << stored;
}

TEST_F(KestrimRegTest, SavedValuesComeBackInANewObjectExceptTheFontStyle)
{
    {
        TKestrimReg settings("Vek", "Kestrim");
        settings.Load();
        settings.Font = QFont("IPAGothic", 14);
        settings.Font.setBold(true);
        settings.ConfigFile = "/home/user/My Languages/ruby, 2.ini";
        settings.Width = 1024;
        settings.Height = -5;
        settings.MessageHeight = 120;
        settings.StatusBar = false;
        settings.ToolBar = false;
        settings.OutputLimitMB = 1024;
        settings.ErrorLimitMB = 1;
        settings.LiveRun = true;
        settings.LiveRunExplained = true;
        settings.LivePauseMS = 250;
        settings.LiveTimeLimitMS = 10000;
        settings.Save();
    }
    TKestrimReg settings("Vek", "Kestrim");
    settings.Load();
    EXPECT_EQ(settings.Font.family().toStdString(), "IPAGothic");
    EXPECT_EQ(settings.Font.pointSize(), 14);
    EXPECT_FALSE(settings.Font.bold());
    EXPECT_EQ(settings.ConfigFile, "/home/user/My Languages/ruby, 2.ini");
    EXPECT_EQ(settings.UrlFile, "url.txt");
    EXPECT_EQ(settings.Width, 1024);
    EXPECT_EQ(settings.Height, -5);
    EXPECT_EQ(settings.MessageHeight, 120);
    EXPECT_FALSE(settings.StatusBar);
    EXPECT_FALSE(settings.ToolBar);
    EXPECT_EQ(settings.OutputLimitMB, 1024);
    EXPECT_EQ(settings.ErrorLimitMB, 1);
    EXPECT_TRUE(settings.LiveRun);
    EXPECT_TRUE(settings.LiveRunExplained);
    EXPECT_EQ(settings.LivePauseMS, 250);
    EXPECT_EQ(settings.LiveTimeLimitMS, 10000);
}

// A page's default encoding is UTF-8 only when the store says so; Save writes it by name.
TEST_F(KestrimRegTest, TheDefaultEncodingIsShiftJisUnlessTheStoreNamesUtf8)
{
    const std::pair<const char*, TTextEncoding> cases[] = {
        {"", TTextEncoding::ShiftJis},
        {"[Text]\nDefaultEncoding=UTF-8\n", TTextEncoding::Utf8},
        {"[Text]\nDefaultEncoding=utf-8\n", TTextEncoding::Utf8},
        {"[Text]\nDefaultEncoding=Shift-JIS\n", TTextEncoding::ShiftJis},
        {"[Text]\nDefaultEncoding=EUC-JP\n", TTextEncoding::ShiftJis},
    };
    for (const auto& [store, encoding] : cases) {
        WriteStore(store);
        TKestrimReg settings("Vek", "Kestrim");
        settings.Load();
        EXPECT_EQ(settings.DefaultEncoding, encoding) << store;
    }
    TKestrimReg settings("Vek", "Kestrim");
    settings.DefaultEncoding = TTextEncoding::Utf8;
    settings.Save();
    EXPECT_NE(ReadFileBytes(StoreFile()).find("[Text]\nDefaultEncoding=UTF-8"), std::string::npos);
}

TEST_F(KestrimRegTest, MalformedNumbersTakeTheirDefaultAndAnyNonZeroIsTrue)
{
    WriteStore("[Font]\nName=\nSize=huge\n"
               "[Conf]\nFile=\nUrlFile=my urls.txt\n"
               "[Form]\nWidth=abc\nHeight=0\nMessageHeight=99999999999\nStatusBar=2\nToolBar=\n"
               "[Run]\nOutputLimitMB=0\nErrorLimitMB=-3\nLivePauseMS=-1\nLiveTimeLimitMS=x\n");
    TKestrimReg settings("Vek", "Kestrim");
    const QString newFontFace = settings.Font.family();
    settings.Load();
    EXPECT_EQ(settings.Font.family(), newFontFace); // an empty name is a value, not a missing one
    EXPECT_EQ(settings.Font.pointSize(), 10);
    EXPECT_EQ(settings.ConfigFile, "");
    EXPECT_EQ(settings.UrlFile, "my urls.txt");
    EXPECT_EQ(settings.Width, 640);
    EXPECT_EQ(settings.Height, 0);
    EXPECT_EQ(settings.MessageHeight, 80);
    EXPECT_TRUE(settings.StatusBar);
    EXPECT_TRUE(settings.ToolBar);
    EXPECT_EQ(settings.OutputLimitMB, 256) << "no limit below one megabyte";
    EXPECT_EQ(settings.ErrorLimitMB, 16);
    EXPECT_EQ(settings.LivePauseMS, 600);
    EXPECT_EQ(settings.LiveTimeLimitMS, 3000);
}

// The workbench's shares leave each pane some room; anything else gives half.
TEST_F(KestrimRegTest, WorkbenchSharesOutsideTheirRangeGiveHalf)
{
    const std::pair<const char*, int> cases[] = {{"300", 300}, {"1", 1}, {"999", 999}, {"0", 500},
                                                 {"1000", 500}, {"-3", 500}, {"x", 500}};
    for (const auto& [stored, share] : cases) {
        WriteStore("[Form]\nWorkbench=1\nWorkbenchScriptShare=" + std::string(stored) + "\nWorkbenchDataShare="
                   + stored + "\n");
        TKestrimReg settings("Vek", "Kestrim");
        settings.Load();
        EXPECT_TRUE(settings.Workbench);
        EXPECT_EQ(settings.WorkbenchScriptShare, share) << stored;
        EXPECT_EQ(settings.WorkbenchDataShare, share) << stored;
    }
}

TEST_F(KestrimRegTest, AGarbageFileLoadsAsDefaultsAndIsReplacedBySave)
{
    std::string garbage;
    for (int i = 0; i < 4000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    WriteStore(garbage);
    TKestrimReg settings("Vek", "Kestrim");
    settings.Load();
    ExpectFirstStartValues(settings);

    settings.Width = 800;
    settings.Save();
    TKestrimReg reread("Vek", "Kestrim");
    reread.Load();
    EXPECT_EQ(reread.Width, 800);
}

TEST_F(KestrimRegTest, AValueThatIsNotTextStopsLoadWithItsName)
{
    WriteStore("[Conf]\nFile=Ruby.ini\n[Form]\nWidth=800, 600\nHeight=300\n");
    TKestrimReg settings("Vek", "Kestrim");
    try {
        settings.Load();
        FAIL() << "a list value was read as text";
    } catch (const ERegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("Form\\Width"), std::string::npos) << error.what();
    }
    EXPECT_EQ(settings.ConfigFile, "Ruby.ini"); // read before the bad value
    EXPECT_EQ(settings.Height, 480);           // not reached: still the default

    settings.Save(); // the store was closed by the failed Load and can be used again
    TKestrimReg reread("Vek", "Kestrim");
    reread.Load();
    EXPECT_EQ(reread.Width, 640);
}

TEST_F(KestrimRegTest, AStoreThatCannotBeWrittenLoadsDefaultsAndSaveNamesTheFile)
{
    fs::create_directories(StoreFile()); // a folder where the file should be
    TKestrimReg settings("Vek", "Kestrim");
    settings.Load();
    ExpectFirstStartValues(settings);
    try {
        settings.Save();
        FAIL() << "saving into a folder reported success";
    } catch (const ERegistryError& error) {
        EXPECT_NE(std::string(error.what()).find(StoreFile()), std::string::npos) << error.what();
    }
    fs::remove(StoreFile());
    settings.Save();
    EXPECT_TRUE(fs::is_regular_file(StoreFile()));
}
