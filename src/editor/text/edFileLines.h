#pragma once
// TFileLines: the rows of a text file, read a block at a time in two passes. The first pass
// counts the rows, so that the row list is made at its final size once; the second hands them
// out. Rows end at CR, LF and CR LF, also where a block boundary falls between CR and LF. Every
// other byte is row text, NUL included. Bytes 26 (Ctrl+Z) at the very end of the file are no
// text; one followed by anything else is.

#include "editor/base/FileIO.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kestrim {

class TFileLines {
public:
    static constexpr std::size_t DefaultBlockSize = 8192;

    // Called for each row with its text, and whether a line break ended it (only the last row
    // may lack one).
    using TOnRow = std::function<void(const std::string& Row, bool EndsLine)>;

    // Opens the file and counts its rows. Raises EFOpenError when the file cannot be opened
    // or read, before the caller has changed anything.
    explicit TFileLines(const std::string& FileName, std::size_t BlockSize = DefaultBlockSize);

    int RowCount() const { return FRowCount; }
    // Reads the rows from the start of the file. A file that changed since it was counted may
    // give another number of rows.
    void ReadRows(const TOnRow& OnRow);

private:
    void CountRows();

    TFileReader FFile;
    std::string FBlock;
    std::uint64_t FTextSize = 0;
    int FRowCount = 0;
};

} // namespace kestrim
