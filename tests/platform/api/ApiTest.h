// Shared pieces of the automation API conformance tests. They use only the
// platform's public API (plus the live counts off Windows), so they run
// unchanged against the real platform.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/Automation.h"
#ifndef _WIN32
#include "platform/posix/LiveCounts.h"
#endif

// Every test ends with as many live strings and arrays as it started with.
class ApiTest : public ::testing::Test {
#ifndef _WIN32
    const long strings_ = platform::LiveBstrCount(), arrays_ = platform::LiveArrayCount();

protected:
    void TearDown() override {
        EXPECT_EQ(platform::LiveBstrCount(), strings_) << "strings leaked";
        EXPECT_EQ(platform::LiveArrayCount(), arrays_) << "arrays leaked";
    }
#endif
};

// A variant of type vt holding the pointer value (a reference, a string ...).
inline VARIANT Of(VARTYPE vt, void* value) {
    VARIANT v;
    v.vt = vt;
    v.byref = value;
    return v;
}

// A variant as "TYPE value" (a string as the low bytes of its characters).
inline std::string Describe(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_I2: return "I2 " + std::to_string(v.iVal);
    case VT_I4: return "I4 " + std::to_string(v.lVal);
    case VT_UI1: return "UI1 " + std::to_string(v.bVal);
    case VT_BOOL: return "BOOL " + std::to_string(v.boolVal);
    case VT_R8: return "R8 " + std::to_string(v.dblVal);
    case VT_BSTR: return "'" + std::string(v.bstrVal, v.bstrVal + SysStringLen(v.bstrVal)) + "'";
    default: return "vt " + std::to_string(v.vt);
    }
}

// An object with a default value, living on the test's stack; it counts
// references and answers only the property get of DISPID_VALUE.
struct ValueObject final : IDispatch {
    explicit ValueObject(VARIANT v = {}, HRESULT invokeResult = S_OK) : value(v), result(invokeResult) {}
    ~ValueObject() { VariantClear(&value); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch);
        *ppv = known ? static_cast<IDispatch*>(this) : nullptr;
        return known ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* out,
                                     EXCEPINFO*, UINT*) override {
        if (member != DISPID_VALUE || flags != DISPATCH_PROPERTYGET || params->cArgs) return E_UNEXPECTED;
        return FAILED(result) ? result : VariantCopy(out, &value);
    }

    VARIANT value;  // owned
    HRESULT result;
    ULONG references = 1;
};
