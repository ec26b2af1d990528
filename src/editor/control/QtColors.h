#pragma once
// The editor core's colour values as the toolkit's colours.

#include "editor/base/edGraphics.h"

#include <QColor>

namespace kestrim {

// Color as a toolkit colour: an RGB value directly, a system colour from the application's
// palette, clNone as Default.
QColor ToQColor(TColor Color, const QColor& Default);

} // namespace kestrim
