#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace kestrim;

namespace {

std::string Lines(const TStrings& list)
{
    std::string out;
    for (int i = 0; i < list.Count(); ++i)
        out += "[" + list.Get(i) + "]";
    return out;
}

} // namespace

TEST(StringsBase, TextIsCutAtEveryKindOfLineBreak)
{
    TStringList list;
    list.SetText("a\r\nb\rc\nd");
    EXPECT_EQ(Lines(list), "[a][b][c][d]");
    EXPECT_FALSE(list.TrailingLineBreak());
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd");

    list.SetText("a\n\r\n\r");
    EXPECT_EQ(Lines(list), "[a][][]");
    EXPECT_TRUE(list.TrailingLineBreak());
    EXPECT_EQ(list.Text(), "a\r\n\r\n\r\n");
}

TEST(StringsBase, FinalLineBreakIsKeptOrNot)
{
    TStringList list;
    for (const std::string text : {"", "\r\n", "x", "x\r\n", "x\r\n\r\n"}) {
        list.SetText(text);
        EXPECT_EQ(list.Text(), text);
    }
    EXPECT_EQ(Lines(list), "[x][]");
}

TEST(StringsBase, NulBytesAndOtherBytesStayInTheLines)
{
    const std::string text("a\0b\r\n\x81\n\xFF", 8);
    TStringList list;
    list.SetText(text);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Get(0), std::string("a\0b", 3));
    EXPECT_EQ(list.Get(1), "\x81");
    EXPECT_EQ(list.Get(2), "\xFF");
    EXPECT_EQ(list.Text(), std::string("a\0b\r\n\x81\r\n\xFF", 9));
}

TEST(StringsBase, StreamsRoundTripFromThePosition)
{
    TStringList list;
    TMemoryStream stream(std::string("skip|one\r\ntwo", 13));
    stream.SetPosition(5);
    list.LoadFromStream(stream);
    EXPECT_EQ(Lines(list), "[one][two]");
    TMemoryStream out;
    list.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), "one\r\ntwo");
    // Into a stream that holds bytes: written at its position, which moves past them.
    out.SetPosition(3);
    list.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), "oneone\r\ntwo");
    EXPECT_EQ(out.Position(), out.Size());
    list.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), "oneone\r\ntwoone\r\ntwo");
}

TEST(StringsBase, AFileThatCannotBeReadLeavesTheListAsItWas)
{
    TStringList list;
    list.SetText("keep\r\n");
    EXPECT_THROW(list.LoadFromFile("/nonexistent/folder/file.txt"), EFOpenError);
    EXPECT_THROW(list.LoadFromFile(std::filesystem::temp_directory_path().string()), EFOpenError);
    EXPECT_EQ(list.Text(), "keep\r\n");
}

TEST(StringsBase, FilesRoundTrip)
{
    const std::string name = (std::filesystem::temp_directory_path() / "kestrim-strings-test.txt").string();
    TStringList list;
    list.SetText("one\ntwo");
    list.SaveToFile(name);
    EXPECT_EQ(ReadFileBytes(name), "one\r\ntwo");
    TStringList other;
    other.LoadFromFile(name);
    EXPECT_EQ(Lines(other), "[one][two]");
    std::filesystem::remove(name);
}

TEST(StringsBase, IndexErrorsCarryTheListMessage)
{
    TStringList list;
    list.Add("a");
    try {
        list.Get(1);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています");
    }
    EXPECT_THROW(list.Insert(2, "x"), EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
    list.Insert(1, "b");
    EXPECT_EQ(Lines(list), "[a][b]");
}

TEST(StringList, ABatchFiresOneEventOfEachKind)
{
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&] { ++changing; };
    list.OnChange = [&] { ++changed; };
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.BeginUpdate();
    list.Add("c");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    list.SetText("x\r\ny");
    EXPECT_EQ(changed, 4);
}

TEST(StringList, SortedListIgnoresCaseAndDuplicates)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* word : {"print", "Else", "if", "PRINT", "else", "and"})
        list.Add(word);
    EXPECT_EQ(Lines(list), "[and][Else][if][print]");
    EXPECT_EQ(list.IndexOf("IF"), 2);
    EXPECT_EQ(list.IndexOf("iff"), -1);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
}

TEST(StringList, ContainsFollowsEveryChangeOfTheItems)
{
    // Filled directly, as the keyword loading does: no event reaches the looker-up.
    TStringList list;
    list.SetSorted(true);
    list.Add("print");
    list.Add("\x83\x61");
    EXPECT_TRUE(list.Contains("PRINT"));
    EXPECT_FALSE(list.Contains("\x83\x41")); // a trail byte keeps its case
    EXPECT_FALSE(list.Contains("if"));
    list.Add("if");
    EXPECT_TRUE(list.Contains("If"));
    list.Delete(list.IndexOf("print"));
    EXPECT_FALSE(list.Contains("print"));
    list.SetCaseSensitive(true);
    EXPECT_FALSE(list.Contains("IF"));
    EXPECT_TRUE(list.Contains("if"));
    list.Clear();
    EXPECT_FALSE(list.Contains("if"));
    EXPECT_FALSE(list.Contains(""));

    // Against the list's own bisection: letters of both cases, lead bytes and trail bytes that
    // look like letters, texts that share their first bytes and length.
    std::mt19937 random(5);
    const std::string bytes = "aAbB\x83\x61\x41_1";
    const auto text = [&] {
        std::string made;
        for (int n = static_cast<int>(random() % 5); n > 0; --n)
            made += bytes[random() % bytes.size()];
        return made;
    };
    for (int round = 0; round < 2; ++round) {
        list.SetCaseSensitive(round == 1);
        for (int step = 0; step < 2000; ++step) {
            if (step % 4 == 0)
                list.Add(text());
            const std::string probe = text();
            ASSERT_EQ(list.Contains(probe), list.IndexOf(probe) >= 0) << probe;
        }
    }
}

TEST(StringList, CaseFoldingSparesTrailBytes)
{
    // 0x83 0x61 and 0x83 0x41 are two different katakana; their trail bytes look like "a" and "A".
    EXPECT_NE(CompareTextSjis("\x83\x61", "\x83\x41"), 0);
    EXPECT_EQ(CompareTextSjis("\x83\x61" "a", "\x83\x61" "A"), 0);
    EXPECT_LT(CompareTextSjis("abc", "ABCD"), 0);
}
