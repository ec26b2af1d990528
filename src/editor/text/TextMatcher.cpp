#include "editor/text/TextMatcher.h"

#include "editor/base/CodePage.h"
#include "editor/base/UnicodeProperties.h"
#include "editor/base/Utf8.h"
#include "editor/base/edUtils.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unicode/uniset.h>

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


const char FullWidthSpaceUtf8[] = "\xE3\x80\x80";

// The byte of a one-byte Shift-JIS character that a code point is, or 0x100.
unsigned OneByteSjis(const TCodePoint& Point)
{
    const std::uint16_t code = Point.Valid ? SjisCodeOf(Point.Code) : NoSjisCode;
    return code <= 0xFF ? code : 0x100;
}

// The UTF-8 character from Kana to Mark as the full-width voiced kana it stands for when it is
// a half-width kana alone and the character from Mark to End a voicing mark alone, else 0.
TSearchChar Utf8VoicedKana(std::string_view Text, std::size_t Kana, std::size_t Mark, std::size_t End)
{
    const TCodePoint kana = DecodeUtf8(Text, Kana);
    const TCodePoint mark = DecodeUtf8(Text, Mark);
    if (Kana + kana.Bytes != Mark || Mark + mark.Bytes != End)
        return 0;
    const unsigned kanaByte = OneByteSjis(kana), markByte = OneByteSjis(mark);
    if (kanaByte > 0xFF || markByte > 0xFF)
        return 0;
    return VoicedKana(static_cast<unsigned char>(kanaByte), static_cast<unsigned char>(markByte));
}

// The code point of a Shift-JIS character, when it has one.
std::optional<char32_t> SjisCodePoint(TSearchChar Code)
{
    const char bytes[2] = {static_cast<char>(IsTwoByteChar(Code) ? Code >> 8 : Code), static_cast<char>(Code & 0xFF)};
    char16_t unit[2];
    if (SjisToUtf16(std::string_view(bytes, IsTwoByteChar(Code) ? 2 : 1), unit) != 1 || IsRawByteUnit(unit[0])
        || (unit[0] >= 0xD800 && unit[0] <= 0xDFFF))
        return std::nullopt;
    return unit[0];
}

} // namespace

TTextMatcher::TTextMatcher(std::string_view Pattern, TSearchOptions Options, TTextEncoding Encoding)
    : FOptions(Options), FEncoding(Encoding)
{
    if (Encoding == TTextEncoding::Utf8) {
        PrepareUtf8(Pattern);
        PrepareUtf8FirstBytes();
    } else {
        Prepare(Pattern);
        PrepareFirstBytes();
    }
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

// A UTF-8 pattern becomes the characters of its Shift-JIS twin: one per code point, and a
// half-width kana with the voicing mark after it one when width is ignored.
void TTextMatcher::PrepareUtf8(std::string_view Pattern)
{
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const bool ignoreWidth = (FOptions & soIgnoreWidth) != 0;
    for (std::size_t offset = 0; offset < Pattern.size();) {
        const TCodePoint point = DecodeUtf8(Pattern, offset);
        TSearchChar patternChar = Utf8SearchChar(point, matchCase, ignoreWidth);
        std::size_t bytes = point.Bytes;
        if (ignoreWidth && offset + bytes < Pattern.size()) {
            const std::size_t mark = offset + bytes;
            const std::size_t markEnd = mark + DecodeUtf8(Pattern, mark).Bytes;
            if (const TSearchChar voiced = Utf8VoicedKana(Pattern, offset, mark, markEnd)) {
                patternChar = voiced;
                bytes = markEnd - offset;
            }
        }
        FPattern.push_back(patternChar);
        FPatternBytes += IsTwoByteChar(patternChar) ? 2 : 1;
        offset += bytes;
    }
}

void TTextMatcher::MarkUtf8FirstByte(char32_t Code)
{
    std::string bytes;
    AppendUtf8(bytes, Code);
    FFirstBytes[static_cast<unsigned char>(bytes[0])] = true;
    if (IsZeroWidthCodePoint(Code))
        FFirstBytesStartCharacters = false;
}

// The first bytes of the code points that read as the pattern's first character: found among
// the Shift-JIS characters that do (a voiced kana's half-width kana among them) and, unless
// matching case, their case variants; an invalid byte only matches itself.
void TTextMatcher::PrepareUtf8FirstBytes()
{
    if (FPattern.empty())
        return;
    const TSearchChar first = FPattern.front();
    if (first >= InvalidUtf8) {
        FFirstBytes[first - InvalidUtf8] = true;
        FFirstBytesStartCharacters = false; // a continuation byte may belong to a character
        return;
    }
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const bool ignoreWidth = (FOptions & soIgnoreWidth) != 0;
    icu::UnicodeSet candidates;
    const auto addSjis = [&](TSearchChar Code) {
        const std::optional<char32_t> point = SjisCodePoint(Code);
        if (!point)
            return;
        if (SjisSearchChar(Code, matchCase, ignoreWidth) == first)
            candidates.add(static_cast<UChar32>(*point));
        if (ignoreWidth && !IsTwoByteChar(Code)
            && (VoicedKana(static_cast<unsigned char>(Code), VoicedMark) == first
                || VoicedKana(static_cast<unsigned char>(Code), SemiVoicedMark) == first))
            MarkUtf8FirstByte(*point);
    };
    if (first >= BeyondSjis) {
        candidates.add(static_cast<UChar32>(first - BeyondSjis));
    } else {
        for (TSearchChar byte = 0; byte <= 0xFF; ++byte)
            if (!IsDBCSLeadByte(static_cast<unsigned char>(byte)))
                addSjis(byte);
        if (IsTwoByteChar(first))
            for (const TSearchChar lead : {first >> 8, UnfoldTwoByteCase(first) >> 8})
                for (TSearchChar trail = 0x40; trail <= 0xFC; ++trail)
                    addSjis(lead << 8 | trail);
    }
    if (!matchCase)
        candidates.closeOver(USET_CASE_INSENSITIVE);
    for (int32_t range = 0; range < candidates.getRangeCount(); ++range)
        for (UChar32 code = candidates.getRangeStart(range); code <= candidates.getRangeEnd(range); ++code) {
            const auto point = static_cast<char32_t>(code);
            if (Utf8SearchChar(TCodePoint{point}, matchCase, ignoreWidth) == first)
                MarkUtf8FirstByte(point);
        }
}

TSearchChar TTextMatcher::PatternChar(std::string_view Pattern, std::size_t& Offset) const
{
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const bool ignoreWidth = (FOptions & soIgnoreWidth) != 0;
    const unsigned char byte = ByteAt(Pattern, Offset);
    if (CharByteCount(Pattern, Offset) == 2) {
        const TSearchChar twoByte = TwoByteChar(byte, ByteAt(Pattern, Offset + 1));
        Offset += 2;
        return SjisSearchChar(twoByte, matchCase, false);
    }
    ++Offset;
    if (ignoreWidth && Offset < Pattern.size()) {
        if (const TSearchChar voiced = VoicedKana(byte, ByteAt(Pattern, Offset))) {
            ++Offset;
            return voiced;
        }
    }
    return SjisSearchChar(byte, matchCase, ignoreWidth);
}

TTextMatcher::TTextChar TTextMatcher::ReadTextChar(const TSearchWindow& Window, std::size_t Offset) const
{
    const std::string_view text = Window.Text;
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const bool ignoreWidth = (FOptions & soIgnoreWidth) != 0;
    const unsigned char byte = ByteAt(text, Offset);
    const bool last = Offset + 1 == text.size();
    if (IsDBCSLeadByte(byte)) {
        if (!last)
            return {SjisSearchChar(TwoByteChar(byte, ByteAt(text, Offset + 1)), matchCase, false), 2};
        if (Window.MoreAfter)
            return {0, 0};
    }
    if (ignoreWidth && IsCombiningKana(byte)) {
        if (!last) {
            if (const TSearchChar voiced = VoicedKana(byte, ByteAt(text, Offset + 1)))
                return {voiced, 2};
        } else if (Window.MoreAfter) {
            return {0, 0};
        }
    }
    return {SjisSearchChar(byte, matchCase, ignoreWidth), 1};
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

// Line breaks and blanks the options let a hit pass over in UTF-8 text, or 0: only when they
// are characters of their own, without marks.
std::size_t TTextMatcher::SkippableUtf8Bytes(std::string_view Text, std::size_t Offset) const
{
    const unsigned char byte = ByteAt(Text, Offset);
    if ((FOptions & soAcrossLines) != 0 && (byte == '\r' || byte == '\n'))
        return 1;
    if ((FOptions & soIgnoreSpaces) == 0)
        return 0;
    const std::size_t bytes = Utf8CharAt(Text, Offset).Bytes;
    if ((byte == ' ' || byte == '\t') && bytes == 1)
        return 1;
    return Text.substr(Offset, bytes) == FullWidthSpaceUtf8 ? bytes : 0;
}

// Matches the UTF-8 character at Offset with the pattern from its character Matched on: each
// of its code points in turn, so that a hit never ends between a character and its marks; a
// half-width kana and the voicing mark after it count as one when width is ignored.
TTextMatcher::TCharMatch TTextMatcher::MatchUtf8Char(const TSearchWindow& Window, std::size_t Offset,
                                                     std::size_t Matched) const
{
    const std::string_view text = Window.Text;
    const std::size_t end = Offset + Utf8CharAt(text, Offset).Bytes;
    const bool matchCase = (FOptions & soMatchCase) != 0;
    const bool ignoreWidth = (FOptions & soIgnoreWidth) != 0;
    if (ignoreWidth && end == text.size()) {
        if (Window.MoreAfter && IsCombiningKana(static_cast<unsigned char>(OneByteSjis(DecodeUtf8(text, Offset)))))
            return {TTry::NeedMore};
    } else if (ignoreWidth) {
        const std::size_t markEnd = end + Utf8CharAt(text, end).Bytes;
        if (const TSearchChar voiced = Utf8VoicedKana(text, Offset, end, markEnd))
            return voiced == FPattern[Matched] ? TCharMatch{TTry::Hit, markEnd - Offset, 1} : TCharMatch{};
    }
    std::size_t matched = Matched;
    for (std::size_t offset = Offset; offset < end; ++matched) {
        const TCodePoint point = DecodeUtf8(text, offset);
        if (matched == FPattern.size() || Utf8SearchChar(point, matchCase, ignoreWidth) != FPattern[matched])
            return {};
        offset += point.Bytes;
    }
    return {TTry::Hit, end - Offset, matched - Matched};
}

TTextMatcher::TCharMatch TTextMatcher::MatchSjisChar(const TSearchWindow& Window, std::size_t Offset,
                                                     std::size_t Matched) const
{
    const TTextChar textChar = ReadTextChar(Window, Offset);
    if (textChar.Bytes == 0)
        return {TTry::NeedMore};
    return textChar.Code == FPattern[Matched] ? TCharMatch{TTry::Hit, textChar.Bytes, 1} : TCharMatch{};
}

TTextMatcher::TTry TTextMatcher::TryAt(const TSearchWindow& Window, std::size_t Start, std::size_t& End) const
{
    const std::string_view text = Window.Text;
    const bool utf8 = FEncoding == TTextEncoding::Utf8;
    std::size_t offset = Start;
    for (std::size_t matched = 0; matched < FPattern.size();) {
        if (offset >= text.size())
            return Window.MoreAfter ? TTry::NeedMore : TTry::Miss;
        const TCharMatch match = utf8 ? MatchUtf8Char(Window, offset, matched) : MatchSjisChar(Window, offset, matched);
        if (match.Outcome == TTry::NeedMore)
            return TTry::NeedMore;
        if (match.Outcome == TTry::Hit) {
            offset += match.Bytes;
            matched += match.Matched;
            continue;
        }
        // Skipping starts only inside a hit, so that a hit never begins with a skipped byte.
        const std::size_t skipped =
            matched == 0 ? 0 : utf8 ? SkippableUtf8Bytes(text, offset) : SkippableBytes(text, offset);
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
    if (IsDelimiterAt(Window.Text, Start))
        return false;
    return Start == 0 ? Window.DelimiterBefore : IsDelimiterAt(Window.Text, PrevStart);
}

bool TTextMatcher::IsDelimiterAt(std::string_view Text, std::size_t Offset) const
{
    return IsSearchDelimiterAt(FEncoding, Text, Offset);
}

std::size_t TTextMatcher::MinHitBytes() const
{
    // Ignoring width, one text byte may stand for a two-byte pattern character; in UTF-8 every
    // pattern character takes at least one byte.
    return (FOptions & soIgnoreWidth) != 0 || FEncoding == TTextEncoding::Utf8 ? FPattern.size() : FPatternBytes;
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
    return IsDelimiterAt(Window.Text, end) ? found : TScanResult{};
}

// Walks the character starts from the window's start, where boundaries are known, and tries
// those from From to Last that pass the cheap tests, in ascending order, until OnTry returns
// true for a result.
template <typename OnTry>
void TTextMatcher::ForEachTry(const TSearchWindow& Window, std::size_t From, std::size_t Last, OnTry&& onTry) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(Window.Text.data());
    if (FEncoding == TTextEncoding::ShiftJis) {
        WalkStarts(Window, From, Last, [bytes](std::size_t Start) { return CharStep[bytes[Start]]; }, onTry);
        return;
    }
    if (FFirstBytesStartCharacters && (FOptions & soWholeWord) == 0)
        return ScanUtf8Candidates(Window, From, Last, onTry);
    const std::string_view text = Window.Text;
    const TUtf8Stepper stepper;
    WalkStarts(Window, From, Last, [&stepper, text](std::size_t Start) { return stepper.Step(text, Start); }, onTry);
}

// An ASCII byte or a lead byte always starts a code point, and one that is no mark starts a
// character unless a zero-width joiner right before it joins it to the one before: so the
// candidates are found byte by byte, without walking the characters in between.
template <typename OnTry>
void TTextMatcher::ScanUtf8Candidates(const TSearchWindow& Window, std::size_t From, std::size_t Last,
                                      OnTry&& onTry) const
{
    const std::string_view text = Window.Text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const auto afterJoiner = [&](std::size_t Start) {
        return Start >= 3 && bytes[Start - 3] == 0xE2 && bytes[Start - 2] == 0x80 && bytes[Start - 1] == 0x8D
               && bytes[Start] >= 0x20 && bytes[Start] != 0x7F;
    };
    for (std::size_t start = From; start <= Last; ++start)
        if (FFirstBytes[bytes[start]] && !afterJoiner(start) && onTry(TryStart(Window, start)))
            return;
}

// The hot loop of every search: a step per character, a table test per start.
template <typename Step, typename OnTry>
void TTextMatcher::WalkStarts(const TSearchWindow& Window, std::size_t From, std::size_t Last, Step&& step,
                              OnTry&& onTry) const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(Window.Text.data());
    const bool wholeWord = (FOptions & soWholeWord) != 0;
    std::size_t prevStart = 0;
    for (std::size_t start = 0; start <= Last; prevStart = start, start += step(start)) {
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

std::size_t TTextMatcher::StepBackBytes() const
{
    if (FEncoding == TTextEncoding::ShiftJis)
        return 2 * FPatternBytes + 2;
    // Every character counts at least one; a voiced kana takes two characters.
    return 2 * MaxCharBytes * std::max(FPatternBytes, FPattern.size()) + 2;
}

std::size_t TTextMatcher::StepBackWeight(std::string_view Text, std::size_t Start, std::size_t End) const
{
    std::size_t weight = 0;
    for (std::size_t offset = Start; offset < End;) {
        const TCodePoint point = DecodeUtf8(Text, offset);
        weight += (FOptions & soIgnoreWidth) != 0 || !IsTwoByteChar(Utf8RawChar(point)) ? 1 : 2;
        offset += point.Bytes;
    }
    return weight;
}

// As for Shift-JIS, counted in what the Shift-JIS twin of the text would count: the highest
// character start from which the characters up to Position weigh as much as the pattern.
std::optional<std::size_t> TTextMatcher::BackwardFromUtf8(const TSearchWindow& Window, std::size_t Position) const
{
    const std::string_view text = Window.Text;
    std::vector<std::size_t> bounds;
    std::size_t offset = 0;
    for (; offset < Position; offset += Utf8CharAt(text, offset).Bytes)
        bounds.push_back(offset);
    bounds.push_back(offset);
    const bool ignoreWidth = (FOptions & soIgnoreWidth) != 0;
    const std::size_t needed = ignoreWidth ? FPattern.size() : FPatternBytes;
    std::size_t weight = 0;
    for (std::size_t index = bounds.size() - 1; index > 0;) {
        --index;
        if (ignoreWidth && index > 0 && Utf8VoicedKana(text, bounds[index - 1], bounds[index], bounds[index + 1]) != 0) {
            --index;
            ++weight;
        } else {
            weight += StepBackWeight(text, bounds[index], bounds[index + 1]);
        }
        if (weight >= needed)
            return bounds[index];
    }
    return std::nullopt;
}

std::optional<std::size_t> TTextMatcher::BackwardFrom(const TSearchWindow& Window, std::size_t Position) const
{
    Position = std::min(Position, Window.Text.size());
    if (FEncoding == TTextEncoding::Utf8)
        return BackwardFromUtf8(Window, Position);
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
