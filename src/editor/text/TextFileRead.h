#pragma once
// Reading a text file's rows apart from any editor, so that a long read can run on a worker
// thread while the window goes on, and be given up: the rows are installed in an editor
// afterwards, whole (TEditorStrings::LoadTextRows), or dropped.

#include "editor/base/ByteSource.h"
#include "editor/base/TextEncoding.h"
#include "editor/text/TextFileFormat.h"
#include "editor/text/edFileLines.h"
#include "editor/text/edStringList.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kestrim {

// The rows read, in the encoding they are to be shown in, and how they are to be written back.
struct TTextRows {
    std::unique_ptr<TEditorStringList> Rows;
    TTextEncoding Encoding = TTextEncoding::ShiftJis;
    TTextFileFormat Format;
};

// Done of Total bytes; Done never falls, Total only grows (a file that grows while it is
// counted), and the last call has Done == Total.
using TReadProgress = std::function<void(std::uint64_t Done, std::uint64_t Total)>;

struct TTextReadOptions {
    // The encoding to read in; none: the one the bytes show (EncodingOfBytes), pure ASCII in
    // Default.
    std::optional<TTextEncoding> Encoding;
    TTextEncoding Default = TTextEncoding::ShiftJis;
    std::size_t BlockSize = TFileLines::DefaultBlockSize;
    // How many rows the text is expected to have, when that is known ahead (a workbench stores
    // it): with the encoding given, the rows are then read in one pass, without counting them
    // first. The list is made that large, for at most a row in every four bytes, and grows
    // if the text has more.
    std::optional<std::size_t> ExpectedRows;
    TReadProgress Progress;
    // Looked at between blocks; once set, the read ends without rows.
    const std::atomic<bool>* Cancel = nullptr;
};

// The rows of Source as TFileLines hands them out: the text is what the count found, so that a
// file that grows between two passes gives the rows it had when counted. None when cancelled.
// A file that cannot be read raises EFOpenError.
std::optional<TTextRows> ReadTextRows(TByteSource& Source, const TTextReadOptions& Options);

} // namespace kestrim
