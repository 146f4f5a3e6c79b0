#include "standins/registered/RegisteredRecordTable.h"

#include "tables/TableOCXData.h"

namespace standins {

namespace {

using Self = RegisteredRecordTable;

}  // namespace

std::span<const ScriptMember<Self>> RegisteredRecordTable::Members() {
    static const ScriptMember<Self> members[] = {
        MethodMember<Self>("Add", 1000, VT_EMPTY, {{VT_BSTR, "record"}},
                           [](Self& t, MemberCall& call) { return call.Return(t.Add(call.Arg(0))); }),
        PropertyMember<Self>("Count", 1001, VT_I4, {},
                             [](Self& t, MemberCall& call) {
                                 return call.Return(COleVariant(static_cast<LONG>(t.RowCount())));
                             },
                             nullptr),
        PropertyMember<Self>("Item", 1002, VT_BSTR, {{VT_I4, "index"}},
                             [](Self& t, MemberCall& call) { return call.Return(t.Item(call.Arg(0).lVal)); }, nullptr),
        PropertyMember<Self>(
            "DataFlag", 1003, VT_I4, {}, [](Self& t, MemberCall& call) { return call.Return(COleVariant(t.DataFlag())); },
            [](Self& t, MemberCall& call) {
                t.SetDataFlag(call.Arg(0).lVal);
                return S_OK;
            }),
        MethodMember<Self>("Clear", 1004, VT_EMPTY, {},
                           [](Self& t, MemberCall&) {
                               t.Clear();
                               return S_OK;
                           }),
    };
    return members;
}

COleVariant RegisteredRecordTable::Add(const VARIANT& record) {
    AddRow(AnsiText(record));
    return COleVariant();
}

COleVariant RegisteredRecordTable::Item(LONG index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= RowCount())
        RaiseError(DISP_E_BADINDEX, {}, OLESTR("Item: no record with this index"));
    const std::string_view row = Row(static_cast<std::size_t>(index) + 1);
    return COleVariant::FromAnsi(row.data(), row.size());
}

}  // namespace standins
