#include "RecordFloor.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "platform/ComPtr.h"
#include "tables/OrlinTableData.h"

namespace bench {
namespace {

// The code page as two tables, taken once from the platform so the floor
// converts exactly as the system does.
struct CodeTables {
    std::array<OLECHAR, 256> wide{};
    std::array<char, 65536> narrow{};

    CodeTables() {
        std::array<char, 256> bytes{};
        for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), 256, wide.data(), 256);
        narrow.fill('?');
        for (int i = 0; i < 256; ++i) narrow[wide[i]] = bytes[i];
    }
};
const CodeTables& Tables() {
    static const CodeTables tables;
    return tables;
}

std::string_view Field(const char* record, const FieldSpec& f) {
    const char* from = record + f.offset;
    const void* nul = std::memchr(from, '\0', f.width);
    std::size_t n = nul ? static_cast<const char*>(nul) - from : f.width;
    while (n > 0 && from[n - 1] == ' ') --n;
    return {from, n};
}

LONG Number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), 0x80000000LL);
    return static_cast<LONG>(negative ? -magnitude : std::min(magnitude, 0x7FFFFFFFLL));
}

BSTR Text(std::string_view text) {
    BSTR s = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (!s) RaiseError(E_OUTOFMEMORY);
    const auto& wide = Tables().wide;
    for (std::size_t k = 0; k < text.size(); ++k) s[k] = wide[static_cast<unsigned char>(text[k])];
    return s;
}

class FloorGrid {
public:
    FloorGrid(COleSafeArray& grid, ULONG rows, UINT columns) : rows_(rows) {
        SAFEARRAYBOUND bounds[2] = {{rows, 0}, {columns, 0}};
        VARIANT made;
        made.vt = VT_ARRAY | VT_VARIANT;
        made.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
        if (!made.parray) RaiseError(E_OUTOFMEMORY);
        grid.Attach(made);
        array_ = grid.parray;
        CheckResult(SafeArrayAccessData(array_, reinterpret_cast<void**>(&cells_)));
    }
    ~FloorGrid() { SafeArrayUnaccessData(array_); }
    FloorGrid(const FloorGrid&) = delete;
    FloorGrid& operator=(const FloorGrid&) = delete;

    VARIANT& Cell(LONG row, int column) {
        if (row < 0 || static_cast<ULONG>(row) >= rows_) RaiseError(DISP_E_BADINDEX);
        VARIANT& cell = cells_[row + static_cast<std::size_t>(column) * rows_];
        if (cell.vt != VT_EMPTY) VariantClear(&cell);
        return cell;
    }
    void Put(LONG row, int column, BSTR text) {
        VARIANT& cell = Cell(row, column);
        cell.vt = VT_BSTR;
        cell.bstrVal = text;
    }
    void Put(LONG row, int column, VARTYPE vt, LONG value) {
        VARIANT& cell = Cell(row, column);
        cell.vt = vt;
        if (vt == VT_I4) cell.lVal = value;
        else cell.iVal = vt == VT_BOOL ? (value ? VARIANT_TRUE : VARIANT_FALSE) : static_cast<SHORT>(value);
    }

private:
    SAFEARRAY* array_ = nullptr;
    VARIANT* cells_ = nullptr;
    ULONG rows_;
};

// Calls put(column) for each grid column a field feeds: its own, and the
// one or two more that take the same value (each its own element).
template <class Put>
void EachColumn(const FieldSpec& f, Put put) {
    for (const std::int8_t column : {f.also, f.third, f.column})
        if (column != kNoColumn) put(column);
}

void FillRecord(FloorGrid& grid, const char* record, const FillLayout& layout, LONG row) {
    std::array<std::string_view, 32> values;
    const auto& fields = layout.fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        values[i] = Field(record, fields[i]);
        if (fields[i].use == FieldUse::Row) row = Number(values[i]) - 1;
    }
    std::array<LONG, 32> flags{};
    std::array<bool, 32> hasFlags{};
    std::array<bool, 32> marked{};
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].use == FieldUse::Marker) marked[fields[i].column] = values[i] == "X";
    for (const ConstantCell& c : layout.constants) grid.Put(row, c.column, c.vt, c.value);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldSpec& f = fields[i];
        switch (f.use) {
        case FieldUse::Text:
        case FieldUse::Key: EachColumn(f, [&](int column) { grid.Put(row, column, Text(values[i])); }); break;
        case FieldUse::Long:
        case FieldUse::Short: {
            const VARTYPE vt = f.use == FieldUse::Long ? VT_I4 : VT_I2;
            EachColumn(f, [&](int column) { grid.Put(row, column, vt, Number(values[i])); });
            break;
        }
        case FieldUse::Digit:
            grid.Put(row, f.column, VT_I2, marked[f.column] ? Number(values[i]) : kMarkedDefault);
            break;
        case FieldUse::Flag:
            hasFlags[f.column] = true;
            flags[f.column] += values[i] == "X" ? f.bit : 0;
            break;
        default: break;
        }
    }
    for (UINT column = 0; column < layout.columns; ++column)
        if (hasFlags[column]) grid.Put(row, static_cast<int>(column), VT_I4, flags[column]);
}

// A cell's text into a field of the record, cut to the field's width.
void WriteText(char* field, std::uint16_t width, const VARIANT& cell) {
    std::size_t n = 0;
    if (cell.vt == VT_BSTR) {
        n = std::min<std::size_t>(SysStringLen(cell.bstrVal), width);
        const auto& narrow = Tables().narrow;
        for (std::size_t k = 0; k < n; ++k) field[k] = narrow[cell.bstrVal[k]];
    } else {
        char digits[16];
        const LONG value = cell.vt == VT_I2 ? cell.iVal : cell.lVal;
        n = std::min<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits, width);
        std::memcpy(field, digits, n);
    }
    if (n < width) field[n] = '\0';
}

// The guard's cell holds its text, compared character by character.
bool GuardHolds(const VARIANT& cell, std::string_view text) {
    char held[64] = {};
    WriteText(held, 63, cell);
    return text == held;
}

LONG CellNumber(const VARIANT& cell) {
    if (cell.vt == VT_I2) return cell.iVal;
    if (cell.vt == VT_I4) return cell.lVal;
    char text[64] = {};
    WriteText(text, 63, cell);
    return Number(text);
}

}  // namespace

void FloorFill(COleSafeArray& grid, IHostTable& table, const FillLayout& layout) {
    ComPtr<IHostRowStore> store = RowStoreOf(table);
    const ULONG rows = RowCountOf(*store);
    FloorGrid cells(grid, rows, layout.columns);
    std::array<char, kMaxRecordLength> record;
    for (ULONG i = 1; i <= rows; ++i) {
        CheckResult(store->ReadRow(i, layout.recordLength, record.data()));
        FillRecord(cells, record.data(), layout, static_cast<LONG>(i - 1));
    }
}

bool SameGrid(const COleSafeArray& a, const COleSafeArray& b) {
    if (!a.HasShape(VT_VARIANT, 2) || !b.HasShape(VT_VARIANT, 2)) return false;
    const SAFEARRAY& x = *a.parray;
    const SAFEARRAY& y = *b.parray;
    for (int d = 0; d < 2; ++d)
        if (x.rgsabound[d].cElements != y.rgsabound[d].cElements || x.rgsabound[d].lLbound != y.rgsabound[d].lLbound)
            return false;
    const auto* p = static_cast<const VARIANT*>(x.pvData);
    const auto* q = static_cast<const VARIANT*>(y.pvData);
    for (std::size_t i = 0, n = std::size_t{x.rgsabound[0].cElements} * x.rgsabound[1].cElements; i < n; ++i) {
        if (p[i].vt != q[i].vt) return false;
        const bool same = p[i].vt == VT_BSTR ? SysStringLen(p[i].bstrVal) == SysStringLen(q[i].bstrVal) &&
                                                   std::memcmp(p[i].bstrVal, q[i].bstrVal, SysStringByteLen(p[i].bstrVal)) == 0
                        : p[i].vt == VT_I4 ? p[i].lVal == q[i].lVal
                                           : p[i].iVal == q[i].iVal;  // VT_I2, VT_BOOL, VT_EMPTY (0)
        if (!same) return false;
    }
    return true;
}

void FloorWriteBack(const COleSafeArray& grid, IHostTable& table, const WriteLayout& layout) {
    ComPtr<IHostRowStore> store = RowStoreOf(table);
    CheckResult(store->ClearRows());
    SAFEARRAY* array = grid.parray;
    const ULONG rows = array->rgsabound[1].cElements;  // dimension 1 is stored last
    const VARIANT* cells = nullptr;
    CheckResult(SafeArrayAccessData(array, reinterpret_cast<void**>(const_cast<VARIANT**>(&cells))));
    std::array<char, kMaxRecordLength> record;
    for (ULONG r = 0; r < rows; ++r) {
        std::memset(record.data(), ' ', layout.recordLength);
        // The guards first: a row that fails one is skipped, a section whose
        // guard fails stays blank.
        bool skipped = false;
        std::size_t blankFrom = layout.fields.size(), blankTo = 0;
        for (const WriteGuard& g : layout.guards) {
            if (GuardHolds(cells[r + static_cast<std::size_t>(g.column) * rows], g.text)) continue;
            if (g.miss == GuardMiss::SkipRow) skipped = true;
            else blankFrom = g.first, blankTo = g.end;
        }
        if (skipped) continue;
        LONG flags = 0;
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (i >= blankFrom && i < blankTo) continue;
            const WriteFieldSpec& f = layout.fields[i];
            const VARIANT& cell = cells[r + static_cast<std::size_t>(f.column) * rows];
            if (f.bit == 0) {
                WriteText(record.data() + f.offset, f.width, cell);
                continue;
            }
            if (i == 0 || layout.fields[i - 1].bit == 0 || layout.fields[i - 1].column != f.column)
                flags = CellNumber(cell);
            const bool set = flags >= f.bit;
            if (set) flags -= f.bit;
            record[f.offset] = set ? 'X' : ' ';
            if (f.width > 1) record[f.offset + 1] = '\0';
        }
        CheckResult(store->AppendRow(layout.recordLength, record.data()));
    }
    SafeArrayUnaccessData(array);
}

}  // namespace bench
