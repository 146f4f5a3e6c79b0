// ExcepInfo: an EXCEPINFO whose strings are freed with it.
//
// The callee of IDispatch::Invoke fills EXCEPINFO and the caller owns the
// strings it put there, whatever the call's outcome. Code() runs a deferred
// fill-in first, so that the code and the description are read once filled.
#pragma once

#include "platform/Automation.h"

class ExcepInfo : public EXCEPINFO {
public:
    ExcepInfo() noexcept : EXCEPINFO{} {}
    ~ExcepInfo() { Clear(); }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;

    // Frees the strings and zeroes every field.
    void Clear() noexcept {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
        static_cast<EXCEPINFO&>(*this) = EXCEPINFO{};
    }

    // The failure code of a raised exception: scode once any deferred
    // fill-in has run, or `fallback` when the callee left it unset.
    HRESULT Code(HRESULT fallback) noexcept {
        if (pfnDeferredFillIn) {
            auto fill = pfnDeferredFillIn;
            pfnDeferredFillIn = nullptr;
            fill(this);
        }
        return FAILED(scode) ? scode : fallback;
    }
};

static_assert(sizeof(ExcepInfo) == sizeof(EXCEPINFO));
