// Shared by the stand-in tests: the leak-checking fixture, a call as the adapter
// makes it and by-reference arguments; values show as testing_support::Shown does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DispatchDriver.h"
#include "platform/PlatformTest.h"  // Of
#include "support/AdapterFixture.h"

using StandInTest = testing_support::LeakCheckedTest;

// One call as the adapter makes it, args in parameter order (a put's value last)
// and passed as they are, so by-reference arguments reach the callee.
inline DispatchResult CallRaw(IDispatch* target, DISPID member, WORD flags, const std::vector<COleVariant>& args = {}) {
    const std::vector<VARIANT> plain(args.begin(), args.end());  // shallow: args keep ownership
    return DispatchDriver(target, {"IDispatch", &IID_IDispatch}).TryInvoke(member, flags, plain);
}

// A vt|VT_BYREF variant pointing at target (clearing it leaves target alone).
inline COleVariant ByRef(VARTYPE vt, void* target) { return COleVariant(Of(vt | VT_BYREF, target)); }
