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
    TTextMatcher(std::string_view Pattern, TSearchOptions Options);

    bool Forward() const { return (FOptions & soDown) != 0; }
    // The prepared pattern's length in bytes.
    std::size_t PatternBytes() const { return FPatternBytes; }

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

    void Prepare(std::string_view Pattern);
    void PrepareFirstBytes();
    bool CouldStartHit(unsigned char Byte) const;
    TSearchChar PatternChar(std::string_view Pattern, std::size_t& Offset) const;
    TTextChar ReadTextChar(const TSearchWindow& Window, std::size_t Offset) const;
    std::size_t SkippableBytes(std::string_view Text, std::size_t Offset) const;
    TTry TryAt(const TSearchWindow& Window, std::size_t Start, std::size_t& End) const;
    TScanResult TryStart(const TSearchWindow& Window, std::size_t Start) const;
    template <typename OnTry>
    void ForEachTry(const TSearchWindow& Window, std::size_t From, std::size_t Last, OnTry&& onTry) const;
    // The last start a try may use: at most Limit, inside the text and, when nothing follows
    // the window, leaving room for the shortest hit. None when no hit fits.
    std::optional<std::size_t> LastStart(const TSearchWindow& Window, std::size_t Limit) const;
    bool IsWordStart(const TSearchWindow& Window, std::size_t Start, std::size_t PrevStart) const;
    // The fewest text bytes a hit takes.
    std::size_t MinHitBytes() const;
    std::size_t StepBackChar(std::string_view Text, const std::vector<bool>& Starts, std::size_t Offset) const;

    TSearchOptions FOptions;
    std::vector<TSearchChar> FPattern;
    std::size_t FPatternBytes = 0;
    // Which first bytes of a text character may match the pattern's first character: a cheap
    // test that rules out most starts before a try.
    std::array<bool, 256> FFirstBytes{};
};

} // namespace kestrim
