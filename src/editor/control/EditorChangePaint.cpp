#include "editor/control/EditorChangePaint.h"

#include "editor/control/EditorOptions.h"
#include "editor/control/QtColors.h"
#include "editor/text/ChangeMarks.h"
#include "editor/text/edRowCells.h"

#include <algorithm>

namespace kestrim {
namespace {

// The backgrounds are light; beside the bar's own colour only a saturated strip shows clearly.
QColor StripOf(const QColor& Back)
{
    const QColor hsv = Back.toHsv();
    if (hsv.hsvHue() < 0)
        return Back.darker(150);
    return QColor::fromHsv(hsv.hsvHue(), std::max(hsv.hsvSaturation(), 170), std::min(hsv.value(), 230));
}

} // namespace

TPaintedChanges::TPaintedChanges(const TChangeMarks& Marks, const TEditorChangeColors& Colors)
    : FMarks(Marks)
    , FChangedBack(ToQColor(Colors.ChangedBack(), QColor()))
    , FAddedBack(ToQColor(Colors.AddedBack(), QColor()))
    , FRemovedBack(ToQColor(Colors.RemovedBack(), QColor()))
    , FChangedCharBack(ToQColor(Colors.ChangedCharBack(), QColor()))
    , FGapMark(ToQColor(Colors.GapMark(), QColor()))
{
}

TPaintedChanges::TRowMark TPaintedChanges::RowMark(int Line, bool FirstRowOfLine)
{
    if (Line != FLine) {
        FLine = Line;
        FInfo = FMarks.LineMark(Line);
    }
    TRowMark mark;
    mark.Changed = FInfo.Mark == TLineMark::Changed;
    mark.GapAbove = FirstRowOfLine && FInfo.GapBefore;
    switch (FInfo.Mark) {
    case TLineMark::Changed:
        mark.Back = FChangedBack;
        break;
    case TLineMark::Added:
        mark.Back = FAddedBack;
        break;
    case TLineMark::Removed:
        mark.Back = FRemovedBack;
        break;
    case TLineMark::None:
        return mark;
    }
    if (mark.Back.isValid())
        mark.Strip = StripOf(mark.Back);
    return mark;
}

const std::vector<std::pair<int, int>>& TPaintedChanges::ChangedColumns(int Line, int RowOffset,
                                                                        const TRowCells& Cells)
{
    if (Line != FBytesLine) {
        FBytesLine = Line;
        FBytes = FMarks.ChangedBytes(Line);
    }
    FColumns.clear();
    // The ranges are on character boundaries: each edge is a character's first column.
    for (const TByteRange& range : FBytes) {
        const int from = std::max(range.Start - RowOffset, 0);
        const int to = std::min(range.End - RowOffset, Cells.ByteCount());
        if (from < to)
            FColumns.emplace_back(Cells.ColOfByte(from), Cells.ColOfByte(to));
    }
    return FColumns;
}

} // namespace kestrim
