#pragma once
// TByteSource: bytes read from the start a block at a time, from a file or from memory, so that
// one reader of rows serves both. A source that holds its bytes hands them out in place; one
// that reads them (a file) fills the caller's buffer.

#include <cstddef>
#include <string_view>

namespace kestrim {

class TByteSource {
public:
    virtual ~TByteSource() = default;
    // The next bytes, at most Count: in Buffer, which has room for Count, or in the source's
    // own memory. Empty at the end. Valid until the next call.
    virtual std::string_view ReadBlock(char* Buffer, std::size_t Count) = 0;
    // Goes back to the first byte.
    virtual void Rewind() = 0;
    // How many bytes there were when the source was opened; 0 when that is not known (a file
    // of the system that tells no size). A file may grow or shrink while it is read.
    virtual std::size_t Size() const = 0;
};

// The bytes of a string the caller keeps alive while reading.
class TMemoryReader : public TByteSource {
public:
    explicit TMemoryReader(std::string_view Bytes) : FBytes(Bytes) {}

    std::string_view ReadBlock(char*, std::size_t Count) override
    {
        const std::string_view block = FBytes.substr(FPosition, Count);
        FPosition += block.size();
        return block;
    }
    void Rewind() override { FPosition = 0; }
    std::size_t Size() const override { return FBytes.size(); }

private:
    std::string_view FBytes;
    std::size_t FPosition = 0;
};

} // namespace kestrim
