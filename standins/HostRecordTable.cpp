#include "standins/HostRecordTable.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/DispatchMember.h"
#include "standins/HostRowStore.h"

namespace standins {

HostRecordTable::HostRecordTable() = default;

ComPtr<HostRecordTable> HostRecordTable::Create(std::initializer_list<std::string_view> rows) {
    ComPtr<HostRecordTable> table;
    table.Attach(new HostRecordTable);
    for (std::string_view row : rows) table->AddRow(row);
    return table;
}

void HostRecordTable::AddRow(std::string_view record) {
    bytes_.append(record);
    offsets_.push_back(bytes_.size());
}

std::string_view HostRecordTable::Row(std::size_t row) const {
    if (row < 1 || row > RowCount()) throw std::out_of_range("HostRecordTable::Row");
    return std::string_view(bytes_).substr(offsets_[row - 1], offsets_[row] - offsets_[row - 1]);
}

void HostRecordTable::Clear() noexcept {
    bytes_.clear();
    offsets_.assign(1, 0);
}

HRESULT HostRecordTable::Enter(HostCall call) {
    calls_.push_back(call);
    return faults_.Enter(call.op).code;
}

HRESULT HostRecordTable::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch))
        return Grant(object, static_cast<IDispatch*>(this));
    // The row store is reached through GetRowStore only, as on the host.
    if (!IsEqualIID(riid, IID_IHostTable)) return Refuse(object);

    if (const HRESULT fault = Enter({HostOp::QueryInterface}); FAILED(fault)) return Refuse(object, fault);
    if (!offersHostTable_) return Refuse(object);
    if (queryResult_ != S_OK) return Refuse(object, queryResult_);
    return Grant(object, static_cast<IHostTable*>(this));
}

HRESULT HostRecordTable::GetDataFlag(LONG* flag) {
    if (const HRESULT fault = Enter({HostOp::GetDataFlag}); FAILED(fault)) return fault;
    if (!flag) return E_POINTER;
    *flag = dataFlag_;
    return S_OK;
}

HRESULT HostRecordTable::GetRowStore(IHostRowStore** store) {
    if (const HRESULT fault = Enter({HostOp::GetRowStore}); FAILED(fault)) return fault;
    if (!store) return E_POINTER;
    if (!offersRowStore_) {
        *store = nullptr;
        return S_OK;
    }
    return AtCallBoundary([&] {
        *store = HostRowStore::Create(*this).Detach();
        return S_OK;
    });
}

HRESULT HostRecordTable::ReadRow(ULONG row, ULONG length, LPSTR record) {
    if (const HRESULT fault = Enter({HostOp::ReadRow, row, length}); FAILED(fault)) return fault;
    if (row < 1 || row > RowCount()) return E_INVALIDARG;
    if (length == 0) return S_OK;
    if (!record) return E_POINTER;
    const std::string_view stored = Row(row);
    const std::size_t copied = std::min<std::size_t>(length, stored.size());
    std::memcpy(record, stored.data(), copied);
    std::memset(record + copied, ' ', length - copied);
    return S_OK;
}

HRESULT HostRecordTable::AppendRow(ULONG length, LPCSTR record) {
    if (const HRESULT fault = Enter({HostOp::AppendRow, 0, length}); FAILED(fault)) return fault;
    if (!record && length > 0) return E_POINTER;
    return AtCallBoundary([&] {
        AddRow(std::string_view(record, length));
        return S_OK;
    });
}

HRESULT HostRecordTable::ClearRows() {
    if (const HRESULT fault = Enter({HostOp::ClearRows}); FAILED(fault)) return fault;
    Clear();
    return S_OK;
}

HRESULT HostRecordTable::GetRowCount(ULONG* count) {
    if (const HRESULT fault = Enter({HostOp::GetRowCount}); FAILED(fault)) return fault;
    if (!count) return E_POINTER;
    *count = claimedRows_ ? claimedRows_ : static_cast<ULONG>(RowCount());
    return S_OK;
}

}  // namespace standins
