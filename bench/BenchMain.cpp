#include <benchmark/benchmark.h>

#include "Benchmarks.h"

int main(int argc, char** argv) {
    // The cold fill is among the record benchmarks and must run first, before
    // any other benchmark has grown the heap.
    bench::RegisterRecordBenchmarks();
    bench::RegisterTreeBenchmarks();
    bench::RegisterBlobBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
