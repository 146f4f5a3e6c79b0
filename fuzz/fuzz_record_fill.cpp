// Every table property filled from a record table of random rows: the
// layout's fill (cutting, conversions, the grid), the reader's keep path and
// the template store's send.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzControl.h"
#include "standins/ChartStandIn.h"
#include "standins/HostRecordTable.h"
#include "tools/ControlDriver.h"

using namespace fuzzing;

// Byte 0 the member, byte 1 the version, byte 2 options; the rest are the
// records, one per line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    FuzzInput in(data, size);
    const auto& tables = TableProperties();
    const tessel::AdapterMember& member = *tables[in.Pick(tables.size())];
    const SHORT version = PickVersion(in.Byte());
    const std::uint8_t options = in.Byte();
    const std::string_view records = in.Rest();

    const ComPtr<standins::ChartStandIn> chart = standins::ChartStandIn::Create();
    const ComPtr<standins::HostRecordTable> table = standins::HostRecordTable::Create();
    for (std::size_t start = 0; start <= records.size();) {
        const std::size_t end = std::min(records.find('\n', start), records.size());
        table->AddRow(records.substr(start, end - start));
        start = end + 1;
    }
    table->SetDataFlag(options & 1 ? 0 : 1);
    {
        tessel::ControlDriver control;
        const COleVariant versionArg(version, VT_I2);
        control.Call("SetVersion", One(versionArg));
        if (!(options & 2)) {
            const COleVariant handle(static_cast<IDispatch*>(chart.Get()));
            control.Call("HandleTesselCtrl", One(handle));
        }
        if (options & 4) {
            const COleVariant on(SHORT{-1}, VT_BOOL);
            control.Call("SetUseWEBGui", One(on));
        }
        control.Put(member.name, COleVariant(static_cast<IDispatch*>(table.Get())));
        if (member.readable) control.Get(member.name);
        if (options & 8) control.Call("AddTemplate", {});
        if (options & 16) control.Call("AddTemplateEx", {});
    }
    return 0;
}
