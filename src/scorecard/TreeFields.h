// CTreeFields: a measure or initiative field catalogue, one record per
// field, into a grid ordered by the fields' position numbers.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/OrlinTableData.h"

class CTreeFields : public COrlinTableData, public COleSafeArray {
public:
    BOOL Fill310(ComPtr<IHostTable> table) override;
    BOOL WriteBackRows310(ComPtr<IHostTable> table) override;
    BOOL Fill30(ComPtr<IHostTable> table) override;
};
