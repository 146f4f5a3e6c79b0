// Record fills and write-backs: time per row, and heap allocations per
// field, counted by replacing the global operator new. The hot paths should
// allocate nothing per field beyond each text element's own string.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "scorecard/Objectives.h"
#include "standins/HostRecordTable.h"

namespace {
std::atomic<long> allocations{0};
}

// The replacement pair below is matched; GCC cannot see that across the
// replaceable declarations.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::string ObjectiveRecord(int i) {
    char record[164];
    std::snprintf(record, sizeof record, "%-10d%-10s%-10s%3d%1d%-4s%-60s%-30s%-15s%-10d%-10s", i, "PERS", "STRAT",
                  i % 1000, i % 10, "X XX", "Raise the operating margin", "Margin", "Short", i, "Tail");
    return record;
}

ComPtr<standins::HostRecordTable> Table(int rows) {
    auto table = standins::HostRecordTable::Create();
    for (int i = 0; i < rows; ++i) table->AddRow(ObjectiveRecord(i));
    return table;
}

// Objectives at layout 310: 14 fields, 11 columns, 8 of them text.
void BM_FillObjectives(benchmark::State& state) {
    auto table = Table(static_cast<int>(state.range(0)));
    long before = 0, after = 0;
    for (auto _ : state) {
        CObjectives grid;
        before = allocations.load();
        benchmark::DoNotOptimize(grid.Fill310(table));
        after = allocations.load();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    // BSTRs come from malloc, not operator new: what is counted here is
    // what the fill itself allocates, which should not grow with the rows.
    state.counters["new_per_fill"] = static_cast<double>(after - before);
}
BENCHMARK(BM_FillObjectives)->Arg(1000)->Arg(100000);

void BM_WriteBackObjectives(benchmark::State& state) {
    auto source = Table(static_cast<int>(state.range(0)));
    CObjectives grid;
    grid.Fill310(source);
    long before = 0, after = 0;
    for (auto _ : state) {
        auto target = standins::HostRecordTable::Create();
        before = allocations.load();
        benchmark::DoNotOptimize(grid.WriteBackRows310(target));
        after = allocations.load();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["new_per_writeback"] = static_cast<double>(after - before);
}
BENCHMARK(BM_WriteBackObjectives)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
