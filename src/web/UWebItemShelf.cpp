#include "web/UWebItemShelf.h"

#include "editor/base/Exceptions.h"
#include "editor/base/StringList.h"
#include "regex/BRegExp.h"

namespace kestrim {
namespace {

const char* const SBlankLine = R"(m/^\s*$/)";
const char* const SCommentLine = R"(m/^\s*#/)";
const char* const SEntryLine = R"(m/(.*),(.*)/)";

bool IsAsciiAlphaNumeric(unsigned char Byte)
{
    return (Byte >= '0' && Byte <= '9') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= 'a' && Byte <= 'z');
}

} // namespace

void TWebItemShelf::LoadFromFile(const std::string& FileName)
{
    TStringList lines;
    lines.LoadFromFile(FileName);
    for (int i = 0; i < lines.Count(); ++i)
        AddLine(lines.Strings(i));
}

void TWebItemShelf::AddLine(const std::string& Line)
{
    TBRegExp& regExp = SharedRegExp();
    try {
        if (regExp.Match(SBlankLine, Line) || regExp.Match(SCommentLine, Line))
            return;
        if (!regExp.Match(SEntryLine, Line))
            return;
    } catch (const EBRegExpError&) {
        // The patterns are fixed, so this is the matcher's backtracking limit on a line of many
        // megabytes: no usable entry, and it must not cost the entries after it.
        return;
    }
    FItems.push_back(std::make_unique<TWebItem>(regExp.Strings(1), regExp.Strings(2)));
}

const TWebItem& TWebItemShelf::Items(int Index) const
{
    CheckListIndex(Index, Count());
    return *FItems[static_cast<std::size_t>(Index)];
}

std::shared_ptr<IWebItemIterator> TWebItemShelf::GetIterator() const
{
    return std::make_shared<TWebItemShelfIterator>(*this);
}

std::string UrlEncode(const std::string& Keyword)
{
    static const char HexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(Keyword.size() * 3);
    for (const char c : Keyword) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ') {
            encoded += '+';
        } else if (IsAsciiAlphaNumeric(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += HexDigits[byte >> 4];
            encoded += HexDigits[byte & 0x0F];
        }
    }
    return encoded;
}

} // namespace kestrim
