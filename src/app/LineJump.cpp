#include "app/LineJump.h"

#include "editor/control/EditorControl.h"
#include "editor/text/edEditorStrings.h"

#include <algorithm>

namespace kestrim {

void MoveCaretToLine(TEditor& Editor, int Line, const TByteInLine& ByteInLine)
{
    const TEditorStrings& lines = Editor.Lines();
    const int count = lines.Count();
    const int index = std::clamp(Line - 1, 0, std::max(count - 1, 0));
    std::size_t byte = index < count ? ByteInLine(lines.Get(index)) : 0;
    int row = lines.LineToRow(index);
    // A wrapped line's bytes continue over its rows, which hold no line break.
    for (const int end = lines.LineToRow(index + 1); row + 1 < end; ++row) {
        const std::size_t length = Editor.GetLine(row).size();
        if (byte < length)
            break;
        byte -= length;
    }
    Editor.SetRowByte(row, static_cast<int>(std::min<std::size_t>(byte, Editor.GetLine(row).size())));
}

} // namespace kestrim
