// Calls members of an IDispatch by identifier, the way a typed wrapper does.
//
// Arguments are given in parameter order (first parameter first); the driver
// lays them out in reverse as IDispatch::Invoke expects, adds the named
// argument DISPID_PROPERTYPUT to puts, and converts the result to the type
// asked for. A failing call is raised as ComponentError carrying the code
// (EXCEPINFO's scode when the callee raised an exception), the interface the
// driver was made for, and the callee's description. Out-arguments are
// passed as by-reference variants and are filled in place.
#pragma once

#include <initializer_list>
#include <span>

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "platform/OleVariant.h"

// What a caller sees of one IDispatch::Invoke.
struct DispatchResult {
    HRESULT hr = S_OK;      // what Invoke returned
    HRESULT code = S_OK;    // the failure: EXCEPINFO's scode when raised, else hr
    OleString description;  // the callee's text, or the platform's for code
    COleVariant value;      // the result, as it came
    UINT argErr = 0;        // the argument at fault, as the callee named it

    bool Ok() const noexcept { return SUCCEEDED(hr); }
};

class DispatchDriver {
public:
    // Does not take a reference: the caller keeps target alive.
    DispatchDriver(IDispatch* target, InterfaceId id) noexcept : target_(target), id_(id) {}

    void PutProperty(DISPID id, const VARIANT& value) const;
    void PutIndexed(DISPID id, const VARIANT& index, const VARIANT& value) const;
    // resultType VT_VARIANT (or VT_EMPTY) returns the value as it came.
    COleVariant GetProperty(DISPID id, VARTYPE resultType = VT_VARIANT,
                            std::span<const VARIANT> args = {}) const;
    COleVariant CallMethod(DISPID id, std::span<const VARIANT> args = {},
                           VARTYPE resultType = VT_VARIANT) const;
    COleVariant CallMethod(DISPID id, std::initializer_list<VARIANT> args,
                           VARTYPE resultType = VT_VARIANT) const {
        return CallMethod(id, std::span<const VARIANT>(args.begin(), args.size()), resultType);
    }

    // The one raising Invoke behind all of the above.
    COleVariant Invoke(DISPID id, WORD flags, std::span<const VARIANT> args, VARTYPE resultType) const;
    // Never raises: a failure (also of memory) is in the result. A put names
    // its value DISPID_PROPERTYPUT and asks for no result.
    DispatchResult TryInvoke(DISPID id, WORD flags, std::span<const VARIANT> args) const noexcept;

private:
    IDispatch* target_;
    InterfaceId id_;
};
