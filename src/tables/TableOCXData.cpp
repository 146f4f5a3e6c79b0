#include "tables/TableOCXData.h"

BOOL CTableOCXData::Fill30(ComPtr<IHostCellTable> table) { return Unsupported(std::move(table)); }
BOOL CTableOCXData::Fill20(ComPtr<IHostCellTable> table) { return Unsupported(std::move(table)); }

BOOL CTableOCXData::Unsupported(ComPtr<IHostCellTable> table) noexcept {
    table.Reset();
    return FALSE;
}
