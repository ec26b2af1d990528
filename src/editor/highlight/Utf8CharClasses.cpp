#include "editor/highlight/Utf8CharClasses.h"

#include "editor/base/CodePage.h"
#include "editor/base/UnicodeProperties.h"

#include <array>
#include <string_view>
#include <unicode/uchar.h>
#include <unicode/uscript.h>

namespace kestrim {
namespace {

constexpr bool InRange(unsigned Value, unsigned First, unsigned Last)
{
    return Value >= First && Value <= Last;
}

// The class the Shift-JIS scan gives the character of Code (one byte, or lead << 8 | trail).
TCharClass ClassOfSjisCode(std::uint16_t Code)
{
    const unsigned lead = Code >> 8;
    const unsigned trail = Code & 0xFF;
    if (lead == 0)
        return InRange(trail, 0xA1, 0xA5) ? TCharClass::HalfKanaPunct
               : InRange(trail, 0xA6, 0xDF) ? TCharClass::HalfKana
                                            : TCharClass::Symbol;
    if (lead == 0x81)
        return trail == 0x43 || trail == 0x44   ? TCharClass::WideDigitPunct
               : trail == 0x5B || trail == 0x7C ? TCharClass::KanaMark
                                                : TCharClass::WideSymbol;
    if (lead == 0x82)
        return InRange(trail, 0x4F, 0x58)                                 ? TCharClass::WideDigit
               : InRange(trail, 0x60, 0x79) || InRange(trail, 0x81, 0x9A) ? TCharClass::WideLatin
               : InRange(trail, 0x9F, 0xF1)                               ? TCharClass::Hiragana
                                                                          : TCharClass::WideSymbol82;
    if (lead == 0x83)
        return InRange(trail, 0x40, 0x96) ? TCharClass::Katakana : TCharClass::WideSymbol82;
    return InRange(lead, 0x84, 0x87) ? TCharClass::WideSymbol : TCharClass::Kanji;
}

// Scripts of alphabets written left to right with spaces between words, whose letters join
// ASCII letters in one word (café, naïve, Ελλάδα).
bool IsWordScript(UScriptCode Script)
{
    return Script == USCRIPT_LATIN || Script == USCRIPT_GREEK || Script == USCRIPT_CYRILLIC ||
           Script == USCRIPT_ARMENIAN || Script == USCRIPT_GEORGIAN || Script == USCRIPT_COMMON ||
           Script == USCRIPT_INHERITED;
}

TCharClass ClassByProperties(char32_t Code)
{
    if (IsZeroWidthCodePoint(Code))
        return TCharClass::Mark;
    const auto mask = U_GET_GC_MASK(static_cast<UChar32>(Code));
    if ((mask & (U_GC_L_MASK | U_GC_ND_MASK | U_GC_M_MASK)) == 0)
        return TCharClass::OtherSymbol;
    UErrorCode error = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(static_cast<UChar32>(Code), &error);
    // Japanese letters beyond Shift-JIS (rare kanji, small kana) run on with their own kind.
    switch (script) {
    case USCRIPT_HAN:
        return TCharClass::Kanji;
    case USCRIPT_HIRAGANA:
        return TCharClass::Hiragana;
    case USCRIPT_KATAKANA:
        return TCharClass::Katakana;
    default:
        return IsWordScript(script) ? TCharClass::WordLetter : TCharClass::OtherLetter;
    }
}

TCharClass AskCharClass(char32_t Code)
{
    const std::uint16_t sjis = SjisCodeOf(Code);
    if (sjis != NoSjisCode)
        return ClassOfSjisCode(sjis);
    return ClassByProperties(Code);
}

// The classes of the Basic Multilingual Plane, read once: every character of a UTF-8 row is
// classed, and a table lookup is far cheaper than the code page and ICU.
const std::array<TCharClass, 0x10000>& BmpClasses()
{
    static const auto table = [] {
        std::array<TCharClass, 0x10000> classes{};
        for (char32_t code = 0x80; code < classes.size(); ++code)
            classes[code] = code >= 0xD800 && code <= 0xDFFF ? TCharClass::OtherSymbol : AskCharClass(code);
        return classes;
    }();
    return table;
}

} // namespace

const TCharClass* BmpCharClasses()
{
    return BmpClasses().data();
}

TCharClass CharClassOf(char32_t Code)
{
    return Code < 0x10000 ? BmpClasses()[Code] : ClassByProperties(Code);
}

} // namespace kestrim
