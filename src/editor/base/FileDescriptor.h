#pragma once
// TFileDescriptor: a system file descriptor closed when its holder goes.

#include <unistd.h>
#include <utility>

namespace kestrim {

class TFileDescriptor {
public:
    TFileDescriptor() = default;
    explicit TFileDescriptor(int Fd) : FFd(Fd) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(TFileDescriptor&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}
    TFileDescriptor& operator=(TFileDescriptor&& Other) noexcept
    {
        if (this != &Other) {
            Close();
            FFd = std::exchange(Other.FFd, -1);
        }
        return *this;
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return FFd; }
    bool IsOpen() const { return FFd >= 0; }
    // The close's result: a write's last error may come only here.
    int Close()
    {
        const int result = FFd >= 0 ? ::close(FFd) : 0;
        FFd = -1;
        return result;
    }

private:
    int FFd = -1;
};

} // namespace kestrim
