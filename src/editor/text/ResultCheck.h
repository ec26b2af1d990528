#pragma once
// Whether a run's result is the result expected of it, compared as texts rather than as bytes:
// what the user reads in the two editors decides, not how their files would store it.

#include "editor/text/Workbench.h"

#include <optional>

namespace kestrim {

// The first line of Result (from 1) that differs from Expected; none when they are equal.
// When one text is the other with lines added at its end, the first added line: the line after
// the last line of the shorter text.
//
// CR LF, LF and CR are the same line end. A UTF-8 byte-order mark at the start is no text.
// A Shift-JIS and a UTF-8 text of the same characters are equal. Whether the last line ends with
// a line break counts: a program that leaves off its last line break writes another file, and
// the tools that read its output see the difference.
std::optional<int> FirstDifferentLine(const TWorkbenchText& Result, const TWorkbenchText& Expected);

} // namespace kestrim
