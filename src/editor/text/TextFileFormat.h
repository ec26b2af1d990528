#pragma once
// How the bytes of a text file stand for a page's text: the encoding, a byte-order mark and how
// the lines end. A file is written back the way it was read, so that saving a text gives the
// bytes it was read from, and a shell script with LF ends still runs after it was saved.

#include "editor/base/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

class TUtf8Check;

enum class TLineEnd : std::uint8_t { CrLf, Lf, Cr };

// "CR LF", "LF" or "CR".
std::string_view LineEndName(TLineEnd End);

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

struct TTextFileFormat {
    TTextEncoding Encoding = TTextEncoding::ShiftJis;
    bool ByteOrderMark = false; // written before UTF-8 text
    // How lines end: all of them, or for a file whose lines end in several ways the most
    // frequent way, and each line's own in LineEnds.
    TLineEnd LineEnd = TLineEnd::CrLf;
    std::vector<TLineEnd> LineEnds;
    // Ctrl+Z bytes after the text: no text for the editor, but kept at the file's end.
    std::size_t EofMarks = 0;

    bool MixedLineEnds() const { return !LineEnds.empty(); }
    bool operator==(const TTextFileFormat&) const = default;
};

// The format of a page that has no file yet: CR LF for Shift-JIS text, LF for UTF-8.
TTextFileFormat NewFileFormat(TTextEncoding Encoding);

// The encoding in which a file is opened, from what its bytes show: UTF-8 after a byte-order
// mark, or when they are valid UTF-8 with characters beyond ASCII; pure ASCII in Default;
// anything else (binary, mixed encodings) Shift-JIS, which keeps every byte as it is.
TTextEncoding EncodingOfBytes(bool ByteOrderMark, const TUtf8Check& Check, TTextEncoding Default);

// The bytes of a file in Format for Text, a text of the lines facade (CR LF after every line
// that ends, no other CR or LF). For a mixed file each line ends as LineEnds says, as far as it
// reaches; the byte-order mark is written only before UTF-8 text.
std::string FileBytesOf(std::string Text, const TTextFileFormat& Format);

} // namespace kestrim
