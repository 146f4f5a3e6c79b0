#include "platform/win/OleControlInterfaces.h"

#include <vector>

#include "platform/DispatchMember.h"
#include "platform/OleControl.h"
#include "platform/win/ConnectionPointEnumerator.h"
#include "platform/win/TypeLibraryLoad.h"

namespace {

// A stream holds the control's version stamp, 1.0, and nothing else: the
// control has no persistent properties.
constexpr DWORD kVersionStamp = 0x00010000;

// What a new control measures in HIMETRIC: a toolbox-sized square, since
// it is invisible at run time.
constexpr SIZEL kDefaultExtent = {847, 847};

}  // namespace

COleControlInterfaces::COleControlInterfaces(COleControl& control) noexcept
    : control_(control),
      extent_(kDefaultExtent),
      events_(static_cast<IConnectionPointContainer&>(*this), static_cast<IConnectionPointContainer&>(*this),
              control.eventIid_) {}

void* COleControlInterfaces::Find(REFIID riid) noexcept {
    if (IsEqualIID(riid, IID_IOleObject)) return static_cast<IOleObject*>(this);
    if (IsEqualIID(riid, IID_IOleControl)) return static_cast<IOleControl*>(this);
    if (IsEqualIID(riid, IID_IPersistStreamInit) || IsEqualIID(riid, IID_IPersist))
        return static_cast<IPersistStreamInit*>(this);
    if (IsEqualIID(riid, IID_IProvideClassInfo2) || IsEqualIID(riid, IID_IProvideClassInfo))
        return static_cast<IProvideClassInfo2*>(this);
    if (IsEqualIID(riid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(this);
    if (IsEqualIID(riid, IID_ISpecifyPropertyPages)) return static_cast<ISpecifyPropertyPages*>(this);
    return nullptr;
}

HRESULT COleControlInterfaces::QueryInterface(REFIID riid, void** ppvObject) {
    return control_.QueryInterface(riid, ppvObject);
}

ULONG COleControlInterfaces::AddRef() { return control_.AddRef(); }

ULONG COleControlInterfaces::Release() { return control_.Release(); }

// ---- IOleObject -------------------------------------------------------------

HRESULT COleControlInterfaces::SetClientSite(IOleClientSite* pClientSite) {
    site_ = ComPtr<IOleClientSite>(pClientSite);
    return S_OK;
}

HWND COleControlInterfaces::SiteWindow() const noexcept {
    ComPtr<IOleWindow> window;
    if (!site_ || FAILED(site_->QueryInterface(IID_IOleWindow, window.ReceiveVoid())) || !window) return nullptr;
    HWND handle = nullptr;
    return SUCCEEDED(window->GetWindow(&handle)) ? handle : nullptr;
}

HRESULT COleControlInterfaces::GetClientSite(IOleClientSite** ppClientSite) {
    if (!ppClientSite) return E_POINTER;
    *ppClientSite = ComPtr<IOleClientSite>(site_).Detach();
    return S_OK;
}

HRESULT COleControlInterfaces::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT COleControlInterfaces::Close(DWORD) {
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

HRESULT COleControlInterfaces::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT COleControlInterfaces::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (!ppmk) return E_POINTER;
    *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT COleControlInterfaces::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT COleControlInterfaces::GetClipboardData(DWORD, IDataObject** ppDataObject) {
    if (!ppDataObject) return E_POINTER;
    *ppDataObject = nullptr;
    return E_NOTIMPL;
}

// There is nothing to show, open or activate in place: every standard verb
// succeeds at once. The property page is a plain object without the page
// interface a property frame needs, so the properties verb is refused.
HRESULT COleControlInterfaces::DoVerb(LONG iVerb, LPMSG, IOleClientSite*, LONG, HWND hwndParent, LPCRECT) {
    switch (iVerb) {
        case OLEIVERB_PROPERTIES: return ShowPropertyFrame(hwndParent);
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_OPEN:
        case OLEIVERB_HIDE:
        case OLEIVERB_UIACTIVATE:
        case OLEIVERB_INPLACEACTIVATE: return S_OK;
        default: return iVerb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

// The system's modal frame over the control's pages, titled with the
// control's short type name; it returns once the user closes it.
HRESULT COleControlInterfaces::ShowPropertyFrame(HWND parent) {
    CAUUID pages{};
    if (const HRESULT hr = GetPages(&pages); FAILED(hr)) return hr;
    LPOLESTR name = nullptr;
    OleRegGetUserType(control_.ClassId(), USERCLASSTYPE_SHORT, &name);
    IUnknown* object = static_cast<IOleObject*>(this);
    const HRESULT hr = OleCreatePropertyFrame(parent, 0, 0, name, 1, &object, pages.cElems, pages.pElems,
                                              LOCALE_USER_DEFAULT, 0, nullptr);
    CoTaskMemFree(name);
    CoTaskMemFree(pages.pElems);
    return hr;
}

HRESULT COleControlInterfaces::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
    return OleRegEnumVerbs(control_.ClassId(), ppEnumOleVerb);
}

HRESULT COleControlInterfaces::Update() { return S_OK; }

HRESULT COleControlInterfaces::IsUpToDate() { return S_OK; }

HRESULT COleControlInterfaces::GetUserClassID(CLSID* pClsid) { return GetClassID(pClsid); }

HRESULT COleControlInterfaces::GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) {
    return OleRegGetUserType(control_.ClassId(), dwFormOfType, pszUserType);
}

HRESULT COleControlInterfaces::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    if (!psizel) return E_POINTER;
    if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extent_ = *psizel;
    return S_OK;
}

HRESULT COleControlInterfaces::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
    if (!psizel) return E_POINTER;
    if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *psizel = extent_;
    return S_OK;
}

HRESULT COleControlInterfaces::AdviseHolder(IOleAdviseHolder** holder) {
    if (!adviseHolder_) {
        const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Receive());
        if (FAILED(hr)) return hr;
    }
    *holder = adviseHolder_.Get();
    return S_OK;
}

HRESULT COleControlInterfaces::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) {
    if (!pdwConnection) return E_POINTER;
    *pdwConnection = 0;
    IOleAdviseHolder* holder = nullptr;
    const HRESULT hr = AdviseHolder(&holder);
    return FAILED(hr) ? hr : holder->Advise(pAdvSink, pdwConnection);
}

HRESULT COleControlInterfaces::Unadvise(DWORD dwConnection) {
    if (!adviseHolder_) return OLE_E_NOCONNECTION;
    return adviseHolder_->Unadvise(dwConnection);
}

HRESULT COleControlInterfaces::EnumAdvise(IEnumSTATDATA** ppenumAdvise) {
    if (!ppenumAdvise) return E_POINTER;
    *ppenumAdvise = nullptr;
    IOleAdviseHolder* holder = nullptr;
    const HRESULT hr = AdviseHolder(&holder);
    return FAILED(hr) ? hr : holder->EnumAdvise(ppenumAdvise);
}

HRESULT COleControlInterfaces::GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) {
    return OleRegGetMiscStatus(control_.ClassId(), dwAspect, pdwStatus);
}

HRESULT COleControlInterfaces::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- IOleControl ------------------------------------------------------------

// No mnemonics: the control has no user interface of its own.
HRESULT COleControlInterfaces::GetControlInfo(CONTROLINFO* pCI) {
    if (!pCI) return E_POINTER;
    pCI->cb = sizeof *pCI;
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

HRESULT COleControlInterfaces::OnMnemonic(MSG*) { return E_NOTIMPL; }

HRESULT COleControlInterfaces::OnAmbientPropertyChange(DISPID dispID) {
    return control_.AmbientPropertyChanged(dispID);
}

// The control fires no events, so there is nothing to hold back.
HRESULT COleControlInterfaces::FreezeEvents(BOOL) { return S_OK; }

// ---- IPersistStreamInit -----------------------------------------------------

HRESULT COleControlInterfaces::GetClassID(CLSID* pClassID) {
    if (!pClassID) return E_POINTER;
    *pClassID = control_.ClassId();
    return S_OK;
}

HRESULT COleControlInterfaces::IsDirty() { return S_FALSE; }

// A stamp of any version is accepted: there are no properties whose layout
// it could change.
HRESULT COleControlInterfaces::Load(LPSTREAM pStm) {
    if (!pStm) return E_POINTER;
    DWORD stamp = 0;
    ULONG read = 0;
    const HRESULT hr = pStm->Read(&stamp, sizeof stamp, &read);
    if (FAILED(hr)) return hr;
    return read == sizeof stamp ? S_OK : STG_E_READFAULT;
}

HRESULT COleControlInterfaces::Save(LPSTREAM pStm, BOOL) {
    if (!pStm) return E_POINTER;
    const DWORD stamp = kVersionStamp;
    ULONG written = 0;
    const HRESULT hr = pStm->Write(&stamp, sizeof stamp, &written);
    if (FAILED(hr)) return hr;
    return written == sizeof stamp ? S_OK : STG_E_WRITEFAULT;
}

HRESULT COleControlInterfaces::GetSizeMax(ULARGE_INTEGER* pCbSize) {
    if (!pCbSize) return E_POINTER;
    pCbSize->QuadPart = sizeof kVersionStamp;
    return S_OK;
}

HRESULT COleControlInterfaces::InitNew() { return S_OK; }

// ---- IProvideClassInfo2 -----------------------------------------------------

HRESULT COleControlInterfaces::GetClassInfo(ITypeInfo** ppTI) {
    if (!ppTI) return E_POINTER;
    *ppTI = nullptr;
    const TypeLibraryId* library = control_.TypeLibrary();
    if (!library) return E_NOTIMPL;
    return platform::LoadModuleTypeInfo(*library, control_.ClassId(), LOCALE_USER_DEFAULT, ppTI);
}

HRESULT COleControlInterfaces::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
    if (!pGUID) return E_POINTER;
    *pGUID = GUID_NULL;
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || !events_.Interface()) return E_INVALIDARG;
    *pGUID = *events_.Interface();
    return S_OK;
}

// ---- IConnectionPointContainer ----------------------------------------------

HRESULT COleControlInterfaces::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    return AtCallBoundary([&] {
        std::vector<ComPtr<IConnectionPoint>> points;
        if (events_.Interface()) points.emplace_back(&events_);
        return CConnectionPointEnumerator::Create(std::move(points), ppEnum);
    });
}

HRESULT COleControlInterfaces::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (!ppCP) return E_POINTER;
    *ppCP = nullptr;
    if (!events_.Interface() || !IsEqualIID(riid, *events_.Interface())) return CONNECT_E_NOCONNECTION;
    *ppCP = ComPtr<IConnectionPoint>(&events_).Detach();
    return S_OK;
}

// ---- ISpecifyPropertyPages --------------------------------------------------

HRESULT COleControlInterfaces::GetPages(CAUUID* pPages) {
    if (!pPages) return E_POINTER;
    const auto pages = control_.PropertyPages();
    pPages->cElems = 0;
    pPages->pElems = nullptr;
    if (pages.empty()) return S_OK;
    pPages->pElems = static_cast<GUID*>(CoTaskMemAlloc(pages.size() * sizeof(GUID)));
    if (!pPages->pElems) return E_OUTOFMEMORY;
    for (std::size_t i = 0; i < pages.size(); ++i) pPages->pElems[i] = *pages[i];
    pPages->cElems = static_cast<ULONG>(pages.size());
    return S_OK;
}
