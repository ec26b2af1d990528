#include "editor/base/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace kestrim {

std::size_t TMemoryStream::Read(char* Buffer, std::size_t Count)
{
    if (FPosition >= FBytes.size())
        return 0;
    const std::size_t n = std::min(Count, FBytes.size() - FPosition);
    std::memcpy(Buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

std::string TMemoryStream::ReadRest()
{
    if (FPosition >= FBytes.size())
        return {};
    std::string rest = FBytes.substr(FPosition);
    FPosition = FBytes.size();
    return rest;
}

void TMemoryStream::Write(std::string_view Bytes)
{
    if (FPosition == FBytes.size()) {
        FBytes.append(Bytes);
    } else {
        if (FPosition + Bytes.size() > FBytes.size())
            FBytes.resize(FPosition + Bytes.size());
        FBytes.replace(FPosition, Bytes.size(), Bytes);
    }
    FPosition += Bytes.size();
}

void TMemoryStream::Write(std::string&& Bytes)
{
    if (!FBytes.empty()) {
        Write(std::string_view(Bytes));
        return;
    }
    FBytes = std::move(Bytes);
    FPosition = FBytes.size();
}

void TMemoryStream::SetSize(std::size_t Size)
{
    FBytes.resize(Size);
    FPosition = std::min(FPosition, Size);
}

} // namespace kestrim
