#include "standins/registered/RegisteredCellTable.h"

namespace standins {

namespace {

using Self = RegisteredCellTable;

}  // namespace

std::span<const ScriptMember<Self>> RegisteredCellTable::Members() {
    static const ScriptMember<Self> members[] = {
        MethodMember<Self>("Resize", 1000, VT_EMPTY, {{VT_I4, "rows"}, {VT_I4, "columns"}},
                           [](Self& t, MemberCall& call) {
                               t.Resize(call.Arg(0).lVal, call.Arg(1).lVal);
                               return S_OK;
                           }),
        PropertyMember<Self>(
            "Cell", 1001, VT_VARIANT, {{VT_I4, "row"}, {VT_I4, "column"}},
            [](Self& t, MemberCall& call) {
                t.CheckCell(call.Arg(0).lVal, call.Arg(1).lVal);
                return call.Return(t.Cell(call.Arg(0).lVal + 1, call.Arg(1).lVal + 1));
            },
            [](Self& t, MemberCall& call) {
                t.CheckCell(call.Arg(0).lVal, call.Arg(1).lVal);
                t.SetCell(call.Arg(0).lVal + 1, call.Arg(1).lVal + 1, call.Arg(2));
                return S_OK;
            }),
        PropertyMember<Self>("Rows", 1002, VT_I4, {}, [](Self& t, MemberCall& call) { return call.Return(COleVariant(t.Rows())); },
                             nullptr),
        PropertyMember<Self>("Columns", 1003, VT_I4, {},
                             [](Self& t, MemberCall& call) { return call.Return(COleVariant(t.Columns())); }, nullptr),
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
