#include "platform/OleObjectFactory.h"

#include "platform/AnswerQuery.h"
#include "platform/DispatchMember.h"
#include "platform/OleControlModule.h"

HRESULT COleObjectFactory::QueryInterface(REFIID riid, void** ppvObject) {
    return AnswerQuery(this, riid, {&IID_IUnknown, &IID_IClassFactory}, ppvObject);
}

ULONG COleObjectFactory::AddRef() {
    AfxOleLockApp();
    return ++refs_;
}

// The module's own reference is never given back: the factory is static.
ULONG COleObjectFactory::Release() {
    if (refs_ <= 1) return refs_;
    AfxOleUnlockApp();
    return --refs_;
}

// A class whose construction fails reaches the caller as its failing code,
// through the boundary every entry point the runtime calls goes through.
HRESULT COleObjectFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    return AtCallBoundary([&] {
        IUnknown* object = create_();
        const HRESULT hr = object->QueryInterface(riid, ppvObject);
        object->Release();
        return hr;
    });
}

HRESULT COleObjectFactory::LockServer(BOOL fLock) {
    if (fLock)
        AfxOleLockApp();
    else
        AfxOleUnlockApp();
    return S_OK;
}
