// CTableOCXData: the base of the converter that reads cell tables. Like the
// record converters, each operation owns the table reference it is given
// and returns nonzero for success; there is no write-back.
#pragma once

#include <string>

#include "platform/ComPtr.h"
#include "platform/OleVariant.h"
#include "tables/HostTable.h"

class CTableOCXData {
public:
    virtual ~CTableOCXData() = default;

    virtual BOOL Fill310(ComPtr<IHostCellTable> table) = 0;
    virtual BOOL Fill30(ComPtr<IHostCellTable> table);
    virtual BOOL Fill20(ComPtr<IHostCellTable> table);

protected:
    CTableOCXData() = default;
    CTableOCXData(const CTableOCXData&) = delete;
    CTableOCXData& operator=(const CTableOCXData&) = delete;

    static BOOL Unsupported(ComPtr<IHostCellTable> table) noexcept;
};

// The calls a converter makes on a cell table, rows and columns from 1. A
// failing call is raised as a ComponentError that names IHostCellTable. A
// negative count reads as 0.
LONG CellRowCount(IHostCellTable& table);
LONG CellColumnCount(IHostCellTable& table);
COleVariant CellOf(IHostCellTable& table, LONG row, LONG column);

// A cell's text in the ANSI code page: the value changed to a string (an
// empty cell and a null string give ""); raises when it does not change.
std::string AnsiText(const VARIANT& cell);
// A cell taken as a number: 0 when its text is empty, else the value
// changed to VT_I4.
COleVariant LongOfCell(COleVariant cell);
