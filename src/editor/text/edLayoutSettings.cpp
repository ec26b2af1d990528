#include "editor/text/edLayoutSettings.h"

#include <algorithm>

namespace kestrim {

TEditorLayoutSettings::TEditorLayoutSettings(TTextEncoding Encoding) : FEncoding(Encoding)
{
    const auto addRange = [this](unsigned first, unsigned last) {
        for (unsigned byte = first; byte <= last; ++byte)
            FDelimiters.set(byte);
    };
    addRange(0x00, 0x2F); // controls, blank, punctuation and signs up to "/"
    addRange(0x3A, 0x40); // ":" to "@"
    addRange(0x5B, 0x5E); // "[" to "^"
    addRange(0x60, 0x60); // "`"
    addRange(0x7B, 0x80); // "{" to DEL and 0x80
    addRange(0xA0, 0xA5); // half-width punctuation
    addRange(0xFD, 0xFF);
}

void TEditorLayoutSettings::SetTabSpaceCount(int Value)
{
    FTabSpaceCount = std::max(Value, 1);
}

} // namespace kestrim
