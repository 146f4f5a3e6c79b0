// CPerspectives: the perspectives table, one record per perspective band,
// into the grid of chart property 3. Grid rows are addressed by the
// record's sequence number, not by reading order.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

class CPerspectives : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override;
    BOOL Fill30(ComPtr<IHostTable> table) override;
    BOOL Fill20(ComPtr<IHostTable> table) override;
};
