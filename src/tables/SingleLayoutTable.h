// The base of record converters that read one layout at every version and
// write nothing back: the lookup tables, the map tables and the link map.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

template <const FillLayout& Layout>
class CSingleLayoutTable : public COrlinTableData, public COleSafeArray {
    static_assert(Layout.IsValid());

public:
    BOOL Fill310(ComPtr<IHostTable> table) override { return FillRecords(*this, std::move(table), Layout); }
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override { return Unsupported(std::move(table)); }
};
