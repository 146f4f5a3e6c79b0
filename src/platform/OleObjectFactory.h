// COleObjectFactory: the class factory of one class of the module. Factories
// are static objects that live as long as the module; a reference a client
// holds on one keeps the module loaded.
#pragma once

#include "platform/Automation.h"

class COleObjectFactory : public IClassFactory {
public:
    // Makes a new object holding one reference; raises when it cannot.
    using Creator = IUnknown* (*)();
    // Writes (true) or removes (false) the class's keys; false on failure.
    using Registrar = bool (*)(const COleObjectFactory& factory, bool registering);

    COleObjectFactory(REFCLSID clsid, LPCOLESTR progId, Creator create, Registrar update) noexcept
        : clsid_(clsid), progId_(progId), create_(create), update_(update) {}
    virtual ~COleObjectFactory() = default;
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    REFCLSID ClassId() const noexcept { return clsid_; }
    LPCOLESTR ProgId() const noexcept { return progId_; }
    bool UpdateRegistry(bool registering) const { return update_(*this, registering); }

    // IUnknown. References handed out lock the module.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IClassFactory. No class of the module can be aggregated.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

private:
    const CLSID& clsid_;
    LPCOLESTR progId_;
    Creator create_;
    Registrar update_;
    ULONG refs_ = 1;  // the module's own
};
