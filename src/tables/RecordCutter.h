// Cuts fixed-width records into grid rows, the one way every fill does it.
//
// Each field's value is read in place in the record buffer: it ends at the
// field's first NUL, or else at its width, and loses its trailing blanks.
// The record buffer is a fixed member reused for every record, and what the
// layout implies (the Row field, the marker of each digit, the flag columns)
// is worked out once per cutter; the only allocation per field is the
// element's own string.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/OleSafeArray.h"
#include "platform/VariantGrid.h"
#include "tables/RecordLayout.h"

// A field's value: the `width` bytes from `start` without their trailing
// blanks (0x20), or, when they hold a NUL, the bytes before it as they are.
// Tabs and leading blanks stay.
std::string_view FieldValue(const char* start, std::size_t width) noexcept;

class CRecordCutter {
public:
    explicit CRecordCutter(const FillLayout& layout) noexcept;

    // Where ReadRow puts the record.
    char* RecordBuffer() noexcept { return record_.data(); }
    // Cuts the record in RecordBuffer() and puts its values into `grid`, at
    // the row its Row field names or else at `readingRow`.
    void PutRow(CVariantGrid& grid, LONG readingRow);
    // The same for a grid not yet locked: locks it for this one row.
    void PutRow(COleSafeArray& grid, LONG readingRow);

private:
    static constexpr std::size_t kMaxFields = 32;
    static constexpr std::uint8_t kNone = 0xFF;

    void Cut() noexcept;
    std::string_view Value(std::size_t field) const noexcept { return values_[field]; }
    LONG RowOf(LONG readingRow) const noexcept;
    void PutFields(CVariantGrid& grid, LONG row) const;
    void PutCombined(CVariantGrid& grid, LONG row) const;

    const FillLayout& layout_;
    std::uint8_t rowField_ = kNone;
    std::array<std::uint8_t, kMaxFields> markerOf_{};  // per Digit field: its column's Marker, or kNone
    std::uint32_t flagColumns_ = 0;                    // bit c: column c is a flag word
    std::array<char, kMaxRecordLength> record_{};
    std::array<std::string_view, kMaxFields> values_{};
};

// Reads a field value the way atol reads it, as a grid element.
COleVariant LongCell(std::string_view value);
COleVariant ShortCell(std::string_view value);
COleVariant TextCell(std::string_view value);
