// CoCreateInstance over the factories registered in this process.
#include "platform/posix/ClassRegistry.h"

#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof a) < 0; }
};

struct Registry {
    std::mutex lock;
    std::map<CLSID, platform::ClassFactory, GuidLess> factories;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The factory runs outside the lock, so a class may create others while it
// is being built.
platform::ClassFactory FindFactory(REFCLSID clsid) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    const auto found = registry.factories.find(clsid);
    return found == registry.factories.end() ? nullptr : found->second;
}

constexpr DWORD kServerContexts =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

}  // namespace

namespace platform {

void RegisterClassFactory(REFCLSID clsid, ClassFactory factory) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.factories[clsid] = std::move(factory);
}

void UnregisterClassFactory(REFCLSID clsid) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.factories.erase(clsid);
}

}  // namespace platform

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(dwClsContext & kServerContexts)) return REGDB_E_CLASSNOTREG;
    const platform::ClassFactory factory = FindFactory(rclsid);
    if (!factory) return REGDB_E_CLASSNOTREG;
    // No registered class is built to be aggregated.
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    const HRESULT hr = factory(riid, ppv);
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

HRESULT OleRun(IUnknown* pUnknown) { return pUnknown ? S_OK : E_INVALIDARG; }
