#pragma once
// TChangeMarks: what an editor shows of how its text differs from another text. The editor asks
// for the lines it paints, nothing more; whoever compares the texts implements it.

#include "editor/text/LineDiff.h"

#include <vector>

namespace kestrim {

class TChangeMarks {
public:
    virtual ~TChangeMarks() = default;

    // The mark of Line (from 0); a line past the text has none, but may have a gap before it.
    virtual TLineMarkInfo LineMark(int Line) const = 0;
    // The bytes of a changed line's text that its counterpart lacks, on character boundaries;
    // empty for a line that is not changed.
    virtual std::vector<TByteRange> ChangedBytes(int Line) const = 0;
};

} // namespace kestrim
