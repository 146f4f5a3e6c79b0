#include "platform/OleControlModule.h"

#include <atomic>

namespace {

// Each object runs on its creator's thread, but a host may create objects in
// several apartments at once, and every one of them counts here.
std::atomic<LONG> g_locks{0};

}  // namespace

void AfxOleLockApp() noexcept { ++g_locks; }
void AfxOleUnlockApp() noexcept { --g_locks; }

#ifdef _WIN32
// The library that holds this code, whichever name it was loaded under.
HINSTANCE COleControlModule::InstanceHandle() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&g_locks), &module);
    return module;
}
#else
HINSTANCE COleControlModule::InstanceHandle() noexcept { return nullptr; }
#endif

HRESULT COleControlModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (COleObjectFactory* factory : Factories())
        if (IsEqualCLSID(clsid, factory->ClassId())) return factory->QueryInterface(riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT COleControlModule::CanUnloadNow() const noexcept { return g_locks == 0 ? S_OK : S_FALSE; }

bool COleControlModule::UpdateRegistryAll(bool registering) const {
    for (const COleObjectFactory* factory : Factories())
        if (!factory->UpdateRegistry(registering)) return false;
    return true;
}
