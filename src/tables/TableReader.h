// CTableReader: how every table property reaches its converter, and how
// every write-back getter reaches the table the host lent for it.
//
// The reader holds at most one kept table: a record table whose data flag
// was zero while the web-GUI flag was off is kept instead of read, and the
// next successful write-back fills it and hands it back.
#pragma once

#include "platform/ComPtr.h"
#include "tables/HostTable.h"
#include "tables/LayoutVersion.h"
#include "tables/OrlinTableData.h"
#include "tables/TableOCXData.h"

class CTableReader {
public:
    // Reader results.
    static constexpr LONG kFilled = 0;
    static constexpr LONG kKept = 1;
    static constexpr LONG kNotFilled = 2;

    LONG Read310(IDispatch* table, COrlinTableData* converter);
    LONG Read30(IDispatch* table, COrlinTableData* converter);
    LONG Read20(IDispatch* table, COrlinTableData* converter);
    LONG Read(Layout layout, IDispatch* table, COrlinTableData* converter);

    LONG ReadCells310(IDispatch* table, CTableOCXData* converter);
    LONG ReadCells30(IDispatch* table, CTableOCXData* converter);
    LONG ReadCells20(IDispatch* table, CTableOCXData* converter);
    LONG ReadCells(Layout layout, IDispatch* table, CTableOCXData* converter);

    // The kept table with a reference for the caller, or null.
    LPDISPATCH WriteBack310(COrlinTableData* converter);
    LPDISPATCH WriteBack30(COrlinTableData* converter);
    LPDISPATCH WriteBack20(COrlinTableData* converter);
    LPDISPATCH WriteBack(Layout layout, COrlinTableData* converter);

    LONG SetUseWebGui(LONG flag) noexcept { return webGui_ = flag; }
    LONG UseWebGui() const noexcept { return webGui_; }
    bool HasKeptTable() const noexcept { return static_cast<bool>(kept_); }
    void ReleaseKeptTable() noexcept { kept_.Reset(); }

private:
    using Fill = BOOL (COrlinTableData::*)(ComPtr<IHostTable>);
    using FillCells = BOOL (CTableOCXData::*)(ComPtr<IHostCellTable>);
    using WriteBackRows = BOOL (COrlinTableData::*)(ComPtr<IHostTable>);

    LONG ReadRecords(IDispatch* table, COrlinTableData* converter, Fill fill);
    LONG ReadCellTable(IDispatch* table, CTableOCXData* converter, FillCells fill);
    LPDISPATCH WriteBackKept(COrlinTableData* converter, WriteBackRows write);

    ComPtr<IHostTable> kept_;
    LONG webGui_ = 0;
};
