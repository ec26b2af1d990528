#pragma once
// The encodings of the pages at the window: what the status bar says of a page's file, and
// converting a page's text into the other encoding, which is refused, with nothing changed,
// when some character has no form there: nothing turns into "?" unnoticed.

#include "editor/text/TextFileFormat.h"

#include <QString>

#include <optional>

namespace kestrim {

class TEditor;

TTextEncoding OtherEncoding(TTextEncoding Encoding);

// "Shift-JIS  CR LF", "UTF-8 (BOM)  LF": a page's Encoding and the byte-order mark and line
// ends of its file's Format; a file whose lines end in several ways shows its most frequent
// line end with "(混在)".
QString FormatStatusText(TTextEncoding Encoding, const TTextFileFormat& Format);

// Converts Editor's text into Encoding as one edit, which Undo takes back. When some character
// has no form in Encoding nothing changes, and the message that says how many there are and
// where the first one is comes back.
std::optional<QString> ConvertPageText(TEditor& Editor, TTextEncoding Encoding);

} // namespace kestrim
