#include "editor/control/BodyTokens.h"

#include "editor/base/edUtils.h"

#include <vector>

namespace kestrim {

namespace {

enum class TCharKind { Word, Blank, HalfKana, Hiragana, Katakana, Kanji, FullAlnum, Letter, Single };

struct TCharacter {
    std::size_t Begin;
    std::size_t Length;
    TCharKind Kind;
};

TCharKind TwoByteKind(unsigned Code)
{
    if (Code >= 0x829F && Code <= 0x82F1)
        return TCharKind::Hiragana;
    if ((Code >= 0x8340 && Code <= 0x8396) || Code == 0x815B) // with the prolonged sound mark
        return TCharKind::Katakana;
    if (Code >= 0x824F && Code <= 0x829A)
        return TCharKind::FullAlnum;
    if (Code >= 0x839F && Code <= 0x84BE)
        return TCharKind::Letter;
    if (Code == 0x8158) // the kanji repetition mark
        return TCharKind::Kanji;
    // The kanji rows and the extension kanji, without the user-defined area and the numerals
    // and symbols at the start of the extensions.
    if ((Code >= 0x889F && Code <= 0xEEEE) || Code >= 0xFA5C)
        return Code >= 0xEB40 && Code < 0xED40 ? TCharKind::Single : TCharKind::Kanji;
    return TCharKind::Single;
}

TCharKind OneByteKind(unsigned char Byte)
{
    if ((Byte >= '0' && Byte <= '9') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= 'a' && Byte <= 'z') || Byte == '_')
        return TCharKind::Word;
    if (Byte == ' ' || Byte == '\t')
        return TCharKind::Blank;
    if (Byte >= 0xA1 && Byte <= 0xDF)
        return TCharKind::HalfKana;
    return TCharKind::Single;
}

// Whether characters of Kind form one token together; blanks only when IncludingBlanks.
bool Runs(TCharKind Kind, bool IncludingBlanks)
{
    return Kind != TCharKind::Single && (IncludingBlanks || Kind != TCharKind::Blank);
}

// The characters of Line, scanned from its start so that a trail byte is never taken for a
// character of its own.
std::vector<TCharacter> Characters(std::string_view Line)
{
    std::vector<TCharacter> characters;
    for (std::size_t i = 0; i < Line.size();) {
        const auto lead = static_cast<unsigned char>(Line[i]);
        if (StartsTwoByteChar(Line, i)) {
            const unsigned code = lead << 8 | static_cast<unsigned char>(Line[i + 1]);
            characters.push_back({i, 2, TwoByteKind(code)});
            i += 2;
        } else {
            characters.push_back({i, 1, OneByteKind(lead)});
            ++i;
        }
    }
    return characters;
}

} // namespace

TByteRange TokenAt(std::string_view Line, std::size_t ByteOffset)
{
    const std::vector<TCharacter> characters = Characters(Line);
    if (characters.empty())
        return {};
    std::size_t at = characters.size() - 1;
    for (std::size_t i = 0; i < characters.size(); ++i)
        if (ByteOffset < characters[i].Begin + characters[i].Length) {
            at = i;
            break;
        }
    // Just after a word, between it and a blank or a symbol, the word is meant.
    if (at > 0 && !Runs(characters[at].Kind, false) && Runs(characters[at - 1].Kind, false) &&
        characters[at].Begin == ByteOffset)
        --at;
    const TCharKind kind = characters[at].Kind;
    std::size_t first = at;
    std::size_t last = at;
    if (Runs(kind, true)) {
        while (first > 0 && characters[first - 1].Kind == kind)
            --first;
        while (last + 1 < characters.size() && characters[last + 1].Kind == kind)
            ++last;
    }
    return {characters[first].Begin, characters[last].Begin + characters[last].Length};
}

} // namespace kestrim
