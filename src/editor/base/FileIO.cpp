#include "editor/base/FileIO.h"

#include "editor/base/Exceptions.h"
#include "editor/base/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrim {
namespace {

std::string OpenErrorText(const std::string& fileName, int error)
{
    return "ファイル \"" + fileName + "\" を開けません。" + FileErrorReason(error, TFileAccess::Read);
}

std::string CreateErrorText(const std::string& fileName, int error)
{
    return "ファイル \"" + fileName + "\" を作成できません。" + FileErrorReason(error, TFileAccess::Write);
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// The file that a save really replaces: the target of a symbolic link, not the link.
std::string ResolvedTarget(const std::string& fileName)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(fileName, error);
    return error ? fileName : canonical.string();
}

// The pattern for mkostemp of a hidden file beside Target, in the same folder, so that the
// final rename never crosses file systems.
std::string TemporaryNameBeside(const std::string& target)
{
    const std::filesystem::path targetPath(target);
    std::string hidden(".");
    hidden += targetPath.filename().string();
    hidden += ".XXXXXX";
    return (targetPath.parent_path() / hidden).string();
}

} // namespace

std::string FileErrorReason(int Error, TFileAccess Access)
{
    switch (Error) {
    case ENOENT:
        return Access == TFileAccess::Read ? "ファイルが見つかりません。" : "保存先のフォルダーが見つかりません。";
    case ENOTDIR:
        return "パスの途中にフォルダーではなくファイルがあります。";
    case EACCES:
    case EPERM:
        return "アクセスが許可されていません。";
    case EISDIR:
        return "ファイルではなくフォルダーです。";
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空き容量が足りません。";
    case EROFS:
        return "読み取り専用のファイルシステムです。";
    default:
        return std::strerror(Error);
    }
}

bool FileExists(const std::string& FileName)
{
    std::error_code error;
    return std::filesystem::exists(FileName, error) || error;
}

void RaiseOpenError(const std::string& FileName, int Error)
{
    throw EFOpenError(OpenErrorText(FileName, Error));
}

TFileReader::TFileReader(const std::string& FileName)
    : FFileName(FileName), FFd(::open(FileName.c_str(), O_RDONLY | O_CLOEXEC))
{
    if (FFd < 0)
        throw EFOpenError(OpenErrorText(FileName, errno));
    struct stat info {};
    const bool known = ::fstat(FFd, &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        ::close(FFd);
        throw EFOpenError(OpenErrorText(FileName, EISDIR));
    }
    FSize = known && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
}

TFileReader::~TFileReader()
{
    ::close(FFd);
}

std::size_t TFileReader::Read(char* Buffer, std::size_t Count)
{
    for (;;) {
        const ssize_t n = ::read(FFd, Buffer, Count);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw EFOpenError(OpenErrorText(FFileName, errno));
    }
}

std::size_t TFileReader::ReadAt(char* Buffer, std::size_t Count, std::uint64_t Offset) const
{
    std::size_t done = 0;
    while (done < Count) {
        const ssize_t n = ::pread(FFd, Buffer + done, Count - done, static_cast<off_t>(Offset + done));
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            throw EFOpenError(OpenErrorText(FFileName, errno));
        done += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
    }
    return done;
}

std::string_view TFileRegion::ReadBlock(char* Buffer, std::size_t Count)
{
    const std::size_t read = FFile.ReadAt(Buffer, std::min(Count, FCount - FPosition), FOffset + FPosition);
    FPosition += read;
    return {Buffer, read};
}

void TFileReader::Rewind()
{
    if (::lseek(FFd, 0, SEEK_SET) != 0)
        throw EFOpenError(OpenErrorText(FFileName, errno));
}

std::string ReadFileBytes(const std::string& FileName)
{
    TFileReader file(FileName);
    std::string bytes;
    bytes.reserve(file.Size());
    char buffer[65536];
    while (const std::size_t n = file.Read(buffer, sizeof buffer))
        bytes.append(buffer, n);
    return bytes;
}

void ReplaceFile(const std::string& FileName, const TWriteTemporary& Write, TFileFlush Flush)
{
    const std::string target = ResolvedTarget(FileName);
    std::string tempName = TemporaryNameBeside(target);

    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        throw EFCreateError(CreateErrorText(FileName, EISDIR));
    // Replacing the file must not get round its being read-only.
    if (existed && ::access(target.c_str(), W_OK) != 0)
        throw EFCreateError(CreateErrorText(FileName, errno));

    // The name is taken before the writer runs, so that two saves never share a temporary.
    if (TFileDescriptor(::mkostemp(tempName.data(), O_CLOEXEC)).Get() < 0)
        throw EFCreateError(CreateErrorText(FileName, errno));
    auto fail = [&](int error) {
        ::unlink(tempName.c_str());
        throw EFCreateError(CreateErrorText(FileName, error));
    };
    int error = 0;
    try {
        error = Write(tempName);
    } catch (...) {
        ::unlink(tempName.c_str());
        throw;
    }
    if (error != 0)
        fail(error);
    // The writer may have put a file of its own under the name: the permissions and the flush
    // go to what is there now.
    TFileDescriptor fd(::open(tempName.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        fail(errno);
    // A new file gets the usual permissions of a new file, an old one keeps its own.
    mode_t mode = 0666;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (existed) {
        // Keeping the owner needs privileges; without them the saving user owns the file.
        [[maybe_unused]] const int chownResult = ::fchown(fd.Get(), old.st_uid, old.st_gid);
    }
    if (::fchmod(fd.Get(), mode) != 0)
        fail(errno);
    if (Flush == TFileFlush::ToDisk && ::fsync(fd.Get()) != 0)
        fail(errno);
    if (fd.Close() != 0)
        fail(errno);
    if (::rename(tempName.c_str(), target.c_str()) != 0)
        fail(errno);
}

void ReplaceFileInBlocks(const std::string& FileName, const TProduceBytes& Produce, TFileFlush Flush)
{
    // Carries a failed write's error out of the producer, which then stops at once.
    struct TWriteFailed {
        int Error;
    };
    const auto write = [&](const std::string& temporaryName) {
        TFileDescriptor fd(::open(temporaryName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (fd.Get() < 0)
            return errno;
        // Each block goes to the disk as soon as it is written, and the one before it has got
        // there before the next is produced: the flush at the end, which nothing interrupts,
        // then finds little left, however large the file. Where the system cannot do this, the
        // flush at the end does all of it.
        off_t written = 0;
        off_t previous = 0;
        try {
            Produce([&](std::string_view bytes) {
                if (!WriteAll(fd.Get(), bytes))
                    throw TWriteFailed{errno};
                if (bytes.empty() || Flush != TFileFlush::ToDisk)
                    return;
                // A range of 0 bytes would be the rest of the file.
                if (written > previous)
                    ::sync_file_range(fd.Get(), previous, written - previous,
                                      SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
                const auto size = static_cast<off_t>(bytes.size());
                ::sync_file_range(fd.Get(), written, size, SYNC_FILE_RANGE_WRITE);
                previous = written;
                written += size;
            });
        } catch (const TWriteFailed& failed) {
            return failed.Error;
        }
        return fd.Close() != 0 ? errno : 0;
    };
    ReplaceFile(FileName, write, Flush);
}

void WriteFileBytes(const std::string& FileName, std::string_view Bytes, TFileFlush Flush)
{
    ReplaceFileInBlocks(FileName, [&](const TWriteBytes& write) { write(Bytes); }, Flush);
}

} // namespace kestrim
