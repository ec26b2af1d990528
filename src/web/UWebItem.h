#pragma once
// TWebItem: one entry of the URL file, a reference page the Web page can open.

#include <string>

namespace kestrim {

class TWebItem {
public:
    TWebItem(std::string Name, std::string Url);

    // The text shown in the page list.
    const std::string& Name() const { return FName; }
    // Whether the template holds "{key}" in lower case; only then is a keyword put into it.
    bool HasKey() const { return FHasKey; }
    // The address template, Shift-JIS bytes as the URL file holds them.
    const std::string& Url() const { return FUrl; }

    // The template with every "{key}", in any letter case, replaced by EncodedKey.
    std::string BuildUrl(const std::string& EncodedKey) const;

private:
    std::string FName;
    bool FHasKey;
    std::string FUrl;
};

} // namespace kestrim
