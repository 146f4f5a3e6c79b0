// CTableOCXData: the base of the converter that reads cell tables. Like the
// record converters, each operation owns the table reference it is given
// and returns nonzero for success; there is no write-back.
#pragma once

#include "platform/ComPtr.h"
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
