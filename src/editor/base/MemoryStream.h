#pragma once
// An in-memory byte stream with a position, as the run pipeline and the line lists exchange
// text: bytes are stored exactly as written.

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrim {

class TMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string Bytes) : FBytes(std::move(Bytes)) {}

    // Copies up to Count bytes from the position on into Buffer; returns how many were copied.
    std::size_t Read(char* Buffer, std::size_t Count);
    // Everything from the position to the end; the position moves to the end.
    std::string ReadRest();
    // Writes at the position, overwriting and growing as needed; the position moves past the bytes.
    void Write(std::string_view Bytes);
    // The same; an empty stream takes the bytes over instead of copying them.
    void Write(std::string&& Bytes);
    // Adds the bytes at the end, whatever the position, which stays where it is: for a producer
    // that fills the stream while a reader may be reading it.
    void Append(std::string_view Bytes) { FBytes.append(Bytes); }

    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t Position) { FPosition = Position; }
    std::size_t Size() const { return FBytes.size(); }
    // Truncates or zero-extends; the position is kept within the new size.
    void SetSize(std::size_t Size);
    void Clear() { SetSize(0); }
    // Room for Capacity bytes, so that growing up to it moves no bytes. The memory is taken
    // from the system only as the bytes arrive.
    void Reserve(std::size_t Capacity) { FBytes.reserve(Capacity); }

    // All bytes, whatever the position.
    const std::string& Bytes() const { return FBytes; }

private:
    std::string FBytes;
    std::size_t FPosition = 0;
};

} // namespace kestrim
