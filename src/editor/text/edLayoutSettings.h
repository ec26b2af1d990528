#pragma once
// How the editor lays the bytes of a row out in display columns: the text's encoding, which
// characters separate words and how far a tab reaches. The screen strings own one and the editor
// control reads it, so that wrapping, caret movement and word selection all see the same columns.

#include "editor/base/TextEncoding.h"

#include <bitset>

namespace kestrim {

class TEditorLayoutSettings {
public:
    explicit TEditorLayoutSettings(TTextEncoding Encoding = TTextEncoding::ShiftJis);

    // The encoding of the text laid out: the store's, set only by the store when its text is
    // made or loaded.
    TTextEncoding Encoding() const { return FEncoding; }

    // Whether a single-byte character separates words. Letters, digits, the underscore and the
    // half-width katakana are word characters; the set is fixed.
    bool IsDelimiter(char Byte) const { return FDelimiters[static_cast<unsigned char>(Byte)]; }

    // Columns between tab stops (8 by default). The editor's caret options keep it in their own
    // range; here it is only kept at 1 or more, so that a tab stop always exists.
    int TabSpaceCount() const { return FTabSpaceCount; }
    void SetTabSpaceCount(int Value);

private:
    friend class TEditorScreenStrings;
    void SetEncoding(TTextEncoding Value) { FEncoding = Value; }

    TTextEncoding FEncoding;
    std::bitset<256> FDelimiters;
    int FTabSpaceCount = 8;
};

} // namespace kestrim
