#pragma once
// Reading an uncompressed ("stored") entry of a zip file straight from the file, at the cost of
// reading its bytes. Reading it through libzip computes its CRC on the reading thread, which
// costs about as much again; here the entry is read in parts side by side, each part's CRC
// computed on its own thread as it is read, and the caller compares the whole's CRC with the one
// the archive declares.
//
// libzip does not tell where an entry's bytes lie, so the central directory and the entry's
// local header are read here, as little of them as that needs, and trusted only where they agree
// with what libzip read: the name, the sizes, the method and the CRC, every offset inside the
// file. An archive read otherwise (zip64, a comment after the directory, anything unusual) gives
// no place, and the caller reads the entry through libzip as before.

#include "editor/base/FileIO.h"

#include <zip.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrim {

class TZipStoredEntries {
public:
    // Reads the central directory of the archive in File, which libzip has opened as Archive.
    TZipStoredEntries(const TFileReader& File, zip_t* Archive);

    // Where the bytes of the stored entry Stat (from zip_stat_index) begin in the file, if the
    // directory, its local header and libzip agree on the entry.
    std::optional<std::uint64_t> DataOffset(const zip_stat_t& Stat) const;

private:
    bool ReadDirectory(zip_t* Archive);

    const TFileReader& FFile;
    zip_t* FArchive;
    std::string FDirectory;
    // Where each entry's record starts in FDirectory, in libzip's order of the entries.
    std::vector<std::size_t> FRecords;
    std::uint64_t FDirectoryOffset = 0;
};

struct TCrcRead {
    std::size_t Count; // fewer than asked when the file ended first
    std::uint32_t Crc; // of the bytes read
};

// Fills Bytes from File at Offset and gives their CRC-32, a part of them on each processor.
TCrcRead ReadWithCrc(const TFileReader& File, std::uint64_t Offset, std::span<char> Bytes);
// The CRC-32 of Count bytes of File at Offset, read a block at a time and kept nowhere.
TCrcRead CrcOfRegion(const TFileReader& File, std::uint64_t Offset, std::uint64_t Count);

} // namespace kestrim
