#pragma once
// The font names that settings and configurations carry from the program's first platform,
// mapped once at start-up to installed fonts with Japanese glyphs.

#include <QFont>

namespace kestrim {

// "FixedSys" and "ＭＳ ゴシック" become IPA Gothic (or another monospace font when it is
// missing), "ＭＳ Ｐゴシック" the proportional IPA P Gothic. Call once after the application
// object exists, before any editor takes its font.
void SubstituteEditorFonts();

// The editors' design font: "FixedSys", 15 pixels high.
QFont DefaultEditorFont();

} // namespace kestrim
