#include "editor/text/DiffMarks.h"

#include <utility>

namespace kestrim {

TDiffMarks::TDiffMarks(std::shared_ptr<const TLineDiff> Diff, TDiffSide Side, const TStrings& Own,
                       TTextEncoding OwnEncoding, const TStrings& Other, TTextEncoding OtherEncoding)
    : FDiff(std::move(Diff)), FSide(Side), FOwn(Own), FOwnEncoding(OwnEncoding), FOther(Other),
      FOtherEncoding(OtherEncoding)
{
}

TLineMarkInfo TDiffMarks::LineMark(int Line) const
{
    return LineMarkOf(*FDiff, FSide, Line);
}

std::vector<TByteRange> TDiffMarks::ChangedBytes(int Line) const
{
    const TLineMarkInfo mark = LineMark(Line);
    if (mark.Mark != TLineMark::Changed)
        return {};
    // The texts may have changed since the comparison; a line they no longer have has no marks.
    const std::optional<std::string> own = FOwn.LineAt(Line);
    const std::optional<std::string> other = FOther.LineAt(mark.Counterpart);
    if (!own || !other)
        return {};
    if (FSide == TDiffSide::Old)
        return DiffChars(*own, FOwnEncoding, *other, FOtherEncoding).Old;
    return DiffChars(*other, FOtherEncoding, *own, FOwnEncoding).New;
}

} // namespace kestrim
