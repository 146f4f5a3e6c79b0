// Shared by the framework tests: a fixture that fails a test leaving strings
// or arrays alive, a scriptable IDispatch, and small variant builders.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/ComponentError.h"
#include "platform/OleVariant.h"
#ifndef _WIN32
#include "platform/posix/LiveCounts.h"
#endif

class LeakChecked : public testing::Test {
protected:
#ifndef _WIN32
    void SetUp() override {
        strings_ = platform::LiveBstrCount();
        arrays_ = platform::LiveArrayCount();
    }
    void TearDown() override {
        EXPECT_EQ(platform::LiveBstrCount(), strings_) << "strings left alive";
        EXPECT_EQ(platform::LiveArrayCount(), arrays_) << "arrays left alive";
    }

private:
    long strings_ = 0;
    long arrays_ = 0;
#endif
};

inline OleString TextOf(const VARIANT& v) {
    EXPECT_EQ(v.vt, VT_BSTR);
    return v.vt == VT_BSTR ? OleString(v.bstrVal, SysStringLen(v.bstrVal)) : OleString();
}

inline VARIANT ByRef(LONG* value) {
    VARIANT v;
    v.vt = VT_BYREF | VT_I4;
    v.plVal = value;
    return v;
}

inline VARIANT ByRef(VARIANT* value) {
    VARIANT v;
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = value;
    return v;
}

// Runs a failing call and returns what it raised.
inline ComponentError Raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const ComponentError& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return ComponentError(S_OK, {}, {});
}

// Records every Invoke it receives and answers with what the test scripted.
// Lives on the stack; its reference count only shows AddRef/Release balance.
struct FakeDispatch : IDispatch {
    struct Received {
        DISPID id;
        WORD flags;
        std::vector<COleVariant> rgvarg;  // as laid out: last parameter first
        std::vector<DISPID> named;
        bool wantsResult;
    };
    std::vector<Received> calls;
    ULONG refs = 1;
    HRESULT answer = S_OK;
    COleVariant result;
    // Fills EXCEPINFO when answer is DISP_E_EXCEPTION.
    std::function<void(EXCEPINFO&)> raise;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* pVarResult, EXCEPINFO* info, UINT*) override {
        EXPECT_TRUE(IsEqualIID(riid, IID_NULL));
        Received r{id, flags, {}, {}, pVarResult != nullptr};
        for (UINT i = 0; i < params->cArgs; ++i) r.rgvarg.emplace_back(params->rgvarg[i]);
        r.named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
        calls.push_back(std::move(r));
        if (answer == DISP_E_EXCEPTION && raise) raise(*info);
        if (SUCCEEDED(answer) && pVarResult) *pVarResult = COleVariant(result).Detach();
        return answer;
    }
};
