#include "tables/RecordBuilder.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/CRuntime.h"

namespace {

// Copies at most `width` characters of the text, in the ANSI code page, to
// the field; a shorter text ends with a NUL inside the field.
void CopyText(char* field, std::uint16_t width, const OLECHAR* text, UINT length) {
    int n = static_cast<int>(std::min<UINT>(length, width));
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, n, field, width, nullptr, nullptr);
    if (n < width) field[n] = '\0';
}

// A number's text form is its decimal digits, as the platform writes them.
using Digits = std::array<char, 16>;
std::string_view DigitsOf(LONG value, Digits& digits) {
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return {digits.data(), static_cast<std::size_t>(end - digits.data())};
}

void CopyDigits(char* field, std::uint16_t width, LONG value) {
    Digits digits;
    const std::string_view text = DigitsOf(value, digits);
    const std::size_t copied = std::min<std::size_t>(text.size(), width);
    std::memcpy(field, text.data(), copied);
    if (copied < width) field[copied] = '\0';
}

// Exact and case-sensitive; the expected text is ASCII.
bool HasText(const OLECHAR* text, UINT length, std::string_view expected) {
    if (length != expected.size()) return false;
    for (UINT i = 0; i < length; ++i)
        if (text[i] != static_cast<OLECHAR>(static_cast<unsigned char>(expected[i]))) return false;
    return true;
}

// The element's text form (the variant changed to a string, as the platform
// changes it) is exactly `expected`.
bool HasText(const VARIANT& cell, std::string_view expected) {
    Digits digits;
    switch (cell.vt) {
    case VT_BSTR: return HasText(cell.bstrVal, SysStringLen(cell.bstrVal), expected);
    case VT_I2: return DigitsOf(cell.iVal, digits) == expected;
    case VT_I4: return DigitsOf(cell.lVal, digits) == expected;
    default: break;
    }
    COleVariant text;
    text.ChangeType(VT_BSTR, &cell);
    return HasText(text.bstrVal, SysStringLen(text.bstrVal), expected);
}

// The element's text form: the variant changed to a string, as the platform
// changes it.
void CopyCell(char* field, std::uint16_t width, const VARIANT& cell) {
    switch (cell.vt) {
    case VT_BSTR: return CopyText(field, width, cell.bstrVal, SysStringLen(cell.bstrVal));
    case VT_I2: return CopyDigits(field, width, cell.iVal);
    case VT_I4: return CopyDigits(field, width, cell.lVal);
    default: {
        COleVariant text;
        text.ChangeType(VT_BSTR, &cell);
        return CopyText(field, width, text.bstrVal, SysStringLen(text.bstrVal));
    }
    }
}

// The element read as atol reads its text form, all of it.
LONG NumberOf(const VARIANT& cell) {
    switch (cell.vt) {
    case VT_I2: return cell.iVal;
    case VT_I4: return cell.lVal;
    case VT_BSTR: return AtoL(cell.bstrVal, SysStringLen(cell.bstrVal));
    default: {
        COleVariant text;
        text.ChangeType(VT_BSTR, &cell);
        return AtoL(text.bstrVal, SysStringLen(text.bstrVal));
    }
    }
}

}  // namespace

const char* CRecordBuilder::Build(const CVariantGrid& grid, LONG row) {
    std::memset(record_.data(), ' ', layout_.recordLength);
    std::size_t guard = 0;
    for (std::size_t i = 0; i < layout_.fields.size();) {
        if (!PassGuards(grid, row, guard, i)) return nullptr;
        if (i == layout_.fields.size()) break;
        const WriteFieldSpec& f = layout_.fields[i];
        if (f.bit != 0) {
            WriteFlags(grid, row, i);
            continue;
        }
        CopyCell(record_.data() + f.offset, f.width, grid.At(row, f.column));
        ++i;
    }
    return record_.data();
}

bool CRecordBuilder::PassGuards(const CVariantGrid& grid, LONG row, std::size_t& guard, std::size_t& field) const {
    for (; guard < layout_.guards.size() && layout_.guards[guard].first == field; ++guard) {
        const WriteGuard& g = layout_.guards[guard];
        if (HasText(grid.At(row, g.column), g.text)) continue;
        if (g.miss == GuardMiss::SkipRow) return false;
        field = g.end;  // the section stays blank
    }
    return true;
}

const char* CRecordBuilder::Build(const COleSafeArray& grid, LONG row) {
    const CVariantGrid cells(grid);
    return Build(cells, row);
}

// A run of flag fields shares one column: its number is handed out from the
// highest bit down, each bit it covers marking its field with "X".
void CRecordBuilder::WriteFlags(const CVariantGrid& grid, LONG row, std::size_t& field) {
    const std::int8_t column = layout_.fields[field].column;
    LONG value = NumberOf(grid.At(row, column));
    for (; field < layout_.fields.size() && layout_.fields[field].bit != 0 && layout_.fields[field].column == column;
         ++field) {
        const WriteFieldSpec& f = layout_.fields[field];
        bool set = value >= f.bit;
        if (set) value -= f.bit;
        CopyText(record_.data() + f.offset, f.width, set ? OLESTR("X") : OLESTR(" "), 1);
    }
}
