// Shared by the platform tests. Only the automation API (and the live counts) is used here, so the API tests run
// unchanged against the real platform.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Automation.h"
#include "platform/LiveCounts.h"

class LeakChecked : public ::testing::Test {
    const long strings_ = platform::LiveBstrCount(), arrays_ = platform::LiveArrayCount();

protected:
    void TearDown() override {
        EXPECT_EQ(platform::LiveBstrCount(), strings_) << "strings leaked";
        EXPECT_EQ(platform::LiveArrayCount(), arrays_) << "arrays leaked";
    }
};

// Where Wine's runtime is known to answer otherwise than Windows, a case is left out under it and says why.
inline bool RunningUnderWine() {
#ifdef _WIN32
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
#else
    return false;
#endif
}

// A string as laid out: a 4-byte length prefix, `byteLength` bytes (`bytes`, or zeros if null), a 2-byte NUL.
inline void ExpectLaidOut(BSTR text, UINT byteLength, const void* bytes) {
    ASSERT_NE(text, nullptr);
    const char* at = reinterpret_cast<const char*>(text);
    DWORD prefix = 0;
    std::memcpy(&prefix, at - sizeof prefix, sizeof prefix);
    EXPECT_EQ(prefix, byteLength);
    EXPECT_EQ(SysStringByteLen(text), byteLength);
    EXPECT_EQ(SysStringLen(text), byteLength / 2);
    const std::string zeros(byteLength, '\0');
    const std::string_view expected = bytes ? std::string_view(static_cast<const char*>(bytes), byteLength) : zeros;
    EXPECT_EQ(std::string_view(at, byteLength), expected);
    EXPECT_EQ(std::pair(at[byteLength], at[byteLength + 1]), std::pair('\0', '\0')) << "2-byte NUL after it";
}

// A variant of type vt holding the pointer value (a reference, a string ...).
inline VARIANT Of(VARTYPE vt, void* value) {
    VARIANT v{};
    v.vt = vt, v.byref = value;
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

// An object on the test's stack. It counts references, records every Invoke (each argument's lVal, as laid
// out: last parameter first) and answers `result` and, where there is room, a copy of `value`; for
// DISP_E_EXCEPTION `raise` fills EXCEPINFO.
struct FakeObject final : IDispatch {
    struct Received { DISPID id; WORD flags; std::vector<LONG> args; };
    explicit FakeObject(VARIANT v = {}, HRESULT invokeResult = S_OK) : value(v), result(invokeResult) {}
    ~FakeObject() { VariantClear(&value); }

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
                                     EXCEPINFO* info, UINT*) override {
        calls.push_back({member, flags, {}});
        for (UINT i = 0; i < params->cArgs; ++i) calls.back().args.push_back(params->rgvarg[i].lVal);
        if (result == DISP_E_EXCEPTION && raise && info) raise(*info);
        return FAILED(result) || !out ? result : VariantCopy(out, &value);
    }

    VARIANT value;  // owned
    HRESULT result;
    std::function<void(EXCEPINFO&)> raise;
    std::vector<Received> calls;
    ULONG references = 1;
};
