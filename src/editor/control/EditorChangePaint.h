#pragma once
// TPaintedChanges: what the change marks show on the rows of one paint: the background and the
// bar strip of a marked line's rows, the gap line above a line's first row, and the columns of
// a changed line's changed characters. A paint goes through its rows top to bottom, and the
// rows of a line follow each other: keeping the line asked last is enough for the marks to be
// asked about each painted line once, and about changed characters only where a changed line's
// text is painted.

#include "editor/text/LineDiff.h"

#include <QColor>

#include <utility>
#include <vector>

namespace kestrim {

class TChangeMarks;
class TEditorChangeColors;
class TRowCells;

class TPaintedChanges {
public:
    TPaintedChanges(const TChangeMarks& Marks, const TEditorChangeColors& Colors);

    struct TRowMark {
        QColor Back;  // invalid for a line without a mark
        QColor Strip; // the bar's strip: the background's hue made strong enough to stand out
        bool Changed = false;
        bool GapAbove = false;
    };
    // The mark of a row of logical line Line (Line may be the line count: the row after the
    // last); only the line's first row shows the gap before it.
    TRowMark RowMark(int Line, bool FirstRowOfLine);
    // The columns [first, end) of the changed characters in a row of Line that starts at byte
    // RowOffset of the line and has Cells.
    const std::vector<std::pair<int, int>>& ChangedColumns(int Line, int RowOffset, const TRowCells& Cells);

    const QColor& ChangedCharBack() const { return FChangedCharBack; }
    const QColor& GapMark() const { return FGapMark; }

private:
    const TChangeMarks& FMarks;
    QColor FChangedBack;
    QColor FAddedBack;
    QColor FRemovedBack;
    QColor FChangedCharBack;
    QColor FGapMark;
    int FLine = -1;
    TLineMarkInfo FInfo;
    int FBytesLine = -1;
    std::vector<TByteRange> FBytes;
    std::vector<std::pair<int, int>> FColumns;
};

} // namespace kestrim
