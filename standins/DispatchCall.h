// One IDispatch::Invoke as a stand-in sees it: the arguments in parameter
// order, the put's value, conversions as DispGetParam makes them, and the two
// ways back to the caller (a result or an exception).
#pragma once

#include <vector>

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "platform/OleVariant.h"

namespace standins {

class DispatchCall {
public:
    // S_OK when the parameter block is one Invoke may be given.
    static HRESULT CheckParams(const DISPPARAMS* params) noexcept;

    // params must have passed CheckParams.
    DispatchCall(const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argErr) noexcept
        : params_(params), result_(result), exception_(exception), argErr_(argErr) {}

    // Positional arguments; named ones (a put's value) are not among them.
    UINT ArgCount() const noexcept { return params_.cArgs - params_.cNamedArgs; }
    // Arguments arrive reversed and after the named ones: parameter 0 is last.
    VARIANT& Arg(UINT param) const noexcept { return params_.rgvarg[params_.cArgs - 1 - param]; }
    UINT NamedCount() const noexcept { return params_.cNamedArgs; }
    // A put names exactly one argument, DISPID_PROPERTYPUT, which is rgvarg[0].
    bool IsPut() const noexcept {
        return params_.cNamedArgs == 1 && params_.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    }
    VARIANT& PutValue() const noexcept { return params_.rgvarg[0]; }

    // Argument `param` as VT_I4, following a reference; on failure the
    // conversion's code, with the argument named through puArgErr.
    HRESULT LongArg(UINT param, LONG& value) const noexcept;
    // Names argument `param` as the one at fault.
    HRESULT BadArg(UINT param, HRESULT code) const noexcept;
    // Deep copies of every argument, references followed, in parameter
    // order; a put's value comes last.
    std::vector<COleVariant> CopyArgs() const;
    // The type of every argument as passed, in the same order.
    std::vector<VARTYPE> ArgTypes() const;

    // Hands value to the caller when it asked for a result.
    HRESULT Return(COleVariant&& value) const noexcept;
    // Fails the call as a raised exception: DISP_E_EXCEPTION with the code and
    // description in EXCEPINFO. A caller that gave no EXCEPINFO could not
    // learn the code otherwise, so it gets the code itself.
    HRESULT Raise(HRESULT code, const OleString& description) const noexcept;

private:
    const DISPPARAMS& params_;
    VARIANT* result_;
    EXCEPINFO* exception_;
    UINT* argErr_;
};

}  // namespace standins
