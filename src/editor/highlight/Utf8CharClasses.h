#pragma once
// What the tokenizer sees in a UTF-8 character: its class, from which the UTF-8 scan gives the
// same tokens as the Shift-JIS scan gives the same characters.
//
// A code point that Shift-JIS holds exactly (its Shift-JIS code converts back to it) takes the
// class its Shift-JIS code has in the Shift-JIS scan: the scan decides by lead and trail byte,
// so the UTF-8 scan must decide by the same code. Any other code point takes a class from its
// Unicode properties.

#include <cstdint>

namespace kestrim {

enum class TCharClass : std::uint8_t {
    // Classes of characters that Shift-JIS holds, named after their Shift-JIS codes.
    Symbol,          // a one-byte character that starts no token of its own kind
    HalfKanaPunct,   // 0xA1..0xA5
    HalfKana,        // 0xA6..0xDF
    WideSymbol,      // lead byte 0x81 and 0x84..0x87
    WideDigitPunct,  // the full-width comma and full stop, which wide digits run on over
    KanaMark,        // the long-vowel mark and the full-width hyphen-minus, which kana run on over
    WideSymbol82,    // the symbols of lead bytes 0x82 and 0x83 (Greek among them)
    WideDigit,
    WideLatin,
    Hiragana,
    Katakana,
    Kanji,           // lead bytes 0x88..0x9F and 0xE0..0xFC
    // Classes of the others.
    WordLetter,      // letters and digits of the alphabets written left to right in words
    OtherLetter,     // letters and digits of every other script
    Mark,            // a zero-width code point: belongs to the character before it
    OtherSymbol,     // emoji and every other symbol
};

// The class of a code point of 0x80 and above (ASCII is scanned by its byte).
TCharClass CharClassOf(char32_t Code);
// The classes of the Basic Multilingual Plane, indexed by code point, for scans that class
// every character.
const TCharClass* BmpCharClasses();

} // namespace kestrim
