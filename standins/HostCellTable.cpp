#include "standins/HostCellTable.h"

#include <stdexcept>


namespace standins {

ComPtr<HostCellTable> HostCellTable::Create(LONG rows, LONG columns) {
    ComPtr<HostCellTable> table;
    table.Attach(new HostCellTable);
    table->SetSize(rows, columns);
    return table;
}

void HostCellTable::SetSize(LONG rows, LONG columns) {
    if (rows < 0 || columns < 0) throw std::invalid_argument("HostCellTable::SetSize");
    cells_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), COleVariant());
    rows_ = rows;
    columns_ = columns;
}

void HostCellTable::CheckCell(LONG row, LONG column) const {
    if (row < 1 || row > rows_ || column < 1 || column > columns_) throw std::out_of_range("HostCellTable: no such cell");
}

void HostCellTable::SetCell(LONG row, LONG column, const VARIANT& value) {
    CheckCell(row, column);
    cells_[Index(row, column)] = value;
}

const COleVariant& HostCellTable::Cell(LONG row, LONG column) const {
    CheckCell(row, column);
    return cells_[Index(row, column)];
}

std::size_t HostCellTable::Index(LONG row, LONG column) const {
    return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column - 1);
}

HRESULT HostCellTable::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch))
        return Grant(object, static_cast<IDispatch*>(this));
    if (!IsEqualIID(riid, IID_IHostCellTable)) return Refuse(object);

    calls_.push_back({CellOp::QueryInterface});
    if (const HRESULT fault = faults_.Enter(CellOp::QueryInterface).code; FAILED(fault)) return Refuse(object, fault);
    if (!offersCellTable_) return Refuse(object);
    return Grant(object, static_cast<IHostCellTable*>(this));
}

std::span<const DispatchMember<HostCellTable>> HostCellTable::Members() {
    using Self = HostCellTable;
    // Every member is a read-only property.
    static const DispatchMember<Self> members[] = {
        PropertyMember<Self>("RowCount", kRowCount, VT_I4, {},
                             [](Self& t, MemberCall& call) {
                                 const HRESULT hr = t.Enter({CellOp::RowCount});
                                 return FAILED(hr) ? hr : call.Return(COleVariant(t.rows_));
                             },
                             nullptr),
        PropertyMember<Self>("ColumnCount", kColumnCount, VT_I4, {},
                             [](Self& t, MemberCall& call) {
                                 const HRESULT hr = t.Enter({CellOp::ColumnCount});
                                 return FAILED(hr) ? hr : call.Return(COleVariant(t.columns_));
                             },
                             nullptr),
        PropertyMember<Self>("Cell", kCell, VT_VARIANT, {{VT_I4, "row"}, {VT_I4, "column"}},
                             [](Self& t, MemberCall& call) {
                                 const LONG row = call.Arg(0).lVal, column = call.Arg(1).lVal;
                                 if (const HRESULT hr = t.Enter({CellOp::Cell, row, column}); FAILED(hr)) return hr;
                                 if (row < 1 || row > t.rows_ || column < 1 || column > t.columns_)
                                     return DISP_E_BADINDEX;
                                 return call.Return(t.cells_[t.Index(row, column)]);
                             },
                             nullptr),
    };
    return members;
}

HRESULT HostCellTable::Enter(CellCall call) {
    calls_.push_back(call);
    const auto& fault = faults_.Enter(call.op);
    if (FAILED(fault.code) && !fault.description.empty()) RaiseError(fault.code, {}, fault.description);
    return fault.code;
}

HRESULT HostCellTable::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return MemberIdsOfNames(Members(), names, count, ids);
}

HRESULT HostCellTable::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argErr) {
    return InvokeMember(Members(), *this, OLESTR("HostCellTable"), member, riid, flags, params, result, exception,
                        argErr);
}

}  // namespace standins
