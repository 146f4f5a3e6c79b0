#include "standins/HostCellTable.h"

#include <stdexcept>

#include "standins/DispatchCall.h"

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

HRESULT HostCellTable::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* exception, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (const HRESULT hr = DispatchCall::CheckParams(params); FAILED(hr)) return hr;
    // Every member is a read-only property; script clients read them as methods.
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;

    CellOp op;
    UINT paramCount = 0;
    switch (member) {
        case kRowCount: op = CellOp::RowCount; break;
        case kColumnCount: op = CellOp::ColumnCount; break;
        case kCell: op = CellOp::Cell; paramCount = 2; break;
        default: return DISP_E_MEMBERNOTFOUND;
    }
    const DispatchCall call(*params, result, exception, argErr);
    if (call.NamedCount() != 0) return DISP_E_NONAMEDARGS;
    if (call.ArgCount() != paramCount) return DISP_E_BADPARAMCOUNT;

    return Guarded([&] {
        LONG row = 0;
        LONG column = 0;
        HRESULT converted = S_OK;
        if (op == CellOp::Cell) {
            converted = call.LongArg(0, row);
            if (SUCCEEDED(converted)) converted = call.LongArg(1, column);
            if (FAILED(converted)) row = column = 0;
        }
        calls_.push_back({op, row, column});
        if (const auto& fault = faults_.Enter(op); FAILED(fault.code))
            return fault.description.empty() ? fault.code : call.Raise(fault.code, fault.description);
        if (FAILED(converted)) return converted;

        switch (op) {
            case CellOp::RowCount: return call.Return(COleVariant(rows_));
            case CellOp::ColumnCount: return call.Return(COleVariant(columns_));
            default:
                if (row < 1 || row > rows_ || column < 1 || column > columns_) return DISP_E_BADINDEX;
                return call.Return(COleVariant(cells_[Index(row, column)]));
        }
    });
}

}  // namespace standins
