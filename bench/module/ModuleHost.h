// A host's view of the control module: TesselAdapter.ocx loaded from the
// folder of the running program, the control made by the module's class
// factory, and its members called by name through IDispatch::Invoke, as a
// host's generated wrapper calls them.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "platform/ComPtr.h"
#include "platform/DispatchDriver.h"
#include "platform/OleVariant.h"

namespace module_host {

inline constexpr WORD kRead = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // what script hosts send
inline constexpr WORD kCall = DISPATCH_METHOD;
inline constexpr WORD kPut = DISPATCH_PROPERTYPUT;
inline constexpr WORD kPutRef = DISPATCH_PROPERTYPUTREF;

// The loaded module; unloaded when the last copy goes, after every object
// it made has been released.
class ControlModule {
public:
    // Raises when the module or its entry points cannot be found.
    explicit ControlModule(const wchar_t* fileName = L"TesselAdapter.ocx");
    ~ControlModule();
    ControlModule(const ControlModule&) = delete;
    ControlModule& operator=(const ControlModule&) = delete;

    // A fresh control from the module's class factory.
    ComPtr<IDispatch> CreateControl() const;
    // What the module's DllCanUnloadNow answers now.
    HRESULT CanUnloadNow() const;

private:
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();

    HMODULE module_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    CanUnload canUnloadNow_ = nullptr;
};

// An object reached by member names; names are looked up once each.
class Members {
public:
    explicit Members(ComPtr<IDispatch> target) : target_(std::move(target)) {}

    IDispatch* Get() const noexcept { return target_.Get(); }
    DISPID MemberId(const char* name) const;

    // Never raises.
    DispatchResult Try(DISPID id, WORD flags, std::span<const VARIANT> args = {}) const noexcept {
        return DispatchDriver(target_.Get(), {"IDispatch", &IID_IDispatch}).TryInvoke(id, flags, args);
    }
    DispatchResult Try(const char* name, WORD flags, const std::vector<COleVariant>& args = {}) const;
    // Raises when the member fails.
    COleVariant Call(const char* name, WORD flags, const std::vector<COleVariant>& args = {}) const;
    void SetRef(const char* name, IDispatch* value) const { Call(name, kPutRef, {COleVariant(value)}); }

private:
    ComPtr<IDispatch> target_;
};

// The folder of the running program, with a trailing separator.
std::wstring ProgramFolder();

// The bytes this process has committed for itself (its commit charge, the
// private bytes of Windows' tools).
std::size_t PrivateBytes();
// The handles this process has open. Where the process's own count answers
// nothing (Wine's does), the system's handle list is counted instead.
unsigned long HandleCount();

}  // namespace module_host
