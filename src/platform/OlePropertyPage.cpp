#include "platform/OlePropertyPage.h"

#include "platform/OleControlModule.h"

COlePropertyPage::COlePropertyPage(UINT dialogId, UINT captionId) : dialogId_(dialogId), captionId_(captionId) {
    AfxOleLockApp();
}

COlePropertyPage::~COlePropertyPage() { AfxOleUnlockApp(); }

HRESULT COlePropertyPage::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *ppvObject = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG COlePropertyPage::AddRef() { return ++refs_; }

ULONG COlePropertyPage::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}
