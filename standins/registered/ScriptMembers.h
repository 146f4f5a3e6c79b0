// The members a registered stand-in offers its script and C++ clients, as
// one member table per class (Self::Members()), served by the platform's
// member engine. Identifiers start at 1000, clear of the identifiers the
// adapter calls on the same objects, which the stand-in below serves.
#pragma once

#include <span>

#include "platform/ComPtr.h"
#include "platform/DispatchMember.h"

namespace standins {

inline constexpr DISPID kFirstScriptMember = 1000;

template <class Self>
using ScriptMember = DispatchMember<Self>;

// A stand-in with its script members on top: identifiers from 1000 go to
// Self::Members(), the rest to the stand-in itself.
template <class Base, class Self>
class Scripted : public Base {
public:
    // A new object holding one reference, its creator's.
    static ComPtr<Self> Create() {
        ComPtr<Self> made;
        made.Attach(new Self);
        return made;
    }

    // A script member's name first; the stand-in's own names otherwise.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        const HRESULT hr = MemberIdsOfNames(Self::Members(), names, count, ids);
        if (hr != DISP_E_UNKNOWNNAME || ids[0] != DISPID_UNKNOWN) return hr;
        return Base::GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argErr) override {
        if (member < kFirstScriptMember)
            return Base::Invoke(member, riid, lcid, flags, params, result, exception, argErr);
        return InvokeMember(Self::Members(), static_cast<Self&>(*this), Self::kSource, member, riid, flags, params,
                            result, exception, argErr);
    }
};

}  // namespace standins
