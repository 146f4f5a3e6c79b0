#include "tables/RecordBuilder.h"

#include <algorithm>
#include <cstring>

#include "platform/CRuntime.h"

namespace {

// The element's text form: the variant changed to a string, as the platform
// changes it (numbers become their decimal digits).
COleVariant CellText(const COleSafeArray& grid, LONG row, LONG column) {
    LONG index[2] = {row, column};
    COleVariant cell;
    grid.GetElement(index, &cell);
    cell.ChangeType(VT_BSTR);
    return cell;
}

// Copies at most `width` characters of the text, in the ANSI code page, to
// the field; a shorter text ends with a NUL inside the field.
void CopyText(char* field, std::uint16_t width, const OLECHAR* text, UINT length) {
    int n = static_cast<int>(std::min<UINT>(length, width));
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, n, field, width, nullptr, nullptr);
    if (n < width) field[n] = '\0';
}

void CopyText(char* field, std::uint16_t width, const COleVariant& text) {
    CopyText(field, width, text.bstrVal, SysStringLen(text.bstrVal));
}

// Exact and case-sensitive; the expected text is ASCII.
bool HasText(const COleVariant& text, std::string_view expected) {
    const UINT length = SysStringLen(text.bstrVal);
    if (length != expected.size()) return false;
    for (UINT i = 0; i < length; ++i)
        if (text.bstrVal[i] != static_cast<OLECHAR>(static_cast<unsigned char>(expected[i]))) return false;
    return true;
}

LONG NumberOf(const COleVariant& text) {
    std::array<char, 64> narrow{};
    CopyText(narrow.data(), narrow.size() - 1, text);
    return AtoL(narrow.data());
}

}  // namespace

const char* CRecordBuilder::Build(const COleSafeArray& grid, LONG row) {
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
        CopyText(record_.data() + f.offset, f.width, CellText(grid, row, f.column));
        ++i;
    }
    return record_.data();
}

bool CRecordBuilder::PassGuards(const COleSafeArray& grid, LONG row, std::size_t& guard, std::size_t& field) const {
    for (; guard < layout_.guards.size() && layout_.guards[guard].first == field; ++guard) {
        const WriteGuard& g = layout_.guards[guard];
        if (HasText(CellText(grid, row, g.column), g.text)) continue;
        if (g.miss == GuardMiss::SkipRow) return false;
        field = g.end;  // the section stays blank
    }
    return true;
}

// A run of flag fields shares one column: its number is handed out from the
// highest bit down, each bit it covers marking its field with "X".
void CRecordBuilder::WriteFlags(const COleSafeArray& grid, LONG row, std::size_t& field) {
    const std::int8_t column = layout_.fields[field].column;
    LONG value = NumberOf(CellText(grid, row, column));
    for (; field < layout_.fields.size() && layout_.fields[field].bit != 0 && layout_.fields[field].column == column;
         ++field) {
        const WriteFieldSpec& f = layout_.fields[field];
        bool set = value >= f.bit;
        if (set) value -= f.bit;
        CopyText(record_.data() + f.offset, f.width, set ? OLESTR("X") : OLESTR(" "), 1);
    }
}
