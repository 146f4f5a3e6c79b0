// CLinks: links between objectives, four grid columns for each end. The
// setter only converts; the getter writes the chart's links back.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

class CLinks : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override;
    BOOL Fill20(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows20(ComPtr<IHostTable> table) override;
};
