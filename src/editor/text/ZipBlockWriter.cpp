#include "editor/text/ZipBlockWriter.h"

#include "editor/base/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kestrim {
namespace {

// The file under libzip's archive: libzip writes, seeks and tells as in a file of its own, and
// the bytes reach the file a block at a time. The buffer holds the bytes from FBufferStart on.
class TBlockSink {
public:
    TBlockSink(TFileDescriptor File, std::size_t BlockSize) : FFile(std::move(File)), FBlockSize(BlockSize)
    {
        FBuffer.reserve(BlockSize);
        zip_error_init(&FError);
    }
    ~TBlockSink() { zip_error_fini(&FError); }
    TBlockSink(const TBlockSink&) = delete;
    TBlockSink& operator=(const TBlockSink&) = delete;

    static zip_int64_t Command(void* Sink, void* Data, zip_uint64_t Length, zip_source_cmd_t Command)
    {
        return static_cast<TBlockSink*>(Sink)->Run(Data, Length, Command);
    }

private:
    zip_int64_t Run(void* Data, zip_uint64_t Length, zip_source_cmd_t Command)
    {
        switch (Command) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_STAT: // nothing known: the archive is new
            if (auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, Data, Length, &FError)) {
                zip_stat_init(stat);
                return sizeof(zip_stat_t);
            }
            return -1;
        case ZIP_SOURCE_OPEN: // libzip opens what it finds before it starts anew: nothing to read
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_BEGIN_WRITE: // the file was emptied when it was opened
            return 0;
        case ZIP_SOURCE_WRITE:
            return Write(static_cast<const char*>(Data), static_cast<std::size_t>(Length))
                       ? static_cast<zip_int64_t>(Length)
                       : -1;
        case ZIP_SOURCE_SEEK_WRITE: {
            const zip_int64_t position = zip_source_seek_compute_offset(FPosition, FEnd, Data, Length, &FError);
            if (position < 0)
                return -1;
            FPosition = static_cast<std::uint64_t>(position);
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE:
            return static_cast<zip_int64_t>(FPosition);
        case ZIP_SOURCE_COMMIT_WRITE: // a write's last error may come only with the close
            return Flush() && (FFile.Close() == 0 || Fail(errno)) ? 0 : -1;
        case ZIP_SOURCE_ROLLBACK_WRITE: // the caller removes the file
            FBuffer.clear();
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&FError, Data, Length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        default: // reading, and removing the file: a new archive with entries never needs them
            zip_error_set(&FError, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    bool Fail(int Error)
    {
        zip_error_set(&FError, ZIP_ER_WRITE, Error);
        return false;
    }

    // Writes Count bytes at the position: into the buffer when the position lies in it or just
    // after it, else after the buffer has gone to the file.
    bool Write(const char* Bytes, std::size_t Count)
    {
        while (Count > 0) {
            if (FPosition < FBufferStart || FPosition > FBufferStart + FBuffer.size()) {
                if (!Flush())
                    return false;
                FBufferStart = FPosition;
            }
            const auto at = static_cast<std::size_t>(FPosition - FBufferStart);
            const std::size_t take = std::min(Count, FBlockSize - at);
            const std::size_t over = std::min(take, FBuffer.size() - at);
            std::memcpy(FBuffer.data() + at, Bytes, over);
            FBuffer.insert(FBuffer.end(), Bytes + over, Bytes + take);
            Bytes += take;
            Count -= take;
            FPosition += take;
            FEnd = std::max(FEnd, FPosition);
            if (FBuffer.size() == FBlockSize && !Flush())
                return false;
        }
        return true;
    }

    // Writes the buffer to its place in the file and empties it; what follows it goes on after it.
    bool Flush()
    {
        std::size_t done = 0;
        while (done < FBuffer.size()) {
            const ssize_t written = ::pwrite(FFile.Get(), FBuffer.data() + done, FBuffer.size() - done,
                                             static_cast<off_t>(FBufferStart + done));
            if (written < 0 && errno != EINTR)
                return Fail(errno);
            done += static_cast<std::size_t>(std::max<ssize_t>(written, 0));
        }
        FBufferStart += FBuffer.size();
        FBuffer.clear();
        return true;
    }

    TFileDescriptor FFile;
    const std::size_t FBlockSize;
    std::vector<char> FBuffer;
    std::uint64_t FBufferStart = 0;
    std::uint64_t FPosition = 0;
    std::uint64_t FEnd = 0; // the archive's length so far, the buffer's bytes included
    zip_error_t FError;
};

} // namespace

zip_t* CreateZipInBlocks(const std::string& FileName, zip_error_t& Error, std::size_t BlockSize)
{
    TFileDescriptor file(::open(FileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (!file.IsOpen()) {
        zip_error_set(&Error, ZIP_ER_OPEN, errno);
        return nullptr;
    }
    auto* sink = new TBlockSink(std::move(file), BlockSize);
    zip_source_t* source = zip_source_function_create(&TBlockSink::Command, sink, &Error);
    if (!source) {
        delete sink;
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &Error);
    if (!archive)
        zip_source_free(source); // frees the sink
    return archive;
}

} // namespace kestrim
