// VARIANT lifetime: init, clear, copy, copy through a reference.
#include <cstring>

#include "platform/Automation.h"
#include "platform/posix/VariantRules.h"

namespace {

// A DECIMAL overlays the whole variant but its first word, where vt lives.
constexpr std::size_t kDecimalSkip = sizeof(VARTYPE);

bool IsByRef(const VARIANT& v) { return (v.vt & VT_BYREF) != 0; }
bool IsArray(const VARIANT& v) { return (v.vt & VT_ARRAY) != 0; }
VARTYPE BaseType(VARTYPE vt) { return vt & VT_TYPEMASK; }

// CopyInd accepts fewer reference types than the general rule allows, and
// answers E_INVALIDARG instead of DISP_E_BADVARTYPE for the rest.
bool IsCopyableReference(VARTYPE vt) {
    if (vt & VT_ARRAY) return true;
    const VARTYPE base = BaseType(vt);
    const bool plainModifiers = (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) == 0;
    return plainModifiers && base > VT_NULL && base != platform::kVtGap && base < VT_VOID;
}

HRESULT CopyValue(VARIANT* dest, const VARIANT& src) {
    *dest = src;
    if (IsByRef(src)) return S_OK;  // the caller keeps owning what it points at
    if (IsArray(src)) return SafeArrayCopy(src.parray, &dest->parray);
    switch (src.vt) {
    case VT_BSTR:
        // A null string copies as an empty one.
        dest->bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src.bstrVal),
                                              SysStringByteLen(src.bstrVal));
        return dest->bstrVal ? S_OK : E_OUTOFMEMORY;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (src.punkVal) src.punkVal->AddRef();
        return S_OK;
    default:
        return S_OK;
    }
}

// Copies the value src refers to into dest, which is empty.
HRESULT CopyReferenced(VARIANT* dest, const VARIANT& src) {
    const VARTYPE base = BaseType(src.vt);
    HRESULT hr = S_OK;
    if (IsArray(src)) {
        hr = SafeArrayCopy(*src.pparray, &dest->parray);
    } else if (base == VT_VARIANT) {
        // Only one level is followed.
        if (src.pvarVal->vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
        return VariantCopyInd(dest, src.pvarVal);
    } else if (base == VT_BSTR) {
        BSTR text = *src.pbstrVal;
        dest->bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(text), SysStringByteLen(text));
        if (!dest->bstrVal) hr = E_OUTOFMEMORY;
    } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
        dest->punkVal = *src.ppunkVal;
        if (dest->punkVal) dest->punkVal->AddRef();
    } else if (base == VT_DECIMAL) {
        std::memcpy(reinterpret_cast<char*>(dest) + kDecimalSkip,
                    static_cast<const char*>(src.byref) + kDecimalSkip,
                    platform::ValueSize(VT_DECIMAL) - kDecimalSkip);
    } else {
        std::memcpy(&dest->llVal, src.byref, platform::ValueSize(base));
    }
    if (SUCCEEDED(hr)) dest->vt = src.vt & ~VT_BYREF;
    return hr;
}

}  // namespace

namespace platform {

HRESULT ValidateVartype(VARTYPE vt) noexcept {
    const VARTYPE base = BaseType(vt);
    const VARTYPE modifiers = vt & ~VT_TYPEMASK;
    if (modifiers & ~(VT_ARRAY | VT_BYREF)) return DISP_E_BADVARTYPE;  // vector, reserved
    if (base >= VT_VOID || base == kVtGap) return DISP_E_BADVARTYPE;
    if (modifiers && base <= VT_NULL) return DISP_E_BADVARTYPE;
    return S_OK;
}

std::size_t ValueSize(VARTYPE vt) noexcept {
    switch (BaseType(vt)) {
    case VT_I1: case VT_UI1:
        return 1;
    case VT_I2: case VT_UI2: case VT_BOOL:
        return 2;
    case VT_I4: case VT_UI4: case VT_R4: case VT_INT: case VT_UINT: case VT_ERROR:
        return 4;
    case VT_R8: case VT_DATE: case VT_CY: case VT_I8: case VT_UI8:
        return 8;
    case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN:
        return sizeof(void*);
    case VT_VARIANT:
        return sizeof(VARIANT);
    case VT_DECIMAL:
        return 16;
    default:
        return 0;
    }
}

}  // namespace platform

void VariantInit(VARIANTARG* pvarg) {
    if (pvarg) pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (!pvarg) return E_INVALIDARG;
    const HRESULT valid = platform::ValidateVartype(pvarg->vt);
    if (FAILED(valid)) return valid;
    if (!IsByRef(*pvarg)) {
        if (IsArray(*pvarg)) {
            // A locked array stays where it is, so the caller can still free it.
            const HRESULT hr = SafeArrayDestroy(pvarg->parray);
            if (FAILED(hr)) return hr;
        } else if (pvarg->vt == VT_BSTR) {
            SysFreeString(pvarg->bstrVal);
        } else if ((pvarg->vt == VT_DISPATCH || pvarg->vt == VT_UNKNOWN) && pvarg->punkVal) {
            pvarg->punkVal->Release();
        }
    }
    pvarg->vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (!pvargDest || !pvargSrc) return E_INVALIDARG;
    if (FAILED(platform::ValidateVartype(pvargSrc->vt))) return DISP_E_BADVARTYPE;
    if (pvargDest == pvargSrc) return S_OK;
    const HRESULT hr = VariantClear(pvargDest);
    if (FAILED(hr)) return hr;
    return CopyValue(pvargDest, *pvargSrc);
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
    if (!pvarDest || !pvargSrc) return E_INVALIDARG;
    if (!IsByRef(*pvargSrc)) return VariantCopy(pvarDest, pvargSrc);
    if (!IsCopyableReference(pvargSrc->vt) || !pvargSrc->byref) return E_INVALIDARG;
    // Work from a shallow copy: the source may be the destination itself, and
    // a reference owns nothing, so dropping it needs no clear.
    const VARIANT source = *pvargSrc;
    if (pvarDest != pvargSrc) {
        const HRESULT hr = VariantClear(pvarDest);
        if (FAILED(hr)) return hr;
    }
    pvarDest->vt = VT_EMPTY;
    return CopyReferenced(pvarDest, source);
}
