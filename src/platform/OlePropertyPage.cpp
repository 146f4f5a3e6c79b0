#include "platform/OlePropertyPage.h"

#include "platform/AnswerQuery.h"
#include "platform/OleControlModule.h"

COlePropertyPage::COlePropertyPage(UINT dialogId, UINT captionId) : dialogId_(dialogId), captionId_(captionId) {
    AfxOleLockApp();
}

COlePropertyPage::~COlePropertyPage() { AfxOleUnlockApp(); }

HRESULT COlePropertyPage::QueryInterface(REFIID riid, void** ppvObject) {
#ifdef _WIN32
    if (ppvObject && IsEqualIID(riid, IID_IPropertyPage)) {
        *ppvObject = static_cast<IPropertyPage*>(&frameSide_);
        AddRef();
        return S_OK;
    }
#endif
    return AnswerQuery(this, riid, {&IID_IUnknown}, ppvObject);
}

ULONG COlePropertyPage::AddRef() { return ++refs_; }

ULONG COlePropertyPage::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}
