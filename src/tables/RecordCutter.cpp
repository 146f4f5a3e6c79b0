#include "tables/RecordCutter.h"

#include <cstring>

#include "platform/CRuntime.h"

char* TrimField(char* start, std::size_t areaSize) noexcept {
    std::size_t end = areaSize - 1;  // the area's last byte is never examined
    while (end > 0 && start[end - 1] == ' ') --end;
    start[end] = '\0';
    return start;
}

// Field values are NUL-terminated in the work buffer, so the C-style
// readings stop where the field ends.
COleVariant LongCell(std::string_view value) { return COleVariant(AtoL(value.data()), VT_I4); }
COleVariant ShortCell(std::string_view value) { return COleVariant(Cut16(AtoL(value.data())), VT_I2); }
COleVariant TextCell(std::string_view value) { return COleVariant::FromAnsi(value.data(), value.size()); }

namespace {

bool IsMarked(std::string_view value) { return value == "X"; }

void Put(COleSafeArray& grid, LONG row, std::int8_t column, COleVariant&& value) {
    LONG index[2] = {row, column};
    grid.PutElement(index, std::move(value));
}

COleVariant Converted(FieldUse use, std::string_view value) {
    switch (use) {
        case FieldUse::Text: return TextCell(value);
        case FieldUse::Long: return LongCell(value);
        default: return ShortCell(value);
    }
}

}  // namespace

void CRecordCutter::PutRow(COleSafeArray& grid, LONG readingRow) {
    Cut();
    LONG row = RowOf(readingRow);
    PutFields(grid, row);
    PutCombined(grid, row);
}

void CRecordCutter::Cut() {
    std::memset(work_.data(), ' ', work_.size());
    char* area = work_.data();
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        const FieldSpec& f = layout_.fields[i];
        if (f.use == FieldUse::Skip) continue;
        // A NUL inside the record ends the field there.
        const char* from = record_.data() + f.offset;
        std::size_t n = strnlen(from, f.width);
        std::memcpy(area, from, n);
        area[n] = '\0';
        values_[i] = std::string_view(TrimField(area, f.width + 1u));
        area += f.width + 1u;
    }
}

LONG CRecordCutter::RowOf(LONG readingRow) const noexcept {
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        if (layout_.fields[i].use != FieldUse::Row) continue;
        // Row numbers count from 1; 0 or a blank gives -1, which no grid has.
        long long row = static_cast<long long>(AtoL(Value(i).data())) - 1;
        return row < 0 ? -1 : static_cast<LONG>(row);
    }
    return readingRow;
}

void CRecordCutter::PutFields(COleSafeArray& grid, LONG row) const {
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        const FieldSpec& f = layout_.fields[i];
        if (f.use != FieldUse::Text && f.use != FieldUse::Long && f.use != FieldUse::Short) continue;
        if (f.also != kNoColumn) Put(grid, row, f.also, Converted(f.use, Value(i)));
        if (f.third != kNoColumn) Put(grid, row, f.third, Converted(f.use, Value(i)));
        Put(grid, row, f.column, Converted(f.use, Value(i)));
    }
}

// Columns built from several fields (flag words, marked digits) and the
// constant columns.
void CRecordCutter::PutCombined(COleSafeArray& grid, LONG row) const {
    for (const ConstantCell& c : layout_.constants) {
        COleVariant value = c.vt == VT_I4 ? COleVariant(c.value, VT_I4)
                                          : COleVariant(static_cast<SHORT>(c.value), c.vt);
        Put(grid, row, c.column, std::move(value));
    }
    std::array<LONG, 32> flags{};
    std::array<bool, 32> hasFlags{};
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
        const FieldSpec& f = layout_.fields[i];
        if (f.use == FieldUse::Flag) {
            hasFlags[f.column] = true;
            if (IsMarked(Value(i))) flags[f.column] += f.bit;
        } else if (f.use == FieldUse::Digit) {
            bool marked = false;
            for (std::size_t m = 0; m < layout_.fields.size(); ++m)
                if (layout_.fields[m].use == FieldUse::Marker && layout_.fields[m].column == f.column)
                    marked = IsMarked(Value(m));
            Put(grid, row, f.column,
                marked ? ShortCell(Value(i)) : COleVariant(static_cast<SHORT>(kMarkedDefault), VT_I2));
        }
    }
    for (std::size_t column = 0; column < flags.size(); ++column)
        if (hasFlags[column]) Put(grid, row, static_cast<std::int8_t>(column), COleVariant(flags[column], VT_I4));
}
