#include "editor/base/edUtils.h"

#include "editor/base/CodePage.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kestrim {
namespace {

enum class ByteKind { Single, Lead, Trail };

// The kind of byte N (1-based, inside S). Character boundaries are only known from the start of
// a text, so the scan always begins there.
ByteKind KindOfByte(std::string_view S, int N)
{
    const std::size_t target = static_cast<std::size_t>(N - 1);
    std::size_t offset = 0;
    while (offset < target) {
        offset += CharByteCount(S, offset);
        if (offset > target)
            return ByteKind::Trail;
    }
    return StartsTwoByteChar(S, offset) ? ByteKind::Lead : ByteKind::Single;
}

bool InsideString(std::string_view S, int N)
{
    return N >= 1 && static_cast<std::size_t>(N) <= S.size();
}

} // namespace

bool StartsTwoByteChar(std::string_view S, std::size_t Offset)
{
    return Offset + 1 < S.size() && IsDBCSLeadByte(S[Offset]);
}

std::size_t CharByteCount(std::string_view S, std::size_t Offset)
{
    return StartsTwoByteChar(S, Offset) ? 2 : 1;
}

int CountChar(std::string_view S, char Ch, int N)
{
    const std::size_t length = std::min(S.size(), static_cast<std::size_t>(std::max(N, 0)));
    return static_cast<int>(std::count(S.begin(), S.begin() + static_cast<std::ptrdiff_t>(length), Ch));
}

bool IsDBCS1(std::string_view S, int N)
{
    return InsideString(S, N) && KindOfByte(S, N) == ByteKind::Lead;
}

bool IsDBCS2(std::string_view S, int N)
{
    return InsideString(S, N) && KindOfByte(S, N) == ByteKind::Trail;
}

char CharAt(std::string_view S, int N)
{
    return InsideString(S, N) ? S[static_cast<std::size_t>(N - 1)] : '\0';
}

bool StrIncludes(std::string_view Sub, std::string_view S)
{
    if (Sub.empty() || Sub.size() > S.size())
        return false;
    const std::size_t last = S.size() - Sub.size();
    for (std::size_t offset = 0; offset <= last; offset += CharByteCount(S, offset))
        if (S.compare(offset, Sub.size(), Sub) == 0)
            return true;
    return false;
}

namespace {

// The first C in [From, End), or End.
const char* Find(const char* From, const char* End, char C)
{
    const void* found = std::memchr(From, C, static_cast<std::size_t>(End - From));
    return found ? static_cast<const char*>(found) : End;
}

// Text with each line break replaced by Break; a text's final break stays one. The text between
// breaks is copied in pieces, with the next CR and the next LF each searched for once.
std::string WithLineBreaks(std::string_view Text, std::string_view Break)
{
    if (Text.empty())
        return {};
    std::string out;
    out.reserve(Text.size() + Text.size() / 16);
    const char* const end = Text.data() + Text.size();
    const char* nextCr = Find(Text.data(), end, '\r');
    const char* nextLf = Find(Text.data(), end, '\n');
    for (const char* at = Text.data(); at < end;) {
        if (nextCr < at)
            nextCr = Find(at, end, '\r');
        if (nextLf < at)
            nextLf = Find(at, end, '\n');
        const char* const lineBreak = std::min(nextCr, nextLf);
        out.append(at, lineBreak);
        if (lineBreak == end)
            break;
        out += Break;
        at = lineBreak + (*lineBreak == '\r' && lineBreak + 1 < end && lineBreak[1] == '\n' ? 2 : 1);
    }
    return out;
}

} // namespace

std::string CrLfLineBreaks(std::string_view Text)
{
    return WithLineBreaks(Text, "\r\n");
}

std::string LfLineBreaks(std::string_view Text)
{
    return WithLineBreaks(Text, "\n");
}

void StrToLines(std::string_view Text, TStrings& Strings, const TProgress& Progress)
{
    const auto progress = [&] {
        if (Progress)
            Progress();
    };
    Strings.BeginUpdate();
    Strings.Clear();
    if (!Text.empty()) {
        const std::size_t lineFeeds = CountLineFeeds(Text);
        progress();
        // An eighth more room: lines added to a text just set need not move it all.
        Strings.SetCapacity(static_cast<int>(lineFeeds + lineFeeds / 8) + 16);
        progress();
        int lines = 0;
        ForEachLine(Text, [&](std::size_t begin, std::size_t end) {
            Strings.Add(Text.substr(begin, end - begin));
            if (++lines % ProgressLines == 0)
                progress();
        });
    }
    Strings.EndUpdate();
}

void ClearLines(TStrings& Strings, const TProgress& Progress)
{
    for (int count = Strings.GetCount(); count > 0; --count) {
        Strings.Delete(count - 1);
        if (count % ProgressLines == 0)
            Progress();
    }
}

} // namespace kestrim
