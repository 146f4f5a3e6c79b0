// The component error: how a failing result code travels inside the system.
//
// Every failing HRESULT from the chart, a host table or the automation layer
// is raised as a ComponentError. It travels up to the boundary function at
// the entry point the runtime called (platform/DispatchMember.h); in the
// control, the platform and the stand-ins only the boundary functions catch
// it. AtDispatchBoundary, behind every Invoke, turns it into DISP_E_EXCEPTION
// with the code and the description in EXCEPINFO; AtCallBoundary, at the
// class factories, the Dll functions, the container interfaces, the property
// page, the connection points and the stand-ins' guarded calls, into its
// bare code.
#pragma once

#include <exception>
#include <string>

#include "platform/Automation.h"
#include "platform/OleString.h"

// An interface as errors name it: its name and its identifier.
struct InterfaceId {
    const char* name;
    const IID* iid;
};

class ComponentError : public std::exception {
public:
    ComponentError(HRESULT code, InterfaceId where, OleString description);

    HRESULT Code() const noexcept { return code_; }
    // Name and identifier of the interface whose call failed; a null name
    // when the failure came from no interface call.
    const char* InterfaceName() const noexcept { return where_.name; }
    const IID* Iid() const noexcept { return where_.iid; }
    // The component's own text, or the platform's text for the code.
    const OleString& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    HRESULT code_;
    InterfaceId where_;
    OleString description_;
    std::string what_;
};

// Raises a failing code. Without a description the standard text of the
// code is used, so that every failure reaches the host with a text.
[[noreturn]] void RaiseError(HRESULT code, InterfaceId where = {nullptr, nullptr}, OleString description = {});

// Raises when code is a failure; returns it otherwise.
inline HRESULT CheckResult(HRESULT code, InterfaceId where = {nullptr, nullptr}) {
    if (FAILED(code)) RaiseError(code, where);
    return code;
}

// The platform's short text for a result code ("Invalid pointer" ...).
OleString DescribeResult(HRESULT code);
// The code as errors and traces write it: "0x80004005".
std::string ResultCodeText(HRESULT code);
