// A host cell table held in memory, reached through IDispatch::Invoke as the
// host's is: RowCount, ColumnCount and Cell(row, column), rows and columns
// from 1, as a member table served by the platform's member engine.
//
// An injected failure with a description is raised as the host raises its
// errors: DISP_E_EXCEPTION with the code in EXCEPINFO.scode.
#pragma once

#include <span>
#include <vector>

#include "platform/DispatchMember.h"
#include "platform/OleVariant.h"
#include "standins/FaultPlan.h"
#include "standins/StandInObject.h"
#include "tables/HostTable.h"

namespace standins {

enum class CellOp { QueryInterface, RowCount, ColumnCount, Cell };

struct CellCall {
    CellOp op;
    LONG row = 0;  // Cell
    LONG column = 0;
    bool operator==(const CellCall&) const = default;
};

class HostCellTable : public StandInDispatch<IHostCellTable> {
public:
    static ComPtr<HostCellTable> Create(LONG rows = 0, LONG columns = 0);

    // ---- The test's side ----
    // Every cell becomes VT_EMPTY.
    void SetSize(LONG rows, LONG columns);
    void SetCell(LONG row, LONG column, const VARIANT& value);  // from 1
    const COleVariant& Cell(LONG row, LONG column) const;       // from 1
    LONG Rows() const noexcept { return rows_; }
    LONG Columns() const noexcept { return columns_; }
    // false: QueryInterface refuses IHostCellTable.
    void SetOffersCellTable(bool offers) noexcept { offersCellTable_ = offers; }

    // A description raises the failure as DISP_E_EXCEPTION; without one the
    // code is returned plainly.
    void FailCall(CellOp op, unsigned nth, HRESULT code, OleString description = {}) {
        faults_.Fail(op, nth, code, std::move(description));
    }
    const std::vector<std::uint64_t>& CallStamps(CellOp op) const { return faults_.Stamps(op); }
    const std::vector<CellCall>& Calls() const noexcept { return calls_; }
    void ClearCalls() noexcept { calls_.clear(); }
    // Clears the calls and starts their counts from zero, for a benchmark.
    void RestartCalls() noexcept {
        calls_.clear();
        faults_.RestartCounts();
    }
    unsigned CallCount(CellOp op) const { return faults_.Count(op); }

    static std::span<const DispatchMember<HostCellTable>> Members();

    // ---- IUnknown, IDispatch ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argErr) override;

protected:
    HostCellTable() = default;

private:
    // Records the call and fails it as told: S_OK when it must not fail.
    HRESULT Enter(CellCall call);
    void CheckCell(LONG row, LONG column) const;
    std::size_t Index(LONG row, LONG column) const;

    LONG rows_ = 0;
    LONG columns_ = 0;
    std::vector<COleVariant> cells_;  // row by row
    bool offersCellTable_ = true;
    FaultPlan<CellOp> faults_;
    std::vector<CellCall> calls_;
};

}  // namespace standins
