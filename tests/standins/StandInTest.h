// What the stand-in tests share: the fixture that fails any test leaving a
// stand-in, string or array alive, value display and by-reference arguments.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DispatchDriver.h"
#include "standins/Utf8.h"
#include "support/AdapterFixture.h"

using StandInTest = testing_support::LeakCheckedTest;

inline std::string Narrow(BSTR text) { return standins::ToUtf8(standins::TextOf(text)); }

// A value as "EMPTY", "I2 7", "I4 42", "BOOL -1", "BSTR abc" or "VT n".
inline std::string Show(const VARIANT& v) {
    if (v.vt == VT_EMPTY) return "EMPTY";
    if (v.vt == VT_I2) return "I2 " + std::to_string(v.iVal);
    if (v.vt == VT_I4) return "I4 " + std::to_string(v.lVal);
    if (v.vt == VT_BOOL) return "BOOL " + std::to_string(v.boolVal);
    return v.vt == VT_BSTR ? "BSTR " + Narrow(v.bstrVal) : "VT " + std::to_string(v.vt);
}

// One call as the adapter makes it, args in parameter order (a put's value
// last); the variants are passed as they are, so by-reference arguments
// reach the callee.
inline DispatchResult CallRaw(IDispatch* target, DISPID member, WORD flags, const std::vector<COleVariant>& args = {}) {
    const std::vector<VARIANT> plain(args.begin(), args.end());  // shallow: args keep ownership
    return DispatchDriver(target, {"IDispatch", &IID_IDispatch}).TryInvoke(member, flags, plain);
}

// A vt|VT_BYREF variant pointing at target (clearing it leaves target alone).
inline COleVariant ByRef(VARTYPE vt, void* target) {
    VARIANT ref{};
    ref.vt = vt | VT_BYREF;
    ref.byref = target;
    return COleVariant(ref);
}
