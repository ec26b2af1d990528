#pragma once
// Reading and writing whole files of bytes, with errors the user can read.

#include "editor/base/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrim {

enum class TFileAccess { Read, Write };

// Why reading or writing a file failed with the system error Error, as a sentence for the user:
// the common causes (a missing file or folder, no permission, a folder in the file's place, a
// full disk, a read-only file system) in the program's language, any other as the system
// words it.
std::string FileErrorReason(int Error, TFileAccess Access);

// Whether anything exists under FileName. A name that cannot be examined counts as existing,
// so that reading it reports why.
bool FileExists(const std::string& FileName);

// Raises EFOpenError saying that FileName cannot be read because of the system error Error.
[[noreturn]] void RaiseOpenError(const std::string& FileName, int Error);

// A file opened for reading a block at a time. Raises EFOpenError, naming the file, when it
// cannot be opened or read (missing, a folder, no permission).
class TFileReader : public TByteSource {
public:
    explicit TFileReader(const std::string& FileName);
    ~TFileReader() override;
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // The size the file had when it was opened.
    std::size_t Size() const override { return FSize; }
    // Reads up to Count bytes into Buffer; returns how many, 0 at the end of the file.
    std::size_t Read(char* Buffer, std::size_t Count);
    std::string_view ReadBlock(char* Buffer, std::size_t Count) override { return {Buffer, Read(Buffer, Count)}; }
    // Reads up to Count bytes at Offset without moving the position, so that several threads
    // may read at once; returns how many, fewer only at the end of the file.
    std::size_t ReadAt(char* Buffer, std::size_t Count, std::uint64_t Offset) const;
    // Goes back to the start of the file.
    void Rewind() override;

private:
    std::string FFileName;
    int FFd = -1;
    std::size_t FSize = 0;
};

// A stretch of an open file read as a source of its own: Count bytes from Offset, or fewer when
// the file ends first. The file must outlive the region.
class TFileRegion : public TByteSource {
public:
    TFileRegion(const TFileReader& File, std::uint64_t Offset, std::size_t Count)
        : FFile(File), FOffset(Offset), FCount(Count)
    {
    }
    std::string_view ReadBlock(char* Buffer, std::size_t Count) override;
    void Rewind() override { FPosition = 0; }
    std::size_t Size() const override { return FCount; }

private:
    const TFileReader& FFile;
    std::uint64_t FOffset;
    std::size_t FCount;
    std::size_t FPosition = 0;
};

// The whole file. Raises EFOpenError when it cannot be opened or read (missing, a folder,
// no permission).
std::string ReadFileBytes(const std::string& FileName);

// Writes a temporary file by its name, which it may also replace with a file of its own (as a
// writer that renames its output into place does); returns 0, or the system error number that
// made it fail.
using TWriteTemporary = std::function<int(const std::string& TemporaryName)>;

// Whether a new file's content reaches the disk before it takes the old one's place, so that
// a crash leaves one of the two whole. A file that only this program's next step reads (a
// script written for its run) need not wait for the disk.
enum class TFileFlush { ToDisk, NotNeeded };

// Replaces the file with what Write puts in a temporary file, so that the old content stays
// intact until the new one is completely written: the temporary lies in the same folder and
// then takes the file's place. An existing file's permissions are kept; on failure no
// temporary file is left behind. Raises EFCreateError.
void ReplaceFile(const std::string& FileName, const TWriteTemporary& Write, TFileFlush Flush = TFileFlush::ToDisk);

// Hands bytes to the file being written. A write that fails raises an exception of the
// writer's own, which the producer lets pass, so that it stops at once.
using TWriteBytes = std::function<void(std::string_view Bytes)>;
// Produces the file's content a block at a time through the sink it is given.
using TProduceBytes = std::function<void(const TWriteBytes& Write)>;

// Replaces the file's content with what Produce writes, as ReplaceFile does: a write that
// fails (a full disk) raises EFCreateError, and an exception of Produce's own (the user gave
// up) goes on; either way the old file stays intact and the temporary goes.
void ReplaceFileInBlocks(const std::string& FileName, const TProduceBytes& Produce,
                         TFileFlush Flush = TFileFlush::ToDisk);

// Replaces the file's content with Bytes, as ReplaceFile does.
void WriteFileBytes(const std::string& FileName, std::string_view Bytes, TFileFlush Flush = TFileFlush::ToDisk);

} // namespace kestrim
