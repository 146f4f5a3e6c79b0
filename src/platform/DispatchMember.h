// The one engine behind every object here that serves IDispatch: a table of
// members, each with its name, dispatch identifier, declared types and the
// functions that run it, and the one error boundary where whatever a member
// (or any other entry point the runtime calls) raises becomes a failed call.
//
// InvokeMember finds the entry, refuses what the entry does not allow, checks
// the argument count and the named arguments, converts every argument to its
// declared type as DispGetParam converts it (script clients pass VT_I2 for
// small numbers and VT_BYREF|VT_VARIANT for variables), runs the member and
// converts its result. MemberIdsOfNames answers GetIDsOfNames from the same
// table.
#pragma once

#include <initializer_list>
#include <span>
#include <type_traits>
#include <utility>

#include "platform/Automation.h"
#include "platform/ExcepInfo.h"
#include "platform/OleVariant.h"

// What a control records about a member beyond its automation types, for its
// tools; the control defines it, the engine only carries it.
struct MemberDetail;

// AddTemplateEx of the chart takes eleven grids, the most of any member.
inline constexpr UINT kMaxMemberParams = 11;

// One declared parameter: its type and the name a client may pass it by.
struct MemberParam {
    VARTYPE type;
    const char* name = nullptr;
};

// A member's name, identifier and automation types. A method's parameters
// come in `params`; a property's are its indices (none for most), and a put
// passes the value after them, converted to `type`.
struct MemberSignature {
    const char* name;
    DISPID id;
    // Property value, or method result (VT_EMPTY: none; VT_VARIANT: as the
    // member gave it).
    VARTYPE type;
    UINT paramCount;  // more than kMaxMemberParams: the entry is refused
    VARTYPE params[kMaxMemberParams];
    const char* paramNames[kMaxMemberParams];  // as the type library names them

    static MemberSignature Of(const char* name, DISPID id, VARTYPE type,
                              std::initializer_list<MemberParam> params) noexcept;
};

// One call as the member's function sees it, its arguments converted.
class MemberCall {
public:
    MemberCall(DISPID member, WORD kind, DISPPARAMS& params) noexcept : member_(member), kind_(kind), params_(params) {}
    MemberCall(const MemberCall&) = delete;
    MemberCall& operator=(const MemberCall&) = delete;

    DISPID Member() const noexcept { return member_; }
    // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT (a put by
    // reference included).
    WORD Kind() const noexcept { return kind_; }
    // The parameters in declared order, a put's value last: converted to the
    // declared types, or as the caller passed them.
    UINT Count() const noexcept { return count_; }
    const VARIANT* Args() const noexcept { return args_; }
    const VARIANT& Arg(UINT i) const noexcept { return args_[i]; }
    VARIANT& Passed(UINT i) const noexcept { return params_.rgvarg[slots_[i]]; }

    // What a get or a method hands back; converted to the declared type.
    COleVariant& Result() noexcept { return result_; }
    HRESULT Return(COleVariant value) noexcept {
        result_ = std::move(value);
        return S_OK;
    }

    // Places and converts the arguments for `member`: DISP_E_BADPARAMCOUNT,
    // DISP_E_PARAMNOTFOUND or a conversion's code (with argErr at the
    // argument) when they do not fit.
    HRESULT Convert(const MemberSignature& member, UINT* argErr);
    // Hands the result to the caller in the declared type.
    HRESULT Finish(const MemberSignature& member, VARIANT* result);

private:
    DISPID member_;
    WORD kind_;
    DISPPARAMS& params_;
    UINT count_ = 0;
    UINT slots_[kMaxMemberParams + 1] = {};
    VARIANT args_[kMaxMemberParams + 1];  // shallow: scratch_ and the caller keep ownership
    COleVariant scratch_[kMaxMemberParams + 1];
    COleVariant result_;
};

// One entry of a member table. A property that is read and written has both
// functions; a function returns S_OK, a failing code for the caller as it
// is, or raises (which the caller gets as DISP_E_EXCEPTION).
template <class Self>
struct DispatchMember : MemberSignature {
    using Run = HRESULT (*)(Self& self, MemberCall& call);
    Run get = nullptr;   // null: reading is refused (CTL_E_GETNOTSUPPORTED)
    Run set = nullptr;   // null: writing is refused (CTL_E_SETNOTSUPPORTED)
    Run call = nullptr;  // set: the member is a method
    const MemberDetail* detail = nullptr;

    bool IsMethod() const noexcept { return call != nullptr; }
};

template <class Self>
DispatchMember<Self> MethodMember(const char* name, DISPID id, VARTYPE result,
                                  std::initializer_list<MemberParam> params, typename DispatchMember<Self>::Run run) {
    return {MemberSignature::Of(name, id, result, params), nullptr, nullptr, run, nullptr};
}

template <class Self>
DispatchMember<Self> PropertyMember(const char* name, DISPID id, VARTYPE type,
                                    std::initializer_list<MemberParam> indices, typename DispatchMember<Self>::Run get,
                                    typename DispatchMember<Self>::Run set) {
    return {MemberSignature::Of(name, id, type, indices), get, set, nullptr, nullptr};
}

// Member names compare without regard to ASCII letter case.
bool SameMemberName(const OLECHAR* name, const char* member) noexcept;

// GetIDsOfNames over a member table. The names after the first are the
// member's parameters, each answered with its position.
template <class Entries>
HRESULT MemberIdsOfNames(const Entries& entries, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (count == 0) return S_OK;
    if (!names || !ids) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    HRESULT hr = DISP_E_UNKNOWNNAME;
    for (const MemberSignature& entry : entries) {
        if (!names[0] || !SameMemberName(names[0], entry.name)) continue;
        ids[0] = entry.id;
        hr = S_OK;
        for (UINT i = 1; i < count; ++i)
            for (UINT p = 0; p < entry.paramCount && p < kMaxMemberParams && names[i]; ++p)
                if (entry.paramNames[p] && SameMemberName(names[i], entry.paramNames[p])) ids[i] = p;
        break;
    }
    for (UINT i = 1; i < count; ++i)
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    return hr;
}

// S_OK when the parameter block is one Invoke may be given; E_INVALIDARG for
// a missing block or a count whose array is missing.
HRESULT CheckDispParams(const DISPPARAMS* params) noexcept;

// Which of get, put and method `flags` asks of a member with these
// functions; 0 when the member has no such kind (DISP_E_MEMBERNOTFOUND).
// A refused read or write raises the control errors for it before any
// argument is looked at: the member must not run.
WORD MemberCallKind(WORD flags, bool isMethod, bool readable, bool writable);

// Coerces one argument to its declared type. `out` is the value to use: the
// argument itself when it already has the type (a VT_VARIANT parameter takes
// what a by-reference variant points at), otherwise the converted copy in
// scratch. A by-reference argument that points nowhere, and a conversion that
// fails, are DISP_E_TYPEMISMATCH, except for overflow and lack of memory.
HRESULT CoerceArgument(const VARIANT& arg, VARTYPE type, COleVariant& scratch, const VARIANT*& out);

// ---- The error boundary ------------------------------------------------------

// The exception in flight as a failed call: a ComponentError gives its code
// and description, std::bad_alloc E_OUTOFMEMORY, anything else E_UNEXPECTED;
// all three as DISP_E_EXCEPTION with them in `info`. Call it only inside a
// catch handler.
HRESULT ExceptionToCaller(EXCEPINFO* info, LPCOLESTR source) noexcept;

// Runs the body of an entry point the runtime calls; what the body raises
// comes back as DISP_E_EXCEPTION with EXCEPINFO, never as an exception.
template <class Body>
HRESULT AtDispatchBoundary(EXCEPINFO* info, LPCOLESTR source, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return ExceptionToCaller(info, source);
    }
}

// The same boundary for entry points that report a bare result code (class
// factories, module functions, container interfaces, property pages,
// connection points, a stand-in's interface calls): the body's own code, or
// the code of what it raised.
template <class Body>
HRESULT AtCallBoundary(Body&& body) noexcept {
    ExcepInfo info;
    const HRESULT hr = AtDispatchBoundary(&info, nullptr, [&]() -> HRESULT {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    });
    return hr == DISP_E_EXCEPTION ? info.Code(hr) : hr;
}

// ---- The engine --------------------------------------------------------------

// IDispatch::Invoke over a member table, for `self`. `source` names the
// object in the EXCEPINFO of what a member raises.
template <class Self>
HRESULT InvokeMember(std::span<const DispatchMember<Self>> table, Self& self, LPCOLESTR source, DISPID id,
                     REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                     UINT* argErr) noexcept {
    return AtDispatchBoundary(info, source, [&]() -> HRESULT {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (const HRESULT hr = CheckDispParams(params); FAILED(hr)) return hr;
        const DispatchMember<Self>* entry = nullptr;
        for (const DispatchMember<Self>& candidate : table)
            if (candidate.id == id) {
                entry = &candidate;
                break;
            }
        if (!entry) return DISP_E_MEMBERNOTFOUND;
        const WORD kind = MemberCallKind(flags, entry->IsMethod(), entry->get != nullptr, entry->set != nullptr);
        if (kind == 0) return DISP_E_MEMBERNOTFOUND;

        MemberCall call(id, kind, *params);
        if (const HRESULT hr = call.Convert(*entry, argErr); FAILED(hr)) return hr;
        const auto run = kind == DISPATCH_METHOD ? entry->call : kind == DISPATCH_PROPERTYGET ? entry->get : entry->set;
        if (const HRESULT hr = run(self, call); FAILED(hr)) return hr;
        return call.Finish(*entry, result);
    });
}
