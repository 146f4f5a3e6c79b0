// Cuts fixed-width records into grid rows, the one way every fill does it.
//
// Each field is copied into its own area of a blank-filled work buffer (its
// width plus one byte, a NUL after the copied characters), trimmed of its
// trailing blanks in place, converted, and put into the grid. The record and
// work buffers are fixed members reused for every record; the only
// allocation per field is the element's own string.
#pragma once

#include <array>
#include <string_view>

#include "platform/OleSafeArray.h"
#include "tables/RecordLayout.h"

// Ends the field at its last character that is not a blank (0x20), in place,
// and returns `start`. Only the width bytes before the area's last byte are
// looked at; tabs and leading blanks stay.
char* TrimField(char* start, std::size_t areaSize) noexcept;

class CRecordCutter {
public:
    explicit CRecordCutter(const FillLayout& layout) noexcept : layout_(layout) {}

    // Where ReadRow puts the record.
    char* RecordBuffer() noexcept { return record_.data(); }
    // Cuts the record in RecordBuffer() and puts its values into `grid`, at
    // the row its Row field names or else at `readingRow`.
    void PutRow(COleSafeArray& grid, LONG readingRow);

private:
    static constexpr std::size_t kMaxFields = 32;
    void Cut();
    std::string_view Value(std::size_t field) const noexcept { return values_[field]; }
    LONG RowOf(LONG readingRow) const noexcept;
    void PutFields(COleSafeArray& grid, LONG row) const;
    void PutCombined(COleSafeArray& grid, LONG row) const;

    const FillLayout& layout_;
    std::array<char, kMaxRecordLength> record_{};
    std::array<char, kMaxRecordLength + kMaxFields> work_{};
    std::array<std::string_view, kMaxFields> values_{};
};

// Reads a field value the way atol reads it, as a grid element.
COleVariant LongCell(std::string_view value);
COleVariant ShortCell(std::string_view value);
COleVariant TextCell(std::string_view value);
