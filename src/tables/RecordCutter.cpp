#include "tables/RecordCutter.h"

#include <bit>
#include <cstring>

#include "platform/CRuntime.h"

std::string_view FieldValue(const char* start, std::size_t width) noexcept {
    // Trailing blanks first, then a NUL in what is left: every byte is looked
    // at once. A NUL ends the value there, blanks before it included.
    std::size_t end = width;
    while (end > 0 && start[end - 1] == ' ') --end;
    if (const void* nul = std::memchr(start, '\0', end)) end = static_cast<std::size_t>(static_cast<const char*>(nul) - start);
    return {start, end};
}

COleVariant LongCell(std::string_view value) { return COleVariant(AtoL(value), VT_I4); }
COleVariant ShortCell(std::string_view value) { return COleVariant(Cut16(AtoL(value)), VT_I2); }
COleVariant TextCell(std::string_view value) { return COleVariant::FromAnsi(value.data(), value.size()); }

namespace {

bool IsMarked(std::string_view value) { return value == "X"; }

COleVariant Converted(FieldUse use, std::string_view value) {
    switch (use) {
        case FieldUse::Text:
        case FieldUse::Key: return TextCell(value);
        case FieldUse::Long: return LongCell(value);
        default: return ShortCell(value);
    }
}

}  // namespace

CRecordCutter::CRecordCutter(const FillLayout& layout) noexcept : layout_(layout) {
    markerOf_.fill(kNone);
    const auto& fields = layout_.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].use == FieldUse::Row && rowField_ == kNone) rowField_ = static_cast<std::uint8_t>(i);
        if (fields[i].use == FieldUse::Flag) flagColumns_ |= std::uint32_t{1} << fields[i].column;
        if (fields[i].use != FieldUse::Digit) continue;
        // The last marker of the digit's column decides.
        for (std::size_t m = 0; m < fields.size(); ++m)
            if (fields[m].use == FieldUse::Marker && fields[m].column == fields[i].column)
                markerOf_[i] = static_cast<std::uint8_t>(m);
    }
}

void CRecordCutter::PutRow(CVariantGrid& grid, LONG readingRow) {
    Cut();
    const LONG row = RowOf(readingRow);
    PutFields(grid, row);
    PutCombined(grid, row);
}

void CRecordCutter::PutRow(COleSafeArray& grid, LONG readingRow) {
    CVariantGrid cells(grid);
    PutRow(cells, readingRow);
}

void CRecordCutter::Cut() noexcept {
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        const FieldSpec& f = layout_.fields[i];
        if (f.use != FieldUse::Skip) values_[i] = FieldValue(record_.data() + f.offset, f.width);
    }
}

LONG CRecordCutter::RowOf(LONG readingRow) const noexcept {
    if (rowField_ == kNone) return readingRow;
    // Row numbers count from 1; 0 or a blank gives -1, which no grid has.
    const long long row = static_cast<long long>(AtoL(Value(rowField_))) - 1;
    return row < 0 ? -1 : static_cast<LONG>(row);
}

void CRecordCutter::PutFields(CVariantGrid& grid, LONG row) const {
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        const FieldSpec& f = layout_.fields[i];
        if (!CarriesValue(f.use)) continue;
        if (f.also != kNoColumn) grid.Put(row, f.also, Converted(f.use, Value(i)));
        if (f.third != kNoColumn) grid.Put(row, f.third, Converted(f.use, Value(i)));
        grid.Put(row, f.column, Converted(f.use, Value(i)));
    }
}

// Columns built from several fields (flag words, marked digits) and the
// constant columns.
void CRecordCutter::PutCombined(CVariantGrid& grid, LONG row) const {
    for (const ConstantCell& c : layout_.constants) {
        COleVariant value = c.vt == VT_I4 ? COleVariant(c.value, VT_I4)
                                          : COleVariant(static_cast<SHORT>(c.value), c.vt);
        grid.Put(row, c.column, std::move(value));
    }
    std::array<LONG, 32> flags{};
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        const FieldSpec& f = layout_.fields[i];
        if (f.use == FieldUse::Flag) {
            if (IsMarked(Value(i))) flags[f.column] += f.bit;
        } else if (f.use == FieldUse::Digit) {
            const bool marked = markerOf_[i] != kNone && IsMarked(Value(markerOf_[i]));
            grid.Put(row, f.column,
                     marked ? ShortCell(Value(i)) : COleVariant(static_cast<SHORT>(kMarkedDefault), VT_I2));
        }
    }
    for (std::uint32_t columns = flagColumns_; columns != 0; columns &= columns - 1) {
        const int column = std::countr_zero(columns);
        grid.Put(row, column, COleVariant(flags[column], VT_I4));
    }
}
