// The row store a HostRecordTable hands out: a separate object, as the
// host's is, that keeps its table alive and serves the table's rows.
#pragma once

#include "standins/HostRecordTable.h"
#include "standins/StandInObject.h"
#include "tables/HostTable.h"

namespace standins {

class HostRowStore final : public StandInObject<IHostRowStore> {
public:
    static ComPtr<HostRowStore> Create(HostRecordTable& table);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReadRow(ULONG row, ULONG length, LPSTR record) override {
        return table_->ReadRow(row, length, record);
    }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AppendRow(ULONG length, LPCSTR record) override {
        return table_->AppendRow(length, record);
    }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ClearRows() override { return table_->ClearRows(); }
    HRESULT STDMETHODCALLTYPE GetRowCount(ULONG* count) override { return table_->GetRowCount(count); }

private:
    explicit HostRowStore(HostRecordTable& table) : table_(&table) {}

    ComPtr<HostRecordTable> table_;
};

}  // namespace standins
