// What the stand-in tests share: a fixture that fails any test leaving a
// stand-in, string or array alive, and a raw IDispatch::Invoke that lays out
// arguments the way the automation platform does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ExcepInfo.h"
#include "platform/OleVariant.h"
#include "platform/LiveCounts.h"
#include "standins/StandInObject.h"
#include "standins/Utf8.h"

class StandInTest : public ::testing::Test {
    const long start_[3] = {standins::LiveObjects(), platform::LiveBstrCount(), platform::LiveArrayCount()};

protected:
    void TearDown() override {
        EXPECT_EQ(standins::LiveObjects(), start_[0]) << "stand-ins left alive";
        EXPECT_EQ(platform::LiveBstrCount(), start_[1]) << "strings left alive";
        EXPECT_EQ(platform::LiveArrayCount(), start_[2]) << "arrays left alive";
    }
};

inline std::string Narrow(BSTR text) { return standins::ToUtf8(standins::TextOf(text)); }

// A value as "EMPTY", "I2 7", "I4 42", "BOOL -1", "BSTR abc" or "VT n".
inline std::string Show(const VARIANT& v) {
    if (v.vt == VT_EMPTY) return "EMPTY";
    if (v.vt == VT_I2) return "I2 " + std::to_string(v.iVal);
    if (v.vt == VT_I4) return "I4 " + std::to_string(v.lVal);
    if (v.vt == VT_BOOL) return "BOOL " + std::to_string(v.boolVal);
    return v.vt == VT_BSTR ? "BSTR " + Narrow(v.bstrVal) : "VT " + std::to_string(v.vt);
}

struct Outcome {
    HRESULT hr;
    COleVariant result;
    std::string exception;  // EXCEPINFO's scode and description
    UINT argErr = ~0u;
};

// args in parameter order; a put's value is the last one and is passed as
// the named argument DISPID_PROPERTYPUT. The variants are passed as they are,
// so by-reference arguments reach the callee.
inline Outcome CallRaw(IDispatch* target, DISPID member, WORD flags, const std::vector<COleVariant>& values) {
    std::vector<VARIANT> args(values.rbegin(), values.rend());  // shallow: values keep ownership
    DISPID putId = DISPID_PROPERTYPUT;
    const UINT put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? 1 : 0;
    DISPPARAMS params{args.data(), put ? &putId : nullptr, static_cast<UINT>(args.size()), put};
    ExcepInfo info;
    Outcome out{};
    out.hr = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &out.result, &info, &out.argErr);
    out.exception = std::to_string(info.scode) + " " + Narrow(info.bstrDescription);
    return out;
}

// A vt|VT_BYREF variant pointing at target (clearing it leaves target alone).
inline COleVariant ByRef(VARTYPE vt, void* target) {
    VARIANT ref{};
    ref.vt = vt | VT_BYREF;
    ref.byref = target;
    return COleVariant(ref);
}
