// The C++ client of the registered control: the calls and names a careless
// client sends, sent both to the control and to the runtime's standard
// dispatcher over the control's own type information. That dispatcher checks
// counts, names and types before it calls a member, so whatever it answers is
// what a client of any automation object expects back. One line a check.
#include <deque>
#include <string>
#include <vector>

#include "platform/ComPtr.h"
#include "platform/ComponentError.h"
#include "platform/ExcepInfo.h"
#include "platform/MemberId.h"
#include "platform/OleVariant.h"
#include "platform/Utf8.h"
#include "tests/wine/ClientReport.h"

namespace {

constexpr UINT kNoArg = 0xFFFFFFFF;                             // puArgErr as the caller left it
constexpr DISPID kUnknownMember = 999;                          // no member of the control has it
constexpr WORD kRead = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // what script clients send

// ---- The reference dispatcher -----------------------------------------------

// Every slot answers zero: a long 0, a null string or object, or nothing.
struct Recorder {
    const void* const* vtable;
    int calls = 0;
};

// Variadic, so cdecl on 32-bit Windows, as the slots are declared (CC_CDECL):
// the dispatcher removes the arguments it pushed, which a variadic callee
// never does.
LONG_PTR RecordCall(Recorder* self, ...) {
    ++self->calls;
    return 0;
}

// The dispatcher needs a vtable interface: one made from the control's
// dispatch interface (CreateDispTypeInfo), a slot per method, property get
// and put, every slot RecordCall.
class Reference {
public:
    explicit Reference(IDispatch* control) {
        ComPtr<ITypeInfo> members;
        CheckResult(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, members.Receive()));
        TYPEATTR* attr = nullptr;
        CheckResult(members->GetTypeAttr(&attr));
        for (UINT i = 0; i < attr->cFuncs; ++i) AddFunction(members.Get(), i);
        for (UINT i = 0; i < attr->cVars; ++i) AddProperty(members.Get(), i);
        members->ReleaseTypeAttr(attr);

        slots_.assign(methods_.size(), reinterpret_cast<const void*>(&RecordCall));
        recorder_.vtable = slots_.data();
        INTERFACEDATA data{methods_.data(), static_cast<UINT>(methods_.size())};
        // What is made is a class; its one interface holds the methods.
        ComPtr<ITypeInfo> made, info;
        CheckResult(CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, made.Receive()));
        HREFTYPE ref = 0;
        CheckResult(made->GetRefTypeOfImplType(0, &ref));
        CheckResult(made->GetRefTypeInfo(ref, info.Receive()));
        ComPtr<IUnknown> standard;
        CheckResult(CreateStdDispatch(nullptr, &recorder_, info.Get(), standard.Receive()));
        dispatcher_ = standard.Query<IDispatch>();
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    IDispatch* Dispatcher() const noexcept { return dispatcher_.Get(); }
    int Calls() const noexcept { return recorder_.calls; }

private:
    // METHODDATA points into names_ and params_: a deque keeps its elements
    // where they are.
    LPOLESTR Keep(BSTR name) {
        names_.emplace_back(name, SysStringLen(name));
        SysFreeString(name);
        return names_.back().data();
    }
    void Add(LPOLESTR name, DISPID id, WORD kind, VARTYPE result, std::vector<PARAMDATA> params) {
        std::vector<PARAMDATA>& kept = params_.emplace_back(std::move(params));
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
            params.push_back(
                PARAMDATA{p + 1u < count ? Keep(names[p + 1]) : nullptr, desc->lprgelemdescParam[p].tdesc.vt});
        const VARTYPE returned = desc->elemdescFunc.tdesc.vt;
        Add(Keep(names[0]), desc->memid, desc->invkind, returned == VT_VOID ? VARTYPE{VT_EMPTY} : returned,
            std::move(params));
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
    std::deque<std::vector<PARAMDATA>> params_;
    std::vector<METHODDATA> methods_;
    std::vector<const void*> slots_;
    Recorder recorder_{nullptr};
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
    const char* member;  // looked up by name; nullptr: kUnknownMember
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
            out.description = ToUtf8(OleStringView(info.bstrDescription, SysStringLen(info.bstrDescription)));
    }
    return out;
}

std::string Show(const Answer& a) {
    std::string text = ResultCodeText(a.hr);
    if (a.argErr != kNoArg) text += " argErr=" + std::to_string(a.argErr);
    if (a.hr == DISP_E_EXCEPTION) text += " scode=" + ResultCodeText(a.scode) + " \"" + a.description + "\"";
    return text;
}

// Whether the control answered the call as wanted, and the answer wanted in
// words, with the dispatcher's beside it.
std::pair<bool, std::string> Verdict(const BadCall& call, const Answer& mine, const Answer& theirs, bool memberRan) {
    const std::string dispatcher = "the dispatcher's " + Show(theirs) + (memberRan ? " (member ran)" : "");
    const std::string code = ResultCodeText(call.code);
    switch (call.expect) {
        case BadCall::Own:
            return {mine.hr == DISP_E_EXCEPTION && mine.scode == call.code,
                    "the control's own error, scode=" + code + "; " + dispatcher};
        case BadCall::Runtime:
            return {mine.hr == call.code, "the runtime's " + code + " (Wine's dispatcher differs); " + dispatcher};
        case BadCall::Dispatcher: break;
    }
    // puArgErr counts where the dispatcher names an argument (Wine's leaves
    // it unset for a type mismatch, where the control names the argument).
    return {mine.hr == theirs.hr && (theirs.argErr == kNoArg || mine.argErr == theirs.argErr), dispatcher};
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

void CheckCalls(ClientReport& report, IDispatch* control, const Reference& reference, IDispatch* chart) {
    // What the by-reference arguments point at.
    LONG seven = 7;
    COleVariant sevenText(OLESTR("7")), heldText(OLESTR("7")), heldChart(chart);
    const DISPID put = DISPID_PROPERTYPUT;
    constexpr WORD kMethod = DISPATCH_METHOD, kPut = DISPATCH_PROPERTYPUT;
    const BadCall::Expect own = BadCall::Own, runtime = BadCall::Runtime;

    // The chart comes first: the members that reach it need one attached.
    // clang-format off
    const std::vector<BadCall> calls = {
        {"a chart by reference",                  "HandleTesselCtrl",   kMethod, {ByRef(VT_VARIANT, &heldChart)}, {}},
        {"convertible text to a long property",   "PresentationMode",   kPut,    {Text(OLESTR("7"))}, {put}},
        {"other text to a long property",         "PresentationMode",   kPut,    {Text(OLESTR("seven"))}, {put}},
        {"convertible text to a long argument",   "DisableContextMenu", kMethod, {Text(OLESTR("7"))}, {}},
        {"other text to a long argument",         "DisableContextMenu", kMethod, {Text(OLESTR("seven"))}, {}},
        {"convertible text to a short argument",  "SetVersion",         kMethod, {Text(OLESTR("310"))}, {}},
        {"other text to a short argument",        "SetVersion",         kMethod, {Text(OLESTR("seven"))}, {}},
        {"too large for a short argument",        "SetVersion",         kMethod, {Long(70000)}, {}},
        {"too few arguments",                     "DisableContextMenu", kMethod, {}, {}},
        {"too many arguments",                    "DisableContextMenu", kMethod, {Long(1), Long(2)}, {}, runtime, DISP_E_BADPARAMCOUNT},
        {"an argument to a property read",        "PresentationMode",   kRead,   {Long(1)}, {}, runtime, DISP_E_BADPARAMCOUNT},
        {"two values to a property put",          "PresentationMode",   kPut,    {Long(1), Long(2)}, {put}, runtime, DISP_E_BADPARAMCOUNT},
        {"a put without its named value",         "PresentationMode",   kPut,    {Long(1)}, {}},
        {"a put whose value has another name",    "PresentationMode",   kPut,    {Long(1)}, {1}},
        {"a named argument to a method",          "DisableContextMenu", kMethod, {Long(1)}, {0}},
        {"an unknown named argument to a method", "DisableContextMenu", kMethod, {Long(1)}, {5}, runtime, DISP_E_PARAMNOTFOUND},
        {"a method read as a property",           "DisableContextMenu", DISPATCH_PROPERTYGET, {Long(1)}, {}},
        {"a method put as a property",            "DisableContextMenu", kPut,    {Long(1)}, {put}},
        {"a property called as a method only",    "PresentationMode",   kMethod, {}, {}},
        {"a get-only property put",               "SelectedStrategy",   kPut,    {Text(OLESTR("x"))}, {put}, own, CTL_E_SETNOTSUPPORTED},
        {"a put-only property read",              "Perspectives",       kRead,   {}, {}, own, CTL_E_GETNOTSUPPORTED},
        {"a null table set by reference",         "Perspectives",       DISPATCH_PROPERTYPUTREF, {Object(nullptr)}, {put}},
        {"a long by reference",                   "DisableContextMenu", kMethod, {ByRef(VT_I4, &seven)}, {}},
        {"a text by reference to a long",         "DisableContextMenu", kMethod, {ByRef(VT_BSTR, &sevenText.bstrVal)}, {}},
        {"a variant by reference to a long",      "DisableContextMenu", kMethod, {ByRef(VT_VARIANT, &heldText)}, {}},
        {"an unknown member",                     nullptr,              kMethod, {}, {}},
        // Last: it leaves the control without a chart.
        {"a null chart to attach",                "HandleTesselCtrl",   kMethod, {Object(nullptr)}, {}, own, E_POINTER},
        {"no flags",                              "PresentationMode",   0,       {}, {}},
    };
    // clang-format on
    for (const BadCall& call : calls) {
        const DISPID id = call.member ? MemberId(*control, call.member) : kUnknownMember;
        const int before = reference.Calls();
        const Answer mine = Send(control, id, call);
        const Answer theirs = Send(reference.Dispatcher(), id, call);
        const auto [ok, wanted] = Verdict(call, mine, theirs, reference.Calls() > before);
        report.Check(std::string("bad input: ") + call.what, ok, Show(mine), wanted);
    }
}

// GetIDsOfNames of `names` together, as "<result> [<id>,...]".
std::string IdsOf(IDispatch* target, const std::vector<const char*>& names) {
    std::vector<OleString> kept;
    std::vector<LPOLESTR> plain;
    for (const char* name : names) kept.emplace_back(name, name + std::char_traits<char>::length(name));
    for (OleString& name : kept) plain.push_back(name.data());
    std::vector<DISPID> ids(names.size(), 12345);
    std::string text = ResultCodeText(target->GetIDsOfNames(IID_NULL, plain.data(), static_cast<UINT>(plain.size()),
                                                            LOCALE_USER_DEFAULT, ids.data()));
    for (std::size_t i = 0; i < ids.size(); ++i) text += (i ? "," : " [") + std::to_string(ids[i]);
    return text + "]";
}

void CheckNames(ClientReport& report, IDispatch* control, const Reference& reference) {
    const struct {
        const char* what;
        std::vector<const char*> names;
    } cases[] = {
        {"an unknown name", {"NoSuchMember"}},
        {"a name in other letter case", {"presentationmode"}},
        {"a method and its parameter's name", {"DisableContextMenu", "itemNb"}},
        {"a method and an unknown parameter", {"DisableContextMenu", "nothing"}},
    };
    for (const auto& c : cases)
        report.Compare(std::string("bad names: ") + c.what, IdsOf(control, c.names),
                       IdsOf(reference.Dispatcher(), c.names));
}

ComPtr<IDispatch> Create(LPCOLESTR progId) {
    CLSID clsid{};
    CheckResult(CLSIDFromProgID(progId, &clsid));
    ComPtr<IDispatch> made;
    CheckResult(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, made.ReceiveVoid()));
    return made;
}

}  // namespace

int main() {
    ClientReport report;
    const HRESULT started = CoInitialize(nullptr);
    if (!report.Compare("the COM runtime starts", ResultCodeText(started), ResultCodeText(S_OK))) return report.Done();
    try {
        // The chart is the stand-ins': the members that reach a chart need one.
        const ComPtr<IDispatch> control = Create(OLESTR("Vantor.TesselAdapter.1")),
                                chart = Create(OLESTR("Tessel.Chart"));
        const Reference reference(control.Get());
        CheckCalls(report, control.Get(), reference, chart.Get());
        CheckNames(report, control.Get(), reference);
    } catch (const ComponentError& error) {
        // Whatever step raised, the rest cannot run.
        report.Check("the client", false, error.what(), "no error");
    }
    CoUninitialize();
    return report.Done();
}
