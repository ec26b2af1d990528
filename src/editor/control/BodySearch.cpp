#include "editor/control/BodySearch.h"

#include "editor/base/CodePage.h"

#include <vector>

namespace kestrim {

namespace {

bool IsLineBreak(char Byte)
{
    return Byte == '\r' || Byte == '\n';
}

// Byte i of Text starts a character. Each line is scanned from its start: a lead byte takes the
// next byte unless that is a line break.
std::vector<bool> CharacterStarts(std::string_view Text)
{
    std::vector<bool> starts(Text.size() + 1, false);
    for (std::size_t i = 0; i < Text.size();) {
        starts[i] = true;
        const bool twoBytes = IsDBCSLeadByte(Text[i]) && i + 1 < Text.size() && !IsLineBreak(Text[i + 1]);
        i += twoBytes ? 2 : 1;
    }
    starts[Text.size()] = true;
    return starts;
}

bool IsSearchDelimiter(unsigned char Byte)
{
    return Byte <= 0x2F || (Byte >= 0x3A && Byte <= 0x40) || (Byte >= 0x5B && Byte <= 0x60) ||
           (Byte >= 0x7B && Byte <= 0x80) || (Byte >= 0xA0 && Byte <= 0xA5) || Byte >= 0xFD;
}

unsigned char UpperAscii(unsigned char Byte)
{
    return Byte >= 'a' && Byte <= 'z' ? static_cast<unsigned char>(Byte - 'a' + 'A') : Byte;
}

// The upper-case form of a two-byte letter: full-width Latin, Greek, Cyrillic, small roman numerals.
unsigned UpperTwoByte(unsigned Code)
{
    if (Code >= 0x8281 && Code <= 0x829A)
        return Code - 0x8281 + 0x8260;
    if (Code >= 0x83BF && Code <= 0x83D6)
        return Code - 0x83BF + 0x839F;
    if (Code >= 0x8470 && Code <= 0x847E)
        return Code - 0x8470 + 0x8440;
    if (Code >= 0x8480 && Code <= 0x8491)
        return Code - 0x8480 + 0x844F; // the Cyrillic lower case skips 0x847F
    if (Code >= 0xEEEF && Code <= 0xEEF8)
        return Code - 0xEEEF + 0x8754;
    return Code;
}

class TMatcher {
public:
    TMatcher(std::string_view Text, std::string_view Pattern, TSearchOptions Options)
        : FText(Text), FPattern(Pattern), FStarts(CharacterStarts(Text)),
          FPatternStarts(CharacterStarts(Pattern)), FMatchCase(Options & soMatchCase),
          FWholeWord(Options & soWholeWord)
    {
    }

    bool IsStart(std::size_t Position) const { return FStarts[Position]; }

    // Whether a hit starts at Position, a character start.
    bool MatchesAt(std::size_t Position) const
    {
        if (FWholeWord && !StartsWord(Position))
            return false;
        std::size_t t = Position;
        for (std::size_t p = 0; p < FPattern.size();) {
            const std::size_t length = FPatternStarts[p + 1] ? 1 : 2;
            if (t + length > FText.size() || !FStarts[t] || !FStarts[t + length] || (length == 2 && FStarts[t + 1]))
                return false;
            if (!SameCharacter(FText.substr(t, length), FPattern.substr(p, length)))
                return false;
            t += length;
            p += length;
        }
        return !FWholeWord || t == FText.size() || IsSearchDelimiter(static_cast<unsigned char>(FText[t]));
    }

private:
    bool StartsWord(std::size_t Position) const
    {
        if (IsSearchDelimiter(static_cast<unsigned char>(FText[Position])))
            return false;
        if (Position == 0)
            return true;
        // The character before: a two-byte character is part of a word.
        const std::size_t before = FStarts[Position - 1] ? Position - 1 : Position - 2;
        return Position - before == 1 && IsSearchDelimiter(static_cast<unsigned char>(FText[before]));
    }

    bool SameCharacter(std::string_view A, std::string_view B) const
    {
        if (A == B)
            return true;
        if (FMatchCase)
            return false;
        if (A.size() == 1)
            return UpperAscii(static_cast<unsigned char>(A[0])) == UpperAscii(static_cast<unsigned char>(B[0]));
        return UpperTwoByte(Code(A)) == UpperTwoByte(Code(B));
    }

    static unsigned Code(std::string_view Character)
    {
        return static_cast<unsigned char>(Character[0]) << 8 | static_cast<unsigned char>(Character[1]);
    }

    std::string_view FText;
    std::string_view FPattern;
    std::vector<bool> FStarts;
    std::vector<bool> FPatternStarts;
    bool FMatchCase;
    bool FWholeWord;
};

// The pattern's length in text bytes: matching keeps lengths, so it is the pattern's own.
TByteRange Hit(std::size_t Position, std::string_view Pattern)
{
    return {Position, Position + Pattern.size()};
}

} // namespace

std::optional<TByteRange> FindText(std::string_view Text, std::size_t Start, std::string_view Pattern,
                                   TSearchOptions Options)
{
    if (Pattern.empty() || Pattern.size() > Text.size() || Start > Text.size())
        return std::nullopt;
    const TMatcher matcher(Text, Pattern, Options);
    if (Options & soDown) {
        for (std::size_t t = Start; t + Pattern.size() <= Text.size(); ++t)
            if (matcher.IsStart(t) && matcher.MatchesAt(t))
                return Hit(t, Pattern);
        return std::nullopt;
    }
    if (Start < Pattern.size())
        return std::nullopt;
    for (std::size_t t = Start - Pattern.size() + 1; t-- > 0;)
        if (matcher.IsStart(t) && matcher.MatchesAt(t))
            return Hit(t, Pattern);
    return std::nullopt;
}

} // namespace kestrim
