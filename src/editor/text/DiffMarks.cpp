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
    if (mark.Mark != TLineMark::Changed || Line >= FOwn.Count() || mark.Counterpart >= FOther.Count())
        return {};
    const std::string own = FOwn.Get(Line);
    const std::string other = FOther.Get(mark.Counterpart);
    if (FSide == TDiffSide::Old)
        return DiffChars(own, FOwnEncoding, other, FOtherEncoding).Old;
    return DiffChars(other, FOtherEncoding, own, FOwnEncoding).New;
}

} // namespace kestrim
