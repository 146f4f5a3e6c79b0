// Times the body of a benchmark alone, beside its exact heap allocations.
#pragma once

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "AllocationCounter.h"
#include "platform/posix/LiveCounts.h"

namespace bench {

enum class Start { Warm, Cold };

// CPU time of the calling thread, in nanoseconds. The body runs on this
// thread alone, so on a machine shared with other jobs this is its own cost,
// where wall time would also count the time it waited for a core.
inline std::int64_t ThreadCpuNanoseconds() noexcept {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Runs `before` outside the timed region, then `body` timed, counting its
// allocations and, under callgrind, collecting only its instructions.
// Reports `perUnit` (CPU nanoseconds of this thread per unit, e.g.
// ns_per_row), allocs (heap blocks) and strings (BSTRs left alive, most of
// which come from the platform's slabs rather than one heap block each),
// both per run of the body. A warm start runs both once, unmeasured, first: the
// heap, the host table's own storage and the caches are then as a second
// fill finds them, however few iterations a large table gets.
template <class Before, class Body>
void Measure(benchmark::State& state, std::size_t units, const char* perUnit, Before&& before, Body&& body,
             Start start = Start::Warm) {
    if (start == Start::Warm) {
        before();
        body();
    }
    long allocations = 0;
    long strings = 0;
    std::int64_t spent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        before();
        state.ResumeTiming();
        const long start = Allocations();
        const long live = platform::LiveBstrCount();
        const std::int64_t started = ThreadCpuNanoseconds();
        CALLGRIND_TOGGLE_COLLECT;
        body();
        CALLGRIND_TOGGLE_COLLECT;
        spent += ThreadCpuNanoseconds() - started;
        allocations += Allocations() - start;
        strings += platform::LiveBstrCount() - live;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters[perUnit] =
        static_cast<double>(spent) / (iterations * static_cast<double>(units));
    state.counters["allocs"] = static_cast<double>(allocations) / iterations;
    state.counters["strings"] = static_cast<double>(strings) / iterations;
}

// Under valgrind every benchmark runs a fixed number of iterations, so that
// instructions per unit are the collected total divided by units x iterations.
inline constexpr benchmark::IterationCount kCallgrindIterations = 2;

// Registers a benchmark in milliseconds. Under valgrind it runs a fixed
// number of iterations and its instructions are dumped on their own,
// described by its name, so one callgrind run gives every benchmark's count.
template <class Body>
benchmark::internal::Benchmark* Register(const std::string& name, Body body) {
    auto* b = benchmark::RegisterBenchmark(name.c_str(), [name, body](benchmark::State& state) {
        body(state);
        if (RUNNING_ON_VALGRIND) CALLGRIND_DUMP_STATS_AT(name.c_str());
    });
    b->Unit(benchmark::kMillisecond);
    if (RUNNING_ON_VALGRIND) b->Iterations(kCallgrindIterations);
    return b;
}

}  // namespace bench
