#include "editor/base/CodePage.h"

#include "editor/base/Utf8.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <memory>
#include <vector>

namespace kestrim {
namespace {

// Bytes that start no valid character map to U+F700 + byte (IsRawByteUnit). Code page 932 puts
// its own private-use characters at U+E000-U+E757, so this range is free for the purpose.
constexpr char16_t RawByteBase = 0xF700;
constexpr char16_t NoCharacter = 0;

constexpr bool IsTrailByte(unsigned Byte) { return Byte >= 0x40 && Byte <= 0xFC && Byte != 0x7F; }

// Both directions of code page 932 as flat tables, filled once through iconv.
struct CodePageTables {
    std::array<char16_t, 256> Single{};           // single-byte characters
    std::vector<char16_t> Double;                 // (lead << 8 | trail) -> character
    std::vector<std::uint16_t> Encode;            // BMP character -> byte or (lead << 8 | trail)

    CodePageTables() : Double(0x10000, NoCharacter), Encode(0x10000, NoSjisCode) { Build(); }

private:
    void Build()
    {
        iconv_t decoder = iconv_open("UTF-16LE", "CP932");
        iconv_t encoder = iconv_open("CP932", "UTF-16LE");
        if (decoder == reinterpret_cast<iconv_t>(-1) || encoder == reinterpret_cast<iconv_t>(-1))
            return BuildAsciiOnly();
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            if (IsDBCSLeadByte(static_cast<unsigned char>(byte)))
                continue;
            const char bytes[1] = {static_cast<char>(byte)};
            Single[byte] = byte == 0 ? u'\0' : DecodeOne(decoder, bytes, 1);
            if (byte == 0 || Single[byte] != NoCharacter)
                AddReverse(encoder, Single[byte]);
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsDBCSLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsTrailByte(trail))
                    continue;
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char16_t ch = DecodeOne(decoder, bytes, 2);
                Double[lead << 8 | trail] = ch;
                if (ch != NoCharacter)
                    AddReverse(encoder, ch);
            }
        }
        iconv_close(decoder);
        iconv_close(encoder);
        AddBestFit();
    }

    // Characters that this platform's text (input methods, web pages) writes where Japanese
    // text of code page 932 has a look-alike: they are taken as that character, one way only.
    void AddBestFit()
    {
        static constexpr std::pair<char16_t, std::uint16_t> lookAlikes[] = {
            {u'\u301C', 0x8160}, // WAVE DASH as FULLWIDTH TILDE
            {u'\u2016', 0x8161}, // DOUBLE VERTICAL LINE as PARALLEL TO
            {u'\u2212', 0x817C}, // MINUS SIGN as FULLWIDTH HYPHEN-MINUS
            {u'\u00A2', 0x8191}, // CENT SIGN as FULLWIDTH CENT SIGN
            {u'\u00A3', 0x8192}, // POUND SIGN as FULLWIDTH POUND SIGN
            {u'\u00AC', 0x81CA}, // NOT SIGN as FULLWIDTH NOT SIGN
        };
        for (const auto& [character, code] : lookAlikes)
            if (Encode[character] == NoSjisCode && Double[code] != NoCharacter)
                Encode[character] = code;
    }

    void BuildAsciiOnly()
    {
        for (unsigned byte = 0; byte < 0x80; ++byte) {
            Single[byte] = static_cast<char16_t>(byte);
            Encode[byte] = static_cast<std::uint16_t>(byte);
        }
    }

    static char16_t DecodeOne(iconv_t decoder, const char* bytes, size_t length)
    {
        char16_t out[4] = {};
        char* in = const_cast<char*>(bytes);
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = length, outLeft = sizeof out;
        iconv(decoder, nullptr, nullptr, nullptr, nullptr);
        if (iconv(decoder, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            return NoCharacter;
        if (sizeof out - outLeft != 2 || (out[0] >= 0xD800 && out[0] <= 0xDFFF))
            return NoCharacter; // not one BMP character
        return out[0];
    }

    // Asks iconv which code a character maps back to; several codes of code page 932 can
    // decode to the same character and the reverse direction must pick the platform's choice.
    void AddReverse(iconv_t encoder, char16_t ch)
    {
        if (Encode[ch] != NoSjisCode)
            return;
        char16_t in16[1] = {ch};
        unsigned char out[4] = {};
        char* in = reinterpret_cast<char*>(in16);
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 2, outLeft = sizeof out;
        iconv(encoder, nullptr, nullptr, nullptr, nullptr);
        if (iconv(encoder, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return;
        const size_t produced = sizeof out - outLeft;
        if (produced == 1)
            Encode[ch] = out[0];
        else if (produced == 2)
            Encode[ch] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
    }
};

const CodePageTables& Tables()
{
    static const CodePageTables tables;
    return tables;
}

} // namespace

namespace {

// The character at I of Sjis, and how many bytes it takes.
char16_t SjisUnitAt(const CodePageTables& Tables, std::string_view Sjis, std::size_t I, std::size_t& Bytes)
{
    const unsigned char b = static_cast<unsigned char>(Sjis[I]);
    if (IsDBCSLeadByte(b) && I + 1 < Sjis.size()) {
        const char16_t ch = Tables.Double[b << 8 | static_cast<unsigned char>(Sjis[I + 1])];
        if (ch != NoCharacter) {
            Bytes = 2;
            return ch;
        }
    }
    Bytes = 1;
    const char16_t ch = Tables.Single[b];
    return (ch != NoCharacter || b == 0) ? ch : static_cast<char16_t>(RawByteBase + b);
}

} // namespace

std::size_t SjisToUtf16(std::string_view sjis, char16_t* out)
{
    const CodePageTables& tables = Tables();
    char16_t* next = out;
    for (std::size_t i = 0, bytes = 1; i < sjis.size(); i += bytes)
        *next++ = SjisUnitAt(tables, sjis, i, bytes);
    return static_cast<std::size_t>(next - out);
}

// Every unit of the tables is a character of the Basic Multilingual Plane, never a surrogate:
// its UTF-8 form is written directly, without a UTF-16 string between.
void AppendSjisAsUtf8(std::string& Out, std::string_view Sjis)
{
    const CodePageTables& tables = Tables();
    for (std::size_t i = 0, bytes = 1; i < Sjis.size(); i += bytes) {
        const char16_t unit = SjisUnitAt(tables, Sjis, i, bytes);
        if (unit < 0x80) {
            Out += static_cast<char>(unit);
        } else if (unit < 0x800) {
            const char two[] = {static_cast<char>(0xC0 | unit >> 6), static_cast<char>(0x80 | (unit & 0x3F))};
            Out.append(two, 2);
        } else {
            const char three[] = {static_cast<char>(0xE0 | unit >> 12), static_cast<char>(0x80 | (unit >> 6 & 0x3F)),
                                  static_cast<char>(0x80 | (unit & 0x3F))};
            Out.append(three, 3);
        }
    }
}

std::u16string SjisToUtf16(std::string_view sjis)
{
    std::u16string out(sjis.size(), u'\0');
    out.resize(SjisToUtf16(sjis, out.data()));
    return out;
}

std::uint16_t SjisCodeOrLookAlike(char32_t Code)
{
    if (Code > 0xFFFF || (Code >= 0xD800 && Code <= 0xDFFF))
        return NoSjisCode;
    return Tables().Encode[Code];
}

std::uint16_t SjisCodeOf(char32_t Code)
{
    const std::uint16_t code = SjisCodeOrLookAlike(Code);
    if (code == NoSjisCode)
        return NoSjisCode;
    const CodePageTables& tables = Tables();
    const char16_t back = code > 0xFF ? tables.Double[code] : tables.Single[code];
    return back == Code ? code : NoSjisCode;
}

std::string Utf16ToSjis(std::u16string_view text, TConversionLoss& loss)
{
    const CodePageTables& tables = Tables();
    std::string out;
    out.reserve(text.size() * 2);
    loss = {};
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch >= RawByteBase && ch <= RawByteBase + 0xFF) {
            out += static_cast<char>(ch - RawByteBase);
            continue;
        }
        const std::uint16_t code = tables.Encode[ch];
        if (code == NoSjisCode || (ch >= 0xD800 && ch <= 0xDFFF)) {
            if (loss.Count++ == 0)
                loss.First = i;
            if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                ++i; // one character outside the BMP, one "?"
            out += '?';
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
    }
    return out;
}

std::string Utf16ToSjis(std::u16string_view text, bool* lostCharacters)
{
    TConversionLoss loss;
    std::string out = Utf16ToSjis(text, loss);
    if (lostCharacters)
        *lostCharacters = loss.Count > 0;
    return out;
}

std::string SjisToUtf8(std::string_view sjis)
{
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    AppendSjisAsUtf8(out, sjis);
    return out;
}

std::string Utf8ToSjis(std::string_view utf8, bool* lostCharacters)
{
    return Utf16ToSjis(Utf8ToUtf16(utf8), lostCharacters);
}

} // namespace kestrim
