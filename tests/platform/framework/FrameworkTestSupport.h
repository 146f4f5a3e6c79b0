// Shared by the framework tests: a fixture that fails a test leaving strings
// or arrays alive, a scriptable IDispatch, and small variant helpers.
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
#ifndef _WIN32
    const long strings_ = platform::LiveBstrCount(), arrays_ = platform::LiveArrayCount();

protected:
    void TearDown() override {
        EXPECT_EQ(platform::LiveBstrCount(), strings_) << "strings left alive";
        EXPECT_EQ(platform::LiveArrayCount(), arrays_) << "arrays left alive";
    }
#endif
};

inline OleString TextOf(const VARIANT& v) {
    return v.vt == VT_BSTR ? OleString(v.bstrVal, SysStringLen(v.bstrVal)) : OLESTR("(not a string)");
}

// A VT_BYREF variant of type vt pointing at target.
inline VARIANT ByRef(VARTYPE vt, void* target) {
    VARIANT v;
    v.vt = VT_BYREF | vt;
    v.byref = target;
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

// Records every Invoke it receives and answers with what the test scripted
// (raise fills EXCEPINFO when answer is DISP_E_EXCEPTION). Lives on the
// stack; its reference count only shows AddRef/Release balance.
struct FakeDispatch : IDispatch {
    struct Received {
        DISPID id;
        WORD flags;
        std::vector<COleVariant> rgvarg;  // as laid out: last parameter first
        std::vector<DISPID> named;
    };
    std::vector<Received> calls;
    ULONG refs = 1;
    HRESULT answer = S_OK;
    COleVariant result;
    std::function<void(EXCEPINFO&)> raise;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* pVarResult, EXCEPINFO* info, UINT*) override {
        const DISPID* named = params->rgdispidNamedArgs;
        calls.push_back({id, flags, {params->rgvarg, params->rgvarg + params->cArgs},
                         {named, named + params->cNamedArgs}});
        if (answer == DISP_E_EXCEPTION && raise) raise(*info);
        if (SUCCEEDED(answer) && pVarResult) *pVarResult = COleVariant(result).Detach();
        return answer;
    }
};
