// The chart control, as the adapter drives it: by dispatch identifier only.
//
// It keeps what is put into each property and hands it back on a get,
// answers the few methods whose results the adapter reads, and records every
// call with deep copies of its arguments so that tests can check exactly what
// reached the chart. Off Windows it draws what it holds: method 33 saves the
// strategy map as a JPEG (standins/picture).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "control/ChartInterface.h"
#include "platform/ComponentError.h"
#include "platform/DispatchMember.h"
#include "platform/OleVariant.h"
#include "standins/FaultPlan.h"
#include "standins/StandInObject.h"
#include "standins/picture/ChartHoldings.h"

namespace standins {

struct ChartCall {
    enum Kind { Put, Get, Call };
    Kind kind;
    DISPID dispid;
    // In parameter order: put [value], indexed put [index, value], get [],
    // call every argument. References are recorded as the values they held.
    std::vector<COleVariant> args;
    // The type each argument was passed with, VT_BYREF included.
    std::vector<VARTYPE> passed;
};

// Operations a ChartStandIn can be told to fail on their kth call. Such a
// failure is returned plainly by Invoke, without EXCEPINFO; FailNext covers
// failures raised as exceptions.
enum class ChartOp { QueryInterface, Put, Get, Call };

class ChartStandIn : public StandInDispatch<IChartControl>, public picture::ChartHoldings {
public:
    static ComPtr<ChartStandIn> Create();

    // ---- The test's side ----
    void SetOffersChartInterface(bool offers) noexcept { offersChart_ = offers; }
    // Out-texts of method 43 (object, strategy, perspective).
    void SetSelection(OleString object, OleString strategy, OleString perspective);
    // Out-texts of method 45 (object, row).
    void SetMatrix(OleString object, OleString row);
    // Result of method 73.
    void SetStrategy(OleString text) { strategy_ = std::move(text); }

    // Fails the next put, get or call of dispid with DISP_E_EXCEPTION carrying
    // code and description (none when empty); replaces one still pending.
    void FailNext(DISPID dispid, HRESULT code, OleString description = {});
    // A description raises the failure as DISP_E_EXCEPTION; without one the
    // code is returned plainly.
    void FailCall(ChartOp op, unsigned nth, HRESULT code, OleString description = {}) {
        faults_.Fail(op, nth, code, std::move(description));
    }
    const std::vector<std::uint64_t>& CallStamps(ChartOp op) const { return faults_.Stamps(op); }
    unsigned CallCount(ChartOp op) const { return faults_.Count(op); }

    // From now on each call goes to `listener` as it arrives instead of into
    // Calls(), with the arguments the caller passed rather than copies: a
    // host that shows calls as they come holds no copy of a grid to show it.
    using Listener = std::function<void(const ChartCall&)>;
    void ForwardCalls(Listener listener) { listener_ = std::move(listener); }
    // false: puts from now on are not kept (a get answers what was kept
    // before), for a host that knows nothing will ask for them. The calls
    // the drawing reads (ForEachCall) are kept whatever this says and
    // whether calls are forwarded or recorded.
    void SetKeepsPuts(bool keeps) noexcept { keepsPuts_ = keeps; }
    // false: the calls the drawing reads are no longer kept either, for a
    // host that never draws (a benchmark or a soak that sends millions).
    void SetKeepsDrawing(bool keeps) noexcept { keepsDrawing_ = keeps; }

    const std::vector<ChartCall>& Calls() const noexcept { return calls_; }
    void ClearCalls() noexcept;
    // A copy of what was last put into dispid (VT_EMPTY when nothing was).
    COleVariant PropertyValue(DISPID dispid) const;
    void SetProperty(DISPID dispid, const VARIANT& value);
    // What a later get (a property) or call (a method) of dispid returns;
    // the out-texts of methods 43 and 45 still come from the selections.
    void SetAnswer(DISPID dispid, const VARIANT& value);

    // The chart's members as the adapter calls them (control/ChartMembers.h),
    // with their parameters; properties hold any value and methods answer
    // as given.
    static std::span<const DispatchMember<ChartStandIn>> Members();

    // ---- What the drawing reads ----
    const VARIANT* Property(DISPID member) const override;
    // The indexed puts of properties 36, 37 and 77 and the calls of methods
    // 38, 42, 59 and 83, in the order they came.
    void ForEachCall(const CallVisitor& visit) const override;
    // As methods 43 and 73 answer.
    OleStringView SelectedObjective() const override;
    OleStringView SelectedStrategy() const override;

    // ---- IUnknown, IDispatch ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argErr) override;

private:
    struct Failure {
        HRESULT code;
        OleString description;
    };

protected:
    ChartStandIn() = default;

private:
    // What a member does once its call is recorded and no failure was asked
    // for; `recorded` is the call's index in calls_, or Stored::kNoCall.
    using Answer = HRESULT (*)(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    template <Answer Then>
    static HRESULT Served(ChartStandIn& self, MemberCall& call) {
        return self.Serve(call, Then);
    }
    HRESULT Serve(MemberCall& call, Answer answer);
    static HRESULT Keep(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Give(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Nothing(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Done(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Added(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Selection(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Matrix(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT Strategy(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT BlobOfVersion(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    static HRESULT SaveImage(ChartStandIn& self, MemberCall& call, std::size_t recorded);
    // Keeps the call's arguments for the drawing when it reads them.
    void KeepDrawn(const MemberCall& call);
    // Stores texts in the call's out-text arguments, whose types the member
    // table checked; null texts leave them as they are.
    static HRESULT FillTexts(MemberCall& call, const OleString* texts);

    bool offersChart_ = true;
    std::optional<std::array<OleString, 3>> selection_;
    std::optional<std::array<OleString, 2>> matrix_;
    std::optional<OleString> strategy_;
    std::map<DISPID, Failure> pending_;
    // A put's value is kept once: in the recorded call while the record
    // lasts, then in the property itself. A grid of a million rows is then
    // held once by the chart, not twice.
    struct Stored {
        static constexpr std::size_t kNoCall = static_cast<std::size_t>(-1);
        COleVariant value;
        std::size_t call = kNoCall;  // index into calls_ holding the value
    };
    std::map<DISPID, Stored> properties_;
    std::map<DISPID, COleVariant> answers_;  // of methods
    FaultPlan<ChartOp> faults_;
    std::vector<ChartCall> calls_;
    // The calls ForEachCall hands out, with deep copies of their arguments.
    std::vector<std::pair<DISPID, std::vector<COleVariant>>> drawn_;
    Listener listener_;
    bool keepsPuts_ = true;
    bool keepsDrawing_ = true;
};

}  // namespace standins
