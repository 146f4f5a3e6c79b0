// CObjectives: the objectives table, the one scorecard table that travels
// both ways: records into the grid of chart property 4, and the chart's
// grid back into records of the table the host lent for it.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

class CObjectives : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override;
    BOOL Fill30(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows30(ComPtr<IHostTable> table) override;
};
