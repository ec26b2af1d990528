#pragma once
// The workbench file (".kestrim"): a zip archive of plain files, so that any zip tool lists and
// extracts the script and the samples as they are, and a manifest "workbench.json" that names
// them, their encodings, the language and the format's version. Texts are stored uncompressed:
// byte for byte, and read back at the cost of reading the bytes.

#include "editor/base/Exceptions.h"
#include "editor/text/TextFileRead.h"
#include "editor/text/Workbench.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrim {

// The format this program writes; it reads this one and every earlier one.
constexpr int WorkbenchFormat = 1;
constexpr std::string_view WorkbenchExtension = ".kestrim";
constexpr std::string_view WorkbenchMimeType = "application/x-kestrim-workbench";

// A file that is no workbench this program can read: damaged, no workbench at all, or written
// in a later format. The message says which, in the program's language.
class EWorkbenchFile : public Exception {
public:
    using Exception::Exception;
};

// Raises EFOpenError when the file cannot be read, EWorkbenchFile when it is no workbench this
// program can read. Nothing is returned in part.
TWorkbench ReadWorkbenchFile(const std::string& FileName);

// Where a text stored uncompressed lies in the workbench file, and the CRC-32 its bytes must
// have: a large text is read from there straight into a page, without a copy in memory first.
struct TStoredText {
    std::string Entry; // its name in the archive
    std::uint64_t Offset = 0;
    std::size_t Size = 0;
    std::uint32_t Crc = 0;
    std::optional<std::size_t> LineFeeds; // as the manifest gives them, when it does
};

struct TWorkbenchLeavingData {
    TWorkbench Workbench;
    // Where the current sample's data lies when it is stored uncompressed; its Bytes in
    // Workbench are then empty. None: they are in Workbench.
    std::optional<TStoredText> CurrentData;
};

// As ReadWorkbenchFile, except that the current sample's data is left in the file when it can
// be read from there. Its bytes are not checked: the caller compares their CRC with the one
// given before it uses them.
TWorkbenchLeavingData ReadWorkbenchLeavingCurrentData(const std::string& FileName);

// The rows of the stored text Place of the workbench file FileName, read from there while their
// bytes' CRC is summed: bytes that differ from what the archive declares raise EWorkbenchFile,
// as ReadWorkbenchFile does. Line feeds the manifest gives size the row list and spare the
// reader its count. None when Options' cancel flag ended the read.
std::optional<TTextRows> ReadStoredTextRows(const std::string& FileName, const TStoredText& Place,
                                            const TTextReadOptions& Options);

// Writes the whole workbench so that an existing file stays intact until the new one is
// complete, keeping its permissions. Raises EFCreateError.
void WriteWorkbenchFile(const std::string& FileName, const TWorkbench& Workbench);

} // namespace kestrim
