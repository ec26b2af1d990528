#include "editor/text/RowText.h"

#include "editor/base/BlockBytes.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace kestrim {
namespace {

using TLength = std::uint32_t;
constexpr TLength ExtraFlag = TLength{1} << 31;

TLength ReadLength(const char* At)
{
    TLength length;
    std::memcpy(&length, At, sizeof length);
    return length;
}

char* WriteLength(char* At, TLength Length)
{
    std::memcpy(At, &Length, sizeof Length);
    return At + sizeof Length;
}

char* WriteBytes(char* At, std::string_view Bytes)
{
    if (!Bytes.empty())
        std::memcpy(At, Bytes.data(), Bytes.size());
    return At + Bytes.size();
}

std::size_t RunSize(std::size_t TextSize, std::size_t ExtraSize)
{
    return sizeof(TLength) + TextSize + (ExtraSize ? sizeof(TLength) + ExtraSize : 0);
}

} // namespace

TRowText::~TRowText()
{
    if (FRun)
        FreeBlockBytes(FRun, RunSize(Text().size(), Extra().size()));
}

std::string_view TRowText::Text() const
{
    if (!FRun)
        return {};
    return {FRun + sizeof(TLength), ReadLength(FRun) & ~ExtraFlag};
}

std::string_view TRowText::Extra() const
{
    if (!FRun || !(ReadLength(FRun) & ExtraFlag))
        return {};
    const char* after = FRun + sizeof(TLength) + (ReadLength(FRun) & ~ExtraFlag);
    return {after + sizeof(TLength), ReadLength(after)};
}

void TRowText::Assign(std::string_view Text, std::string_view Extra)
{
    if (Text.size() >= ExtraFlag || Extra.size() >= ExtraFlag)
        throw std::length_error("a row of 2 GB or more");
    TRowText assigned;
    if (!Text.empty() || !Extra.empty()) {
        assigned.FRun = AllocateBlockBytes(RunSize(Text.size(), Extra.size()));
        const auto textLength = static_cast<TLength>(Text.size());
        char* at = WriteBytes(WriteLength(assigned.FRun, Extra.empty() ? textLength : textLength | ExtraFlag), Text);
        if (!Extra.empty())
            WriteBytes(WriteLength(at, static_cast<TLength>(Extra.size())), Extra);
    }
    std::swap(FRun, assigned.FRun);
}

} // namespace kestrim
