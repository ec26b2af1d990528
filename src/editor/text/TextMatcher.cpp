#include "editor/text/TextMatcher.h"

#include "editor/base/CodePage.h"
#include "editor/base/edUtils.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kestrim {
namespace {

constexpr unsigned char FullWidthSpaceLead = 0x81;
constexpr unsigned char FullWidthSpaceTrail = 0x40;

unsigned char ByteAt(std::string_view Text, std::size_t Offset) { return static_cast<unsigned char>(Text[Offset]); }

// The bytes of a character by its first byte. A lead byte at the very end of a text steps past
// the end, which ends every walk that uses this table.
constexpr std::array<std::uint8_t, 256> CharStep = [] {
    std::array<std::uint8_t, 256> steps{};
    for (unsigned byte = 0; byte < steps.size(); ++byte)
        steps[byte] = IsDBCSLeadByte(static_cast<unsigned char>(byte)) ? 2 : 1;
    return steps;
}();

// Which bytes start a character. Character boundaries are only known from the start of a
// text, so this is the one way to walk it backwards.
std::vector<bool> CharStarts(std::string_view Text)
{
    std::vector<bool> starts(Text.size(), false);
    for (std::size_t offset = 0; offset < Text.size(); offset += CharByteCount(Text, offset))
        starts[offset] = true;
    return starts;
}

} // namespace

TTextMatcher::TTextMatcher(std::string_view Pattern, TSearchOptions Options) : FOptions(Options)
{
    Prepare(Pattern);
    PrepareFirstBytes();
}

// Patterns are compared in their folded form: upper case unless matching case, full width
// when width is ignored, so that each text character needs folding only once.
void TTextMatcher::Prepare(std::string_view Pattern)
{
    for (std::size_t offset = 0; offset < Pattern.size();) {
        const TSearchChar patternChar = PatternChar(Pattern, offset);
        FPattern.push_back(patternChar);
        FPatternBytes += IsTwoByteChar(patternChar) ? 2 : 1;
    }
}

void TTextMatcher::PrepareFirstBytes()
{
    for (unsigned byte = 0; byte < FFirstBytes.size(); ++byte)
        FFirstBytes[byte] = !FPattern.empty() && CouldStartHit(static_cast<unsigned char>(byte));
}

// Whether some text character starting with Byte reads as the pattern's first character.
bool TTextMatcher::CouldStartHit(unsigned char Byte) const
{
    const TSearchChar first = FPattern.front();
    const bool matchCase = (FOptions & soMatchCase) != 0;
    if (IsDBCSLeadByte(Byte) && IsTwoByteChar(first)
        && (Byte == first >> 8 || (!matchCase && Byte == UnfoldTwoByteCase(first) >> 8)))
        return true;
    // Byte as a one-byte character; a lead byte is one only at the end of the text.
    const unsigned char single = matchCase ? Byte : UpperCaseByte(Byte);
    if ((FOptions & soIgnoreWidth) == 0)
        return single == first;
    return FullWidthForm(single) == first || VoicedKana(Byte, VoicedMark) == first
           || VoicedKana(Byte, SemiVoicedMark) == first;
}

TSearchChar TTextMatcher::PatternChar(std::string_view Pattern, std::size_t& Offset) const
{
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const unsigned char byte = ByteAt(Pattern, Offset);
    if (CharByteCount(Pattern, Offset) == 2) {
        const TSearchChar twoByte = TwoByteChar(byte, ByteAt(Pattern, Offset + 1));
        Offset += 2;
        return matchCase ? twoByte : FoldTwoByteCase(twoByte);
    }
    ++Offset;
    const unsigned char single = matchCase ? byte : UpperCaseByte(byte);
    if ((FOptions & soIgnoreWidth) == 0)
        return single;
    if (Offset < Pattern.size()) {
        if (const TSearchChar voiced = VoicedKana(single, ByteAt(Pattern, Offset))) {
            ++Offset;
            return voiced;
        }
    }
    return FullWidthForm(single);
}

TTextMatcher::TTextChar TTextMatcher::ReadTextChar(const TSearchWindow& Window, std::size_t Offset) const
{
    const std::string_view text = Window.Text;
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const unsigned char byte = ByteAt(text, Offset);
    const bool last = Offset + 1 == text.size();
    if (IsDBCSLeadByte(byte)) {
        if (!last) {
            const TSearchChar twoByte = TwoByteChar(byte, ByteAt(text, Offset + 1));
            return {matchCase ? twoByte : FoldTwoByteCase(twoByte), 2};
        }
        if (Window.MoreAfter)
            return {0, 0};
    }
    const unsigned char single = matchCase ? byte : UpperCaseByte(byte);
    if ((FOptions & soIgnoreWidth) == 0)
        return {single, 1};
    if (IsCombiningKana(byte)) {
        if (!last) {
            if (const TSearchChar voiced = VoicedKana(byte, ByteAt(text, Offset + 1)))
                return {voiced, 2};
        } else if (Window.MoreAfter) {
            return {0, 0};
        }
    }
    return {FullWidthForm(single), 1};
}

// Line breaks and blanks the options let a hit pass over, or 0.
std::size_t TTextMatcher::SkippableBytes(std::string_view Text, std::size_t Offset) const
{
    const unsigned char byte = ByteAt(Text, Offset);
    if ((FOptions & soAcrossLines) != 0 && (byte == '\r' || byte == '\n'))
        return 1;
    if ((FOptions & soIgnoreSpaces) != 0) {
        if (byte == ' ' || byte == '\t')
            return 1;
        if (byte == FullWidthSpaceLead && Offset + 1 < Text.size() && ByteAt(Text, Offset + 1) == FullWidthSpaceTrail)
            return 2;
    }
    return 0;
}

TTextMatcher::TTry TTextMatcher::TryAt(const TSearchWindow& Window, std::size_t Start, std::size_t& End) const
{
    const std::string_view text = Window.Text;
    std::size_t offset = Start;
    for (std::size_t matched = 0; matched < FPattern.size();) {
        if (offset >= text.size())
            return Window.MoreAfter ? TTry::NeedMore : TTry::Miss;
        const TTextChar textChar = ReadTextChar(Window, offset);
        if (textChar.Bytes == 0)
            return TTry::NeedMore;
        if (textChar.Code == FPattern[matched]) {
            offset += textChar.Bytes;
            ++matched;
            continue;
        }
        // Skipping starts only inside a hit, so that a hit never begins with a skipped byte.
        const std::size_t skipped = matched > 0 ? SkippableBytes(text, offset) : 0;
        if (skipped == 0)
            return TTry::Miss;
        offset += skipped;
    }
    End = offset;
    return TTry::Hit;
}

// A word starts with a character that is not a delimiter right after one that is. The
// character before is judged as a whole: a trail byte that happens to be a delimiter byte
// does not end a word.
bool TTextMatcher::IsWordStart(const TSearchWindow& Window, std::size_t Start, std::size_t PrevStart) const
{
    if (IsSearchDelimiter(ByteAt(Window.Text, Start)))
        return false;
    return Start == 0 ? Window.DelimiterBefore : IsSearchDelimiter(ByteAt(Window.Text, PrevStart));
}

std::size_t TTextMatcher::MinHitBytes() const
{
    // Ignoring width, one text byte may stand for a two-byte pattern character.
    return (FOptions & soIgnoreWidth) != 0 ? FPattern.size() : FPatternBytes;
}

std::optional<std::size_t> TTextMatcher::LastStart(const TSearchWindow& Window, std::size_t Limit) const
{
    const std::size_t size = Window.Text.size();
    if (FPattern.empty() || size == 0)
        return std::nullopt;
    if (Window.MoreAfter)
        return std::min(Limit, size - 1);
    if (size < MinHitBytes())
        return std::nullopt;
    return std::min(Limit, size - MinHitBytes());
}

// A try at Start, with the whole-word rule that the hit is followed by a delimiter.
TScanResult TTextMatcher::TryStart(const TSearchWindow& Window, std::size_t Start) const
{
    std::size_t end = 0;
    const TTry result = TryAt(Window, Start, end);
    if (result == TTry::Miss)
        return {};
    const TScanResult found{TScanOutcome::Found, Start, end - Start};
    const TScanResult needMore{TScanOutcome::NeedMore, Start, 0};
    if (result == TTry::NeedMore)
        return needMore;
    if ((FOptions & soWholeWord) == 0)
        return found;
    if (end == Window.Text.size())
        return Window.MoreAfter ? needMore : found;
    return IsSearchDelimiter(ByteAt(Window.Text, end)) ? found : TScanResult{};
}

// Walks the character starts from the window's start, where boundaries are known, and tries
// those from From to Last that pass the cheap tests, in ascending order, until OnTry returns
// true for a result.
template <typename OnTry>
void TTextMatcher::ForEachTry(const TSearchWindow& Window, std::size_t From, std::size_t Last, OnTry&& onTry) const
{
    // The hot loop of every search: a table step per character, a table test per start.
    const auto* bytes = reinterpret_cast<const unsigned char*>(Window.Text.data());
    const bool wholeWord = (FOptions & soWholeWord) != 0;
    std::size_t prevStart = 0;
    for (std::size_t start = 0; start <= Last; prevStart = start, start += CharStep[bytes[start]]) {
        if (FFirstBytes[bytes[start]] && start >= From && (!wholeWord || IsWordStart(Window, start, prevStart))
            && onTry(TryStart(Window, start)))
            return;
    }
}

TScanResult TTextMatcher::ScanForward(const TSearchWindow& Window, std::size_t From, std::size_t Last) const
{
    const std::optional<std::size_t> last = LastStart(Window, Last);
    TScanResult first;
    if (last)
        ForEachTry(Window, From, *last, [&](const TScanResult& result) {
            first = result;
            return result.Outcome != TScanOutcome::NotFound;
        });
    return first;
}

// Walking backwards would need the character boundaries first; walking forwards to From and
// keeping the last decided try costs no more and gives the same answer.
TScanResult TTextMatcher::ScanBackward(const TSearchWindow& Window, std::size_t From) const
{
    const std::optional<std::size_t> last = LastStart(Window, From);
    TScanResult nearest;
    if (last)
        ForEachTry(Window, 0, *last, [&](const TScanResult& result) {
            if (result.Outcome != TScanOutcome::NotFound)
                nearest = result;
            return false;
        });
    return nearest;
}

// One character back from Offset. A voicing mark after a kana it combines with goes back
// together with the kana, since the two are read as one character.
std::size_t TTextMatcher::StepBackChar(std::string_view Text, const std::vector<bool>& Starts, std::size_t Offset) const
{
    std::size_t previous = Offset - 1;
    if (!Starts[previous])
        --previous;
    if ((FOptions & soIgnoreWidth) != 0 && previous > 0 && Starts[previous - 1]
        && VoicedKana(ByteAt(Text, previous - 1), ByteAt(Text, previous)) != 0)
        --previous;
    return previous;
}

std::optional<std::size_t> TTextMatcher::BackwardFrom(const TSearchWindow& Window, std::size_t Position) const
{
    Position = std::min(Position, Window.Text.size());
    if ((FOptions & soIgnoreWidth) == 0) {
        if (Position < FPatternBytes)
            return std::nullopt;
        return Position - FPatternBytes;
    }
    // Ignoring width, the pattern's characters stand for text characters of one or two bytes.
    const std::vector<bool> starts = CharStarts(Window.Text);
    std::size_t offset = Position;
    for (std::size_t count = 0; count < FPattern.size(); ++count) {
        if (offset == 0)
            return std::nullopt;
        offset = StepBackChar(Window.Text, starts, offset);
    }
    return offset;
}

} // namespace kestrim
