#include "standins/ChartStandIn.h"

#include <utility>

#include "standins/DispatchCall.h"

namespace standins {

namespace {

// Members the adapter calls as methods; every other identifier is a property.
bool IsMethod(DISPID member) {
    switch (member) {
        case 27: case 28: case 29: case 31: case 33: case 38: case 42:
        case 43: case 45: case 59: case 65: case 70: case 73: case 83:
            return true;
        default:
            return false;
    }
}

ChartOp OpOf(ChartCall::Kind kind) {
    switch (kind) {
        case ChartCall::Put: return ChartOp::Put;
        case ChartCall::Get: return ChartOp::Get;
        default: return ChartOp::Call;
    }
}

COleVariant True() { return COleVariant(SHORT{1}, VT_BOOL); }

// A deep copy, a reference followed.
COleVariant CopyOf(const VARIANT& value) {
    COleVariant copy;
    // The platform's declaration takes the source as non-const; it reads it only.
    if (const HRESULT hr = VariantCopyInd(&copy, const_cast<VARIANT*>(&value)); FAILED(hr)) RaiseError(hr);
    return copy;
}

// A call as its caller passed it, for a listener: arguments in parameter
// order, a put's value last. Values are the caller's own, shared bit for bit
// and let go unreleased when the call ends; references are followed into
// copies (they are only ever short texts).
class PassedCall {
public:
    PassedCall(ChartCall::Kind kind, DISPID member, const DispatchCall& call) : held_{{kind, member, {}, call.ArgTypes()}, {}} {
        const std::size_t count = call.ArgCount() + (call.IsPut() ? 1 : 0);
        held_.call.args.reserve(count);
        held_.shared.reserve(count);
        for (UINT i = 0; i < call.ArgCount(); ++i) Add(call.Arg(i));
        if (call.IsPut()) Add(call.PutValue());
    }

    const ChartCall& Call() const noexcept { return held_.call; }

private:
    // Lets the shared values go, also when a copy failed half way.
    struct Held {
        ChartCall call;
        std::vector<bool> shared;  // per argument: the caller's value, not a copy
        ~Held() {
            for (std::size_t i = 0; i < shared.size(); ++i)
                if (shared[i]) (void)call.args[i].Detach();
        }
    };

    void Add(const VARIANT& passed) {
        const bool byRef = (passed.vt & VT_BYREF) != 0;
        COleVariant& arg = held_.call.args.emplace_back();
        held_.shared.push_back(!byRef);
        if (byRef)
            arg = CopyOf(passed);
        else
            static_cast<VARIANT&>(arg) = passed;
    }

    Held held_;
};

}  // namespace

ComPtr<ChartStandIn> ChartStandIn::Create() {
    ComPtr<ChartStandIn> chart;
    chart.Attach(new ChartStandIn);
    return chart;
}

void ChartStandIn::SetSelection(OleString object, OleString strategy, OleString perspective) {
    selection_ = {std::move(object), std::move(strategy), std::move(perspective)};
}

void ChartStandIn::SetMatrix(OleString object, OleString row) { matrix_ = {std::move(object), std::move(row)}; }

void ChartStandIn::FailNext(DISPID dispid, HRESULT code, OleString description) {
    pending_.insert_or_assign(dispid, Failure{code, std::move(description)});
}

COleVariant ChartStandIn::Property(DISPID dispid) const {
    const auto found = properties_.find(dispid);
    if (found == properties_.end()) return COleVariant();
    const Stored& stored = found->second;
    return stored.call == Stored::kNoCall ? stored.value : calls_[stored.call].args.back();
}

void ChartStandIn::SetProperty(DISPID dispid, const VARIANT& value) { properties_[dispid] = {COleVariant(value)}; }

void ChartStandIn::ClearCalls() noexcept {
    for (auto& [dispid, stored] : properties_)
        if (stored.call != Stored::kNoCall) stored = {std::move(calls_[stored.call].args.back())};
    calls_.clear();
}

void ChartStandIn::SetAnswer(DISPID dispid, const VARIANT& value) {
    if (IsMethod(dispid))
        answers_[dispid] = value;
    else
        SetProperty(dispid, value);
}

HRESULT ChartStandIn::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch))
        return Grant(object, static_cast<IDispatch*>(this));
    if (!IsEqualIID(riid, IID_IChartControl)) return Refuse(object);

    if (const HRESULT fault = faults_.Enter(ChartOp::QueryInterface).code; FAILED(fault)) return Refuse(object, fault);
    if (!offersChart_) return Refuse(object);
    return Grant(object, static_cast<IChartControl*>(this));
}

HRESULT ChartStandIn::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (const HRESULT hr = DispatchCall::CheckParams(params); FAILED(hr)) return hr;
    const DispatchCall call(*params, result, exception, argErr);

    ChartCall::Kind kind;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!call.IsPut()) return DISP_E_PARAMNOTFOUND;
        kind = ChartCall::Put;
    } else if (call.NamedCount() != 0) {
        return DISP_E_NONAMEDARGS;
    } else if ((flags & DISPATCH_METHOD) && (IsMethod(member) || !(flags & DISPATCH_PROPERTYGET))) {
        kind = ChartCall::Call;
    } else if (flags & DISPATCH_PROPERTYGET) {
        kind = ChartCall::Get;
    } else {
        return E_INVALIDARG;
    }
    return Guarded([&] { return Serve(member, kind, call); });
}

HRESULT ChartStandIn::Serve(DISPID member, ChartCall::Kind kind, const DispatchCall& call) {
    if (listener_) {
        const PassedCall passed(kind, member, call);
        listener_(passed.Call());
        return Answer(member, kind, call, Stored::kNoCall);
    }
    calls_.push_back({kind, member, call.CopyArgs(), call.ArgTypes()});
    return Answer(member, kind, call, calls_.size() - 1);
}

// `recorded` is the call's index in calls_, or kNoCall for a forwarded one.
HRESULT ChartStandIn::Answer(DISPID member, ChartCall::Kind kind, const DispatchCall& call, std::size_t recorded) {
    if (const auto& fault = faults_.Enter(OpOf(kind)); FAILED(fault.code))
        return fault.description.empty() ? fault.code : call.Raise(fault.code, fault.description);
    if (const auto failure = pending_.find(member); failure != pending_.end()) {
        const Failure raised = std::move(failure->second);
        pending_.erase(failure);
        return call.Raise(raised.code, raised.description);
    }

    switch (kind) {
        case ChartCall::Put:
            // An indexed put changes one entry of a list the stand-in does not model.
            if (call.ArgCount() != 0 || !keepsPuts_) return S_OK;
            if (recorded != Stored::kNoCall)
                properties_[member] = {COleVariant(), recorded};
            else
                properties_[member] = {CopyOf(call.PutValue())};
            return S_OK;
        case ChartCall::Get:
            return call.Return(Property(member));
        default:
            return RunMethod(member, call);
    }
}

HRESULT ChartStandIn::RunMethod(DISPID member, const DispatchCall& call) {
    // An answer replaces the result; out-texts are filled all the same.
    const auto answer = answers_.find(member);
    const auto reply = [&](COleVariant result) {
        return call.Return(answer != answers_.end() ? COleVariant(answer->second) : std::move(result));
    };
    switch (member) {
        case 43: {
            const HRESULT hr = FillTexts(call, 3, selection_ ? selection_->data() : nullptr);
            return FAILED(hr) ? hr : reply(True());
        }
        case 45: {
            const HRESULT hr = FillTexts(call, 2, matrix_ ? matrix_->data() : nullptr);
            return FAILED(hr) ? hr : reply(True());
        }
        case 73:
            return reply(strategy_ ? COleVariant(strategy_->data(), static_cast<UINT>(strategy_->size()))
                                   : COleVariant());
        case 70: return reply(Property(11));
        case 31: case 33: case 42: return reply(True());
        case 59: case 65: case 83: return reply(COleVariant(LONG{0}));
        default: return reply(COleVariant());
    }
}

HRESULT ChartStandIn::FillTexts(const DispatchCall& call, UINT count, const OleString* texts) {
    if (call.ArgCount() != count) return DISP_E_BADPARAMCOUNT;
    for (UINT i = 0; i < count; ++i) {
        const VARIANT& arg = call.Arg(i);
        if (arg.vt != (VT_BYREF | VT_BSTR) || !arg.pbstrVal) return call.BadArg(i, DISP_E_TYPEMISMATCH);
    }
    if (!texts) return S_OK;
    // Allocate every text before touching the caller's strings, so that a
    // failure leaves them all as they were.
    std::vector<BSTR> fresh;
    fresh.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        BSTR text = SysAllocStringLen(texts[i].data(), static_cast<UINT>(texts[i].size()));
        if (!text) {
            for (BSTR made : fresh) SysFreeString(made);
            return E_OUTOFMEMORY;
        }
        fresh.push_back(text);
    }
    for (UINT i = 0; i < count; ++i) {
        SysFreeString(*call.Arg(i).pbstrVal);
        *call.Arg(i).pbstrVal = fresh[i];
    }
    return S_OK;
}

}  // namespace standins
