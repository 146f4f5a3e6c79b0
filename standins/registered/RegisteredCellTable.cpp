#include "standins/registered/RegisteredCellTable.h"

namespace standins {

namespace {

using Self = RegisteredCellTable;

}  // namespace

std::span<const ScriptMember<Self>> RegisteredCellTable::Members() {
    static const ScriptMember<Self> members[] = {
        Member<Self>("Resize", 1000, DISPATCH_METHOD, VT_EMPTY, {VT_I4, VT_I4},
                     [](Self& t, const VARIANT* a) {
                         t.Resize(a[0].lVal, a[1].lVal);
                         return COleVariant();
                     }),
        Member<Self>("Cell", 1001, DISPATCH_PROPERTYGET, VT_VARIANT, {VT_I4, VT_I4},
                     [](Self& t, const VARIANT* a) {
                         t.CheckCell(a[0].lVal, a[1].lVal);
                         return t.Cell(a[0].lVal + 1, a[1].lVal + 1);
                     }),
        Member<Self>("Cell", 1001, DISPATCH_PROPERTYPUT, VT_EMPTY, {VT_I4, VT_I4, VT_VARIANT},
                     [](Self& t, const VARIANT* a) {
                         t.CheckCell(a[0].lVal, a[1].lVal);
                         t.SetCell(a[0].lVal + 1, a[1].lVal + 1, a[2]);
                         return COleVariant();
                     }),
        Member<Self>("Rows", 1002, DISPATCH_PROPERTYGET, VT_I4, {},
                     [](Self& t, const VARIANT*) { return COleVariant(t.Rows()); }),
        Member<Self>("Columns", 1003, DISPATCH_PROPERTYGET, VT_I4, {},
                     [](Self& t, const VARIANT*) { return COleVariant(t.Columns()); }),
    };
    return members;
}

void RegisteredCellTable::Resize(LONG rows, LONG columns) {
    if (rows < 0 || columns < 0) RaiseError(E_INVALIDARG, {}, OLESTR("Resize: rows and columns cannot be negative"));
    SetSize(rows, columns);
}

void RegisteredCellTable::CheckCell(LONG row, LONG column) const {
    if (row < 0 || row >= Rows() || column < 0 || column >= Columns())
        RaiseError(DISP_E_BADINDEX, {}, OLESTR("Cell: no cell at this row and column"));
}

}  // namespace standins
