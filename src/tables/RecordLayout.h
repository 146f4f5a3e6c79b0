// Record layouts as data.
//
// A fill layout lists the fields of a fixed-width record in record order, each
// with what it becomes in the grid; a write-back layout lists the fields a grid
// row is written into. Converters declare one constexpr table per layout and
// check it at compile time with IsValid, so a layout can be read against its
// record description at a glance and a typo in an offset does not compile.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Automation.h"

// What a field becomes in the grid.
enum class FieldUse : std::uint8_t {
    Skip,    // part of the record, never read
    Text,    // VT_BSTR, trailing blanks removed
    Key,     // as Text; names the record, so a host never leaves it blank
    Long,    // VT_I4, read like atol
    Short,   // VT_I2, read like atoi and cut to 16 bits
    Row,     // addresses the grid row: read like atol, minus 1
    Digit,   // VT_I2 read like atoi when the Marker of the same column holds "X", else 99
    Marker,  // "X" or blank; chooses the value of the Digit of its column
    Flag,    // "X" or blank; adds `bit` to the VT_I4 flag word of its column
};

// A field whose own value goes into its columns, converted by its use.
constexpr bool CarriesValue(FieldUse use) noexcept { return use >= FieldUse::Text && use <= FieldUse::Short; }

inline constexpr std::int8_t kNoColumn = -1;

struct FieldSpec {
    std::uint16_t offset;
    std::uint16_t width;
    FieldUse use;
    std::int8_t column = kNoColumn;  // the grid column it feeds
    std::int8_t also = kNoColumn;    // a second column fed with the same value
    std::uint8_t bit = 0;            // Flag only
    std::int8_t third = kNoColumn;   // a third column fed with the same value
};

// A cell written in every row whatever the record holds.
struct ConstantCell {
    std::int8_t column;
    VARTYPE vt;  // VT_I2, VT_I4 or VT_BOOL
    LONG value;
};

inline constexpr std::uint16_t kMaxRecordLength = 1026;
inline constexpr std::uint16_t kMarkedDefault = 99;  // a Digit whose marker is not set

struct FillLayout {
    ULONG recordLength;
    UINT columns;
    std::span<const FieldSpec> fields;
    std::span<const ConstantCell> constants = {};

    // Fields in record order, not overlapping, inside the record; every
    // column inside the grid; at most one Row field.
    constexpr bool IsValid() const {
        if (recordLength == 0 || recordLength > kMaxRecordLength || columns == 0 || columns > 32) return false;
        if (fields.size() > 32) return false;
        std::uint32_t end = 0;
        int rows = 0;
        for (const FieldSpec& f : fields) {
            if (f.width == 0 || f.offset < end) return false;
            end = std::uint32_t{f.offset} + f.width;
            if (end > recordLength) return false;
            if (!ColumnOk(f.column, f.use != FieldUse::Skip && f.use != FieldUse::Row) || !ColumnOk(f.also, false) ||
                !ColumnOk(f.third, false))
                return false;
            rows += f.use == FieldUse::Row;
            if ((f.use == FieldUse::Flag) != (f.bit != 0)) return false;
        }
        for (const ConstantCell& c : constants)
            if (!ColumnOk(c.column, true)) return false;
        return rows <= 1;
    }

private:
    constexpr bool ColumnOk(std::int8_t column, bool required) const {
        if (column == kNoColumn) return !required;
        return column >= 0 && static_cast<UINT>(column) < columns;
    }
};

// A field of a written record and the grid column it is written from. Flag
// fields of one column stand together, highest bit first: the column's value
// is read once as a number and handed out greedily from the highest bit down.
struct WriteFieldSpec {
    std::uint16_t offset;
    std::uint16_t width;
    std::int8_t column;
    std::uint8_t bit = 0;  // nonzero: a flag field ("X" or blank)
};

// A test of a grid row made before field `first` is written: unless the
// text of `column` is exactly `text` (ASCII, case-sensitive), the row is
// skipped (nothing is appended) or fields `first` to `end` - 1 stay blank.
enum class GuardMiss : std::uint8_t { SkipRow, BlankFields };

struct WriteGuard {
    std::uint8_t first;
    std::int8_t column;
    std::string_view text;
    GuardMiss miss;
    std::uint8_t end = 0;  // BlankFields only
};

struct WriteLayout {
    ULONG recordLength;
    std::span<const WriteFieldSpec> fields;
    std::span<const WriteGuard> guards = {};  // in field order

    constexpr bool IsValid() const {
        if (recordLength == 0 || recordLength > kMaxRecordLength) return false;
        if (!GuardsValid()) return false;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const WriteFieldSpec& f = fields[i];
            if (f.width == 0 || f.column < 0 || std::uint32_t{f.offset} + f.width > recordLength) return false;
            for (std::size_t j = 0; j < i; ++j) {
                const WriteFieldSpec& g = fields[j];
                if (f.offset < g.offset + g.width && g.offset < f.offset + f.width) return false;
            }
            bool continuesFlags = i > 0 && fields[i - 1].bit != 0 && fields[i - 1].column == f.column;
            if (f.bit != 0 && continuesFlags && f.bit >= fields[i - 1].bit) return false;
        }
        return true;
    }

private:
    // Guards in field order, none inside a section another one blanks; no
    // guard or section boundary splits a run of flag fields.
    constexpr bool GuardsValid() const {
        std::size_t from = 0;
        for (const WriteGuard& g : guards) {
            if (g.first < from || g.first >= fields.size() || g.column < 0 || g.text.empty()) return false;
            for (char c : g.text)
                if (static_cast<unsigned char>(c) >= 0x80) return false;  // compared as ASCII
            if (SplitsFlags(g.first)) return false;
            if (g.miss == GuardMiss::SkipRow) {
                if (g.end != 0) return false;
                from = g.first;
            } else {
                if (g.end <= g.first || g.end > fields.size() || SplitsFlags(g.end)) return false;
                from = g.end;
            }
        }
        return true;
    }
    constexpr bool SplitsFlags(std::size_t at) const {
        return at > 0 && at < fields.size() && fields[at].bit != 0 && fields[at - 1].bit != 0 &&
               fields[at].column == fields[at - 1].column;
    }
};
