// A host record table held in memory: the rows behind IHostTable and the
// row store it hands out.
//
// Rows are byte strings kept in one buffer with an offset per row, so that
// tables of a million rows fill and read in linear time. Every operation the
// system calls is recorded and counted, and the kth call of any of them can be
// made to fail. Out-parameters are written only on success.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "standins/FaultPlan.h"
#include "standins/StandInObject.h"
#include "tables/HostTable.h"

namespace standins {

enum class HostOp { QueryInterface, GetDataFlag, GetRowStore, ReadRow, AppendRow, ClearRows, GetRowCount };

struct HostCall {
    HostOp op;
    ULONG row = 0;     // ReadRow
    ULONG length = 0;  // ReadRow, AppendRow
    bool operator==(const HostCall&) const = default;
};

class HostRecordTable : public StandInDispatch<IHostTable> {
public:
    static ComPtr<HostRecordTable> Create(std::initializer_list<std::string_view> rows = {});

    // ---- The test's side ----
    void AddRow(std::string_view record);
    std::size_t RowCount() const noexcept { return offsets_.size() - 1; }
    std::string_view Row(std::size_t row) const;  // from 1

    // Removes every row; unlike the row store's ClearRows, not a call.
    void Clear() noexcept;

    LONG DataFlag() const noexcept { return dataFlag_; }
    void SetDataFlag(LONG flag) noexcept { dataFlag_ = flag; }
    // false: GetRowStore succeeds and hands out nothing.
    void SetOffersRowStore(bool offers) noexcept { offersRowStore_ = offers; }
    // GetRowCount answers this many rows, not the rows held, as the row
    // store of a table too large for this process would; 0 stops it.
    void ClaimRowCount(ULONG rows) noexcept { claimedRows_ = rows; }
    // false: the object is a plain IDispatch.
    void SetOffersHostTable(bool offers) noexcept { offersHostTable_ = offers; }
    // Anything but S_OK is what QueryInterface for IHostTable answers, with
    // no interface (a success code imitates a misbehaving host).
    void SetQueryResult(HRESULT code) noexcept { queryResult_ = code; }

    void FailCall(HostOp op, unsigned nth, HRESULT code) { faults_.Fail(op, nth, code); }
    const std::vector<HostCall>& Calls() const noexcept { return calls_; }
    void ClearCalls() noexcept { calls_.clear(); }
    // Clears the calls and starts their counts from zero, for a benchmark.
    void RestartCalls() noexcept {
        calls_.clear();
        faults_.RestartCounts();
    }
    // Calls since creation, failed ones included; ClearCalls keeps them.
    unsigned CallCount(HostOp op) const { return faults_.Count(op); }
    const std::vector<std::uint64_t>& CallStamps(HostOp op) const { return faults_.Stamps(op); }

    // ---- IUnknown, IDispatch ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    // ---- IHostTable ----
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved10() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved11() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved12() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved13() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved14() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved15() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDataFlag(LONG* flag) override;
    HRESULT STDMETHODCALLTYPE Reserved17() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved18() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRowStore(IHostRowStore** store) override;

protected:
    HostRecordTable();

private:
    friend class HostRowStore;  // serves its rows from here

    HRESULT Enter(HostCall call);
    HRESULT ReadRow(ULONG row, ULONG length, LPSTR record);
    HRESULT AppendRow(ULONG length, LPCSTR record);
    HRESULT ClearRows();
    HRESULT GetRowCount(ULONG* count);

    std::string bytes_;
    std::vector<std::size_t> offsets_{0};  // row i spans offsets_[i-1] .. offsets_[i]
    LONG dataFlag_ = 1;
    bool offersRowStore_ = true;
    ULONG claimedRows_ = 0;
    bool offersHostTable_ = true;
    HRESULT queryResult_ = S_OK;
    FaultPlan<HostOp> faults_;
    std::vector<HostCall> calls_;
};

}  // namespace standins
