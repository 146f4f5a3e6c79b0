#include "platform/win/PropertyPageInterface.h"

#include <cwchar>

#include "platform/DispatchMember.h"
#include "platform/OleControlModule.h"
#include "platform/OlePropertyPage.h"

namespace {

// The page edits nothing in its window: the dialog's own handling serves.
INT_PTR CALLBACK PageDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A string resource of the module, copied into task memory for the caller.
LPOLESTR ModuleStringCopy(UINT id) noexcept {
    wchar_t text[256];
    const int length = LoadStringW(COleControlModule::InstanceHandle(), id, text, 256);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(OLECHAR)));
    if (copy) {
        std::wmemcpy(copy, text, length);
        copy[length] = 0;
    }
    return copy;
}

}  // namespace

PropertyPageInterface::~PropertyPageInterface() {
    if (window_) DestroyWindow(window_);
}

HRESULT PropertyPageInterface::QueryInterface(REFIID riid, void** ppvObject) {
    return page_.QueryInterface(riid, ppvObject);
}

ULONG PropertyPageInterface::AddRef() { return page_.AddRef(); }

ULONG PropertyPageInterface::Release() { return page_.Release(); }

HRESULT PropertyPageInterface::SetPageSite(IPropertyPageSite* pPageSite) {
    // A frame hands over its site once and takes it back with null.
    if (pPageSite && site_) return E_UNEXPECTED;
    site_ = ComPtr<IPropertyPageSite>(pPageSite);
    return S_OK;
}

HWND PropertyPageInterface::CreatePageWindow(HWND parent) const noexcept {
    return CreateDialogParamW(COleControlModule::InstanceHandle(), MAKEINTRESOURCEW(page_.DialogId()), parent,
                              PageDialogProc, 0);
}

HRESULT PropertyPageInterface::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
    if (window_) return E_UNEXPECTED;
    window_ = CreatePageWindow(hWndParent);
    if (!window_) return HRESULT_FROM_WIN32(GetLastError());
    return pRect ? Move(pRect) : S_OK;
}

HRESULT PropertyPageInterface::Deactivate() {
    if (!window_) return E_UNEXPECTED;
    DestroyWindow(window_);
    window_ = nullptr;
    return S_OK;
}

HRESULT PropertyPageInterface::GetPageInfo(PROPPAGEINFO* pPageInfo) {
    if (!pPageInfo) return E_POINTER;
    // The dialog's size in pixels is what the system makes of its template
    // and font: measured on a window made for the purpose.
    HWND measured = CreatePageWindow(GetDesktopWindow());
    if (!measured) return HRESULT_FROM_WIN32(GetLastError());
    RECT area{};
    GetWindowRect(measured, &area);
    DestroyWindow(measured);

    *pPageInfo = PROPPAGEINFO{};
    pPageInfo->cb = sizeof(PROPPAGEINFO);
    pPageInfo->pszTitle = ModuleStringCopy(page_.CaptionId());
    if (!pPageInfo->pszTitle) return E_OUTOFMEMORY;
    pPageInfo->size = SIZE{area.right - area.left, area.bottom - area.top};
    return S_OK;
}

HRESULT PropertyPageInterface::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
    if (cObjects && !ppUnk) return E_POINTER;
    return AtCallBoundary([&] {
        std::vector<ComPtr<IUnknown>> objects;
        objects.reserve(cObjects);
        for (ULONG i = 0; i < cObjects; ++i) objects.emplace_back(ppUnk[i]);
        objects_.swap(objects);
    });
}

HRESULT PropertyPageInterface::Show(UINT nCmdShow) {
    if (!window_) return E_UNEXPECTED;
    ShowWindow(window_, static_cast<int>(nCmdShow));
    return S_OK;
}

HRESULT PropertyPageInterface::Move(LPCRECT pRect) {
    if (!pRect) return E_POINTER;
    if (!window_) return E_UNEXPECTED;
    MoveWindow(window_, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, TRUE);
    return S_OK;
}

// The page edits no property, so it never has changes to apply.
HRESULT PropertyPageInterface::IsPageDirty() { return S_FALSE; }

HRESULT PropertyPageInterface::Apply() {
    return AtCallBoundary([&] { page_.Apply(); });
}

HRESULT PropertyPageInterface::Help(LPCOLESTR) { return E_NOTIMPL; }

HRESULT PropertyPageInterface::TranslateAccelerator(MSG*) { return S_FALSE; }
