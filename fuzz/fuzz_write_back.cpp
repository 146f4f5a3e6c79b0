// Every write-back getter, with the chart holding random values: arrays of
// random shapes, bounds and element types, and plain variants of every kind.
#include "control/ChartMembers.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzControl.h"
#include "standins/ChartStandIn.h"
#include "standins/HostRecordTable.h"
#include "tools/ControlDriver.h"

using namespace fuzzing;

namespace {

struct Getter {
    const char* member;
    DISPID property;
};
constexpr Getter kGetters[] = {
    {"Objectives", chart::kObjectives},
    {"Links", chart::kLinks},
    {"Blob", chart::kBlob},
    {"ObjectivesFromBlob", chart::kObjectivesFromBlob},
    {"StrategiesFromBlob", chart::kStrategiesFromBlob},
    {"PerspectivesFromBlob", chart::kPerspectivesFromBlob},
    {"LinksFromBlob", chart::kLinksFromBlob},
};

}  // namespace

// Byte 0 the getter, byte 1 the version, byte 2 whether the chart holds an
// array (mostly) or a plain variant; then that value.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    FuzzInput in(data, size);
    const Getter& getter = kGetters[in.Pick(std::size(kGetters))];
    const SHORT version = PickVersion(in.Byte());
    const bool array = in.Byte() % 8 != 0;

    const ComPtr<standins::ChartStandIn> chart = standins::ChartStandIn::Create();
    chart->SetProperty(getter.property, array ? in.Array() : in.Variant());
    const ComPtr<standins::HostRecordTable> lent = standins::HostRecordTable::Create({"kept row"});
    lent->SetDataFlag(0);
    {
        tessel::ControlDriver control;
        Connect(control, version, chart.Get());
        control.Put("Strategies", COleVariant(static_cast<IDispatch*>(lent.Get())));
        control.Get(getter.member);
        control.Get(getter.member);  // the table is no longer kept, or still is
    }
    return 0;
}
