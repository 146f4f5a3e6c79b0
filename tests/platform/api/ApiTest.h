// Shared pieces of the automation API conformance tests. They use only the
// platform's public API (plus the live counts off Windows), so they run
// unchanged against the real platform.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Automation.h"
#ifndef _WIN32
#include "platform/posix/LiveCounts.h"
#endif

// Every test ends with as many live strings and arrays as it started with.
class ApiTest : public ::testing::Test {
#ifndef _WIN32
protected:
    void SetUp() override { start_ = {platform::LiveBstrCount(), platform::LiveArrayCount()}; }
    void TearDown() override {
        EXPECT_EQ(platform::LiveBstrCount(), start_.first) << "strings leaked";
        EXPECT_EQ(platform::LiveArrayCount(), start_.second) << "arrays leaked";
    }

private:
    std::pair<long, long> start_;
#endif
};

inline std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// Characters outside ASCII print as \uXXXX, so a wrong string reads clearly.
inline std::string Narrow(BSTR text) {
    if (!text) return "(null)";
    std::string out;
    for (UINT i = 0; i < SysStringLen(text); ++i) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(text[i]));
        out += text[i] >= 0x20 && text[i] < 0x7F ? std::string(1, static_cast<char>(text[i])) : escaped;
    }
    return out;
}

// A variant as "TYPE value", the form the tables expect.
inline std::string Describe(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I2: return "I2 " + std::to_string(v.iVal);
    case VT_I4: return "I4 " + std::to_string(v.lVal);
    case VT_UI1: return "UI1 " + std::to_string(v.bVal);
    case VT_BOOL: return "BOOL " + std::to_string(v.boolVal);
    case VT_R8: return "R8 " + std::to_string(v.dblVal);
    case VT_BSTR: return "BSTR \"" + Narrow(v.bstrVal) + "\"";
    default: return "vt " + std::to_string(v.vt);
    }
}

// An object with a fixed default value, living on the test's stack; it
// counts references and remembers its last call.
class ValueObject final : public IDispatch {
public:
    explicit ValueObject(VARIANT value, HRESULT invokeResult = S_OK) : value_(value), result_(invokeResult) {}
    ~ValueObject() { VariantClear(&value_); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch);
        *ppv = known ? static_cast<IDispatch*>(this) : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        lastCall = "member " + std::to_string(member) + " flags " + std::to_string(flags) + " args " +
                   std::to_string(params->cArgs);
        return FAILED(result_) ? result_ : VariantCopy(result, &value_);
    }

    ULONG references = 1;
    std::string lastCall;

private:
    VARIANT value_;  // owned
    HRESULT result_;
};
