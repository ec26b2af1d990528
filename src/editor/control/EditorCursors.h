#pragma once
// The mouse cursors of the editor by their identifiers: the platform's standard shapes, and the
// two that the editor draws itself, the right arrow over the left margin and the drag-copy
// arrow with its plus sign.

#include "editor/control/EditorOptions.h"

#include <QCursor>

namespace kestrim {

QCursor EditorCursor(TCursor Id);

} // namespace kestrim
