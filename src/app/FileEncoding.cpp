#include "app/FileEncoding.h"

#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"

#include <vector>

namespace kestrim {
namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t BlockSize = 65536;

// Checks UTF-8 a block at a time, a character split between two blocks included: shortest
// forms only, no surrogates, nothing beyond U+10FFFF.
class TUtf8Check {
public:
    void Feed(std::string_view Bytes)
    {
        for (std::size_t i = 0; i < Bytes.size() && FValid; ++i)
            Take(static_cast<unsigned char>(Bytes[i]));
    }
    bool Valid() const { return FValid; }
    bool Complete() const { return FValid && FPending == 0; }
    bool NonAscii() const { return FNonAscii; }

private:
    void Take(unsigned char Byte)
    {
        if (FPending > 0) {
            FValid = Byte >= FLow && Byte <= FHigh;
            FLow = 0x80;
            FHigh = 0xBF;
            --FPending;
            return;
        }
        if (Byte < 0x80)
            return;
        FNonAscii = true;
        FLow = 0x80;
        FHigh = 0xBF;
        if (Byte >= 0xC2 && Byte <= 0xDF) {
            FPending = 1;
        } else if (Byte >= 0xE0 && Byte <= 0xEF) {
            FPending = 2;
            if (Byte == 0xE0)
                FLow = 0xA0; // shorter form exists
            if (Byte == 0xED)
                FHigh = 0x9F; // surrogates
        } else if (Byte >= 0xF0 && Byte <= 0xF4) {
            FPending = 3;
            if (Byte == 0xF0)
                FLow = 0x90;
            if (Byte == 0xF4)
                FHigh = 0x8F; // beyond U+10FFFF
        } else {
            FValid = false;
        }
    }

    bool FValid = true;
    bool FNonAscii = false;
    int FPending = 0;
    unsigned char FLow = 0x80;
    unsigned char FHigh = 0xBF;
};

bool IsPrivateUse(char16_t Ch)
{
    return Ch >= 0xE000 && Ch <= 0xF8FF;
}

bool IsHalfWidthKana(char16_t Ch)
{
    return Ch >= 0xFF61 && Ch <= 0xFF9F;
}

// Text a Shift-JIS editor of the platform writes: ASCII and characters of the two-byte set.
// UTF-8 read as Shift-JIS nearly always meets a byte that starts no character (a private-use
// character of SjisToUtf16), a user-defined character or half-width katakana.
bool IsPlainSjisText(std::string_view Bytes)
{
    for (const char16_t ch : SjisToUtf16(Bytes))
        if (IsPrivateUse(ch) || IsHalfWidthKana(ch))
            return false;
    return true;
}

// The next character of valid UTF-8 at Pos, which moves past it.
char32_t NextCharacter(std::string_view Utf8, std::size_t& Pos)
{
    const unsigned char lead = static_cast<unsigned char>(Utf8[Pos++]);
    const int length = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t ch = length == 0 ? lead : lead & (0x3F >> length);
    for (int k = 0; k < length && Pos < Utf8.size(); ++k)
        ch = ch << 6 | (static_cast<unsigned char>(Utf8[Pos++]) & 0x3F);
    return ch;
}

std::u16string Utf16Of(char32_t Ch)
{
    if (Ch < 0x10000)
        return std::u16string(1, static_cast<char16_t>(Ch));
    Ch -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (Ch >> 10)), static_cast<char16_t>(0xDC00 + (Ch & 0x3FF))};
}

// The private-use characters that SjisToUtf16 gives for bytes that start no character. In a
// file they are no text of the code page: a byte that was not valid Shift-JIS when it was saved.
constexpr char32_t FirstByteStandIn = 0xF700;
constexpr char32_t LastByteStandIn = 0xF7FF;

// Whether valid UTF-8 holds one of the stand-ins: they are encoded EF 9C 80 to EF 9F BF.
bool HoldsByteStandIn(std::string_view Utf8)
{
    for (std::size_t i = Utf8.find('\xEF'); i != std::string_view::npos && i + 1 < Utf8.size();
         i = Utf8.find('\xEF', i + 1)) {
        const unsigned char second = static_cast<unsigned char>(Utf8[i + 1]);
        if (second >= 0x9C && second <= 0x9F)
            return true;
    }
    return false;
}

// Whether Shift-JIS holds Ch: it converts, and back to the same character.
bool SjisHolds(char32_t Ch)
{
    if (Ch >= FirstByteStandIn && Ch <= LastByteStandIn)
        return false;
    const std::u16string utf16 = Utf16Of(Ch);
    bool lost = false;
    const std::string sjis = Utf16ToSjis(utf16, &lost);
    return !lost && SjisToUtf16(sjis) == utf16;
}

// Counts the characters that Shift-JIS cannot hold and finds the first; lines end at CR LF,
// a lone CR or a lone LF, as in the editors.
void CountLostCharacters(std::string_view Utf8, TSjisConversion& Result)
{
    int line = 1;
    int column = 0;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < Utf8.size();) {
        const char32_t ch = NextCharacter(Utf8, pos);
        if (ch == '\n' || ch == '\r') {
            if (!(ch == '\n' && previous == '\r'))
                ++line;
            column = 0;
            previous = ch;
            continue;
        }
        previous = ch;
        ++column;
        if (SjisHolds(ch))
            continue;
        if (Result.LostCount++ == 0) {
            Result.FirstLost = ch;
            Result.FirstLostLine = line;
            Result.FirstLostColumn = column;
        }
    }
}

} // namespace

QString EncodingName(TFileEncoding Encoding)
{
    switch (Encoding) {
    case TFileEncoding::Utf8: return QStringLiteral("UTF-8");
    case TFileEncoding::Utf8WithBom: return QStringLiteral("UTF-8 (BOM)");
    case TFileEncoding::ShiftJis: break;
    }
    return QStringLiteral("Shift-JIS");
}

std::optional<std::string> ReadUtf8Text(const std::string& FileName)
{
    TUtf8Check check;
    {
        TFileReader file(FileName);
        std::vector<char> block(BlockSize);
        while (check.Valid())
            if (const std::size_t n = file.Read(block.data(), block.size()))
                check.Feed(std::string_view(block.data(), n));
            else
                break;
    }
    if (!check.Complete() || !check.NonAscii())
        return std::nullopt;
    std::string bytes = ReadFileBytes(FileName);
    // Changed since it was checked: read as bytes, as any other file.
    TUtf8Check again;
    again.Feed(bytes);
    if (!again.Complete() || IsPlainSjisText(bytes))
        return std::nullopt;
    return bytes;
}

TSjisConversion Utf8TextToSjis(std::string_view Utf8)
{
    TSjisConversion result;
    if (Utf8.substr(0, Utf8Bom.size()) == Utf8Bom) {
        Utf8.remove_prefix(Utf8Bom.size());
        result.Encoding = TFileEncoding::Utf8WithBom;
    }
    bool lost = false;
    result.Sjis = Utf8ToSjis(Utf8, &lost);
    // The whole text at once; a character that converted to another one counts as lost too.
    if (!lost && !HoldsByteStandIn(Utf8) && SjisToUtf8(result.Sjis) == Utf8)
        return result;
    CountLostCharacters(Utf8, result);
    return result;
}

std::string SjisToFileBytes(std::string_view Sjis, TFileEncoding Encoding)
{
    switch (Encoding) {
    case TFileEncoding::Utf8: return SjisToUtf8(Sjis);
    case TFileEncoding::Utf8WithBom: return std::string(Utf8Bom) + SjisToUtf8(Sjis);
    case TFileEncoding::ShiftJis: break;
    }
    return std::string(Sjis);
}

} // namespace kestrim
