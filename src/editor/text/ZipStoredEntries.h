#pragma once
// Reading an uncompressed ("stored") entry of a zip file straight from the file, at the cost of
// reading its bytes. Reading it through libzip computes its CRC with zlib on the reading thread,
// which costs about as much again; here the CRC is libdeflate's, several times as fast, computed
// as the bytes are read, and the caller compares the whole's CRC with the one the archive
// declares.
//
// libzip does not tell where an entry's bytes lie, so the central directory and the entry's
// local header are read here, as little of them as that needs, and trusted only where they agree
// with what libzip read: the name, the sizes, the method and the CRC, every offset inside the
// file. An archive read otherwise (zip64, a comment after the directory, anything unusual) gives
// no place, and the caller reads the entry through libzip as before.

#include "editor/base/ByteSource.h"
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
    std::size_t Count = 0; // fewer than asked when the file ended first
    std::uint32_t Crc = 0; // of the bytes read
};

// Fills Bytes from File at Offset and gives their CRC-32, a part of them on each processor.
TCrcRead ReadWithCrc(const TFileReader& File, std::uint64_t Offset, std::span<char> Bytes);

// Another source's bytes as it hands them out, summing the CRC-32 of those of the first pass,
// until the first rewind: a reader that passes twice over an entry checks it on the way, so
// that its bytes are read from the file twice, not three times.
class TCrcSource : public TByteSource {
public:
    explicit TCrcSource(TByteSource& Source) : FSource(Source) {}

    std::string_view ReadBlock(char* Buffer, std::size_t Count) override;
    void Rewind() override;
    std::size_t Size() const override { return FSource.Size(); }
    // The bytes the first pass was handed and their CRC.
    const TCrcRead& FirstPass() const { return FFirstPass; }

private:
    TByteSource& FSource;
    TCrcRead FFirstPass;
    bool FFirst = true;
};

} // namespace kestrim
