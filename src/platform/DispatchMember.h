// What every object that serves IDispatch from a member table needs: names
// matched as script clients spell them, arguments converted as DispGetParam
// converts them, and the boundary where whatever a member raises becomes a
// failed call (DISP_E_EXCEPTION with EXCEPINFO), never an exception in the
// caller's frames.
#pragma once

#include "platform/Automation.h"
#include "platform/ExcepInfo.h"
#include "platform/OleVariant.h"

// Member names compare without regard to ASCII letter case.
bool SameMemberName(const OLECHAR* name, const char* member) noexcept;

// GetIDsOfNames over a table of entries with `name` and `id`. The names after
// the first are the member's parameters, each answered with its position,
// for entries that name their parameters (`paramNames`, `paramCount`).
template <class Entries>
HRESULT MemberIdsOfNames(const Entries& entries, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (count == 0) return S_OK;
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    HRESULT hr = DISP_E_UNKNOWNNAME;
    for (const auto& entry : entries) {
        if (!names[0] || !SameMemberName(names[0], entry.name)) continue;
        ids[0] = entry.id;
        hr = S_OK;
        if constexpr (requires { entry.paramNames; })
            for (UINT i = 1; i < count; ++i)
                for (UINT p = 0; p < entry.paramCount && names[i]; ++p)
                    if (entry.paramNames[p] && SameMemberName(names[i], entry.paramNames[p])) ids[i] = p;
        break;
    }
    for (UINT i = 1; i < count; ++i)
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    return hr;
}

// S_OK when the parameter block is one Invoke may be given.
HRESULT CheckDispParams(const DISPPARAMS* params) noexcept;

// Where each of `count` parameters sits in rgvarg: the positional arguments
// come last and in reverse (the first parameter at rgvarg[cArgs - 1]); a
// named argument's DISPID is its parameter's position. A name that is no
// parameter, or one already given, is DISP_E_PARAMNOTFOUND with argErr at
// that argument. Expects cArgs == count.
HRESULT ArgumentSlots(const DISPPARAMS& params, UINT count, UINT* slots, UINT* argErr) noexcept;

// Coerces one argument to its declared type. `out` is the value to use: the
// argument itself when it already has the type (a VT_VARIANT parameter takes
// what a by-reference variant points at), otherwise the converted copy in
// scratch. A failed conversion is DISP_E_TYPEMISMATCH, except for overflow
// and lack of memory.
HRESULT CoerceArgument(const VARIANT& arg, VARTYPE type, COleVariant& scratch, const VARIANT*& out);

// The exception in flight as a failed call: a ComponentError gives its code
// and description, std::bad_alloc E_OUTOFMEMORY, anything else E_UNEXPECTED.
// Call it only inside a catch handler.
HRESULT ExceptionToCaller(EXCEPINFO* info, LPCOLESTR source) noexcept;

template <class Body>
HRESULT AtDispatchBoundary(EXCEPINFO* info, LPCOLESTR source, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return ExceptionToCaller(info, source);
    }
}

// The same boundary for calls that report a bare result code: S_OK, or the
// code of what the body raised.
template <class Body>
HRESULT AtCallBoundary(Body&& body) noexcept {
    ExcepInfo info;
    const HRESULT hr = AtDispatchBoundary(&info, nullptr, [&]() -> HRESULT {
        body();
        return S_OK;
    });
    return hr == DISP_E_EXCEPTION ? info.Code(hr) : hr;
}
