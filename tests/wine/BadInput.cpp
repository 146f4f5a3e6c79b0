// Calls a careless client makes, sent both to the control and to the
// runtime's standard dispatcher over the control's own type information: the
// standard dispatcher checks counts, names and types before it calls a
// member, so whatever it answers for a call is what a client of any
// automation object expects back for it.
//
// The standard dispatcher needs a vtable interface. It is made here from the
// control's dispatch interface (CreateDispTypeInfo), with one vtable slot per
// method, property get and property put, all served by one function that
// counts the calls reaching it.
#include "tests/wine/BadInput.h"

#include <deque>
#include <string>
#include <vector>

#include "platform/ComPtr.h"
#include "platform/ComponentError.h"
#include "platform/ExcepInfo.h"
#include "platform/MemberId.h"
#include "platform/OleVariant.h"
#include "standins/Utf8.h"

namespace {

constexpr UINT kNoArg = 0xFFFFFFFF;  // puArgErr as the caller left it

// ---- The reference dispatcher -----------------------------------------------

// Every slot answers zero: a long 0, a null string or object, or nothing.
struct Recorder {
    const void* const* vtable;
    int calls = 0;
};

// Variadic, so cdecl on 32-bit Windows: the slots are declared CC_CDECL, so
// that the dispatcher removes the arguments it pushed, whatever their number.
// Declared stdcall, the callee would be expected to remove them, and a
// variadic function never does.
LONG_PTR RecordCall(Recorder* self, ...) {
    ++self->calls;
    return 0;
}

// The dispatch interface's members as vtable methods, and the type
// information and dispatcher made of them.
class Reference {
public:
    explicit Reference(ITypeInfo* members) {
        TYPEATTR* attr = nullptr;
        CheckResult(members->GetTypeAttr(&attr));
        for (UINT i = 0; i < attr->cFuncs; ++i) AddFunction(members, i);
        for (UINT i = 0; i < attr->cVars; ++i) AddProperty(members, i);
        members->ReleaseTypeAttr(attr);

        slots_.assign(methods_.size(), reinterpret_cast<const void*>(&RecordCall));
        recorder_.vtable = slots_.data();
        INTERFACEDATA data{methods_.data(), static_cast<UINT>(methods_.size())};
        // What is made is a class; its one interface holds the methods.
        ComPtr<ITypeInfo> made;
        CheckResult(CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, made.Receive()));
        HREFTYPE ref = 0;
        CheckResult(made->GetRefTypeOfImplType(0, &ref));
        CheckResult(made->GetRefTypeInfo(ref, info_.Receive()));
        ComPtr<IUnknown> standard;
        CheckResult(CreateStdDispatch(nullptr, &recorder_, info_.Get(), standard.Receive()));
        dispatcher_ = standard.Query<IDispatch>();
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    IDispatch* Dispatcher() const noexcept { return dispatcher_.Get(); }
    ITypeInfo* Info() const noexcept { return info_.Get(); }
    int Calls() const noexcept { return recorder_.calls; }

private:
    // METHODDATA points into names_ and params_: a deque keeps its strings
    // where they are, and a moved vector keeps its block.
    LPOLESTR Keep(BSTR name) {
        names_.emplace_back(name, SysStringLen(name));
        SysFreeString(name);
        return names_.back().data();
    }
    void Add(LPOLESTR name, DISPID id, WORD kind, VARTYPE result, std::vector<PARAMDATA> params) {
        params_.push_back(std::move(params));
        std::vector<PARAMDATA>& kept = params_.back();
        methods_.push_back(METHODDATA{name, kept.empty() ? nullptr : kept.data(), id,
                                      static_cast<UINT>(methods_.size()), CC_CDECL, static_cast<UINT>(kept.size()),
                                      kind, result});
    }
    void AddFunction(ITypeInfo* members, UINT index) {
        FUNCDESC* desc = nullptr;
        CheckResult(members->GetFuncDesc(index, &desc));
        BSTR names[8] = {};
        UINT count = 0;
        members->GetNames(desc->memid, names, 8, &count);
        std::vector<PARAMDATA> params;
        for (SHORT p = 0; p < desc->cParams; ++p)
            params.push_back(PARAMDATA{p + 1u < count ? Keep(names[p + 1]) : nullptr,
                                       desc->lprgelemdescParam[p].tdesc.vt});
        const VARTYPE returned = desc->elemdescFunc.tdesc.vt;
        const VARTYPE result = returned == VT_VOID ? VARTYPE{VT_EMPTY} : returned;
        Add(Keep(names[0]), desc->memid, desc->invkind, result, std::move(params));
        members->ReleaseFuncDesc(desc);
    }
    // A property is a get and a put; an object property takes a put by
    // reference as well.
    void AddProperty(ITypeInfo* members, UINT index) {
        VARDESC* desc = nullptr;
        CheckResult(members->GetVarDesc(index, &desc));
        BSTR name = nullptr;
        UINT count = 0;
        members->GetNames(desc->memid, &name, 1, &count);
        const LPOLESTR kept = Keep(name);
        const VARTYPE type = desc->elemdescVar.tdesc.vt;
        Add(kept, desc->memid, DISPATCH_PROPERTYGET, type, {});
        Add(kept, desc->memid, DISPATCH_PROPERTYPUT, VT_EMPTY, {PARAMDATA{nullptr, type}});
        if (type == VT_DISPATCH) Add(kept, desc->memid, DISPATCH_PROPERTYPUTREF, VT_EMPTY, {PARAMDATA{nullptr, type}});
        members->ReleaseVarDesc(desc);
    }

    std::deque<OleString> names_;
    std::vector<std::vector<PARAMDATA>> params_;
    std::vector<METHODDATA> methods_;
    std::vector<const void*> slots_;
    Recorder recorder_{nullptr};
    ComPtr<ITypeInfo> info_;
    ComPtr<IDispatch> dispatcher_;
};

// ---- The calls --------------------------------------------------------------

// One Invoke as it came back.
struct Answer {
    HRESULT hr = S_OK;
    UINT argErr = kNoArg;
    HRESULT scode = S_OK;
    std::string description;
};

// A call as laid out for Invoke: rgvarg last parameter first.
struct BadCall {
    const char* what;
    const char* member;  // looked up by name; nullptr: use `id`
    DISPID id;
    WORD flags;
    std::vector<COleVariant> args;
    std::vector<DISPID> named;
    // Where the dispatcher's answer is not the one to match: the control's
    // own member error (the type library declares every property readable
    // and writable, and any object may be null), or the code the runtime's
    // dispatcher gives where Wine's dispatcher is more lenient.
    enum Expect { Dispatcher, Own, Runtime } expect = Dispatcher;
    HRESULT code = S_OK;
};

Answer Send(IDispatch* target, DISPID id, const BadCall& call) {
    std::vector<VARIANT> args(call.args.begin(), call.args.end());  // shallow: the call keeps ownership
    std::vector<DISPID> named = call.named;
    DISPPARAMS params{args.empty() ? nullptr : args.data(), named.empty() ? nullptr : named.data(),
                      static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
    ExcepInfo info;
    COleVariant result;
    Answer out;
    out.hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, call.flags, &params, &result, &info, &out.argErr);
    if (out.hr == DISP_E_EXCEPTION) {
        out.scode = info.Code(out.hr);
        if (info.bstrDescription)
            out.description = standins::ToUtf8(OleString(info.bstrDescription, SysStringLen(info.bstrDescription)));
    }
    return out;
}

std::string Show(const Answer& a) {
    std::string text = ResultCodeText(a.hr);
    if (a.argErr != kNoArg) text += " argErr=" + std::to_string(a.argErr);
    if (a.hr == DISP_E_EXCEPTION) text += " scode=" + ResultCodeText(a.scode) + " \"" + a.description + "\"";
    return text;
}

// puArgErr counts where the dispatcher names an argument (Wine's leaves it
// unset for a type mismatch, where the control names the argument).
bool SameOutcome(const Answer& control, const Answer& reference) {
    return control.hr == reference.hr && (reference.argErr == kNoArg || control.argErr == reference.argErr);
}

bool Expected(const BadCall& call, const Answer& control, const Answer& reference) {
    switch (call.expect) {
    case BadCall::Own:
        return control.hr == DISP_E_EXCEPTION && control.scode == call.code;
    case BadCall::Runtime:
        return control.hr == call.code;
    case BadCall::Dispatcher:
        break;
    }
    return SameOutcome(control, reference);
}

// What Expected accepts, in words, with the dispatcher's answer beside it.
std::string Wanted(const BadCall& call, const Answer& reference, bool memberRan) {
    const std::string dispatcher = "the dispatcher's " + Show(reference) + (memberRan ? " (member ran)" : "");
    switch (call.expect) {
    case BadCall::Own:
        return "the control's own error, scode=" + ResultCodeText(call.code) + "; " + dispatcher;
    case BadCall::Runtime:
        return "the runtime's " + ResultCodeText(call.code) + " (Wine's dispatcher differs); " + dispatcher;
    case BadCall::Dispatcher:
        break;
    }
    return dispatcher;
}

COleVariant Text(LPCOLESTR text) { return COleVariant(text); }
COleVariant Long(LONG value) { return COleVariant(value); }
COleVariant Object(IDispatch* value) { return COleVariant(value); }

// A by-reference argument to `target`, which the caller keeps.
COleVariant ByRef(VARTYPE type, void* target) {
    VARIANT v;
    v.vt = VT_BYREF | type;
    v.byref = target;
    return COleVariant(v);
}

void RunCalls(ClientReport& report, IDispatch* control, const Reference& reference, IDispatch* chart) {
    // What the by-reference arguments point at.
    LONG seven = 7;
    COleVariant sevenText(OLESTR("7")), heldText(OLESTR("7")), heldChart(chart);
    const DISPID putName = DISPID_PROPERTYPUT;
    constexpr WORD kRead = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

    // The chart comes first: the members that reach it need one attached.
    const std::vector<BadCall> calls = {
        {"a chart by reference", "HandleTesselCtrl", 0, DISPATCH_METHOD, {ByRef(VT_VARIANT, &heldChart)}, {}},
        {"convertible text to a long property", "PresentationMode", 0, DISPATCH_PROPERTYPUT, {Text(OLESTR("7"))}, {putName}},
        {"other text to a long property", "PresentationMode", 0, DISPATCH_PROPERTYPUT, {Text(OLESTR("seven"))}, {putName}},
        {"convertible text to a long argument", "DisableContextMenu", 0, DISPATCH_METHOD, {Text(OLESTR("7"))}, {}},
        {"other text to a long argument", "DisableContextMenu", 0, DISPATCH_METHOD, {Text(OLESTR("seven"))}, {}},
        {"convertible text to a short argument", "SetVersion", 0, DISPATCH_METHOD, {Text(OLESTR("310"))}, {}},
        {"other text to a short argument", "SetVersion", 0, DISPATCH_METHOD, {Text(OLESTR("seven"))}, {}},
        {"too large for a short argument", "SetVersion", 0, DISPATCH_METHOD, {Long(70000)}, {}},
        {"too few arguments", "DisableContextMenu", 0, DISPATCH_METHOD, {}, {}},
        {"too many arguments", "DisableContextMenu", 0, DISPATCH_METHOD, {Long(1), Long(2)}, {}, BadCall::Runtime, DISP_E_BADPARAMCOUNT},
        {"an argument to a property read", "PresentationMode", 0, kRead, {Long(1)}, {}, BadCall::Runtime, DISP_E_BADPARAMCOUNT},
        {"two values to a property put", "PresentationMode", 0, DISPATCH_PROPERTYPUT, {Long(1), Long(2)}, {putName},
         BadCall::Runtime, DISP_E_BADPARAMCOUNT},
        {"a put without its named value", "PresentationMode", 0, DISPATCH_PROPERTYPUT, {Long(1)}, {}},
        {"a put whose value has another name", "PresentationMode", 0, DISPATCH_PROPERTYPUT, {Long(1)}, {1}},
        {"a named argument to a method", "DisableContextMenu", 0, DISPATCH_METHOD, {Long(1)}, {0}},
        {"an unknown named argument to a method", "DisableContextMenu", 0, DISPATCH_METHOD, {Long(1)}, {5},
         BadCall::Runtime, DISP_E_PARAMNOTFOUND},
        {"a method read as a property", "DisableContextMenu", 0, DISPATCH_PROPERTYGET, {Long(1)}, {}},
        {"a method put as a property", "DisableContextMenu", 0, DISPATCH_PROPERTYPUT, {Long(1)}, {putName}},
        {"a property called as a method only", "PresentationMode", 0, DISPATCH_METHOD, {}, {}},
        {"a get-only property put", "SelectedStrategy", 0, DISPATCH_PROPERTYPUT, {Text(OLESTR("x"))}, {putName},
         BadCall::Own, CTL_E_SETNOTSUPPORTED},
        {"a put-only property read", "Perspectives", 0, kRead, {}, {}, BadCall::Own, CTL_E_GETNOTSUPPORTED},
        {"a null table set by reference", "Perspectives", 0, DISPATCH_PROPERTYPUTREF, {Object(nullptr)}, {putName}},
        {"a long by reference", "DisableContextMenu", 0, DISPATCH_METHOD, {ByRef(VT_I4, &seven)}, {}},
        {"a text by reference to a long", "DisableContextMenu", 0, DISPATCH_METHOD, {ByRef(VT_BSTR, &sevenText.bstrVal)}, {}},
        {"a variant by reference to a long", "DisableContextMenu", 0, DISPATCH_METHOD, {ByRef(VT_VARIANT, &heldText)}, {}},
        {"an unknown member", nullptr, 999, DISPATCH_METHOD, {}, {}},
        // Last: it leaves the control without a chart.
        {"a null chart to attach", "HandleTesselCtrl", 0, DISPATCH_METHOD, {Object(nullptr)}, {}, BadCall::Own,
         E_POINTER},
        {"no flags", "PresentationMode", 0, 0, {}, {}},
    };

    for (const BadCall& call : calls) {
        const DISPID id = call.member ? MemberId(*control, call.member) : call.id;
        const int before = reference.Calls();
        const Answer mine = Send(control, id, call);
        const Answer theirs = Send(reference.Dispatcher(), id, call);
        report.Check(std::string("bad input: ") + call.what, Expected(call, mine, theirs), Show(mine),
                     Wanted(call, theirs, reference.Calls() > before));
    }
}

// ---- Names ------------------------------------------------------------------

struct BadNames {
    const char* what;
    std::vector<const char*> names;
};

std::vector<DISPID> IdsOf(IDispatch* target, const std::vector<const char*>& names, HRESULT& hr) {
    std::vector<OleString> kept;
    std::vector<LPOLESTR> plain;
    for (const char* name : names) kept.emplace_back(name, name + std::char_traits<char>::length(name));
    for (OleString& name : kept) plain.push_back(name.data());
    std::vector<DISPID> ids(names.size(), 12345);
    hr = target->GetIDsOfNames(IID_NULL, plain.data(), static_cast<UINT>(plain.size()), LOCALE_USER_DEFAULT,
                               ids.data());
    return ids;
}

std::string ShowIds(HRESULT hr, const std::vector<DISPID>& ids) {
    std::string text = ResultCodeText(hr) + " [";
    for (DISPID id : ids) text += (text.back() == '[' ? "" : ",") + std::to_string(id);
    return text + "]";
}

void RunNames(ClientReport& report, IDispatch* control, const Reference& reference) {
    const std::vector<BadNames> cases = {
        {"an unknown name", {"NoSuchMember"}},
        {"a name in other letter case", {"presentationmode"}},
        {"a method and its parameter's name", {"DisableContextMenu", "itemNb"}},
        {"a method and an unknown parameter", {"DisableContextMenu", "nothing"}},
    };
    for (const BadNames& c : cases) {
        HRESULT mineHr = S_OK, theirsHr = S_OK;
        const std::vector<DISPID> mine = IdsOf(control, c.names, mineHr);
        const std::vector<DISPID> theirs = IdsOf(reference.Dispatcher(), c.names, theirsHr);
        report.Compare(std::string("bad names: ") + c.what, ShowIds(mineHr, mine), ShowIds(theirsHr, theirs));
    }
}

}  // namespace

void CheckBadInput(ClientReport& report, IDispatch* control, IDispatch* chart) {
    ComPtr<ITypeInfo> members;
    CheckResult(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, members.Receive()));
    const Reference reference(members.Get());
    RunCalls(report, control, reference, chart);
    RunNames(report, control, reference);
}
