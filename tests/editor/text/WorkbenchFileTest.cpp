#include "TempFolder.h"

#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/text/WorkbenchFile.h"
#include "editor/text/ZipBlockWriter.h"
#include "editor/text/ZipStoredEntries.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

using namespace kestrim;
using namespace kestrim::test;
namespace fs = std::filesystem;

namespace {

constexpr TTextEncoding InSjis = TTextEncoding::ShiftJis;
constexpr TTextEncoding InUtf8 = TTextEncoding::Utf8;

std::string EveryByte()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

TWorkbench Example()
{
    TWorkbench workbench;
    workbench.Script = {"print <STDIN>;\r\n" + EveryByte(), InSjis};
    workbench.ScriptExtension = ".pl";
    workbench.Language = "Perl.ini";
    workbench.Samples = {
        {"最初の \"見本\" \\ 1", {EveryByte() + "\r\n", InSjis}, TWorkbenchText{EveryByte(), InUtf8}},
        {"", {std::string("a\0b\rc\nd\r\n", 9), InUtf8}, std::nullopt},
        {"long", {std::string(1 << 20, 'x') + "\n", InSjis}, TWorkbenchText{"", InSjis}},
    };
    workbench.Current = 1;
    return workbench;
}

// Entries as a zip tool writes them: in the order given, each compressed with Method.
using TEntries = std::vector<std::pair<std::string, std::string>>;

void WriteZip(const std::string& FileName, const TEntries& Entries, zip_int32_t Method = ZIP_CM_STORE)
{
    int error = 0;
    zip_t* archive = zip_open(FileName.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : Entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
        ASSERT_GE(index, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), Method, 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::string Manifest(const std::string& Samples, const std::string& Rest = R"("current": 0)")
{
    return R"({"format": 1, "language": "Perl.ini", "script": {"file": "script.pl", "encoding": "UTF-8"}, )" + Rest +
           R"(, "samples": )" + Samples + "}";
}

const std::string OneSample = R"([{"name": "a", "data": {"file": "d.txt", "encoding": "Shift-JIS"}}])";

class WorkbenchFileTest : public testing::Test {
protected:
    std::string Path(const std::string& Name) const { return FFolder.Path(Name); }

    // A workbench file of the entries given, with a script and one data entry beside them.
    std::string ZipWith(const TEntries& Entries, zip_int32_t Method = ZIP_CM_STORE)
    {
        TEntries entries{{"script.pl", "print;"}, {"d.txt", "data"}};
        entries.insert(entries.end(), Entries.begin(), Entries.end());
        WriteZip(Path("z.kestrim"), entries, Method);
        return Path("z.kestrim");
    }

    TTempFolder FFolder{"kestrim-workbench-"};
};

} // namespace

TEST_F(WorkbenchFileTest, AWorkbenchComesBackByteForByte)
{
    TWorkbench workbench = Example();
    WriteWorkbenchFile(Path("a.kestrim"), workbench);
    EXPECT_EQ(ReadWorkbenchFile(Path("a.kestrim")), workbench);

    workbench.ScriptExtension.clear();
    workbench.Samples.resize(1000, workbench.Samples[1]);
    workbench.Samples.back().Name = "最後";
    workbench.Current = 999;
    WriteWorkbenchFile(Path("a.kestrim"), workbench);
    EXPECT_EQ(ReadWorkbenchFile(Path("a.kestrim")), workbench);
}

// Any zip tool sees the texts as plain files, and file-type tools see the type at the file's
// start: "mimetype" first, stored, its content right after its name.
TEST_F(WorkbenchFileTest, OtherToolsReadTheEntriesAsPlainFiles)
{
    WriteWorkbenchFile(Path("a.kestrim"), Example());
    const std::string bytes = ReadFileBytes(Path("a.kestrim"));
    EXPECT_EQ(bytes.substr(30, 8 + WorkbenchMimeType.size()), "mimetype" + std::string(WorkbenchMimeType));

    int error = 0;
    zip_t* archive = zip_open(Path("a.kestrim").c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(archive, nullptr);
    EXPECT_STREQ(zip_get_name(archive, 0, 0), "mimetype");
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(archive, "samples/001/expected.txt", 0, &stat), 0);
    EXPECT_EQ(stat.comp_method, ZIP_CM_STORE);
    std::string expected(stat.size, '\0');
    zip_file_t* file = zip_fopen(archive, "samples/001/expected.txt", 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(zip_fread(file, expected.data(), expected.size()), static_cast<zip_int64_t>(EveryByte().size()));
    EXPECT_EQ(expected, EveryByte());
    zip_fclose(file);
    EXPECT_GE(zip_name_locate(archive, "script.pl", 0), 0);
    zip_discard(archive);
}

TEST_F(WorkbenchFileTest, AReZippedWorkbenchStillReads)
{
    const std::string manifest =
        Manifest(R"([{"name": "a", "data": {"file": "d.txt", "encoding": "Shift-JIS"}, "later": [1, {"x": null}]}])",
                 R"("current": 0, "unknown": "a later format's key")");
    const TWorkbench workbench = ReadWorkbenchFile(ZipWith({{"workbench.json", manifest}}, ZIP_CM_DEFLATE));
    EXPECT_EQ(workbench.Script.Bytes, "print;");
    EXPECT_EQ(workbench.Script.Encoding, InUtf8);
    EXPECT_EQ(workbench.ScriptExtension, ".pl");
    ASSERT_EQ(workbench.Samples.size(), 1u);
    EXPECT_EQ(workbench.Samples[0].Data.Bytes, "data");
    EXPECT_FALSE(workbench.Samples[0].Expected);
}

// A stored current data is found, not read: its place gives its bytes and their CRC. A
// compressed one has no place and is read as before.
TEST_F(WorkbenchFileTest, TheCurrentDataCanBeLeftInTheFile)
{
    const TWorkbench workbench = Example();
    WriteWorkbenchFile(Path("a.kestrim"), workbench);
    TWorkbenchLeavingData read = ReadWorkbenchLeavingCurrentData(Path("a.kestrim"));
    ASSERT_TRUE(read.CurrentData);
    EXPECT_TRUE(read.Workbench.Samples[1].Data.Bytes.empty());
    const TFileReader file(Path("a.kestrim"));
    std::string bytes(read.CurrentData->Size, '\0');
    EXPECT_EQ(file.ReadAt(bytes.data(), bytes.size(), read.CurrentData->Offset), bytes.size());
    // The CRC is summed over the first pass only, which may come in blocks of any size.
    TFileRegion region(file, read.CurrentData->Offset, read.CurrentData->Size);
    TCrcSource checked(region);
    char block[3];
    while (!checked.ReadBlock(block, sizeof block).empty()) {
    }
    checked.Rewind();
    checked.ReadBlock(block, sizeof block);
    EXPECT_EQ(checked.FirstPass().Count, read.CurrentData->Size);
    EXPECT_EQ(checked.FirstPass().Crc, read.CurrentData->Crc);
    read.Workbench.Samples[1].Data.Bytes = bytes;
    EXPECT_EQ(read.Workbench, workbench);
    // The line feeds the manifest gives only size the rows: as written, missing (another
    // tool's file) or wrong, the rows are those of the bytes.
    EXPECT_EQ(read.CurrentData->LineFeeds, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
    TTextReadOptions asUtf8;
    asUtf8.Encoding = InUtf8;
    TMemoryReader memory(bytes);
    const std::optional<TTextRows> fromMemory = ReadTextRows(memory, asUtf8);
    for (const std::optional<std::size_t> lineFeeds : {read.CurrentData->LineFeeds, std::optional<std::size_t>(),
                                                       std::optional<std::size_t>(0)}) {
        TStoredText place = *read.CurrentData;
        place.LineFeeds = lineFeeds;
        const std::optional<TTextRows> rows = ReadStoredTextRows(Path("a.kestrim"), place, asUtf8);
        ASSERT_TRUE(rows && fromMemory);
        ASSERT_EQ(rows->Rows->Count(), fromMemory->Rows->Count());
        for (int i = 0; i < rows->Rows->Count(); ++i)
            EXPECT_EQ(rows->Rows->Str(i), fromMemory->Rows->Str(i));
        EXPECT_EQ(rows->Format, fromMemory->Format);
    }

    // A byte changed inside the stored text is found while its rows are read.
    std::string damaged = ReadFileBytes(Path("a.kestrim"));
    damaged[read.CurrentData->Offset + 2] ^= 1;
    WriteFileBytes(Path("a.kestrim"), damaged);
    EXPECT_THROW(ReadStoredTextRows(Path("a.kestrim"), *read.CurrentData, asUtf8), EWorkbenchFile);
    // A read given up has checked nothing and reports nothing.
    const std::atomic<bool> cancelled = true;
    TTextReadOptions givingUp = asUtf8;
    givingUp.Cancel = &cancelled;
    EXPECT_FALSE(ReadStoredTextRows(Path("a.kestrim"), *read.CurrentData, givingUp));

    const TWorkbenchLeavingData deflated =
        ReadWorkbenchLeavingCurrentData(ZipWith({{"workbench.json", Manifest(OneSample)}}, ZIP_CM_DEFLATE));
    EXPECT_FALSE(deflated.CurrentData);
    EXPECT_EQ(deflated.Workbench.Samples[0].Data.Bytes, "data");
}

TEST_F(WorkbenchFileTest, ANewerFormatSaysWhichAndOpensNothing)
{
    try {
        ReadWorkbenchFile(ZipWith({{"workbench.json", R"({"format": 2, "everything": "else"})"}}));
        ADD_FAILURE() << "read a later format";
    } catch (const EWorkbenchFile& error) {
        EXPECT_EQ(error.what(), std::string("このワークベンチは新しい形式 (形式 2) で保存されています。"
                                            "このバージョンの Kestrim が読めるのは形式 1 までです。"));
    }
}

TEST_F(WorkbenchFileTest, DamagedFilesSayWhatIsWrong)
{
    WriteWorkbenchFile(Path("good.kestrim"), Example());
    const std::string good = ReadFileBytes(Path("good.kestrim"));
    std::string badCrc = good;
    badCrc[good.find("print <STDIN>")] ^= 1;

    struct TCase {
        std::string Bytes;
        const char* Reason;
    };
    auto zipped = [&](const std::string& manifest) { return ReadFileBytes(ZipWith({{"workbench.json", manifest}})); };
    const TCase cases[] = {
        {"", "zip 形式でない"},
        {"not a zip at all", "zip 形式でない"},
        {good.substr(0, 100), "zip 形式でない"},
        {good.substr(0, good.size() / 2), "zip 形式でない"},
        {good.substr(0, good.size() - 1), "zip 形式でない"},
        {good.substr(100), "zip"},
        {badCrc, "\"script.pl\" の内容がチェックサム (CRC) と合いません"},
        {ReadFileBytes(ZipWith({})), "workbench.json がありません"},
        {zipped("{\"format\": 1,"), "正しい JSON ではありません"},
        {zipped("[1]"), "JSON のオブジェクトではありません"},
        {zipped(R"({"format": 1e400})"), "大きすぎて読めない数があります"},
        {zipped(R"({"format": "1"})"), "format が整数ではありません"},
        {zipped(R"({"format": 0})"), "format 0 は正しくありません"},
        {zipped(Manifest("{}")), "samples が配列ではありません"},
        {zipped(Manifest("[]")), "サンプルがありません"},
        {zipped(Manifest("[1]")), "samples[0] がオブジェクトではありません"},
        {zipped(Manifest(R"([{"name": 1}])")), "samples[0].name が文字列ではありません"},
        {zipped(Manifest(R"([{"name": "a\nb", "data": {}}])")), "samples[0].name が改行を含んでいます"},
        {zipped(Manifest(R"([{"name": "a"}])")), "samples[0].data がありません"},
        {zipped(Manifest(R"([{"name": "a", "data": {"file": "d.txt", "encoding": "EUC-JP"}}])")),
         "samples[0].data.encoding の文字コード \"EUC-JP\" は不明です"},
        {zipped(Manifest(R"([{"name": "a", "data": {"file": "gone.txt", "encoding": "UTF-8"}}])")),
         "\"gone.txt\" が zip アーカイブの中にありません"},
        {zipped(Manifest(R"([{"name": "a", "data": {"file": "script.pl", "encoding": "UTF-8"}}])")),
         "\"script.pl\" が二度使われています"},
        {zipped(Manifest(R"([{"name": "a", "data": {"file": "d.txt", "encoding": "UTF-8", "lineFeeds": -1}}])")),
         "samples[0].data.lineFeeds が0 以上の整数ではありません"},
        {zipped(Manifest(OneSample, R"("current": 1)")), "current 1 がサンプルの範囲 (0 から 0) にありません"},
        {zipped(Manifest(OneSample, R"("current": -1)")), "current -1 がサンプルの範囲"},
        {zipped(Manifest(OneSample, R"("current": 0.5)")), "current が整数ではありません"},
        {zipped(std::string(100000, '[') + std::string(100000, ']')), "入れ子が深すぎます"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Reason);
        WriteFileBytes(Path("bad.kestrim"), c.Bytes);
        try {
            ReadWorkbenchFile(Path("bad.kestrim"));
            ADD_FAILURE() << "read a damaged file";
        } catch (const EWorkbenchFile& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
            EXPECT_TRUE(message.starts_with("ワークベンチファイルが壊れています: ") ||
                        message.starts_with("ワークベンチファイルではありません: "))
                << message;
        }
    }
}

// A text of several blocks is read in parts side by side and checked as a whole, wherever a
// damaged byte lies; an archive laid out otherwise (here with a comment) is read by libzip alone,
// with the same results.
TEST_F(WorkbenchFileTest, ALargeTextReadsWholeAndADamagedByteInItIsFound)
{
    std::mt19937 random(7);
    std::string text(9 * (1 << 20) + 3, '\0');
    for (char& c : text)
        c = static_cast<char>(random());
    TWorkbench workbench = Example();
    workbench.Samples[0].Data.Bytes = text;
    WriteWorkbenchFile(Path("big.kestrim"), workbench);
    fs::copy_file(Path("big.kestrim"), Path("commented.kestrim"));
    int error = 0;
    zip_t* archive = zip_open(Path("commented.kestrim").c_str(), 0, &error);
    ASSERT_NE(archive, nullptr);
    ASSERT_EQ(zip_set_archive_comment(archive, "c", 1), 0);
    ASSERT_EQ(zip_close(archive), 0);

    for (const char* name : {"big.kestrim", "commented.kestrim"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadWorkbenchFile(Path(name)), workbench);
        const std::string good = ReadFileBytes(Path(name));
        const std::size_t start = good.find(text.substr(0, 64));
        for (const std::size_t at : {std::size_t{0}, std::size_t{4 << 20} + 1, text.size() / 2, text.size() - 1}) {
            std::string bad = good;
            bad[start + at] ^= 0x20;
            WriteFileBytes(Path("bad.kestrim"), bad);
            try {
                ReadWorkbenchFile(Path("bad.kestrim"));
                ADD_FAILURE() << "read a damaged byte at " << at;
            } catch (const EWorkbenchFile& error) {
                EXPECT_NE(std::string(error.what()).find("\"samples/001/data.txt\" の内容がチェックサム (CRC) と合いません"),
                          std::string::npos)
                    << error.what();
            }
        }
    }
}

TEST_F(WorkbenchFileTest, AFileThatCannotBeReadIsNamed)
{
    try {
        ReadWorkbenchFile(Path("missing.kestrim"));
        ADD_FAILURE() << "read a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_NE(std::string(error.what()).find(Path("missing.kestrim")), std::string::npos);
    }
    EXPECT_THROW(ReadWorkbenchFile(FFolder.Folder()), EFOpenError);
}

// Saving replaces the file whole: its permissions stay, and a save that fails leaves the old
// file and nothing beside it.
TEST_F(WorkbenchFileTest, SavingKeepsThePermissionsAndAFailedSaveTheOldFile)
{
    const std::string name = Path("a.kestrim");
    WriteWorkbenchFile(name, Example());
    ::chmod(name.c_str(), 0640);
    TWorkbench changed = Example();
    changed.Language = "Ruby.ini";
    WriteWorkbenchFile(name, changed);
    EXPECT_EQ(ReadWorkbenchFile(name), changed);
    EXPECT_EQ(fs::status(name).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::create_directory(Path("folder"));
    WriteFileBytes(Path("folder/b.kestrim"), "old");
    fs::permissions(Path("folder"), fs::perms::owner_read | fs::perms::owner_exec);
    // A file in the folder's place fails for every user, the owner of everything included.
    for (const std::string& target : {Path("folder/b.kestrim"), Path("a.kestrim/b.kestrim")}) {
        if (target == Path("folder/b.kestrim") && ::geteuid() == 0)
            continue; // the superuser writes into any folder
        EXPECT_THROW(WriteWorkbenchFile(target, Example()), EFCreateError) << target;
    }
    fs::permissions(Path("folder"), fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(Path("folder/b.kestrim")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder.Folder()), fs::directory_iterator{}), 2);
    EXPECT_EQ(ReadWorkbenchFile(name), changed);
}

// A save that the disk cannot take whole leaves the old file and nothing beside it, whether it
// fails at the first block or at the last.
TEST_F(WorkbenchFileTest, ASaveThatCannotBeCompletedLeavesTheOldFile)
{
    TWorkbench big = Example();
    big.Samples[0].Data.Bytes.assign(ZipWriteBlock + 1000, 'x');
    WriteWorkbenchFile(Path("a.kestrim"), big);
    const auto bigSize = static_cast<rlim_t>(fs::file_size(Path("a.kestrim")));
    WriteWorkbenchFile(Path("a.kestrim"), Example());

    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    for (const rlim_t limit : {rlim_t{4096}, bigSize - 1}) {
        const rlimit small{limit, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        EXPECT_THROW(WriteWorkbenchFile(Path("a.kestrim"), big), EFCreateError) << limit;
        ::setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(ReadWorkbenchFile(Path("a.kestrim")), Example());
        EXPECT_EQ(std::distance(fs::directory_iterator(FFolder.Folder()), fs::directory_iterator{}), 1);
    }
    std::signal(SIGXFSZ, oldSignal);
}
