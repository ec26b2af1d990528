#include "settings/RecentFiles.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kestrim {
namespace {

constexpr std::array<std::pair<TRecentKind, std::string_view>, 3> KindNames{
    {{TRecentKind::Script, "script"}, {TRecentKind::Data, "data"}, {TRecentKind::Workbench, "workbench"}}};

// Letters, digits and "/._-~" stay as they are: the stored path stays readable.
bool Plain(unsigned char Byte)
{
    return (Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= '0' && Byte <= '9')
           || std::string_view("/._-~").find(static_cast<char>(Byte)) != std::string_view::npos;
}

int HexValue(char Digit)
{
    if (Digit >= '0' && Digit <= '9')
        return Digit - '0';
    if (Digit >= 'A' && Digit <= 'F')
        return Digit - 'A' + 10;
    if (Digit >= 'a' && Digit <= 'f')
        return Digit - 'a' + 10;
    return -1;
}

std::string PercentEncoded(std::string_view Text)
{
    constexpr std::string_view Hex = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (Plain(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += Hex[byte >> 4];
            encoded += Hex[byte & 0xF];
        }
    }
    return encoded;
}

std::optional<std::string> PercentDecoded(std::string_view Text)
{
    std::string decoded;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '%') {
            decoded += Text[i];
            continue;
        }
        if (i + 2 >= Text.size())
            return std::nullopt;
        const int h = HexValue(Text[i + 1]);
        const int l = HexValue(Text[i + 2]);
        if (h < 0 || l < 0)
            return std::nullopt;
        decoded += static_cast<char>(h * 16 + l);
        i += 2;
    }
    return decoded;
}

} // namespace

void TRecentFiles::Add(TRecentKind Kind, const std::string& Path)
{
    Remove(Path);
    FItems.insert(FItems.begin(), {Kind, Path});
    if (FItems.size() > Limit)
        FItems.resize(Limit);
}

void TRecentFiles::Remove(const std::string& Path)
{
    std::erase_if(FItems, [&Path](const TRecentFile& File) { return File.Path == Path; });
}

std::string StoredForm(const TRecentFile& File)
{
    const auto kind = std::ranges::find(KindNames, File.Kind, &std::pair<TRecentKind, std::string_view>::first);
    return std::string(kind->second) + ' ' + PercentEncoded(File.Path);
}

std::optional<TRecentFile> FromStoredForm(std::string_view Text)
{
    const std::size_t space = Text.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const auto kind = std::ranges::find(KindNames, Text.substr(0, space), &std::pair<TRecentKind, std::string_view>::second);
    std::optional<std::string> path = PercentDecoded(Text.substr(space + 1));
    if (kind == KindNames.end() || !path || path->empty())
        return std::nullopt;
    return TRecentFile{kind->first, std::move(*path)};
}

} // namespace kestrim
