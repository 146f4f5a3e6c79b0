#include "tables/TableOCXData.h"

#include <algorithm>

#include "platform/DispatchDriver.h"

BOOL CTableOCXData::Fill30(ComPtr<IHostCellTable> table) { return Unsupported(std::move(table)); }
BOOL CTableOCXData::Fill20(ComPtr<IHostCellTable> table) { return Unsupported(std::move(table)); }

BOOL CTableOCXData::Unsupported(ComPtr<IHostCellTable> table) noexcept {
    table.Reset();
    return FALSE;
}

namespace {

DispatchDriver Driver(IHostCellTable& table) {
    return DispatchDriver(&table, InterfaceTraits<IHostCellTable>::Id());
}

LONG CountOf(IHostCellTable& table, DISPID member) {
    return std::max(LONG{0}, Driver(table).GetProperty(member, VT_I4).lVal);
}

// A number's or an empty cell's text is known without making it.
bool HasEmptyText(const VARIANT& cell) {
    switch (cell.vt) {
        case VT_EMPTY: return true;
        case VT_BSTR: return SysStringLen(cell.bstrVal) == 0;
        case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_BOOL: case VT_UI1: return false;
        default: {
            COleVariant text;
            text.ChangeType(VT_BSTR, &cell);
            return SysStringLen(text.bstrVal) == 0;
        }
    }
}

}  // namespace

LONG CellRowCount(IHostCellTable& table) { return CountOf(table, IHostCellTable::kRowCount); }
LONG CellColumnCount(IHostCellTable& table) { return CountOf(table, IHostCellTable::kColumnCount); }

COleVariant CellOf(IHostCellTable& table, LONG row, LONG column) {
    // Numbers own nothing, so the arguments need no clean-up.
    VARIANT args[2];
    args[0].vt = VT_I4;
    args[0].lVal = row;
    args[1].vt = VT_I4;
    args[1].lVal = column;
    return Driver(table).GetProperty(IHostCellTable::kCell, VT_VARIANT, args);
}

std::string AnsiText(const VARIANT& cell) {
    COleVariant text;
    text.ChangeType(VT_BSTR, &cell);
    const int length = static_cast<int>(SysStringLen(text.bstrVal));
    if (length == 0) return {};
    // One byte per character in a single-byte code page; asked for anyway.
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.bstrVal, length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.bstrVal, length, ansi.data(), bytes, nullptr, nullptr);
    return ansi;
}

COleVariant LongOfCell(COleVariant cell) {
    if (HasEmptyText(cell)) return COleVariant(LONG{0}, VT_I4);
    cell.ChangeType(VT_I4);
    return cell;
}
