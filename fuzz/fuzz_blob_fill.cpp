// The blob's fill from random chunk tables: whole 1026-byte records with
// random counts and chunk numbers, and records of other lengths.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzControl.h"
#include "standins/ChartStandIn.h"
#include "standins/HostRecordTable.h"
#include "standins/TableFiles.h"
#include "tools/ControlDriver.h"

using namespace fuzzing;

// Byte 0 the version; then records, each led by a byte: below 224 a whole
// chunk record follows, otherwise one byte more gives a length (times 5).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    FuzzInput in(data, size);
    const SHORT version = PickVersion(in.Byte());
    const ComPtr<standins::HostRecordTable> table = standins::HostRecordTable::Create();
    while (!in.Empty()) {
        const std::size_t length = in.Byte() < 224 ? standins::kChunkRecordLength : in.Byte() * std::size_t{5};
        std::string record(in.Bytes(length));
        record.resize(length, '\0');
        table->AddRow(record);
    }
    const ComPtr<standins::ChartStandIn> chart = standins::ChartStandIn::Create();
    {
        tessel::ControlDriver control;
        Connect(control, version, chart.Get());
        control.Put("Blob", COleVariant(static_cast<IDispatch*>(table.Get())));
        control.Put("BlobTemplate", COleVariant(static_cast<IDispatch*>(table.Get())));
        control.Call("AddTemplate", {});
    }
    return 0;
}
