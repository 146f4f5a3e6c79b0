// COrlinTableData: the base of every converter that reads host records.
//
// One fill and one write-back operation per layout version. Each takes a
// counted reference to the host table by value, so the reference is released
// on every path, and returns nonzero for success. A converter is also its own
// result grid (its second base, COleSafeArray); the shared fill and
// write-back contracts below take that grid as an argument.
#pragma once

#include "platform/ComPtr.h"
#include "platform/OleSafeArray.h"
#include "tables/HostTable.h"
#include "tables/RecordLayout.h"

class COrlinTableData {
public:
    virtual ~COrlinTableData() = default;

    virtual BOOL Fill310(ComPtr<IHostTable> table) = 0;
    virtual BOOL WriteBackRows310(ComPtr<IHostTable> table) = 0;
    virtual BOOL Fill30(ComPtr<IHostTable> table);
    virtual BOOL WriteBackRows30(ComPtr<IHostTable> table);
    virtual BOOL Fill20(ComPtr<IHostTable> table);
    virtual BOOL WriteBackRows20(ComPtr<IHostTable> table);

protected:
    COrlinTableData() = default;
    COrlinTableData(const COrlinTableData&) = delete;
    COrlinTableData& operator=(const COrlinTableData&) = delete;

    // What an operation a converter does not support does: release, fail.
    static BOOL Unsupported(ComPtr<IHostTable> table) noexcept;

    // The fill contract: row store (none: fail), row count n, a new n-row
    // grid of the layout's columns, then every record from row 1 to n cut
    // into the grid. Returns TRUE once every record is in.
    static BOOL FillRecords(COleSafeArray& grid, ComPtr<IHostTable> table, const FillLayout& layout);
    // The write-back contract: the grid's row count from its bounds, row
    // store (none: fail), clear the rows, then one record per grid row.
    static BOOL WriteRecords(const COleSafeArray& grid, ComPtr<IHostTable> table, const WriteLayout& layout);
};

// The calls a converter makes on a host table and its row store, raising a
// failing result code as a ComponentError that names the interface.
ComPtr<IHostRowStore> RowStoreOf(IHostTable& table);
ULONG RowCountOf(IHostRowStore& store);
