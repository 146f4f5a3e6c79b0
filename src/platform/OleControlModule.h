// COleControlModule: the module object of an in-process control server. It
// owns the list of the module's class factories and gives the four exported
// entry points their standard behaviour; the module's lock count (live
// objects, factory references, LockServer) decides whether it may unload.
#pragma once

#include <span>

#include "platform/Automation.h"
#include "platform/OleObjectFactory.h"

class COleControlModule {
public:
    COleControlModule(const COleControlModule&) = delete;
    COleControlModule& operator=(const COleControlModule&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // The module's handle: the loaded library on Windows, none elsewhere.
    static HINSTANCE InstanceHandle() noexcept;

    // DllGetClassObject: the factory of the class, CLASS_E_CLASSNOTAVAILABLE
    // for a class the module does not make.
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
    // DllCanUnloadNow: S_OK without live objects or locks, S_FALSE otherwise.
    HRESULT CanUnloadNow() const noexcept;
    // Registers or unregisters every class in turn; stops at the first
    // factory that fails.
    bool UpdateRegistryAll(bool registering) const;

protected:
    COleControlModule() = default;
    virtual ~COleControlModule() = default;

    virtual std::span<COleObjectFactory* const> Factories() const = 0;
};

// The module's lock count. Every object of the module holds one lock.
void AfxOleLockApp() noexcept;
void AfxOleUnlockApp() noexcept;
