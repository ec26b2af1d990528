#pragma once
// TFileLines: the rows of a text file's bytes, from the file or from memory, read a block at a
// time in two passes. The first pass counts the rows, so that the row list is made at its final
// size once; the second hands them out. A reader that knows the encoding and how many rows to
// expect reads them in one pass, which counts on the way.
//
// Rows end at CR, LF and CR LF, also where a block boundary falls between CR and LF. Every
// other byte is row text, NUL included. Bytes 26 (Ctrl+Z) at the very end of the file are no
// text; one followed by anything else is.
//
// The count pass also learns how the file is to be read and written back: whether it begins
// with a UTF-8 byte-order mark, whether it is valid UTF-8, and how its lines end.

#include "editor/base/ByteSource.h"
#include "editor/base/Utf8Check.h"
#include "editor/text/TextFileFormat.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

class TFileLines {
public:
    static constexpr std::size_t DefaultBlockSize = 8192;

    // Called for each row with its text, and whether a line break ended it (only the last row
    // may lack one).
    using TOnRow = std::function<void(const std::string& Row, bool EndsLine)>;
    // Called after each block a pass has read, with its size; the pass stops when it returns
    // false, so that a long read can be given up between two blocks.
    using TOnBlock = std::function<bool(std::size_t Bytes)>;

    // Counts the rows of Source, which must outlive this, checking whether it is UTF-8 only
    // when asked to. A file that cannot be read raises EFOpenError here, before the caller has
    // changed anything.
    explicit TFileLines(TByteSource& Source, std::size_t BlockSize = DefaultBlockSize, bool CheckUtf8 = false,
                        const TOnBlock& OnBlock = {});
    // Reads nothing yet: ReadRows counts as it hands out the rows, and what the count learns
    // (but the UTF-8 check) is known once it has read them all.
    struct TOnePass {};
    TFileLines(TByteSource& Source, std::size_t BlockSize, TOnePass);

    int RowCount() const { return FRowCount; }
    // Whether a pass was stopped by its OnBlock.
    bool Stopped() const { return FStopped; }
    // The bytes the count found, the text's and the Ctrl+Z marks after it.
    std::uint64_t FileSize() const { return FFileSize; }
    bool ByteOrderMark() const { return FHead == Utf8ByteOrderMark; }
    // What the UTF-8 check found, when it was asked for.
    const TUtf8Check& Utf8() const { return FUtf8; }
    // How the lines end, as a format in the given encoding (a byte-order mark counts only when
    // the text is read as UTF-8).
    TTextFileFormat Format(TTextEncoding Encoding) const;
    // Reads the rows from the start of the source, without the byte-order mark when Skip says
    // so. A file that changed since it was counted may give another number of rows.
    void ReadRows(const TOnRow& OnRow, bool SkipByteOrderMark = false, const TOnBlock& OnBlock = {});

private:
    void CountRows(const TOnBlock& OnBlock);
    void CountAndReadRows(const TOnRow& OnRow, bool SkipByteOrderMark, const TOnBlock& OnBlock);
    // The count's steps for each block: its start gives the block without the LF of a CR LF
    // that the block boundary split.
    std::string_view CountBlockStart(std::string_view Whole);
    void CountLineBreak(std::string_view Block, std::size_t End);
    void CountBlockEnd(std::string_view Whole);
    void FinishCount();
    // Whether the pass goes on after a block of Bytes.
    bool GoOn(const TOnBlock& OnBlock, std::size_t Bytes);
    void CountLineEnd(TLineEnd End);

    TByteSource& FSource;
    std::string FBlock;
    std::uint64_t FTextSize = 0;
    std::uint64_t FFileSize = 0; // of the blocks counted so far
    std::uint64_t FLineBreaks = 0;
    int FRowCount = 0;
    std::string FHead; // the first bytes, as far as a byte-order mark reaches
    char FLastTextByte = 0;
    bool FAfterCr = false; // the last block counted ended with CR
    bool FCheckUtf8 = false;
    bool FCounted = false;
    bool FStopped = false;
    TUtf8Check FUtf8;
    std::vector<TLineEnd> FLineEnds;
    std::uint64_t FLineEndCounts[3] = {};
};

} // namespace kestrim
