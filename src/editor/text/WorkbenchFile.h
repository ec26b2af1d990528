#pragma once
// The workbench file (".kestrim"): a zip archive of plain files, so that any zip tool lists and
// extracts the script and the samples as they are, and a manifest "workbench.json" that names
// them, their encodings, the language and the format's version. Texts are stored uncompressed:
// byte for byte, and read back at the cost of reading the bytes.

#include "editor/base/Exceptions.h"
#include "editor/text/Workbench.h"

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

// Writes the whole workbench so that an existing file stays intact until the new one is
// complete, keeping its permissions. Raises EFCreateError.
void WriteWorkbenchFile(const std::string& FileName, const TWorkbench& Workbench);

} // namespace kestrim
