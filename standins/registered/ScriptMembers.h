// The members a registered stand-in offers its script and C++ clients, as
// one table per class: name (for GetIDsOfNames), dispatch identifier, kind,
// declared parameter and result types, and the function that runs it.
//
// Invoke picks the entry the call means, converts the arguments to the
// declared types as DispGetParam does (script clients pass VT_I2 for small
// numbers and VT_BYREF|VT_VARIANT for variables), runs it and converts the
// result. Whatever the member raises leaves as DISP_E_EXCEPTION with
// EXCEPINFO. Identifiers start at 1000, clear of the identifiers the adapter
// calls on the same objects.
#pragma once

#include <array>
#include <initializer_list>
#include <span>

#include "platform/ComPtr.h"
#include "platform/ComponentError.h"
#include "platform/DispatchMember.h"
#include "platform/OleControl.h"
#include "platform/OleVariant.h"

namespace standins {

inline constexpr DISPID kFirstScriptMember = 1000;

template <class Self>
struct ScriptMember {
    static constexpr UINT kMaxParams = 3;
    using Run = COleVariant (*)(Self& self, const VARIANT* args);

    const char* name;
    DISPID id;
    // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT; a
    // property that is read and written has one entry for each.
    WORD kind;
    VARTYPE result;  // VT_EMPTY: none; VT_VARIANT: as the member gave it
    std::array<VARTYPE, kMaxParams> params;  // a put's value comes last
    UINT paramCount;
    Run run;
};

template <class Self>
ScriptMember<Self> Member(const char* name, DISPID id, WORD kind, VARTYPE result,
                          std::initializer_list<VARTYPE> params, typename ScriptMember<Self>::Run run) {
    ScriptMember<Self> entry{name, id, kind, result, {}, 0, run};
    for (VARTYPE type : params)
        if (entry.paramCount < ScriptMember<Self>::kMaxParams) entry.params[entry.paramCount++] = type;
    return entry;
}

namespace detail {

constexpr WORD kPuts = DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;

// The entry for the call: a put wants a put entry; a read comes from script
// clients as a method call and a property get at once, so either serves.
template <class Self>
const ScriptMember<Self>* FindMember(std::span<const ScriptMember<Self>> table, DISPID id, WORD flags) {
    for (const ScriptMember<Self>& entry : table) {
        if (entry.id != id) continue;
        const bool wanted = (flags & kPuts) ? entry.kind == DISPATCH_PROPERTYPUT
                                            : (entry.kind & flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
        if (wanted) return &entry;
    }
    return nullptr;
}

template <class Self>
bool HasGetter(std::span<const ScriptMember<Self>> table, DISPID id) {
    for (const ScriptMember<Self>& entry : table)
        if (entry.id == id && entry.kind == DISPATCH_PROPERTYGET) return true;
    return false;
}

}  // namespace detail

template <class Self>
HRESULT InvokeScriptMember(std::span<const ScriptMember<Self>> table, LPCOLESTR source, Self& self, DISPID id,
                           WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                           UINT* argErr) noexcept {
    return AtDispatchBoundary(info, source, [&]() -> HRESULT {
        if (const HRESULT hr = CheckDispParams(params); FAILED(hr)) return hr;
        const ScriptMember<Self>* entry = detail::FindMember(table, id, flags);
        if (!entry) {
            // Writing a property that is only read is refused as a control refuses it.
            if ((flags & detail::kPuts) && detail::HasGetter(table, id)) COleControl::SetNotSupported();
            return DISP_E_MEMBERNOTFOUND;
        }
        if (flags & detail::kPuts) {
            if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
        } else if (params->cNamedArgs != 0) {
            return DISP_E_NONAMEDARGS;
        }
        if (params->cArgs != entry->paramCount) return DISP_E_BADPARAMCOUNT;

        // Parameter i arrives at rgvarg[cArgs - 1 - i]; so does a put's value,
        // the last parameter, at rgvarg[0].
        COleVariant scratch[ScriptMember<Self>::kMaxParams];
        VARIANT args[ScriptMember<Self>::kMaxParams];
        for (UINT i = 0; i < entry->paramCount; ++i) {
            const UINT slot = params->cArgs - 1 - i;
            const VARIANT* value = nullptr;
            if (const HRESULT hr = CoerceArgument(params->rgvarg[slot], entry->params[i], scratch[i], value);
                FAILED(hr)) {
                if (argErr) *argErr = slot;
                return hr;
            }
            args[i] = *value;  // shallow: scratch and the caller keep ownership
        }

        COleVariant value = entry->run(self, args);
        if (entry->result == VT_EMPTY) return S_OK;
        if (entry->result != VT_VARIANT && value.vt != entry->result) value.ChangeType(entry->result);
        if (result) *result = value.Detach();
        return S_OK;
    });
}

}  // namespace standins

namespace standins {

// A stand-in with its script members on top: identifiers from 1000 go to
// Self::Members(), the rest to the stand-in itself, which serves the
// adapter's calls.
template <class Base, class Self>
class Scripted : public Base {
public:
    // A new object holding one reference, its creator's.
    static ComPtr<Self> Create() {
        ComPtr<Self> made;
        made.Attach(new Self);
        return made;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return MemberIdsOfNames(Self::Members(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argErr) override {
        if (member < kFirstScriptMember)
            return Base::Invoke(member, riid, lcid, flags, params, result, exception, argErr);
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return InvokeScriptMember(Self::Members(), Self::kSource, static_cast<Self&>(*this), member, flags, params,
                                  result, exception, argErr);
    }
};

}  // namespace standins
