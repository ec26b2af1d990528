#include "web/UWebItemShelf.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace kestrim;
namespace fs = std::filesystem;

namespace {

class WebItemShelfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() / ("kestrim-web-" + std::to_string(::getpid()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    // A shelf loaded from a URL file holding Content.
    void Load(const std::string& Content)
    {
        const std::string path = (FFolder / "url.txt").string();
        WriteFileBytes(path, Content);
        FShelf.LoadFromFile(path);
    }

    // "name|url|key" for every item, one per line: compact enough to compare whole shelves.
    std::string Dump() const
    {
        std::string dump;
        for (auto iterator = FShelf.GetIterator(); iterator->HasNext();) {
            const TWebItem& item = iterator->Next();
            dump += item.Name() + "|" + item.Url() + (item.HasKey() ? "|key" : "") + "\n";
        }
        return dump;
    }

    fs::path FFolder;
    TWebItemShelf FShelf;
};

} // namespace

TEST_F(WebItemShelfTest, SkipsBlankCommentAndCommaLessLines)
{
    Load("# reference pages, one per line\r\n"
         " \t \r\n"
         "\r\n"
         "  # indented, still a comment\r\n"
         "no comma here\r\n"
         "Search,https://example.org/?q={key}\r\n");
    EXPECT_EQ(Dump(), "Search|https://example.org/?q={key}|key\n");
}

TEST_F(WebItemShelfTest, SplitsAtTheLastCommaWithoutTrimming)
{
    Load("a, b,c\n"
         " name , url \n"
         "empty url,\n"
         ",empty name\n"
         ",\n");
    EXPECT_EQ(Dump(), "a, b|c\n"
                      " name | url \n"
                      "empty url|\n"
                      "|empty name\n"
                      "|\n");
}

TEST_F(WebItemShelfTest, AppendsInFileOrderAndKeepsItemsWhereTheyAre)
{
    Load("one,1\r\ntwo,2\nthree,3");
    const TWebItem* first = &FShelf.Items(0);
    std::string more = "four,4\r\n";
    for (int i = 0; i < 1000; ++i)
        more += "n,u\n";
    Load(more);
    ASSERT_EQ(FShelf.Count(), 1004);
    EXPECT_EQ(&FShelf.Items(0), first); // the page list holds on to the items
    const std::string head = "one|1\ntwo|2\nthree|3\nfour|4\nn|u\n";
    EXPECT_EQ(Dump().substr(0, head.size()), head);
}

TEST_F(WebItemShelfTest, IteratorOfAnEmptyShelfIsAtItsEndAtOnce)
{
    Load("");
    auto iterator = FShelf.GetIterator();
    EXPECT_FALSE(iterator->HasNext());
    EXPECT_THROW(iterator->Next(), EStringListError);
}

TEST_F(WebItemShelfTest, UnreadableFileRaisesFileErrorAndAddsNothing)
{
    Load("kept,1\n");
    EXPECT_THROW(FShelf.LoadFromFile((FFolder / "missing.txt").string()), EFOpenError);
    EXPECT_THROW(FShelf.LoadFromFile(FFolder.string()), EFOpenError);
    EXPECT_EQ(Dump(), "kept|1\n");
}

TEST_F(WebItemShelfTest, BytesThatAreNotShiftJisAreKeptAsTheyAre)
{
    const std::string name = std::string("\xFF\x80 \x00", 4) + "\x81"; // stray bytes, NUL, lone lead byte
    const std::string url = "\xA0\xFD{key}\x9F";
    Load(name + "," + url + "\n");
    ASSERT_EQ(FShelf.Count(), 1);
    EXPECT_EQ(FShelf.Items(0).Name(), name);
    EXPECT_EQ(FShelf.Items(0).Url(), url);
    EXPECT_TRUE(FShelf.Items(0).HasKey());
}

// Lines this long exhaust the matcher's backtracking limit; the entries after them still count.
TEST_F(WebItemShelfTest, HugeLinesDoNotStopTheLoad)
{
    const std::string huge(16 * 1024 * 1024, 'a');
    Load(huge + "\n" + "," + huge + "\n" + std::string(huge.size(), ' ') + "x\n" + huge + ",\n" + "after,url\n");
    ASSERT_EQ(FShelf.Count(), 2);
    EXPECT_EQ(FShelf.Items(0).Name(), huge);
    EXPECT_EQ(FShelf.Items(1).Name(), "after");
}

TEST(WebItemTest, HasKeyOnlyForTheLowerCaseMarkerOutsideTwoByteCharacters)
{
    EXPECT_TRUE(TWebItem("n", "http://x/{key}").HasKey());
    EXPECT_FALSE(TWebItem("n", "http://x/{KEY}").HasKey());
    EXPECT_FALSE(TWebItem("n", "http://x/{Key}").HasKey());
    EXPECT_FALSE(TWebItem("n", "http://x/key").HasKey());
    // 0x83 0x7B is one character whose trail byte happens to be "{".
    EXPECT_FALSE(TWebItem("n", "http://x/\x83{key}").HasKey());
    EXPECT_TRUE(TWebItem("n", "http://x/\x83\x7B{key}").HasKey());
}

TEST(WebItemTest, BuildUrlReplacesEveryMarkerInAnyCase)
{
    EXPECT_EQ(TWebItem("n", "http://x/{key}/{key}").BuildUrl("a+b"), "http://x/a+b/a+b");
    EXPECT_EQ(TWebItem("n", "{KEY}-{Key}-{key}").BuildUrl("k"), "k-k-k");
    EXPECT_EQ(TWebItem("n", "http://x/?q={key}&r=1").BuildUrl(""), "http://x/?q=&r=1");
    EXPECT_EQ(TWebItem("n", "no marker").BuildUrl("k"), "no marker");
    EXPECT_EQ(TWebItem("n", "{key").BuildUrl("k"), "{key");
    EXPECT_EQ(TWebItem("n", "\x83{key}{key}").BuildUrl("k"), "\x83{key}k");
}

TEST(UrlEncodeTest, EncodesByteByByteAndKeepsShiftJis)
{
    EXPECT_EQ(UrlEncode(""), "");
    EXPECT_EQ(UrlEncode("ab cd"), "ab+cd");
    EXPECT_EQ(UrlEncode("AZaz09"), "AZaz09");
    EXPECT_EQ(UrlEncode("a+b"), "a%2Bb");
    EXPECT_EQ(UrlEncode("-._~/?&=%"), "%2D%2E%5F%7E%2F%3F%26%3D%25");
    EXPECT_EQ(UrlEncode(std::string("\t\x00\x7F\xFF", 4)), "%09%00%7F%FF");
    EXPECT_EQ(UrlEncode(Utf8ToSjis("あ")), "%82%A0");
    EXPECT_EQ(UrlEncode(Utf8ToSjis("正規 表現")), "%90%B3%8BK+%95%5C%8C%BB");
}
