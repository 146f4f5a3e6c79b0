// What the stand-in tests share: a fixture that fails any test leaving a
// stand-in, string or array alive, and a raw IDispatch::Invoke that lays out
// arguments the way the automation platform does.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/OleVariant.h"
#include "platform/posix/LiveCounts.h"
#include "standins/StandInObject.h"

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        bstrs_ = platform::LiveBstrCount();
        arrays_ = platform::LiveArrayCount();
    }
    void TearDown() override {
        EXPECT_EQ(standins::LiveObjects(), 0);
        EXPECT_EQ(platform::LiveBstrCount(), bstrs_);
        EXPECT_EQ(platform::LiveArrayCount(), arrays_);
    }

private:
    decltype(platform::LiveBstrCount()) bstrs_{};
    decltype(platform::LiveArrayCount()) arrays_{};
};

struct Outcome {
    HRESULT hr;
    COleVariant result;
    SCODE scode = 0;                        // from EXCEPINFO
    std::optional<OleString> description;  // none when EXCEPINFO had none
    UINT argErr = ~0u;
};

// args in parameter order; a put's value is the last one and is passed as
// the named argument DISPID_PROPERTYPUT. The variants are passed as they are,
// so by-reference arguments reach the callee.
Outcome CallRaw(IDispatch* target, DISPID member, WORD flags, const std::vector<COleVariant>& args,
                bool withExcepInfo = true);

// A vt|VT_BYREF variant pointing at target (clearing it leaves target alone).
COleVariant ByRef(VARTYPE vt, void* target);

// A readable rendering ("I4 42", "BSTR abc", "EMPTY" ...) for comparisons.
std::string Show(const VARIANT& value);
