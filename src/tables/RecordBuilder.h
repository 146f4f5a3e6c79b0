// Builds fixed-width records from grid rows, the one way every write-back
// does it: each field receives the text form of its grid column, cut to the
// field's width; a shorter text is followed by one NUL and the rest of the
// field stays blank.
#pragma once

#include <array>

#include "platform/OleSafeArray.h"
#include "tables/RecordLayout.h"

class CRecordBuilder {
public:
    explicit CRecordBuilder(const WriteLayout& layout) noexcept : layout_(layout) {}

    // Builds the record of grid row `row` (columns addressed from 0) and
    // returns it; it stays valid until the next Build. Null: a guard of the
    // layout skips the row.
    const char* Build(const COleSafeArray& grid, LONG row);

private:
    void WriteFlags(const COleSafeArray& grid, LONG row, std::size_t& field);
    // Passes the guards that stand before `field`; false: the row is skipped.
    bool PassGuards(const COleSafeArray& grid, LONG row, std::size_t& guard, std::size_t& field) const;

    const WriteLayout& layout_;
    std::array<char, kMaxRecordLength> record_{};
};
