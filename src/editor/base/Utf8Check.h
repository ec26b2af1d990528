#pragma once
// Whether a stream of bytes, handed over a block at a time, is valid UTF-8 (as Utf8.h defines
// it: shortest forms up to U+10FFFF, no surrogates), a character split between two blocks
// included, and whether it holds anything beyond ASCII. Deciding how to open a file of
// hundreds of megabytes rests on this, so runs of ASCII are passed eight bytes at a time and
// the check stops at the first invalid byte.

#include <cstdint>
#include <string_view>

namespace kestrim {

class TUtf8Check {
public:
    void Feed(std::string_view Bytes);
    // Valid so far; a character cut short at the end counts as valid only until Complete.
    bool Valid() const { return FValid; }
    // Valid, with no character cut short at the end.
    bool Complete() const { return FValid && FPending == 0; }
    bool BeyondAscii() const { return FBeyondAscii; }

private:
    void Take(unsigned char Byte);

    bool FValid = true;
    bool FBeyondAscii = false;
    int FPending = 0; // continuation bytes still to come
    unsigned char FLow = 0x80;
    unsigned char FHigh = 0xBF;
};

} // namespace kestrim
