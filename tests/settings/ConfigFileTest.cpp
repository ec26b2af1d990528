#include "settings/UConfigFile.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "regex/BRegExp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

using namespace kestrim;
namespace fs = std::filesystem;

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() / ("kestrim-config-" + std::to_string(::getpid()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::string Write(const std::string& Content, const std::string& Name = "test.ini")
    {
        const std::string path = (FFolder / Name).string();
        WriteFileBytes(path, Content);
        return path;
    }

    fs::path FFolder;
};

void ExpectPerlDefaults(const TConfigFile& Config)
{
    EXPECT_EQ(Config.Caption(), "Perl");
    EXPECT_EQ(Config.Command(), "perl");
    EXPECT_EQ(Config.Option(), "");
    EXPECT_EQ(Config.Script(), "");
    EXPECT_EQ(Config.Commenter(), "#");
    EXPECT_EQ(Config.DefaultExt(), "pl");
    EXPECT_EQ(Config.DialogExt(), Utf8ToSjis("Perlスクリプト(*.pl)|*.pl"));
    EXPECT_EQ(Config.ErrLine(), R"(line (\d+)[.,])");
    EXPECT_EQ(Config.KeywordFile(), "");
    EXPECT_EQ(Config.CommentColor(), "0 0 192");
    EXPECT_EQ(Config.CommentBackColor(), "255 0 255");
    EXPECT_EQ(Config.KeywordColor(), "");
    EXPECT_EQ(Config.KeywordBackColor(), "");
    EXPECT_EQ(Config.RetMarkColor(), "");
}

fs::path ProgramFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// What perl, given Options, writes for ScriptFile with InputFile on its standard input.
std::string PerlOutput(const std::string& Options, const std::string& ScriptFile,
                       const std::string& InputFile = "/dev/null")
{
    std::string output;
    FILE* pipe = ::popen(("perl " + Options + " '" + ScriptFile + "' 2>&1 <'" + InputFile + "'").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

// What perl writes to standard error for Script.
std::string PerlMessages(const std::string& ScriptFile)
{
    return PerlOutput("-w", ScriptFile);
}

} // namespace

TEST_F(ConfigFileTest, MissingEmptyAndCommentOnlyFilesGivePerlDefaults)
{
    ExpectPerlDefaults(TConfigFile((FFolder / "missing.ini").string()));
    ExpectPerlDefaults(TConfigFile(Write("")));
    ExpectPerlDefaults(TConfigFile(Write("; only a remark\r\n\r\n   ; another\r\n[Other]\r\nCommand=x\r\n")));
    // A dangling link names no file either.
    fs::create_symlink(FFolder / "nowhere.ini", FFolder / "link.ini");
    ExpectPerlDefaults(TConfigFile((FFolder / "link.ini").string()));
    // A window without a loaded configuration works with the same set-up.
    ExpectPerlDefaults(ConfigOrDefaults(nullptr));
    const TConfigFile ruby(Write("[Command]\nCaption=Ruby\n"));
    EXPECT_EQ(&ConfigOrDefaults(&ruby), &ruby);
}

TEST_F(ConfigFileTest, SectionsAndKeysIgnoreLetterCase)
{
    const TConfigFile config(Write("[command]\nCAPTION=Ruby\ncommand=ruby\n[ENVIRONMENT]\ndefaultext=rb\n"));
    EXPECT_EQ(config.Caption(), "Ruby");
    EXPECT_EQ(config.Command(), "ruby");
    EXPECT_EQ(config.DefaultExt(), "rb");
}

TEST_F(ConfigFileTest, LetterCaseIsNotFoldedInTrailBytes)
{
    // "ア" is 0x83 0x41 and "ャ" 0x83 0x61: folding 'a' to 'A' in a trail byte would join them.
    const std::string sectionA = Utf8ToSjis("ア");
    const std::string sectionSmallYa = Utf8ToSjis("ャ");
    TConfigFile config(Write("[" + sectionA + "]\nx=1\n[" + sectionSmallYa + "]\ny=2\n[Command]\nCaption=ok\n"));
    EXPECT_EQ(config.Caption(), "ok"); // the second header did not replace the first
}

TEST_F(ConfigFileTest, AnEmptyValueIsNotTheDefault)
{
    const TConfigFile config(Write("[Command]\nOption=\nCommand=\nCaption =  \n"));
    EXPECT_EQ(config.Option(), "");
    EXPECT_EQ(config.Command(), "");
    EXPECT_EQ(config.Caption(), "");
    EXPECT_EQ(config.Script(), "");
}

TEST_F(ConfigFileTest, TrimsBlanksAndControlCharactersAndReadsEveryLineBreak)
{
    const TConfigFile config(
        Write("  [ Command ]  \r\n\tCaption \t= My Perl \r\nCommand = /usr/bin/perl\rOption=-w \x01\nScript=a.pl"));
    EXPECT_EQ(config.Caption(), "My Perl");
    EXPECT_EQ(config.Command(), "/usr/bin/perl");
    EXPECT_EQ(config.Option(), "-w");
    EXPECT_EQ(config.Script(), "a.pl");
}

TEST_F(ConfigFileTest, ValuesAreUsedExactlyAsWritten)
{
    const std::string japanese = Utf8ToSjis("ソ表"); // trail bytes 0x5C
    const TConfigFile config(Write("[Environment]\n"
                                   "ErrLine=at (.+) line (\\d+)[.,]\n"
                                   "Keyword=\"${APP_DIR}/conf/k=1.txt\"\n"
                                   "DialogExt=" + japanese + "|*.x\n"
                                   "Comment=" + japanese + "\n"));
    EXPECT_EQ(config.ErrLine(), R"(at (.+) line (\d+)[.,])");
    EXPECT_EQ(config.KeywordFile(), "\"${APP_DIR}/conf/k=1.txt\"");
    EXPECT_EQ(config.DialogExt(), japanese + "|*.x");
    EXPECT_EQ(config.Commenter(), japanese);
}

TEST_F(ConfigFileTest, TheLastOccurrenceOfASectionOrKeyWins)
{
    const TConfigFile config(Write("[Command]\nCaption=First\nOption=-x\n"
                                   "[Color]\nComment=1 2 3\n"
                                   "[COMMAND]\nCaption=Second\nCaption=Third\n"));
    EXPECT_EQ(config.Caption(), "Third");
    EXPECT_EQ(config.Option(), ""); // written only under the hidden first occurrence
    EXPECT_EQ(config.CommentColor(), "1 2 3");
}

TEST_F(ConfigFileTest, EqualKeyNamesInDifferentSectionsStayApart)
{
    const TConfigFile config(Write("[Environment]\nComment=//\nKeyword=k.txt\n[Color]\nComment=1 1 1\nKeyword=2 2 2\n"));
    EXPECT_EQ(config.Commenter(), "//");
    EXPECT_EQ(config.KeywordFile(), "k.txt");
    EXPECT_EQ(config.CommentColor(), "1 1 1");
    EXPECT_EQ(config.KeywordColor(), "2 2 2");
}

TEST_F(ConfigFileTest, LinesOutsideASectionOrWithoutEqualsAreIgnored)
{
    const TConfigFile config(Write("Caption=Before\n"
                                   "\xEF\xBB\xBF[Command]\nCommand=hidden\n" // bytes before "[" spoil the header
                                   "[Environment]\nDefaultExt\n;Comment=//\nComment\n[Broken\nDefaultExt=txt\n"));
    EXPECT_EQ(config.Caption(), "Perl");
    EXPECT_EQ(config.Command(), "perl");
    EXPECT_EQ(config.Commenter(), "#");
    EXPECT_EQ(config.DefaultExt(), "txt"); // "[Broken" is no header
}

TEST_F(ConfigFileTest, KeepsTheContentReadAtCreation)
{
    const std::string path = Write("[Command]\nCaption=Old\n");
    const TConfigFile config(path);
    Write("[Command]\nCaption=New\n");
    EXPECT_EQ(config.Caption(), "Old");
    EXPECT_EQ(TConfigFile(path).Caption(), "New");
}

TEST_F(ConfigFileTest, BadFilesGiveDefaultsOrTheFileError)
{
    std::mt19937 random(7);
    std::string garbage(200000, '\0');
    for (char& byte : garbage)
        byte = static_cast<char>(random());
    TConfigFile fromGarbage(Write(garbage));
    EXPECT_NO_THROW(fromGarbage.Caption());

    const std::string longValue(1 << 20, 'v');
    const TConfigFile fromLongLines(Write("[Command]\n" + std::string(1 << 20, 'k') + "=x\nScript=" + longValue + "\n"));
    EXPECT_EQ(fromLongLines.Script(), longValue);

    fs::create_directory(FFolder / "folder.ini");
    EXPECT_THROW(TConfigFile((FFolder / "folder.ini").string()), EFOpenError);
}

TEST(ShippedConfigTest, PerlIniLoadsAndFindsLinesInPerlMessages)
{
    const fs::path conf = ProgramFolder() / "conf";
    const TConfigFile config((conf / "Perl.ini").string());
    EXPECT_EQ(config.Caption(), "Perl");
    EXPECT_EQ(config.Command(), "perl");
    EXPECT_EQ(config.DefaultExt(), "pl");
    EXPECT_TRUE(SjisToUtf8(config.DialogExt()).starts_with("Perlスクリプト(*.pl)|*.pl|"));
    EXPECT_EQ(config.KeywordFile(), "${APP_DIR}/conf/perl.txt");
    EXPECT_TRUE(fs::exists(conf / "perl.txt"));
    for (const std::string& colour : {config.CommentColor(), config.CommentBackColor(), config.KeywordColor(),
                                     config.KeywordBackColor(), config.RetMarkColor()})
        EXPECT_TRUE(SharedRegExp().Match(R"(m/^(\d+) +(\d+) +(\d+)$/)", colour)) << colour;

    const std::string pattern = "m/" + config.ErrLine() + "/";
    const std::pair<const char*, const char*> messages[] = {
        {"syntax error at /x/y.pl line 3, near \"}\"", "3"},
        {"Died at script.pl line 12.", "12"},
        {"Use of uninitialized value $x in print at /tmp/a.pl line 5, <STDIN> line 9.", "5"},
    };
    for (const auto& [message, line] : messages) {
        ASSERT_TRUE(SharedRegExp().Match(pattern, message)) << message;
        EXPECT_EQ(SharedRegExp().Strings(1), line) << message;
    }
}

TEST_F(ConfigFileTest, ShippedErrLineFindsTheLineOfARealPerlError)
{
    if (std::system("perl -e 1 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "perl is not installed";
    const std::string script = Write("use strict;\nmy $a = 1;\nprint $a +;\n", "broken.pl");
    const std::string messages = PerlMessages(script);
    const TConfigFile config((ProgramFolder() / "conf" / "Perl.ini").string());
    ASSERT_TRUE(SharedRegExp().Match("m/" + config.ErrLine() + "/", messages)) << messages;
    EXPECT_EQ(SharedRegExp().Strings(1), "3") << messages;
}

// The data page hands its lines over with CR LF; with the shipped options perl's chomp takes
// the whole line end, as it does on the platform the scripts were first written for.
TEST_F(ConfigFileTest, ShippedOptionsLetChompTakeTheDataPagesLineEnds)
{
    if (std::system("perl -e 1 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "perl is not installed";
    const TConfigFile config((ProgramFolder() / "conf" / "Perl.ini").string());
    const std::string script = Write("while (<STDIN>) { chomp; print \"[$_]\"; }\n", "chomp.pl");
    const std::string input = Write("a\r\nb\r\nlast", "input.txt");
    EXPECT_EQ(PerlOutput(config.Option(), script, input), "[a][b][last]");
}

// A comment mark inside a string starts no comment: every shipped language names its quotes,
// and a file without the key has none, as before.
TEST(ShippedConfigTest, EveryShippedLanguageNamesItsStringQuote)
{
    for (const char* name : {"Perl.ini", "Ruby.ini", "Python.ini", "Awk.ini", "Sh.ini"})
        EXPECT_EQ(TConfigFile((ProgramFolder() / "conf" / name).string()).Quotation(), "\"") << name;
    EXPECT_EQ(TConfigFile((ProgramFolder() / "conf" / "none.ini").string()).Quotation(), "");
}

TEST(ShippedConfigTest, UrlFileHoldsPagesInTheLoaderFormat)
{
    const std::string bytes = ReadFileBytes((ProgramFolder() / "conf" / "url.txt").string());
    int pages = 0;
    int pagesWithKey = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (SharedRegExp().Match(R"(m/^\s*$/)", line) || SharedRegExp().Match("m/^\\s*#/", line))
            continue;
        ASSERT_TRUE(SharedRegExp().Match("m/(.*),(.*)/", line)) << line;
        EXPECT_TRUE(SharedRegExp().Strings(2).starts_with("https://perldoc.perl.org/")) << line;
        pagesWithKey += SharedRegExp().Strings(2).find("{key}") != std::string::npos;
        ++pages;
    }
    EXPECT_GE(pages, 5);
    EXPECT_GE(pagesWithKey, 1);
}

// DataLine is optional: a file without it is complete and names no data lines.
TEST_F(ConfigFileTest, DataLineIsReadWhenPresentAndMissedByNoOne)
{
    const TConfigFile without(Write("[Environment]\nErrLine=x (\\d+)\n"));
    EXPECT_EQ(without.DataLine(), "");
    const TConfigFile with(Write("[environment]\ndataline = <STDIN> line (\\d+)\\.\n"));
    EXPECT_EQ(with.DataLine(), R"(<STDIN> line (\d+)\.)");
    EXPECT_EQ(with.MissingSettings().size(), static_cast<std::size_t>(TConfigFile::SettingCount));
}

// The sections of the data page's encodings are optional: without them a run is set up by
// [Command] alone, as before they existed.
TEST_F(ConfigFileTest, EncodingSectionsSetUpRunsPerEncodingOfTheData)
{
    const TConfigFile config(Write("[Command]\nOption=-w\n"
                                   "[shift-jis]\nInterpreterEncoding=utf-8\nlineend=lf\n"
                                   "[UTF-8]\nOption=\nLineEnd=CRLF\nOutputEncoding=Shift-JIS\nErrorEncoding=UTF-8\n"));
    const TEncodingRun sjis = config.EncodingRun(TTextEncoding::ShiftJis);
    EXPECT_EQ(sjis.Option, "-w") << "[Command]'s option when the section names none";
    EXPECT_EQ(sjis.LineEnd, TLineEnd::Lf);
    EXPECT_EQ(sjis.Interpreter, TTextEncoding::Utf8);
    EXPECT_EQ(sjis.Output, std::nullopt);
    const TEncodingRun utf8 = config.EncodingRun(TTextEncoding::Utf8);
    EXPECT_EQ(utf8.Option, "") << "an empty option is no missing one";
    EXPECT_EQ(utf8.LineEnd, TLineEnd::CrLf);
    EXPECT_EQ(utf8.Interpreter, std::nullopt);
    EXPECT_EQ(utf8.Output, TTextEncoding::ShiftJis);
    EXPECT_EQ(utf8.Error, TTextEncoding::Utf8);

    const TEncodingRun none = TConfigFile(Write("[Command]\nOption=-l\n")).EncodingRun(TTextEncoding::Utf8);
    EXPECT_EQ(none.Option, "-l");
    EXPECT_EQ(none.LineEnd, TLineEnd::CrLf);
    EXPECT_FALSE(none.Interpreter || none.Output || none.Error);
    EXPECT_EQ(config.MissingSettings().size(), static_cast<std::size_t>(TConfigFile::SettingCount - 1));
}

TEST_F(ConfigFileTest, AnEncodingOrLineEndThatIsNoneOfItsValuesIsReportedWhenRunning)
{
    const std::string file = Write("[UTF-8]\nLineEnd=CR\n[Shift-JIS]\nOutputEncoding=EUC-JP\n");
    const TConfigFile config(file);
    const struct {
        TTextEncoding Encoding;
        std::string Message;
    } cases[] = {
        {TTextEncoding::Utf8, "設定ファイル \"" + file + "\" の [UTF-8] LineEnd の値 \"CR\" は使えません。CRLF か LF を書いてください。"},
        {TTextEncoding::ShiftJis, "設定ファイル \"" + file
                                      + "\" の [Shift-JIS] OutputEncoding の値 \"EUC-JP\" は使えません。Shift-JIS か UTF-8 を書いてください。"},
    };
    for (const auto& c : cases) {
        try {
            config.EncodingRun(c.Encoding);
            ADD_FAILURE() << c.Message;
        } catch (const Exception& error) {
            EXPECT_EQ(error.what(), c.Message);
        }
    }
}
