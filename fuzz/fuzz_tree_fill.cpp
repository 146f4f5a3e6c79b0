// The cell-table members filled from random cell tables whose cells are
// variants of every kind, arrays and live objects included.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzControl.h"
#include "standins/ChartStandIn.h"
#include "standins/HostCellTable.h"
#include "tools/ControlDriver.h"

using namespace fuzzing;

namespace {

constexpr const char* kCellMembers[] = {"MeasureData",           "InitiativeData",        "MeasureDataRow",
                                        "InitiativeDataRow",     "AdditionalMeasureItem", "AdditionalInitiativeItem"};

}  // namespace

// Byte 0 the member, byte 1 the version, bytes 2 and 3 the rows and
// columns (0 to 15); then the cells, row by row.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    FuzzInput in(data, size);
    const char* member = kCellMembers[in.Pick(std::size(kCellMembers))];
    const SHORT version = PickVersion(in.Byte());
    const LONG rows = static_cast<LONG>(in.Pick(16));
    const LONG columns = static_cast<LONG>(in.Pick(16));
    const ComPtr<standins::HostCellTable> table = standins::HostCellTable::Create(rows, columns);
    for (LONG r = 1; r <= rows; ++r)
        for (LONG c = 1; c <= columns; ++c) table->SetCell(r, c, in.Variant());
    const ComPtr<standins::ChartStandIn> chart = standins::ChartStandIn::Create();
    {
        tessel::ControlDriver control;
        Connect(control, version, chart.Get());
        control.Put(member, COleVariant(static_cast<IDispatch*>(table.Get())));
    }
    return 0;
}
