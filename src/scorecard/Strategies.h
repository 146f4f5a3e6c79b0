// CStrategies: the strategies table, one record per strategy, into the grid
// of chart property 2. Grid rows follow the reading order.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

class CStrategies : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override;
    BOOL Fill30(ComPtr<IHostTable> table) override;
    BOOL Fill20(ComPtr<IHostTable> table) override;
};
