#include "standins/ChartStandIn.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "control/ChartMembers.h"
#include "standins/Utf8.h"
#ifndef _WIN32
#include "standins/picture/Picture.h"
#include "standins/picture/StrategyMap.h"
#endif

namespace standins {

namespace {

constexpr LPCOLESTR kSource = OLESTR("ChartStandIn");

ChartCall::Kind KindOf(const MemberCall& call) {
    return call.Kind() == DISPATCH_PROPERTYPUT ? ChartCall::Put
           : call.Kind() == DISPATCH_PROPERTYGET ? ChartCall::Get
                                                 : ChartCall::Call;
}

ChartOp OpOf(ChartCall::Kind kind) {
    return kind == ChartCall::Put ? ChartOp::Put : kind == ChartCall::Get ? ChartOp::Get : ChartOp::Call;
}

COleVariant True() { return COleVariant(SHORT{1}, VT_BOOL); }

// The indexed puts and the method calls whose arguments the drawing reads.
constexpr DISPID kDrawnPuts[] = {chart::kInitiativeData, chart::kMeasureData, chart::kAdditionalMeasureItem};
constexpr DISPID kDrawnCalls[] = {chart::kFont, chart::kTreeRows, chart::kAddTemplate, chart::kAddTemplateEx};

bool IsDrawn(const MemberCall& call) {
    if (call.Kind() == DISPATCH_PROPERTYPUT)
        return call.Count() == 2 && std::ranges::count(kDrawnPuts, call.Member()) != 0;
    return call.Kind() == DISPATCH_METHOD && std::ranges::count(kDrawnCalls, call.Member()) != 0;
}

#ifndef _WIN32
// The result a save that could not write its file fails with.
HRESULT SaveFailure(const std::error_code& cause) {
    constexpr std::pair<std::errc, HRESULT> kCodes[] = {
        {std::errc::no_such_file_or_directory, STG_E_PATHNOTFOUND},
        {std::errc::not_a_directory, STG_E_PATHNOTFOUND},
        {std::errc::permission_denied, E_ACCESSDENIED},
        {std::errc::operation_not_permitted, E_ACCESSDENIED},
        {std::errc::read_only_file_system, E_ACCESSDENIED},
    };
    for (const auto& [errc, code] : kCodes)
        if (cause == errc) return code;
    return STG_E_WRITEFAULT;
}
#endif

// A deep copy, a reference followed.
COleVariant CopyOf(const VARIANT& value) {
    COleVariant copy;
    // The platform's declaration takes the source as non-const; it reads it only.
    if (const HRESULT hr = VariantCopyInd(&copy, const_cast<VARIANT*>(&value)); FAILED(hr)) RaiseError(hr);
    return copy;
}

// The type of every argument as passed, VT_BYREF included.
std::vector<VARTYPE> ArgTypes(const MemberCall& call) {
    std::vector<VARTYPE> types(call.Count());
    for (UINT i = 0; i < call.Count(); ++i) types[i] = call.Passed(i).vt;
    return types;
}

// Deep copies of every argument, references followed.
std::vector<COleVariant> CopyArgs(const MemberCall& call) {
    std::vector<COleVariant> copies;
    copies.reserve(call.Count());
    for (UINT i = 0; i < call.Count(); ++i) copies.push_back(CopyOf(call.Passed(i)));
    return copies;
}

// A call as its caller passed it, for a listener: arguments in parameter
// order, a put's value last. Values are the caller's own, shared bit for bit
// and let go unreleased when the call ends; references are followed into
// copies (they are only ever short texts).
class PassedCall {
public:
    explicit PassedCall(const MemberCall& call) : held_{{KindOf(call), call.Member(), {}, ArgTypes(call)}, {}} {
        held_.call.args.reserve(call.Count());
        held_.shared.reserve(call.Count());
        for (UINT i = 0; i < call.Count(); ++i) Add(call.Passed(i));
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

const VARIANT* ChartStandIn::Property(DISPID dispid) const {
    const auto found = properties_.find(dispid);
    if (found == properties_.end()) return nullptr;
    const Stored& stored = found->second;
    return stored.call == Stored::kNoCall ? &stored.value : &calls_[stored.call].args.back();
}

COleVariant ChartStandIn::PropertyValue(DISPID dispid) const {
    const VARIANT* value = Property(dispid);
    return value ? COleVariant(*value) : COleVariant();
}

void ChartStandIn::ForEachCall(const CallVisitor& visit) const {
    for (const auto& [member, args] : drawn_) visit(member, args);
}

OleStringView ChartStandIn::SelectedObjective() const {
    return selection_ ? OleStringView((*selection_)[0]) : OleStringView();
}

// A result the test gave method 73 replaces the strategy set for it.
OleStringView ChartStandIn::SelectedStrategy() const {
    if (const auto given = answers_.find(chart::kSelectedStrategy); given != answers_.end())
        return given->second.vt == VT_BSTR ? TextOf(given->second.bstrVal) : OleStringView();
    return strategy_ ? OleStringView(*strategy_) : OleStringView();
}

void ChartStandIn::SetProperty(DISPID dispid, const VARIANT& value) { properties_[dispid] = {COleVariant(value)}; }

void ChartStandIn::ClearCalls() noexcept {
    for (auto& [dispid, stored] : properties_)
        if (stored.call != Stored::kNoCall) stored = {std::move(calls_[stored.call].args.back())};
    calls_.clear();
}

void ChartStandIn::SetAnswer(DISPID dispid, const VARIANT& value) {
    for (const DispatchMember<ChartStandIn>& member : Members())
        if (member.id == dispid && member.IsMethod()) {
            answers_[dispid] = value;
            return;
        }
    SetProperty(dispid, value);
}

std::span<const DispatchMember<ChartStandIn>> ChartStandIn::Members() {
    using Self = ChartStandIn;
    const auto property = [](const chart::Member& m, std::initializer_list<MemberParam> indices = {}) {
        return PropertyMember<Self>(m.name.data(), m.id, VT_VARIANT, indices, &Served<&Give>, &Served<&Keep>);
    };
    const auto method = [](const chart::Member& m, std::initializer_list<MemberParam> params,
                           DispatchMember<Self>::Run answer) {
        return MethodMember<Self>(m.name.data(), m.id, VT_VARIANT, params, answer);
    };
    constexpr MemberParam grid{VT_VARIANT}, text{VT_BSTR}, number{VT_I4}, small{VT_I2}, flag{VT_BOOL};
    constexpr MemberParam out{VT_BYREF | VT_BSTR}, key{VT_VARIANT, "key"};
    using namespace chart;
    static const DispatchMember<Self> members[] = {
        property(kPresentationMode), property(kStrategies), property(kPerspectives), property(kObjectives),
        property(kMeasureFields), property(kInitiativeFields), property(kLinks), property(kBlob), property(kColours),
        property(kStatusBitmapVersion), property(kMovingRestrictions), property(kFontHeight), property(kFontHeightToo),
        method(kEnableContextMenuItem, {number, flag}, &Served<&Nothing>),
        method(kShowContextMenuItem, {number}, &Served<&Nothing>),
        method(kHideContextMenuItem, {number}, &Served<&Nothing>),
        method(kUIStrings, {grid}, &Served<&Done>),
        method(kSaveImage, {text, number}, &Served<&SaveImage>),
        property(kInitiativeData, {key}), property(kMeasureData, {key}),
        method(kFont, {text, small, small}, &Served<&Nothing>),
        method(kTreeRows, {text, text, flag, grid}, &Served<&Done>),
        method(kObjectiveSelection, {out, out, out}, &Served<&Selection>),
        method(kMatrixSelection, {out, out}, &Served<&Matrix>),
        method(kAddTemplate, {grid, grid, grid, grid, grid, grid, grid, grid}, &Served<&Added>),
        method(kContextMenuEntry, {text, text, small, small}, &Served<&Added>),
        property(kMouseOver),
        method(kBlobOfVersion, {number}, &Served<&BlobOfVersion>),
        method(kSelectedStrategy, {}, &Served<&Strategy>),
        property(kAdditionalMeasureItem, {key}), property(kObjectivesFromBlob), property(kStrategiesFromBlob),
        property(kPerspectivesFromBlob), property(kLinksFromBlob),
        method(kAddTemplateEx, {grid, grid, grid, grid, grid, grid, grid, grid, grid, grid, grid}, &Served<&Added>),
    };
    return members;
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

HRESULT ChartStandIn::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return MemberIdsOfNames(Members(), names, count, ids);
}

HRESULT ChartStandIn::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argErr) {
    return InvokeMember(Members(), *this, kSource, member, riid, flags, params, result, exception, argErr);
}

// Every call is recorded (or shown to the listener) first, then fails as
// told, then gets its member's answer; a method's answer given by the test
// replaces the result, out-texts filled all the same.
HRESULT ChartStandIn::Serve(MemberCall& call, Answer answer) {
    std::size_t recorded = Stored::kNoCall;
    if (listener_) {
        const PassedCall passed(call);
        listener_(passed.Call());
    } else {
        calls_.push_back({KindOf(call), call.Member(), CopyArgs(call), ArgTypes(call)});
        recorded = calls_.size() - 1;
    }
    if (const auto& fault = faults_.Enter(OpOf(KindOf(call))); FAILED(fault.code)) {
        if (fault.description.empty()) return fault.code;
        RaiseError(fault.code, {}, fault.description);
    }
    if (const auto failure = pending_.find(call.Member()); failure != pending_.end()) {
        const Failure raised = std::move(failure->second);
        pending_.erase(failure);
        RaiseError(raised.code, {}, raised.description);
    }
    if (const HRESULT hr = answer(*this, call, recorded); FAILED(hr)) return hr;
    if (keepsDrawing_ && IsDrawn(call)) KeepDrawn(call);
    if (const auto given = answers_.find(call.Member()); given != answers_.end()) call.Result() = given->second;
    return S_OK;
}

// An indexed put changes one entry of a list the stand-in does not model.
HRESULT ChartStandIn::Keep(ChartStandIn& self, MemberCall& call, std::size_t recorded) {
    if (call.Count() != 1 || !self.keepsPuts_) return S_OK;
    if (recorded != Stored::kNoCall)
        self.properties_[call.Member()] = {COleVariant(), recorded};
    else
        self.properties_[call.Member()] = {CopyOf(call.Passed(0))};
    return S_OK;
}

void ChartStandIn::KeepDrawn(const MemberCall& call) { drawn_.emplace_back(call.Member(), CopyArgs(call)); }

HRESULT ChartStandIn::Give(ChartStandIn& self, MemberCall& call, std::size_t) {
    return call.Return(self.PropertyValue(call.Member()));
}

HRESULT ChartStandIn::Nothing(ChartStandIn&, MemberCall&, std::size_t) { return S_OK; }

HRESULT ChartStandIn::Done(ChartStandIn&, MemberCall& call, std::size_t) { return call.Return(True()); }

HRESULT ChartStandIn::Added(ChartStandIn&, MemberCall& call, std::size_t) { return call.Return(COleVariant(LONG{0})); }

HRESULT ChartStandIn::Selection(ChartStandIn& self, MemberCall& call, std::size_t) {
    const HRESULT hr = FillTexts(call, self.selection_ ? self.selection_->data() : nullptr);
    return FAILED(hr) ? hr : call.Return(True());
}

HRESULT ChartStandIn::Matrix(ChartStandIn& self, MemberCall& call, std::size_t) {
    const HRESULT hr = FillTexts(call, self.matrix_ ? self.matrix_->data() : nullptr);
    return FAILED(hr) ? hr : call.Return(True());
}

HRESULT ChartStandIn::Strategy(ChartStandIn& self, MemberCall& call, std::size_t) {
    const std::optional<OleString>& text = self.strategy_;
    return call.Return(text ? COleVariant(text->data(), static_cast<UINT>(text->size())) : COleVariant());
}

HRESULT ChartStandIn::BlobOfVersion(ChartStandIn& self, MemberCall& call, std::size_t) {
    return call.Return(self.PropertyValue(chart::kBlob));
}

// Off Windows the image is the drawing of what the chart holds, whatever
// format is asked for; a file that cannot be written fails the call with
// the cause.
HRESULT ChartStandIn::SaveImage([[maybe_unused]] ChartStandIn& self, MemberCall& call, std::size_t) {
#ifndef _WIN32
    const std::string path = ToUtf8(TextOf(call.Arg(0).bstrVal));
    try {
        picture::WritePicture(picture::ReadStrategyMap(self), picture::PictureFormat::Jpeg,
                              std::filesystem::path(std::u8string(path.begin(), path.end())));
    } catch (const std::system_error& error) {
        OleString description;
        DecodeUtf8(error.what(), description);
        RaiseError(SaveFailure(error.code()), {}, std::move(description));
    }
#endif
    return call.Return(True());
}

HRESULT ChartStandIn::FillTexts(MemberCall& call, const OleString* texts) {
    if (!texts) return S_OK;
    const UINT count = call.Count();
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
