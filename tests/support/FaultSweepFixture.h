// Fails, one at a time, each call a member makes on the host table, the cell
// table, the row store and the chart: plainly and, through Invoke, raised
// with a description. Each time the member must fail with that code, send
// nothing after the failed call, leave a kept table kept, every stand-in at
// its reference count, and no object, string or array alive.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "support/AdapterFixture.h"

namespace testing_support {

using FaultOp = std::variant<standins::CellOp, standins::HostOp, standins::ChartOp>;

// The host table a member is handed: a cell table or a record table.
struct SweepTable {
    ComPtr<standins::HostCellTable> cells;
    ComPtr<standins::HostRecordTable> records;

    IDispatch* Dispatch() const;
    ULONG RefCount() const;
};

struct SweepCase {
    enum Action { Put, Get, Call };

    const char* member;
    SHORT version = 310;
    Action action = Put;
    // Put: the table put. Get: the table lent to be written back.
    SweepTable (*table)() = nullptr;
    // What the chart holds or answers before the member runs.
    void (*chart)(standins::ChartStandIn&) = nullptr;
    std::vector<COleVariant> args = {};  // a call's arguments
};

class FaultSweepFixture : public AdapterFixture {
protected:
    // Sweeps every operation the member calls; returns the failures injected.
    unsigned Sweep(const SweepCase& sweep);

private:
    struct Fault {
        FaultOp op;
        unsigned nth = 0;  // from the member's first call of op
        HRESULT code = S_OK;
        OleString description;
    };
    // The clock stamps of every call the member made, by operation.
    using Stamps = std::map<std::size_t, std::vector<std::uint64_t>>;

    // One run on a fresh control, chart and tables; returns the member's stamps.
    Stamps Run(const SweepCase& sweep, const Fault* fault, const Stamps* clean);
    Stamps StampsOf(const SweepTable& table) const;
};

}  // namespace testing_support
