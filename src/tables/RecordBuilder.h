// Builds fixed-width records from grid rows, the one way every write-back
// does it: each field receives the text form of its grid column, cut to the
// field's width; a shorter text is followed by one NUL and the rest of the
// field stays blank.
//
// Elements are read in place: text and 16- and 32-bit numbers, what grids
// hold, are written into the record without a copy; any other element goes
// through the platform's conversion to text.
#pragma once

#include <array>

#include "platform/OleSafeArray.h"
#include "platform/VariantGrid.h"
#include "tables/RecordLayout.h"

class CRecordBuilder {
public:
    explicit CRecordBuilder(const WriteLayout& layout) noexcept : layout_(layout) {}

    // Builds the record of grid row `row` (columns addressed from 0) and
    // returns it; it stays valid until the next Build. Null: a guard of the
    // layout skips the row.
    const char* Build(const CVariantGrid& grid, LONG row);
    // The same for a grid not yet locked: locks it for this one row.
    const char* Build(const COleSafeArray& grid, LONG row);

private:
    void WriteFlags(const CVariantGrid& grid, LONG row, std::size_t& field);
    // Passes the guards that stand before `field`; false: the row is skipped.
    bool PassGuards(const CVariantGrid& grid, LONG row, std::size_t& guard, std::size_t& field) const;

    const WriteLayout& layout_;
    std::array<char, kMaxRecordLength> record_{};
};
