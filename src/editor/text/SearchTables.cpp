#include "editor/text/SearchTables.h"

#include "editor/base/CodePage.h"
#include "editor/base/UnicodeProperties.h"

#include <array>
#include <unicode/uchar.h>

namespace kestrim {
namespace {

constexpr unsigned char HalfWidthU = 0xB3;
constexpr TSearchChar FullWidthVu = 0x8394;

// 0x20-0x7E in order; 0x5C is the yen sign and 0x7E the overline in this code page.
constexpr std::array<TSearchChar, 95> FullWidthAscii = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,
    0x8143, 0x817C, 0x8144, 0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816D,
    0x818F, 0x816E, 0x814F, 0x8151, 0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290, 0x8291, 0x8292, 0x8293,
    0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,
};

// The half-width kana 0xA1-0xDF in order. The middle dot 0xA5 becomes the katakana middle
// dot, the character it is the narrow form of.
constexpr std::array<TSearchChar, 63> FullWidthKana = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383,
    0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367,
    0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F,
    0x8393, 0x814A, 0x814B,
};

// One range of lower-case two-byte letters and where their upper-case letters start.
struct CaseRange {
    TSearchChar First;
    TSearchChar Last;
    TSearchChar UpperFirst;
};

constexpr std::array<CaseRange, 5> LowerCaseRanges = {{
    {0x8281, 0x829A, 0x8260}, // full-width a..z
    {0x83BF, 0x83D6, 0x839F}, // Greek
    {0x8470, 0x847E, 0x8440}, // Cyrillic, before the gap at trail byte 0x7F
    {0x8480, 0x8491, 0x844F}, // Cyrillic, after it
    {0xEEEF, 0xEEF8, 0x8754}, // small roman numerals
}};

bool InRange(unsigned Byte, unsigned First, unsigned Last) { return Byte >= First && Byte <= Last; }

// Two-byte codes of this code page to the row-and-cell codes of the JIS character set and
// back, so that a kana can be moved along its row of the set.
unsigned SjisToJis(TSearchChar Char)
{
    unsigned lead = Char >> 8;
    unsigned trail = Char & 0xFF;
    lead -= lead >= 0xE0 ? 0xB0 : 0x70;
    if (trail >= 0x9F)
        return (lead * 2) << 8 | (trail - 0x7E);
    return (lead * 2 - 1) << 8 | (trail - (trail >= 0x80 ? 0x20 : 0x1F));
}

TSearchChar JisToSjis(unsigned Jis)
{
    const unsigned row = Jis >> 8;
    const unsigned cell = Jis & 0xFF;
    unsigned lead = (row + 1) / 2 + 0x70;
    if (lead >= 0xA0)
        lead += 0x40;
    unsigned trail;
    if (row % 2 == 0)
        trail = cell + 0x7E;
    else
        trail = cell + (cell >= 0x60 ? 0x20 : 0x1F);
    return TwoByteChar(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
}

bool TakesVoicedMark(unsigned char Kana)
{
    return Kana == HalfWidthU || InRange(Kana, 0xB6, 0xC4) || InRange(Kana, 0xCA, 0xCE);
}

// Only ha..ho have a semi-voiced form; any other kana keeps a following semi-voiced mark apart.
bool TakesSemiVoicedMark(unsigned char Kana) { return InRange(Kana, 0xCA, 0xCE); }

} // namespace

bool IsSearchDelimiter(unsigned char Byte)
{
    return Byte <= 0x2F || InRange(Byte, 0x3A, 0x40) || InRange(Byte, 0x5B, 0x60) || InRange(Byte, 0x7B, 0x80)
           || InRange(Byte, 0xA0, 0xA5) || Byte >= 0xFD;
}

TSearchChar FullWidthForm(unsigned char Byte)
{
    if (InRange(Byte, 0x20, 0x7E))
        return FullWidthAscii[Byte - 0x20u];
    if (InRange(Byte, 0xA1, 0xDF))
        return FullWidthKana[Byte - 0xA1u];
    return Byte;
}

TSearchChar VoicedKana(unsigned char Kana, unsigned char Mark)
{
    if (Mark == VoicedMark && TakesVoicedMark(Kana))
        return Kana == HalfWidthU ? FullWidthVu : JisToSjis(SjisToJis(FullWidthForm(Kana)) + 1);
    if (Mark == SemiVoicedMark && TakesSemiVoicedMark(Kana))
        return JisToSjis(SjisToJis(FullWidthForm(Kana)) + 2);
    return 0;
}

bool IsCombiningKana(unsigned char Byte) { return TakesVoicedMark(Byte); }

TSearchChar FoldTwoByteCase(TSearchChar Char)
{
    for (const CaseRange& range : LowerCaseRanges)
        if (InRange(Char, range.First, range.Last))
            return static_cast<TSearchChar>(Char - range.First + range.UpperFirst);
    return Char;
}

TSearchChar UnfoldTwoByteCase(TSearchChar Char)
{
    for (const CaseRange& range : LowerCaseRanges) {
        const TSearchChar upperLast = static_cast<TSearchChar>(range.UpperFirst + (range.Last - range.First));
        if (InRange(Char, range.UpperFirst, upperLast))
            return static_cast<TSearchChar>(Char - range.UpperFirst + range.First);
    }
    return Char;
}

TSearchChar SjisSearchChar(TSearchChar Code, bool MatchCase, bool IgnoreWidth)
{
    if (IsTwoByteChar(Code))
        return MatchCase ? Code : FoldTwoByteCase(Code);
    const auto byte = static_cast<unsigned char>(Code);
    const unsigned char single = MatchCase ? byte : UpperCaseByte(byte);
    return IgnoreWidth ? FullWidthForm(single) : single;
}

TSearchChar Utf8RawChar(const TCodePoint& Point)
{
    if (!Point.Valid)
        return InvalidUtf8 + Point.Code;
    const std::uint16_t sjis = SjisCodeOf(Point.Code);
    return sjis != NoSjisCode ? sjis : BeyondSjis + Point.Code;
}

TSearchChar Utf8SearchChar(const TCodePoint& Point, bool MatchCase, bool IgnoreWidth)
{
    const TSearchChar raw = Utf8RawChar(Point);
    if (raw < BeyondSjis)
        return SjisSearchChar(raw, MatchCase, IgnoreWidth);
    if (MatchCase || raw >= InvalidUtf8)
        return raw;
    const auto folded = static_cast<char32_t>(u_foldCase(static_cast<UChar32>(Point.Code), U_FOLD_CASE_DEFAULT));
    const std::uint16_t sjis = SjisCodeOf(folded);
    return sjis != NoSjisCode ? SjisSearchChar(sjis, false, IgnoreWidth) : BeyondSjis + folded;
}

bool IsSearchDelimiterAt(TTextEncoding Encoding, std::string_view Text, std::size_t Offset)
{
    if (Encoding == TTextEncoding::ShiftJis)
        return IsSearchDelimiter(static_cast<unsigned char>(Text[Offset]));
    const TSearchChar raw = Utf8RawChar(DecodeUtf8(Text, Offset));
    if (raw < BeyondSjis)
        return !IsTwoByteChar(raw) && IsSearchDelimiter(static_cast<unsigned char>(raw));
    return raw >= InvalidUtf8 || !IsWordCodePoint(raw - BeyondSjis);
}

} // namespace kestrim
