// Entry point of the benchmark programs that need the toolkit: the runner processes events
// between its passes and the editors are widgets, so the benchmarks run inside an application
// (offscreen unless a platform is named), with the allocator set up as the program sets it.
#include "app/AllocatorTuning.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    kestrim::TuneAllocatorForLargeTexts();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
