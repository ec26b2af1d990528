#include "regex/BRegExp.h"

#include "editor/base/CodePage.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace kestrim {
namespace {

const char* const SNoStringsNow = "no strings now";
const char* const SIndexOutOfRange = "index out of range";

std::string PcreMessage(int ErrorCode)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(ErrorCode, buffer, sizeof buffer);
    if (length < 0)
        return "PCRE2 error " + std::to_string(ErrorCode);
    return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

std::string Quoted(std::string_view Pattern)
{
    return "\"" + SjisToUtf8(Pattern) + "\"";
}

uint32_t ModifierOption(char Modifier, std::string_view Pattern)
{
    switch (Modifier) {
    case 'i': return PCRE2_CASELESS;
    case 'm': return PCRE2_MULTILINE;
    case 's': return PCRE2_DOTALL;
    case 'x': return PCRE2_EXTENDED;
    }
    throw EBRegExpError("正規表現 " + Quoted(Pattern) + " の修飾子 \"" + SjisToUtf8(std::string(1, Modifier))
                        + "\" は使えません。使える修飾子は i, m, s, x です。");
}

struct TNotation {
    std::string_view Expression;
    uint32_t Options = 0;
};

// Splits "m/expression/modifiers". The closing "/" is the last one: a trail byte is never "/",
// and an unescaped "/" inside the expression is taken as a literal.
TNotation ReadNotation(std::string_view Pattern)
{
    const std::size_t close = Pattern.rfind('/');
    if (!Pattern.starts_with("m/") || close < 2)
        throw EBRegExpError("正規表現 " + Quoted(Pattern) + " は m/式/ の形で書いてください。");
    TNotation notation;
    notation.Expression = Pattern.substr(2, close - 2);
    for (const char modifier : Pattern.substr(close + 1))
        notation.Options |= ModifierOption(modifier, Pattern);
    return notation;
}

// Trail bytes that PCRE2 would read as syntax.
bool IsMetaTrailByte(char Byte)
{
    return std::string_view("[\\]^{|}").find(Byte) != std::string_view::npos;
}

// PCRE2 reads the pattern byte by byte, so the trail byte of a character such as 0x83 0x5C
// would escape what follows it. Such trail bytes get a backslash of their own, which keeps
// them literal. Inside \Q...\E everything is literal already.
std::string ProtectTrailBytes(std::string_view Expression)
{
    std::string result;
    result.reserve(Expression.size() + 8);
    bool quoting = false;
    std::size_t i = 0;
    while (i < Expression.size()) {
        const char byte = Expression[i];
        const bool hasNext = i + 1 < Expression.size();
        const char next = hasNext ? Expression[i + 1] : '\0';
        if (IsDBCSLeadByte(byte) && hasNext) {
            result += byte;
            if (!quoting && IsMetaTrailByte(next))
                result += '\\';
            result += next;
            i += 2;
        } else if (byte == '\\' && hasNext && !IsDBCSLeadByte(next)) {
            if (quoting)
                quoting = next != 'E';
            else
                quoting = next == 'Q';
            result += byte;
            result += next;
            i += 2;
        } else {
            result += byte;
            i += 1;
        }
    }
    return result;
}

} // namespace

void TBRegExp::CodeDeleter::operator()(pcre2_real_code_8* Code) const
{
    pcre2_code_free(Code);
}

void TBRegExp::MatchDataDeleter::operator()(pcre2_real_match_data_8* MatchData) const
{
    pcre2_match_data_free(MatchData);
}

TBRegExp::TBRegExp() = default;
TBRegExp::~TBRegExp() = default;

void TBRegExp::Compile(const std::string& Pattern)
{
    FMatchData.reset();
    FCode.reset();
    FPattern.clear();
    FCount = 0;

    const TNotation notation = ReadNotation(Pattern);
    const std::string expression = ProtectTrailBytes(notation.Expression);
    // The bytes are Shift-JIS: a "(*UTF)" in the pattern must not switch to UTF-8.
    const uint32_t options = notation.Options | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.data()), expression.size(), options,
                                     &errorCode, &errorOffset, nullptr);
    if (code == nullptr)
        throw EBRegExpError(PcreMessage(errorCode));
    FCode.reset(code);
    FMatchData.reset(pcre2_match_data_create_from_pattern(code, nullptr));
    if (!FMatchData) {
        FCode.reset();
        throw EBRegExpError(PcreMessage(PCRE2_ERROR_NOMEMORY));
    }
    uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    FCount = static_cast<int>(groups) + 1;
    FPattern = Pattern;
    ++FCompileCount;
}

bool TBRegExp::Match(const std::string& Pattern, std::string_view Target)
{
    FMatched = false;
    FGroups.clear();
    if (!FCode || Pattern != FPattern)
        Compile(Pattern);
    // An empty view may carry no address, which PCRE2 refuses even for length 0.
    const char* subject = Target.empty() ? "" : Target.data();
    const int result = pcre2_match(FCode.get(), reinterpret_cast<PCRE2_SPTR>(subject), Target.size(), 0, 0,
                                   FMatchData.get(), nullptr);
    if (result == PCRE2_ERROR_NOMATCH)
        return false;
    if (result < 0)
        throw EBRegExpError(PcreMessage(result)); // e.g. the match limit on a runaway pattern
    KeepGroups(Target);
    FMatched = true;
    return true;
}

void TBRegExp::KeepGroups(std::string_view Target)
{
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(FMatchData.get());
    FGroups.reserve(static_cast<std::size_t>(FCount));
    for (int group = 0; group < FCount; ++group) {
        const PCRE2_SIZE start = offsets[2 * group];
        const PCRE2_SIZE end = offsets[2 * group + 1];
        if (start == PCRE2_UNSET || end == PCRE2_UNSET)
            FGroups.emplace_back();
        else
            FGroups.emplace_back(Target.substr(start, end - start));
    }
}

std::string TBRegExp::Strings(int Index) const
{
    if (!FMatched)
        throw EBRegExpError(SNoStringsNow);
    if (Index < 0 || Index >= FCount)
        throw EBRegExpError(SIndexOutOfRange);
    return FGroups[static_cast<std::size_t>(Index)];
}

TBRegExp& SharedRegExp()
{
    static TBRegExp instance;
    return instance;
}

} // namespace kestrim
