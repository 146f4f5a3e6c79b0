// CTreeItems: measure and initiative data from a cell table, grouped by
// objective.
#pragma once

#include "tables/TableOCXData.h"

class CTreeItems : public CTableOCXData {
public:
    BOOL Fill310(ComPtr<IHostCellTable> table) override { return Unsupported(std::move(table)); }
};
