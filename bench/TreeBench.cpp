// The measure and initiative data fill (cell tables grouped by objective) at
// 10^3 to 10^6 cell rows, in groups of 1, 10 and 100 rows. Every cell is
// read through the host's IDispatch, as the host's own table answers.
#include <memory>
#include <string>

#include "Benchmarks.h"
#include "Measure.h"
#include "scorecard/TreeItems.h"
#include "standins/HostCellTable.h"

namespace {

using standins::HostCellTable;

constexpr LONG kColumns = 6;  // key, two texts, the row key, two numbers

ComPtr<HostCellTable> SampleCells(LONG rows, LONG groupRows) {
    auto table = HostCellTable::Create(rows, kColumns);
    for (LONG r = 1; r <= rows; ++r) {
        const std::string key = "OBJ" + std::to_string((r - 1) / groupRows);
        const std::string row = "ROW" + std::to_string(r);
        table->SetCell(r, 1, COleVariant::FromAnsi(key.data(), key.size()));
        table->SetCell(r, 2, COleVariant::FromAnsi("Revenue", 7));
        table->SetCell(r, 3, COleVariant::FromAnsi(row.data(), row.size()));
        table->SetCell(r, 4, COleVariant::FromAnsi("Caf\xE9 target", 11));
        table->SetCell(r, 5, COleVariant(r, VT_I4));
        table->SetCell(r, 6, COleVariant(static_cast<SHORT>(r % 1000), VT_I2));
    }
    return table;
}

void TreeFill(benchmark::State& state, LONG rows, LONG groupRows) {
    ComPtr<HostCellTable> table = SampleCells(rows, groupRows);
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
