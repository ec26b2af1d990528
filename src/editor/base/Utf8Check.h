#pragma once
// Whether a stream of bytes, handed over a block at a time, is valid UTF-8 (as Utf8.h defines
// it: shortest forms up to U+10FFFF, no surrogates), a character split between two blocks
// included, and whether it holds anything beyond ASCII. Deciding how to open a file of
// hundreds of megabytes rests on this, so it must cost little beside reading the file: every
// byte goes through a table-driven automaton whose step is one shift, without a branch.

#include <cstdint>
#include <string_view>

namespace kestrim {

class TUtf8Check {
public:
    void Feed(std::string_view Bytes);
    // Valid so far; a character cut short at the end counts as valid only until Complete.
    bool Valid() const { return FState != Invalid; }
    // Valid, with no character cut short at the end.
    bool Complete() const { return FState == Between; }
    bool BeyondAscii() const { return FBeyondAscii; }

    // The automaton's states, each a bit offset into a row of its transition table.
    static constexpr unsigned Between = 0;
    static constexpr unsigned Invalid = 6;

private:
    unsigned FState = Between;
    bool FBeyondAscii = false;
};

} // namespace kestrim
