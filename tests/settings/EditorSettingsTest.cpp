#include "settings/UEditorSettings.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"
#include "editor/control/EditorControl.h"
#include "editor/control/EditorOptions.h"
#include "settings/UConfigFile.h"
#include "editor/highlight/TokenDump.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace kestrim;
namespace fs = std::filesystem;

namespace {

constexpr TColor Default = 0x123456;

std::vector<std::string> Items(const TStringList& List)
{
    std::vector<std::string> items;
    for (int i = 0; i < List.Count(); ++i)
        items.push_back(List.Strings(i));
    return items;
}

// A list kept like the script editor's reserved words: sorted, no duplicates, any letter case.
class KeywordFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFolder.isValid());
        FWords.SetSorted(true);
        FWords.Add("previous");
    }

    std::string Write(const std::string& Name, const std::string& Content) const
    {
        const std::string path = Path(Name);
        WriteFileBytes(path, Content);
        return path;
    }
    std::string Path(const std::string& Name) const { return FFolder.path().toStdString() + "/" + Name; }

    QTemporaryDir FFolder;
    TStringList FWords;
};

// Three editors and a configuration file written for the test.
class ApplyConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFolder.isValid()); }

    TConfigFile Config(const std::string& Content) const
    {
        const std::string path = FFolder.path().toStdString() + "/test.ini";
        WriteFileBytes(path, Content);
        return TConfigFile(path);
    }

    QTemporaryDir FFolder;
    TEditor FScript;
    TEditor FData;
    TEditor FResult;
};

} // namespace

TEST(StrToColorDefTest, ThreeNumbersMakeRedGreenAndBlueWithCarry)
{
    EXPECT_EQ(StrToColorDef("0 0 192", Default), 0xC00000u);
    EXPECT_EQ(StrToColorDef("255 255 255", Default), 0xFFFFFFu);
    EXPECT_EQ(StrToColorDef("1 2 3", Default), 0x30201u);
    EXPECT_EQ(StrToColorDef("1   2  3", Default), 0x30201u);
    EXPECT_EQ(StrToColorDef("colour 10 20 30 40", Default), 0x1E140Au); // the first three count
    EXPECT_EQ(StrToColorDef("300 0 0", Default), 0x12Cu);              // no clamping: red carries
}

TEST(StrToColorDefTest, TextWithoutThreeSpaceSeparatedNumbersGivesTheDefault)
{
    for (const char* text : {"", "1,2,3", "1, 2, 3", "1 2", "1\t2\t3", "red green blue", "-1 -2 -3"})
        EXPECT_EQ(StrToColorDef(text, Default), Default) << '"' << text << '"';
}

TEST(StrToColorDefTest, ANumberBeyond32BitsIsAConversionErrorNamingTheText)
{
    try {
        StrToColorDef("0 0 99999999999", Default);
        FAIL() << "an oversized component was accepted";
    } catch (const EConvertError& error) {
        EXPECT_NE(std::string(error.what()).find("0 0 99999999999"), std::string::npos) << error.what();
    }
    EXPECT_THROW(StrToColorDef("2147483648 0 0", Default), EConvertError);
}

TEST_F(KeywordFileTest, KeepsOneWordPerLineWithoutCommentsEmptyLinesOrRemarks)
{
    const std::string name = Write("kw.txt", "# Perl words\r\nsub\r\n\r\nmy\tdeclares a variable\r\nMY\r\n"
                                             "\tonly a remark\r\n  padded  \nlast");
    LoadKeywordFile(name, "", FWords);
    EXPECT_EQ(Items(FWords), (std::vector<std::string>{"", "  padded  ", "last", "my", "sub"}));
}

TEST_F(KeywordFileTest, AppDirStandsForTheProgramsFolderAndShiftJisNamesAreFound)
{
    Write("キーワード.txt", "foreach\r\n");
    LoadKeywordFile("${APP_DIR}/" + Utf8ToSjis("キーワード.txt"), FFolder.path().toStdString(), FWords);
    EXPECT_EQ(Items(FWords), (std::vector<std::string>{"foreach"}));
}

TEST_F(KeywordFileTest, AMissingFileKeepsTheListAndAnUnreadableOneRaisesTheFileError)
{
    LoadKeywordFile(Path("missing.txt"), "", FWords);
    LoadKeywordFile("", "", FWords);
    fs::create_directory(Path("folder.txt"));
    EXPECT_THROW(LoadKeywordFile(Path("folder.txt"), "", FWords), EFOpenError);
    EXPECT_EQ(Items(FWords), (std::vector<std::string>{"previous"}));
}

TEST_F(ApplyConfigTest, TheBuiltInSetUpColoursTheScriptAndShowsEveryReturnMarkInBlack)
{
    ApplyConfigToEditors(TConfigFile(FFolder.path().toStdString() + "/none.ini"), FScript, FData, FResult);
    EXPECT_EQ(FScript.View().Commenter(), "#");
    EXPECT_EQ(FScript.View().Colors().Comment().Color(), 0xC00000u);
    EXPECT_EQ(FScript.View().Colors().Comment().BkColor(), 0xFF00FFu);
    EXPECT_EQ(FScript.View().Colors().Reserve().Color(), clBlack);
    EXPECT_EQ(FScript.View().Colors().Reserve().BkColor(), clWhite);
    for (TEditor* editor : {&FScript, &FData, &FResult}) {
        EXPECT_TRUE(editor->Marks().RetMark().Visible());
        EXPECT_EQ(editor->Marks().RetMark().Color(), clBlack);
    }
}

TEST_F(ApplyConfigTest, OnlyTheReturnMarkReachesTheDataAndResultEditors)
{
    const TColor dataComment = FData.View().Colors().Comment().Color();
    const std::string dataCommenter = FData.View().Commenter();
    ApplyConfigToEditors(Config("[Environment]\nComment=//\n[Color]\nComment=0 128 0\nKeyword=0 0 255\n"
                                "KeywordBack=1 2\nRetMark=0 128 128\n"),
                         FScript, FData, FResult);
    EXPECT_EQ(FScript.View().Commenter(), "//");
    EXPECT_EQ(FScript.View().Colors().Comment().Color(), 0x008000u);
    EXPECT_EQ(FScript.View().Colors().Reserve().Color(), 0xFF0000u);
    EXPECT_EQ(FScript.View().Colors().Reserve().BkColor(), clWhite); // not a colour: the default
    for (TEditor* editor : {&FScript, &FData, &FResult})
        EXPECT_EQ(editor->Marks().RetMark().Color(), 0x808000u);
    EXPECT_EQ(FData.View().Colors().Comment().Color(), dataComment);
    EXPECT_EQ(FData.View().Commenter(), dataCommenter);
}

TEST_F(ApplyConfigTest, TheQuotationKeepsACommentMarkInAStringOutOfTheComment)
{
    const auto tokens = [&] {
        return test::DumpTokens(*FScript.View().Fountain().NewParser(), "print \"a#b\"; # note");
    };
    ApplyConfigToEditors(Config("[Environment]\nComment=#\n"), FScript, FData, FResult);
    EXPECT_EQ(tokens(), "Word\"print\" Sym\"\"\" Word\"a\" Comment\"#b\"; # note\"");
    ApplyConfigToEditors(Config("[Environment]\nComment=#\nQuotation=\"\n"), FScript, FData, FResult);
    EXPECT_EQ(tokens(), "Word\"print\" Quoted\"\"a#b\"\" Sym\";\" Comment\"# note\"");
    EXPECT_EQ(FData.View().Quotation(), "");
}

TEST_F(ApplyConfigTest, ChangeMarkColoursReachTheDataAndResultEditorsAndMissingOnesAreTheDefaults)
{
    using TColors = TEditorChangeColors;
    struct {
        const char* Key;
        TColor (TColors::*Color)() const;
        TColor Default;
    } keys[] = {
        {"ChangedLineBack", &TColors::ChangedBack, TColors::DefaultChangedBack},
        {"AddedLineBack", &TColors::AddedBack, TColors::DefaultAddedBack},
        {"RemovedLineBack", &TColors::RemovedBack, TColors::DefaultRemovedBack},
        {"ChangedCharBack", &TColors::ChangedCharBack, TColors::DefaultChangedCharBack},
        {"RemovedMark", &TColors::GapMark, TColors::DefaultGapMark},
    };
    std::string content = "[Color]\n";
    for (std::size_t i = 0; i < std::size(keys); ++i)
        content += std::string(keys[i].Key) + "=" + std::to_string(i + 1) + " 2 3\n";
    ApplyConfigToEditors(Config(content), FScript, FData, FResult);
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        for (TEditor* editor : {&FData, &FResult})
            EXPECT_EQ((editor->ChangeColors().*keys[i].Color)(), Rgb(static_cast<int>(i) + 1, 2, 3)) << keys[i].Key;
        EXPECT_EQ((FScript.ChangeColors().*keys[i].Color)(), keys[i].Default) << keys[i].Key;
    }
    ApplyConfigToEditors(Config("[Color]\nChangedLineBack=\n"), FScript, FData, FResult);
    for (const auto& key : keys)
        EXPECT_EQ((FResult.ChangeColors().*key.Color)(), key.Default) << key.Key;
}

TEST_F(ApplyConfigTest, AnOversizedColourStopsThereAndKeepsWhatWasApplied)
{
    FData.Marks().RetMark().SetVisible(false);
    EXPECT_THROW(ApplyConfigToEditors(Config("[Color]\nComment=0 128 0\nKeyword=0 0 4294967296\n"), FScript,
                                      FData, FResult),
                 EConvertError);
    EXPECT_EQ(FScript.View().Colors().Comment().Color(), 0x008000u);
    EXPECT_FALSE(FData.Marks().RetMark().Visible()); // not reached
}
