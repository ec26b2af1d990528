#pragma once
// What a run of the current sample leaves in its row of the samples table: how it ended,
// measured against the sample's expected result, and the result it showed.

#include "app/Samples.h"

namespace kestrim {

class TEditor;
class TRunController;

// A page's text as a sample keeps it: its bytes, in its encoding.
TWorkbenchText PageText(TEditor& Page);

// Run's verdict, its result being Result, against Expected: Pass, or Fail at the first line of
// its result that differs.
void MeasureAgainst(TSampleRun& Run, const TWorkbenchText& Result, const TWorkbenchText& Expected);

// The controller's last run, whose output Result shows, against Expected; without its result,
// which stays on the page.
TSampleRun LastSampleRun(const TRunController& Controller, TEditor& Result,
                         const std::optional<TWorkbenchText>& Expected);

} // namespace kestrim
