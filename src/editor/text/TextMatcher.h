#pragma once
// TTextMatcher: a search pattern prepared for its options, and the scan of a stretch of text
// for it. SearchText scans one whole text; the editor's row search scans its rows a block at
// a time and hands over the text around the block through TSearchWindow.

#include "editor/text/SearchTables.h"
#include "editor/text/TextSearch.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrim {

// A stretch of text to search. Text must start on a character boundary.
struct TSearchWindow {
    std::string_view Text;
    // Whatever precedes Text ends with a delimiter, or nothing precedes it.
    bool DelimiterBefore = true;
    // The text goes on after Text: a try that needs to look past the end cannot be decided.
    bool MoreAfter = false;
};

enum class TScanOutcome { Found, NotFound, NeedMore };

// Found: the hit's Position and Length in the window. NeedMore: Position is the start that
// could not be decided without the text after the window; every start the scan would have
// preferred to it failed for good.
struct TScanResult {
    TScanOutcome Outcome = TScanOutcome::NotFound;
    std::size_t Position = 0;
    std::size_t Length = 0;
};

class TTextMatcher {
public:
    // Pattern is in the text's Encoding.
    TTextMatcher(std::string_view Pattern, TSearchOptions Options, TTextEncoding Encoding);

    bool Forward() const { return (FOptions & soDown) != 0; }
    TTextEncoding Encoding() const { return FEncoding; }
    // The most bytes BackwardFrom may step back over.
    std::size_t StepBackBytes() const;

    // Tries the character starts From <= T <= Last in ascending order.
    TScanResult ScanForward(const TSearchWindow& Window, std::size_t From, std::size_t Last) const;
    // The hit with the highest character start T <= From.
    TScanResult ScanBackward(const TSearchWindow& Window, std::size_t From) const;
    // The highest start a backward search from Position may try: far enough back that the
    // pattern fits before Position. None when the pattern does not fit.
    std::optional<std::size_t> BackwardFrom(const TSearchWindow& Window, std::size_t Position) const;

private:
    enum class TTry { Hit, Miss, NeedMore };

    // A text character as the options compare it; Bytes 0 when it reaches past the window.
    struct TTextChar {
        TSearchChar Code;
        std::size_t Bytes;
    };
    // How a text character compares with the pattern from one of its characters on: its bytes
    // and the pattern characters it matched (a UTF-8 character's code points may match several).
    struct TCharMatch {
        TTry Outcome = TTry::Miss;
        std::size_t Bytes = 0;
        std::size_t Matched = 0;
    };

    void Prepare(std::string_view Pattern);
    void PrepareFirstBytes();
    void PrepareUtf8(std::string_view Pattern);
    void PrepareUtf8FirstBytes();
    void MarkUtf8FirstByte(char32_t Code);
    bool CouldStartHit(unsigned char Byte) const;
    TSearchChar PatternChar(std::string_view Pattern, std::size_t& Offset) const;
    TTextChar ReadTextChar(const TSearchWindow& Window, std::size_t Offset) const;
    std::size_t SkippableBytes(std::string_view Text, std::size_t Offset) const;
    TTry TryAt(const TSearchWindow& Window, std::size_t Start, std::size_t& End) const;
    TCharMatch MatchSjisChar(const TSearchWindow& Window, std::size_t Offset, std::size_t Matched) const;
    TCharMatch MatchUtf8Char(const TSearchWindow& Window, std::size_t Offset, std::size_t Matched) const;
    std::size_t SkippableUtf8Bytes(std::string_view Text, std::size_t Offset) const;
    bool IsDelimiterAt(std::string_view Text, std::size_t Offset) const;
    TScanResult TryStart(const TSearchWindow& Window, std::size_t Start) const;
    template <typename OnTry>
    void ForEachTry(const TSearchWindow& Window, std::size_t From, std::size_t Last, OnTry&& onTry) const;
    template <typename Step, typename OnTry>
    void WalkStarts(const TSearchWindow& Window, std::size_t From, std::size_t Last, Step&& step, OnTry&& onTry) const;
    template <typename OnTry>
    void ScanUtf8Candidates(const TSearchWindow& Window, std::size_t From, std::size_t Last, OnTry&& onTry) const;
    // The last start a try may use: at most Limit, inside the text and, when nothing follows
    // the window, leaving room for the shortest hit. None when no hit fits.
    std::optional<std::size_t> LastStart(const TSearchWindow& Window, std::size_t Limit) const;
    bool IsWordStart(const TSearchWindow& Window, std::size_t Start, std::size_t PrevStart) const;
    // The fewest text bytes a hit takes.
    std::size_t MinHitBytes() const;
    std::size_t StepBackChar(std::string_view Text, const std::vector<bool>& Starts, std::size_t Offset) const;
    std::optional<std::size_t> BackwardFromUtf8(const TSearchWindow& Window, std::size_t Position) const;
    // What the UTF-8 character from Start to End counts in a step back: pattern characters
    // when width is ignored, else pattern bytes of its Shift-JIS form.
    std::size_t StepBackWeight(std::string_view Text, std::size_t Start, std::size_t End) const;

    TSearchOptions FOptions;
    TTextEncoding FEncoding;
    std::vector<TSearchChar> FPattern;
    std::size_t FPatternBytes = 0;
    // Which first bytes of a text character may match the pattern's first character: a cheap
    // test that rules out most starts before a try.
    std::array<bool, 256> FFirstBytes{};
    // In UTF-8, whether every byte FFirstBytes lets through starts a character wherever it
    // stands (it starts a code point that is no mark), so that a search need not walk the
    // characters up to it.
    bool FFirstBytesStartCharacters = true;
};

} // namespace kestrim
