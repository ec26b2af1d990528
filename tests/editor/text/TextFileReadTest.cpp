#include "editor/text/TextFileRead.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

// Bytes that change while they are read: Grown is appended once the count has read its first
// block; at the rewind between the passes they become Rewritten, when given.
class TChangingSource : public TByteSource {
public:
    TChangingSource(std::string Bytes, std::string Grown, std::optional<std::string> Rewritten = {})
        : FBytes(std::move(Bytes)), FGrown(std::move(Grown)), FRewritten(std::move(Rewritten)), FSize(FBytes.size())
    {
    }
    std::string_view ReadBlock(char*, std::size_t Count) override
    {
        if (FPosition > 0 && !FRewound) {
            FBytes += FGrown;
            FGrown.clear();
        }
        const std::string_view block = std::string_view(FBytes).substr(FPosition, Count);
        FPosition += block.size();
        return block;
    }
    void Rewind() override
    {
        FPosition = 0;
        FRewound = true;
        if (FRewritten)
            FBytes = *FRewritten;
    }
    std::size_t Size() const override { return FSize; }

private:
    std::string FBytes;
    std::string FGrown;
    std::optional<std::string> FRewritten;
    std::size_t FSize;
    std::size_t FPosition = 0;
    bool FRewound = false;
};

struct TProgressLog {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Calls;

    TReadProgress Recorder()
    {
        return [this](std::uint64_t Done, std::uint64_t Total) { Calls.emplace_back(Done, Total); };
    }
    // Done and Total never fall, Done never passes Total, and the last call has Done == Total.
    void ExpectRisingTo(std::uint64_t Total) const
    {
        ASSERT_FALSE(Calls.empty());
        for (std::size_t i = 1; i < Calls.size(); ++i) {
            EXPECT_GE(Calls[i].first, Calls[i - 1].first) << i;
            EXPECT_GE(Calls[i].second, Calls[i - 1].second) << i;
        }
        for (const auto& [done, total] : Calls)
            EXPECT_LE(done, total);
        EXPECT_EQ(Calls.back(), std::make_pair(Total, Total));
    }
};

// "a|b|c$": the rows, $ after a row that ends the text without a line break.
std::string Dump(const TEditorStringList& Rows)
{
    std::string dump;
    for (int row = 0; row < Rows.Count(); ++row)
        dump.append(row > 0 ? "|" : "").append(Rows.Str(row)).append(Rows.Rows(row) == raEof ? "$" : "");
    return dump;
}

} // namespace

TEST(TextFileReadTest, ProgressRisesToTheTotalWhateverTheBlocks)
{
    const std::string bytes = "\xEF\xBB\xBFone\r\ntwo\nthree\x1A";
    for (const std::size_t blockSize : {std::size_t{1}, std::size_t{4}, std::size_t{64}}) {
        SCOPED_TRACE(blockSize);
        TMemoryReader source(bytes);
        TProgressLog log;
        TTextReadOptions options;
        options.BlockSize = blockSize;
        options.Progress = log.Recorder();
        const std::optional<TTextRows> text = ReadTextRows(source, options);
        ASSERT_TRUE(text);
        EXPECT_EQ(Dump(*text->Rows), "one|two|three$");
        EXPECT_EQ(text->Encoding, TTextEncoding::Utf8);
        EXPECT_TRUE(text->Format.ByteOrderMark);
        log.ExpectRisingTo(bytes.size());
    }
}

// Cancelled in the count or in the reading of the rows, the read ends at once without rows.
TEST(TextFileReadTest, ACancelledReadEndsAtOnceWithoutRows)
{
    const std::string bytes(4000, 'x');
    for (const std::size_t cancelAt : {std::size_t{1}, std::size_t{3}, std::size_t{6}}) {
        SCOPED_TRACE(cancelAt);
        TMemoryReader source(bytes);
        std::atomic<bool> cancel{false};
        std::size_t calls = 0;
        TTextReadOptions options;
        options.BlockSize = 1000;
        options.Cancel = &cancel;
        options.Progress = [&](std::uint64_t, std::uint64_t) { cancel = ++calls == cancelAt; };
        EXPECT_FALSE(ReadTextRows(source, options));
        EXPECT_EQ(calls, cancelAt);
    }
}

// A file that changes while it is read gives whole rows: those it had when it was counted, or,
// rewritten shorter before the rows were read, those of the new bytes as far as they go.
TEST(TextFileReadTest, AFileChangingWhileReadGivesWholeRows)
{
    struct TCase {
        const char* Name;
        std::string Grown;
        std::optional<std::string> Rewritten;
        const char* Rows;
        std::uint64_t Total;
    };
    const TCase cases[] = {
        {"grows while counted", "c\r\nd", {}, "a|b|c|d$", 10},
        {"rewritten longer", "", "a\r\nbb\r\ncc\r\n", "a|bb", 6},
        {"rewritten shorter", "", "z\r\n", "z", 6},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TChangingSource source("a\r\nb\r\n", c.Grown, c.Rewritten);
        TProgressLog log;
        TTextReadOptions options;
        options.BlockSize = 2;
        options.Progress = log.Recorder();
        const std::optional<TTextRows> text = ReadTextRows(source, options);
        ASSERT_TRUE(text);
        EXPECT_EQ(Dump(*text->Rows), c.Rows);
        log.ExpectRisingTo(c.Total);
    }
}

// Rows known ahead are read in one pass, which must give what the two passes give: the same
// rows and the same format, for texts built of line breaks split across blocks, byte-order
// marks and Ctrl+Z marks, whatever the expectation (too few rows, exact, too many).
TEST(TextFileReadTest, OnePassGivesWhatTwoPassesGive)
{
    const std::string pieces[] = {"a", "\r", "\n", "\r\n", "\x1A", "\xEF\xBB\xBF", "\xEF", "\x82\xA0"};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        const std::size_t count = random() % 9;
        for (std::size_t i = 0; i < count; ++i)
            bytes += pieces[random() % std::size(pieces)];
        TTextReadOptions options;
        options.Encoding = round % 2 == 0 ? TTextEncoding::Utf8 : TTextEncoding::ShiftJis;
        options.BlockSize = 1 + random() % 4;
        SCOPED_TRACE(testing::PrintToString(bytes) + " block size " + std::to_string(options.BlockSize));
        TMemoryReader twoPassSource(bytes);
        const std::optional<TTextRows> twoPass = ReadTextRows(twoPassSource, options);
        for (const std::size_t expected : {std::size_t{0}, std::size_t{1}, std::size_t{50}}) {
            options.ExpectedRows = expected;
            TMemoryReader source(bytes);
            TProgressLog log;
            options.Progress = log.Recorder();
            const std::optional<TTextRows> onePass = ReadTextRows(source, options);
            ASSERT_TRUE(twoPass && onePass);
            EXPECT_EQ(Dump(*onePass->Rows), Dump(*twoPass->Rows));
            EXPECT_EQ(onePass->Format, twoPass->Format);
            if (!bytes.empty())
                log.ExpectRisingTo(bytes.size());
            options.ExpectedRows.reset();
            options.Progress = nullptr;
        }
    }
}
