#include "platform/VariantGrid.h"

CVariantGrid::CVariantGrid(const COleSafeArray& array) : array_(ArrayOfShape(array, VT_VARIANT, 2)) {
    if (!array_) RaiseError(E_INVALIDARG);
    LONG upper = 0;
    CheckResult(SafeArrayGetLBound(array_, 1, &rowBase_));
    CheckResult(SafeArrayGetUBound(array_, 1, &upper));
    rows_ = upper - rowBase_ + 1;
    CheckResult(SafeArrayGetLBound(array_, 2, &columnBase_));
    CheckResult(SafeArrayGetUBound(array_, 2, &upper));
    columns_ = upper - columnBase_ + 1;
    void* data = nullptr;
    CheckResult(SafeArrayAccessData(array_, &data));
    data_ = static_cast<VARIANT*>(data);
}

CVariantGrid::~CVariantGrid() { SafeArrayUnaccessData(array_); }

VARIANT& CVariantGrid::Emptied(LONG row, LONG column) {
    VARIANT& element = data_[Offset(row, column)];
    if (element.vt != VT_EMPTY) CheckResult(VariantClear(&element));
    return element;
}

void CVariantGrid::Put(LONG row, LONG column, COleVariant&& value) {
    // The element first: an index outside the grid raises while the value
    // still owns what it holds. (In `a = b` the right side is taken first.)
    VARIANT& element = Emptied(row, column);
    element = value.Detach();
}
