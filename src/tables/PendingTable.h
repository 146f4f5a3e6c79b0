// The base of record converters whose layouts are not read yet: every
// operation releases the table and reports failure, so a table routed to
// one is never filled and nothing reaches the chart.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

class CPendingTable : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override { return Unsupported(std::move(table)); }
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override { return Unsupported(std::move(table)); }
};
