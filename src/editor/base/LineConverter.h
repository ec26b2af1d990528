#pragma once
// TLineConverter: text that arrives in blocks (a program's output) converted from one encoding
// into another as it comes. Only whole lines are converted, so that no character is cut at a
// block's end: the unfinished last line waits for its line break or for the end. In one
// encoding the bytes pass as they come.

#include "editor/base/TextConversion.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrim {

class TLineConverter {
public:
    TLineConverter(TTextEncoding From, TTextEncoding To) : FFrom(From), FTo(To) {}

    // Appends to Out what Bytes makes ready: the lines it completes, converted.
    void Convert(std::string_view Bytes, std::string& Out);
    // Appends the unfinished last line, converted; the text ends there.
    void Finish(std::string& Out);

    // What the conversion lost so far: how many characters, and where the first stood in the
    // whole text written (its line and character).
    std::size_t LossCount() const { return FLossCount; }
    TTextPlace FirstLoss() const { return FFirstLoss; }

private:
    void ConvertLines(std::string_view Lines, std::string& Out);

    TTextEncoding FFrom;
    TTextEncoding FTo;
    std::string FHeld; // the unfinished last line, as written
    std::size_t FLossCount = 0;
    TTextPlace FFirstLoss;
    int FLinesBefore = 0; // line breaks converted before the first loss, counted until it
};

} // namespace kestrim
