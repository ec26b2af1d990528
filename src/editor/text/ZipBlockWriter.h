#pragma once
// A zip archive that libzip writes into a file in large blocks. Writing to a file of its own
// name, libzip hands the system a few kilobytes at a time; a file written so lies in the page
// cache in small pieces, and reading a large entry back from there costs markedly more than
// reading a file written in large writes. Here libzip's writes gather in a buffer of a bounded
// size, and the rewrites of the headers it goes back to change the buffer while they still lie
// in it.

#include <zip.h>

#include <cstddef>
#include <string>

namespace kestrim {

constexpr std::size_t ZipWriteBlock = 4u << 20;

// A new, empty archive whose zip_close writes it into the existing file FileName, emptied
// first, in writes of BlockSize bytes but for the few that libzip's seeks cut short. A write
// that fails makes zip_close fail with the system's error. None when the file cannot be
// opened or the archive made: Error says why.
zip_t* CreateZipInBlocks(const std::string& FileName, zip_error_t& Error, std::size_t BlockSize = ZipWriteBlock);

} // namespace kestrim
