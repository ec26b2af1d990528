#include "editor/text/edFileLines.h"

#include "editor/base/StringsBase.h"

#include <algorithm>
#include <string_view>

namespace kestrim {
namespace {

constexpr char CtrlZ = 26;

bool IsLineBreak(char Byte)
{
    return Byte == '\r' || Byte == '\n';
}

// The block without the LF of a CR LF whose CR ended the block before.
std::string_view AfterSplitLineBreak(std::string_view Block, bool AfterCr)
{
    return AfterCr && !Block.empty() && Block.front() == '\n' ? Block.substr(1) : Block;
}

} // namespace

TFileLines::TFileLines(TByteSource& Source, std::size_t BlockSize, bool CheckUtf8, const TOnBlock& OnBlock)
    : TFileLines(Source, BlockSize, TOnePass{})
{
    FCheckUtf8 = CheckUtf8;
    FCounted = true;
    CountRows(OnBlock);
}

TFileLines::TFileLines(TByteSource& Source, std::size_t BlockSize, TOnePass)
    : FSource(Source), FBlock(std::max<std::size_t>(BlockSize, 1), '\0')
{
}

bool TFileLines::GoOn(const TOnBlock& OnBlock, std::size_t Bytes)
{
    FStopped = OnBlock && !OnBlock(Bytes);
    return !FStopped;
}

void TFileLines::CountRows(const TOnBlock& OnBlock)
{
    for (;;) {
        const std::string_view whole = FSource.ReadBlock(FBlock.data(), FBlock.size());
        if (whole.empty())
            break;
        const std::string_view block = CountBlockStart(whole);
        ForEachLine(block, [&](std::size_t, std::size_t end) {
            if (end < block.size())
                CountLineBreak(block, end);
        });
        CountBlockEnd(whole);
        if (!GoOn(OnBlock, whole.size()))
            return;
    }
    FinishCount();
}

std::string_view TFileLines::CountBlockStart(std::string_view Whole)
{
    if (FHead.size() < Utf8ByteOrderMark.size())
        FHead += Whole.substr(0, Utf8ByteOrderMark.size() - FHead.size());
    if (FCheckUtf8 && FUtf8.Valid())
        FUtf8.Feed(Whole);
    const std::string_view block = AfterSplitLineBreak(Whole, FAfterCr);
    if (FAfterCr) // the CR that ended the block before
        CountLineEnd(block.size() < Whole.size() ? TLineEnd::CrLf : TLineEnd::Cr);
    return block;
}

// A CR that ends the block is a line break whose kind the next block tells.
void TFileLines::CountLineBreak(std::string_view Block, std::size_t End)
{
    ++FLineBreaks;
    if (Block[End] == '\n')
        CountLineEnd(TLineEnd::Lf);
    else if (End + 1 < Block.size())
        CountLineEnd(Block[End + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr);
}

void TFileLines::CountBlockEnd(std::string_view Whole)
{
    const std::size_t lastText = Whole.find_last_not_of(CtrlZ);
    if (lastText != std::string_view::npos) {
        FTextSize = FFileSize + lastText + 1;
        FLastTextByte = Whole[lastText];
    }
    FAfterCr = Whole.back() == '\r';
    FFileSize += Whole.size();
}

void TFileLines::FinishCount()
{
    if (FAfterCr)
        CountLineEnd(TLineEnd::Cr);
    const bool unendedLastRow = FTextSize > 0 && !IsLineBreak(FLastTextByte);
    FRowCount = static_cast<int>(std::min<std::uint64_t>(FLineBreaks + (unendedLastRow ? 1 : 0), INT32_MAX));
}

void TFileLines::CountLineEnd(TLineEnd End)
{
    FLineEnds.push_back(End);
    ++FLineEndCounts[static_cast<int>(End)];
}

TTextFileFormat TFileLines::Format(TTextEncoding Encoding) const
{
    TTextFileFormat format = NewFileFormat(Encoding);
    format.ByteOrderMark = Encoding == TTextEncoding::Utf8 && ByteOrderMark();
    format.EofMarks = static_cast<std::size_t>(FFileSize - FTextSize);
    int kinds = 0;
    std::uint64_t most = 0;
    for (const TLineEnd end : {TLineEnd::CrLf, TLineEnd::Lf, TLineEnd::Cr}) {
        const std::uint64_t count = FLineEndCounts[static_cast<int>(end)];
        kinds += count > 0 ? 1 : 0;
        if (count > most) {
            most = count;
            format.LineEnd = end;
        }
    }
    if (kinds > 1)
        format.LineEnds = FLineEnds;
    return format;
}

void TFileLines::ReadRows(const TOnRow& OnRow, bool SkipByteOrderMark, const TOnBlock& OnBlock)
{
    if (!FCounted) {
        CountAndReadRows(OnRow, SkipByteOrderMark, OnBlock);
        return;
    }
    FSource.Rewind();
    std::string row;
    std::uint64_t remaining = FTextSize;
    if (SkipByteOrderMark && ByteOrderMark()) {
        char mark[Utf8ByteOrderMark.size()];
        remaining -= FSource.ReadBlock(mark, sizeof mark).size();
    }
    bool afterCr = false;
    while (remaining > 0) {
        const std::string_view whole =
            FSource.ReadBlock(FBlock.data(), static_cast<std::size_t>(std::min<std::uint64_t>(FBlock.size(), remaining)));
        if (whole.empty())
            break;
        remaining -= whole.size();
        const std::string_view block = AfterSplitLineBreak(whole, afterCr);
        ForEachLine(block, [&](std::size_t begin, std::size_t end) {
            row.append(block, begin, end - begin);
            if (end < block.size()) {
                OnRow(row, true);
                row.clear();
            }
        });
        afterCr = whole.back() == '\r';
        if (!GoOn(OnBlock, whole.size()))
            return;
    }
    if (!row.empty())
        OnRow(row, false);
}

// The count's notes taken on the rows' way. Ctrl+Z marks at the very end of the text hold no
// line break, so they can only end the last row, where they are cut off once the end is seen.
void TFileLines::CountAndReadRows(const TOnRow& OnRow, bool SkipByteOrderMark, const TOnBlock& OnBlock)
{
    std::string row;
    bool first = true;
    // The count has seen a byte-order mark whole by the end of the first row: a line break
    // within its three bytes would not be one.
    const auto withoutMark = [&] {
        if (first && SkipByteOrderMark && ByteOrderMark())
            row.erase(0, Utf8ByteOrderMark.size());
        first = false;
    };
    for (;;) {
        const std::string_view whole = FSource.ReadBlock(FBlock.data(), FBlock.size());
        if (whole.empty())
            break;
        const std::string_view block = CountBlockStart(whole);
        ForEachLine(block, [&](std::size_t begin, std::size_t end) {
            row.append(block, begin, end - begin);
            if (end < block.size()) {
                CountLineBreak(block, end);
                withoutMark();
                OnRow(row, true);
                row.clear();
            }
        });
        CountBlockEnd(whole);
        if (!GoOn(OnBlock, whole.size()))
            return;
    }
    FinishCount();
    row.erase(row.find_last_not_of(CtrlZ) + 1);
    withoutMark();
    if (!row.empty())
        OnRow(row, false);
}

} // namespace kestrim
