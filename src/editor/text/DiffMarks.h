#pragma once
// TDiffMarks: the change marks of one side of a comparison of two texts, as an editor of that
// side asks for them while painting. The marks of a changed line's characters are compared
// when asked for, so that only painted rows pay for them.

#include "editor/base/StringsBase.h"
#include "editor/text/ChangeMarks.h"

#include <memory>

namespace kestrim {

class TDiffMarks : public TChangeMarks {
public:
    // Own and Other are the texts Diff compared, Own on Side; they must outlive the marks.
    TDiffMarks(std::shared_ptr<const TLineDiff> Diff, TDiffSide Side, const TStrings& Own, TTextEncoding OwnEncoding,
               const TStrings& Other, TTextEncoding OtherEncoding);

    const TLineDiff& Diff() const { return *FDiff; }
    TDiffSide Side() const { return FSide; }

    TLineMarkInfo LineMark(int Line) const override;
    // Empty when Line is not changed, or it or its counterpart is past the end of its text.
    std::vector<TByteRange> ChangedBytes(int Line) const override;

private:
    std::shared_ptr<const TLineDiff> FDiff;
    TDiffSide FSide;
    const TStrings& FOwn;
    TTextEncoding FOwnEncoding;
    const TStrings& FOther;
    TTextEncoding FOtherEncoding;
};

} // namespace kestrim
