// PropertyPageInterface: the IPropertyPage of a COlePropertyPage, what a
// property frame asks of the page. It is part of the page and one identity
// with it: QueryInterface, AddRef and Release are the page's. The page's
// window is its dialog resource, made a child of the frame's window while
// the page is active; applying runs the page's data exchange.
#pragma once

#include <vector>

#include "platform/Automation.h"
#include "platform/ComPtr.h"

class COlePropertyPage;

class PropertyPageInterface : public IPropertyPage {
public:
    explicit PropertyPageInterface(COlePropertyPage& page) noexcept : page_(page) {}
    ~PropertyPageInterface();
    PropertyPageInterface(const PropertyPageInterface&) = delete;
    PropertyPageInterface& operator=(const PropertyPageInterface&) = delete;

    // IUnknown: the page's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPropertyPage.
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pPageSite) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pPageInfo) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT pRect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR pszHelpDir) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* pMsg) override;

private:
    // The page's dialog as a child of parent, not yet shown; null when the
    // resource is missing or the window could not be made.
    HWND CreatePageWindow(HWND parent) const noexcept;

    COlePropertyPage& page_;
    ComPtr<IPropertyPageSite> site_;
    std::vector<ComPtr<IUnknown>> objects_;
    HWND window_ = nullptr;
};
