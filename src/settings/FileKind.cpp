#include "settings/FileKind.h"

#include "editor/base/CodePage.h"
#include "editor/text/WorkbenchFile.h"
#include "settings/UConfigFile.h"

#include <algorithm>
#include <string>

namespace kestrim {
namespace {

bool SameText(std::string_view A, std::string_view B)
{
    const auto lower = [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; };
    return std::ranges::equal(A, B, {}, lower, lower);
}

// The extension after the last dot of the name's last part; empty without one. A leading dot
// (".profile") starts a name, not an extension.
std::string_view ExtensionOf(std::string_view Name)
{
    const std::size_t slash = Name.find_last_of('/');
    const std::string_view base = slash == std::string_view::npos ? Name : Name.substr(slash + 1);
    const std::size_t dot = base.find_last_of('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view() : base.substr(dot + 1);
}

// Whether Ext is one of the "*.ext" wildcards of a filter "description|wildcards|...", whose
// wildcards are separated by ";". The filter is UTF-8: a description's Shift-JIS trail bytes
// could be taken for "|".
bool InFilter(std::string_view Ext, std::string_view Filter)
{
    std::size_t start = 0;
    for (int part = 0; start <= Filter.size(); ++part) {
        const std::size_t bar = std::min(Filter.find('|', start), Filter.size());
        const std::string_view wildcards = Filter.substr(start, bar - start);
        start = bar + 1;
        if (part % 2 == 0)
            continue; // a description
        for (std::size_t from = 0; from <= wildcards.size();) {
            const std::size_t semicolon = std::min(wildcards.find(';', from), wildcards.size());
            std::string_view wildcard = wildcards.substr(from, semicolon - from);
            from = semicolon + 1;
            while (!wildcard.empty() && wildcard.front() == ' ')
                wildcard.remove_prefix(1);
            if (wildcard.starts_with("*.") && wildcard != "*.*" && SameText(wildcard.substr(2), Ext))
                return true;
        }
    }
    return false;
}

} // namespace

TFileKind FileKindByName(std::string_view Name, const TConfigFile& Config)
{
    const std::string_view ext = ExtensionOf(Name);
    if (ext.empty())
        return TFileKind::Data;
    if (SameText(ext, WorkbenchExtension.substr(1)))
        return TFileKind::Workbench;
    if (SameText(ext, SjisToUtf8(Config.DefaultExt())) || InFilter(ext, SjisToUtf8(Config.DialogExt())))
        return TFileKind::Script;
    return TFileKind::Data;
}

} // namespace kestrim
