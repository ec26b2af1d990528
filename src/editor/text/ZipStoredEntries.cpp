#include "editor/text/ZipStoredEntries.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <future>
#include <string_view>
#include <thread>
#include <utility>

namespace kestrim {
namespace {

constexpr std::uint32_t EndSignature = 0x06054b50;
constexpr std::uint32_t RecordSignature = 0x02014b50;
constexpr std::uint32_t LocalSignature = 0x04034b50;
constexpr std::size_t EndSize = 22;
constexpr std::size_t RecordSize = 46;
constexpr std::size_t LocalSize = 30;
constexpr std::uint16_t Encrypted = 1;

// What a thread reads at once, and the least it is started for.
constexpr std::size_t Block = 4u << 20;
constexpr std::size_t MaxParts = 8;

std::uint32_t Le(std::string_view Bytes, std::size_t At, int Size)
{
    std::uint32_t value = 0;
    for (int i = Size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(Bytes[At + i]);
    return value;
}

std::uint32_t Le16(std::string_view Bytes, std::size_t At) { return Le(Bytes, At, 2); }
std::uint32_t Le32(std::string_view Bytes, std::size_t At) { return Le(Bytes, At, 4); }

// Count bytes at Offset, or nothing when the file ends first.
std::optional<std::string> ReadExactly(const TFileReader& File, std::uint64_t Offset, std::size_t Count)
{
    std::string bytes(Count, '\0');
    if (File.ReadAt(bytes.data(), Count, Offset) != Count)
        return std::nullopt;
    return bytes;
}

std::uint32_t Crc(std::uint32_t Start, std::span<const char> Bytes)
{
    return libdeflate_crc32(Start, Bytes.data(), Bytes.size());
}

// Reads Bytes a block at a time, each checked while it is still in the processor's cache.
TCrcRead ReadPart(const TFileReader& File, std::uint64_t Offset, std::span<char> Bytes)
{
    TCrcRead read{0, Crc(0, {})};
    while (read.Count < Bytes.size()) {
        const std::size_t size = std::min(Block, Bytes.size() - read.Count);
        const std::size_t count = File.ReadAt(Bytes.data() + read.Count, size, Offset + read.Count);
        read.Crc = Crc(read.Crc, Bytes.subspan(read.Count, count));
        read.Count += count;
        if (count < size)
            break;
    }
    return read;
}

} // namespace

TZipStoredEntries::TZipStoredEntries(const TFileReader& File, zip_t* Archive) : FFile(File), FArchive(Archive)
{
    if (!ReadDirectory(Archive))
        FRecords.clear();
}

// Only the layout this program writes and most tools write for files under 4 GB: one disk,
// no zip64, no comment, the directory right before its end record.
bool TZipStoredEntries::ReadDirectory(zip_t* Archive)
{
    const std::uint64_t fileSize = FFile.Size();
    if (fileSize < EndSize)
        return false;
    const std::uint64_t endOffset = fileSize - EndSize;
    const auto end = ReadExactly(FFile, endOffset, EndSize);
    if (!end || Le32(*end, 0) != EndSignature || Le16(*end, 20) != 0)
        return false;
    const std::uint32_t count = Le16(*end, 10);
    const std::uint32_t size = Le32(*end, 12);
    FDirectoryOffset = Le32(*end, 16);
    if (Le16(*end, 4) != 0 || Le16(*end, 6) != 0 || Le16(*end, 8) != count || count == 0xffff ||
        static_cast<zip_int64_t>(count) != zip_get_num_entries(Archive, 0) || FDirectoryOffset + size != endOffset)
        return false;
    auto directory = ReadExactly(FFile, FDirectoryOffset, size);
    if (!directory)
        return false;
    FDirectory = std::move(*directory);
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (at + RecordSize > FDirectory.size() || Le32(FDirectory, at) != RecordSignature)
            return false;
        FRecords.push_back(at);
        at += RecordSize + Le16(FDirectory, at + 28) + Le16(FDirectory, at + 30) + Le16(FDirectory, at + 32);
    }
    // Ending exactly at the directory's end also keeps each record's name inside it.
    return at == FDirectory.size();
}

std::optional<std::uint64_t> TZipStoredEntries::DataOffset(const zip_stat_t& Stat) const
{
    constexpr zip_uint64_t needed = ZIP_STAT_INDEX | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC |
                                    ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    if ((Stat.valid & needed) != needed || Stat.index >= FRecords.size() || Stat.comp_method != ZIP_CM_STORE ||
        Stat.encryption_method != ZIP_EM_NONE || Stat.size != Stat.comp_size)
        return std::nullopt;
    const char* rawName = zip_get_name(FArchive, Stat.index, ZIP_FL_ENC_RAW);
    if (!rawName)
        return std::nullopt;
    const std::string_view name = rawName;
    const std::string_view record = std::string_view(FDirectory).substr(FRecords[Stat.index]);
    if ((Le16(record, 8) & Encrypted) != 0 || Le16(record, 10) != ZIP_CM_STORE || Le32(record, 16) != Stat.crc ||
        Le32(record, 20) != Stat.comp_size || Le32(record, 24) != Stat.size ||
        record.substr(RecordSize, Le16(record, 28)) != name)
        return std::nullopt;

    const std::uint64_t local = Le32(record, 42);
    if (local + LocalSize + name.size() > FDirectoryOffset)
        return std::nullopt;
    const auto header = ReadExactly(FFile, local, LocalSize + name.size());
    if (!header || Le32(*header, 0) != LocalSignature || Le16(*header, 8) != ZIP_CM_STORE ||
        Le16(*header, 26) != name.size() || std::string_view(*header).substr(LocalSize) != name)
        return std::nullopt;
    const std::uint64_t data = local + LocalSize + name.size() + Le16(*header, 28);
    if (data + Stat.comp_size > FDirectoryOffset)
        return std::nullopt;
    return data;
}

TCrcRead ReadWithCrc(const TFileReader& File, std::uint64_t Offset, std::span<char> Bytes)
{
    // One part for each processor, each read and checked on a thread of its own, the last on
    // this one, so that the parts are read side by side.
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t parts = std::clamp<std::size_t>(Bytes.size() / Block, 1, std::min(processors, MaxParts));
    const std::size_t share = Bytes.size() / parts;
    // A part whose thread cannot be started is read later on this thread. The futures wait for
    // their threads when an error ends the read.
    std::vector<std::future<TCrcRead>> earlier;
    for (std::size_t i = 0; i + 1 < parts; ++i)
        earlier.push_back(std::async(std::launch::async | std::launch::deferred, ReadPart, std::cref(File),
                                     Offset + i * share, Bytes.subspan(i * share, share)));
    const std::size_t lastStart = (parts - 1) * share;
    const TCrcRead last = ReadPart(File, Offset + lastStart, Bytes.subspan(lastStart));
    TCrcRead whole{0, Crc(0, {})};
    auto append = [&whole](const TCrcRead& Part) {
        whole.Crc = static_cast<std::uint32_t>(crc32_combine(whole.Crc, Part.Crc, static_cast<z_off_t>(Part.Count)));
        whole.Count += Part.Count;
    };
    for (auto& part : earlier)
        append(part.get());
    append(last);
    return whole;
}

std::string_view TCrcSource::ReadBlock(char* Buffer, std::size_t Count)
{
    const std::string_view block = FSource.ReadBlock(Buffer, Count);
    if (FFirst) {
        FFirstPass.Crc = Crc(FFirstPass.Crc, block);
        FFirstPass.Count += block.size();
    }
    return block;
}

void TCrcSource::Rewind()
{
    FSource.Rewind();
    FFirst = false;
}

} // namespace kestrim
