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
    : FSource(Source), FBlock(std::max<std::size_t>(BlockSize, 1), '\0'), FCheckUtf8(CheckUtf8)
{
    CountRows(OnBlock);
}

bool TFileLines::GoOn(const TOnBlock& OnBlock, std::size_t Bytes)
{
    FStopped = OnBlock && !OnBlock(Bytes);
    return !FStopped;
}

void TFileLines::CountRows(const TOnBlock& OnBlock)
{
    std::uint64_t position = 0;
    std::uint64_t lineBreaks = 0;
    char lastTextByte = 0;
    bool afterCr = false;
    for (;;) {
        const std::string_view whole = FSource.ReadBlock(FBlock.data(), FBlock.size());
        if (whole.empty())
            break;
        if (FHead.size() < Utf8ByteOrderMark.size())
            FHead += whole.substr(0, Utf8ByteOrderMark.size() - FHead.size());
        if (FCheckUtf8 && FUtf8.Valid())
            FUtf8.Feed(whole);
        const std::string_view block = AfterSplitLineBreak(whole, afterCr);
        if (afterCr) // the CR that ended the block before
            CountLineEnd(block.size() < whole.size() ? TLineEnd::CrLf : TLineEnd::Cr);
        ForEachLine(block, [&](std::size_t, std::size_t end) {
            if (end == block.size())
                return;
            ++lineBreaks;
            if (block[end] == '\n')
                CountLineEnd(TLineEnd::Lf);
            else if (end + 1 < block.size())
                CountLineEnd(block[end + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr);
        });
        const std::size_t lastText = whole.find_last_not_of(CtrlZ);
        if (lastText != std::string_view::npos) {
            FTextSize = position + lastText + 1;
            lastTextByte = whole[lastText];
        }
        afterCr = whole.back() == '\r';
        position += whole.size();
        if (!GoOn(OnBlock, whole.size()))
            return;
    }
    if (afterCr)
        CountLineEnd(TLineEnd::Cr);
    FFileSize = position;
    const bool unendedLastRow = FTextSize > 0 && !IsLineBreak(lastTextByte);
    FRowCount = static_cast<int>(std::min<std::uint64_t>(lineBreaks + (unendedLastRow ? 1 : 0), INT32_MAX));
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

} // namespace kestrim
