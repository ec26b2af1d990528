#pragma once
// Reading and writing whole files of bytes, with errors the user can read.

#include <string>
#include <string_view>

namespace kestrim {

// Whether anything exists under FileName. A name that cannot be examined counts as existing,
// so that reading it reports why.
bool FileExists(const std::string& FileName);

// The whole file. Raises EFOpenError when it cannot be opened or read (missing, a folder,
// no permission).
std::string ReadFileBytes(const std::string& FileName);

// Replaces the file's content with Bytes so that the old content stays intact until the new
// one is completely written: the bytes go to a temporary file in the same folder, which then
// takes the file's place. An existing file's permissions are kept. Raises EFCreateError.
void WriteFileBytes(const std::string& FileName, std::string_view Bytes);

} // namespace kestrim
