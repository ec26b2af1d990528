#pragma once
// The encodings in which the script and data pages read and write their files. The editors hold
// Shift-JIS bytes: a file is read as those bytes unless the user opens a UTF-8 file as UTF-8;
// that one is converted when it is opened, only when every character survives, and converted
// back when it is saved.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace kestrim {

enum class TFileEncoding {
    ShiftJis,    // the bytes as they are
    Utf8,
    Utf8WithBom, // UTF-8 that begins with a byte-order mark, which is written back
};

// "Shift-JIS", "UTF-8" or "UTF-8 (BOM)".
QString EncodingName(TFileEncoding Encoding);

// The bytes of FileName when they are valid UTF-8 with characters beyond ASCII and do not read
// as plain Shift-JIS text as well (only characters of the code page's two-byte set besides
// ASCII); none otherwise. Most Shift-JIS files fail at their first non-ASCII byte and are not
// read further. Raises EFOpenError when the file cannot be read.
std::optional<std::string> ReadUtf8Text(const std::string& FileName);

// UTF-8 text (a leading byte-order mark included) as Shift-JIS, with the characters that
// Shift-JIS cannot hold (none converts to "?" or to another character unnoticed): their
// number and the first one with its place. Sjis is usable only when LostCount is 0.
struct TSjisConversion {
    std::string Sjis;
    TFileEncoding Encoding = TFileEncoding::Utf8;
    int LostCount = 0;
    char32_t FirstLost = 0;
    int FirstLostLine = 0;   // from 1
    int FirstLostColumn = 0; // characters from 1
};
TSjisConversion Utf8TextToSjis(std::string_view Utf8);

// What a file in Encoding holds for the Shift-JIS text Sjis. Utf8TextToSjis of a UTF-8 result
// gives the same characters back. A byte that starts no Shift-JIS character is written as the
// private-use character SjisToUtf16 gives for it, which Utf8TextToSjis counts as lost: such a
// file is not opened as UTF-8 without the user being told.
std::string SjisToFileBytes(std::string_view Sjis, TFileEncoding Encoding);

} // namespace kestrim
