#include "standins/registered/RegisteredRecordTable.h"

#include "tables/TableOCXData.h"

namespace standins {

namespace {

using Self = RegisteredRecordTable;

}  // namespace

std::span<const ScriptMember<Self>> RegisteredRecordTable::Members() {
    static const ScriptMember<Self> members[] = {
        Member<Self>("Add", 1000, DISPATCH_METHOD, VT_EMPTY, {VT_BSTR},
                     [](Self& t, const VARIANT* a) { return t.Add(a[0]); }),
        Member<Self>("Count", 1001, DISPATCH_PROPERTYGET, VT_I4, {},
                     [](Self& t, const VARIANT*) { return COleVariant(static_cast<LONG>(t.RowCount())); }),
        Member<Self>("Item", 1002, DISPATCH_PROPERTYGET, VT_BSTR, {VT_I4},
                     [](Self& t, const VARIANT* a) { return t.Item(a[0].lVal); }),
        Member<Self>("DataFlag", 1003, DISPATCH_PROPERTYGET, VT_I4, {},
                     [](Self& t, const VARIANT*) { return COleVariant(t.DataFlag()); }),
        Member<Self>("DataFlag", 1003, DISPATCH_PROPERTYPUT, VT_EMPTY, {VT_I4},
                     [](Self& t, const VARIANT* a) {
                         t.SetDataFlag(a[0].lVal);
                         return COleVariant();
                     }),
        Member<Self>("Clear", 1004, DISPATCH_METHOD, VT_EMPTY, {},
                     [](Self& t, const VARIANT*) {
                         t.Clear();
                         return COleVariant();
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
