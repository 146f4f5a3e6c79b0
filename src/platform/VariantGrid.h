// CVariantGrid: the elements of a two-dimensional array of variants, locked
// in place (AccessData) for as long as the grid lives, so a whole table can
// be written or read without a checked put or a copy per element.
//
// Indices are those of the array itself: row in dimension 1, column in
// dimension 2, each from its lower bound; one outside the bounds raises
// DISP_E_BADINDEX, as the API's element calls answer. The array cannot be
// destroyed while locked, so it must outlive the grid.
#pragma once

#include <cstddef>

#include "platform/OleSafeArray.h"

class CVariantGrid {
public:
    // Raises E_INVALIDARG unless `array` holds a 2-D array of variants.
    explicit CVariantGrid(const COleSafeArray& array);
    ~CVariantGrid();
    CVariantGrid(const CVariantGrid&) = delete;
    CVariantGrid& operator=(const CVariantGrid&) = delete;

    LONG Rows() const noexcept { return rows_; }
    LONG Columns() const noexcept { return columns_; }

    const VARIANT& At(LONG row, LONG column) const { return data_[Offset(row, column)]; }
    // Replaces the element, clearing what it held, with value (taken over).
    void Put(LONG row, LONG column, COleVariant&& value);
    // The element cleared, for the caller to store a value that owns nothing
    // or a string made for it.
    VARIANT& Emptied(LONG row, LONG column);

private:
    std::size_t Offset(LONG row, LONG column) const {
        const auto r = static_cast<unsigned long long>(static_cast<long long>(row) - rowBase_);
        const auto c = static_cast<unsigned long long>(static_cast<long long>(column) - columnBase_);
        if (r >= static_cast<unsigned long long>(rows_) || c >= static_cast<unsigned long long>(columns_))
            RaiseError(DISP_E_BADINDEX);
        // Dimension 1 varies fastest in memory.
        return static_cast<std::size_t>(r + c * static_cast<unsigned long long>(rows_));
    }

    SAFEARRAY* array_;
    VARIANT* data_ = nullptr;
    LONG rowBase_ = 0;
    LONG rows_ = 0;
    LONG columnBase_ = 0;
    LONG columns_ = 0;
};
