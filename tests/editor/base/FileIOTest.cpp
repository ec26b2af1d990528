#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace kestrim;
namespace fs = std::filesystem;

namespace {

class FileIOTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() / ("kestrim-fileio-" + std::to_string(::getpid()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }
    std::string PathOf(const std::string& name) const { return (FFolder / name).string(); }

    fs::path FFolder;
};

} // namespace

TEST_F(FileIOTest, WritesAndReadsEveryByte)
{
    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>(i * 7);
    WriteFileBytes(PathOf("a.bin"), bytes);
    EXPECT_EQ(ReadFileBytes(PathOf("a.bin")), bytes);
}

TEST_F(FileIOTest, ReadingWhatIsNoFileRaisesTheOpenError)
{
    EXPECT_THROW(ReadFileBytes(PathOf("missing.txt")), EFOpenError);
    EXPECT_THROW(ReadFileBytes(FFolder.string()), EFOpenError);
}

TEST_F(FileIOTest, SavingKeepsPermissionsAndLeavesNoTemporaryFile)
{
    const std::string name = PathOf("script.pl");
    WriteFileBytes(name, "old");
    ::chmod(name.c_str(), 0750);
    WriteFileBytes(name, "new content");
    EXPECT_EQ(ReadFileBytes(name), "new content");
    EXPECT_EQ(fs::status(name).permissions() & fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator{}), 1);
}

TEST_F(FileIOTest, SavingThroughALinkReplacesTheTarget)
{
    WriteFileBytes(PathOf("target.txt"), "old");
    fs::create_symlink(PathOf("target.txt"), PathOf("link.txt"));
    WriteFileBytes(PathOf("link.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(PathOf("link.txt")));
    EXPECT_EQ(ReadFileBytes(PathOf("target.txt")), "new");
}

TEST_F(FileIOTest, AFailedSaveLeavesTheOldFileAlone)
{
    EXPECT_THROW(WriteFileBytes(PathOf("no/such/folder/x.txt"), "x"), EFCreateError);
    fs::create_directory(PathOf("dir"));
    EXPECT_THROW(WriteFileBytes(PathOf("dir"), "x"), EFCreateError);
    EXPECT_TRUE(fs::is_directory(PathOf("dir")));
}

TEST_F(FileIOTest, ErrorsGiveTheCommonReasonsInJapanese)
{
    struct Case {
        int Error;
        TFileAccess Access;
        const char* Reason;
    };
    for (const Case& c : {Case{ENOENT, TFileAccess::Read, "ファイルが見つかりません。"},
                          Case{ENOENT, TFileAccess::Write, "保存先のフォルダーが見つかりません。"},
                          Case{EACCES, TFileAccess::Write, "アクセスが許可されていません。"},
                          Case{EISDIR, TFileAccess::Read, "ファイルではなくフォルダーです。"},
                          Case{ENOSPC, TFileAccess::Write, "ディスクの空き容量が足りません。"},
                          Case{EROFS, TFileAccess::Write, "読み取り専用のファイルシステムです。"},
                          Case{EMFILE, TFileAccess::Read, std::strerror(EMFILE)}})
        EXPECT_EQ(FileErrorReason(c.Error, c.Access), c.Reason) << c.Error;

    const std::string missing = PathOf("no/x.txt");
    try {
        WriteFileBytes(missing, "x");
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EFCreateError& Error) {
        EXPECT_EQ(Error.what(), "ファイル \"" + missing + "\" を作成できません。保存先のフォルダーが見つかりません。");
    }
}

// A writer may fail, or put a file of its own under the temporary name: the old file stays
// until the new one is complete, keeps its permissions, and nothing is left beside it.
TEST_F(FileIOTest, ReplacingAFileKeepsTheOldOneUntilTheWriterSucceeds)
{
    const std::string name = PathOf("a.kestrim");
    WriteFileBytes(name, "old");
    ::chmod(name.c_str(), 0640);
    auto writeAndFail = [](const std::string& temporary) {
        WriteFileBytes(temporary, "half");
        return ENOSPC;
    };
    try {
        ReplaceFile(name, writeAndFail);
        ADD_FAILURE() << "a failed writer replaced the file";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(error.what(), "ファイル \"" + name + "\" を作成できません。ディスクの空き容量が足りません。");
    }
    EXPECT_THROW(ReplaceFile(name, [](const std::string&) -> int { throw EAbort(); }), EAbort);
    EXPECT_EQ(ReadFileBytes(name), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator{}), 1);

    ReplaceFile(name, [&](const std::string& temporary) {
        WriteFileBytes(PathOf("own"), "new");
        return std::rename(PathOf("own").c_str(), temporary.c_str()) == 0 ? 0 : errno;
    });
    EXPECT_EQ(ReadFileBytes(name), "new");
    EXPECT_EQ(fs::status(name).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator{}), 1);
}

// Written a block at a time, a file that cannot be completed (the disk full, the user gave up)
// stays as it was, the producer stops at the failing block, and nothing is left beside it.
TEST_F(FileIOTest, AFileWrittenInBlocksStaysAsItWasWhenTheWritingFails)
{
    const std::string name = PathOf("data.txt");
    WriteFileBytes(name, "old");
    const std::string block(4096, 'x');
    struct TCase {
        const char* Name;
        bool GiveUp; // else the file may grow by one block only
    };
    for (const TCase c : {TCase{"disk full", false}, TCase{"given up", true}}) {
        SCOPED_TRACE(c.Name);
        int blocks = 0;
        const auto produce = [&](const TWriteBytes& Write) {
            for (; blocks < 3; ++blocks) {
                Write(block);
                if (c.GiveUp)
                    throw EAbort();
            }
        };
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{block.size(), old.rlim_max};
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
        if (c.GiveUp)
            EXPECT_THROW(ReplaceFileInBlocks(name, produce), EAbort);
        else
            EXPECT_THROW(ReplaceFileInBlocks(name, produce), EFCreateError);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
        EXPECT_EQ(blocks, c.GiveUp ? 0 : 1);
        EXPECT_EQ(ReadFileBytes(name), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), fs::directory_iterator{}), 1);
    }
}
