// The measure and initiative data fill (cell tables grouped by objective) at
// 10^3 to 10^6 cell rows, in groups of 1, 10 and 100 rows. Every cell is
// read through the host's IDispatch, as the host's own table answers.
#include <memory>
#include <string>

#include "Benchmarks.h"
#include "Measure.h"
#include "SampleRecords.h"
#include "scorecard/TreeItems.h"
#include "standins/HostCellTable.h"

namespace {

using standins::HostCellTable;

void TreeFill(benchmark::State& state, LONG rows, LONG groupRows) {
    ComPtr<HostCellTable> table = bench::SampleCells(rows, groupRows);
    BOOL filled = TRUE;
    auto items = std::make_unique<CTreeItems>();
    bench::Measure(
        state, static_cast<std::size_t>(rows), "ns_per_row",
        [&] {
            items = std::make_unique<CTreeItems>();  // the groups of the run before go untimed
            table->RestartCalls();
        },
        [&] { filled = items->Fill310(table); });
    if (!filled) state.SkipWithError("the fill failed");
    state.counters["groups"] = static_cast<double>(items->Groups().size());
}

}  // namespace

void bench::RegisterTreeBenchmarks() {
    for (LONG groupRows : {1, 10, 100})
        for (LONG rows : {1000, 10000, 100000, 1000000})
            bench::Register("Fill/MeasureData/310/" + std::to_string(rows) + "/group" + std::to_string(groupRows),
                            [rows, groupRows](benchmark::State& s) { TreeFill(s, rows, groupRows); });
}
