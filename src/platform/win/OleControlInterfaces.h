// COleControlInterfaces: what a container asks of an invisible, windowless
// control besides its dispatch interface, answered for a COleControl. It is
// part of the control and one identity with it: QueryInterface, AddRef and
// Release are the control's. The control draws nothing and persists
// nothing but its stream's version stamp; what the registry already says
// about it (status bits, type names, verbs) is read from there.
#pragma once

#include "platform/Automation.h"
#include "platform/ComPtr.h"
#include "platform/win/ControlConnectionPoint.h"

class COleControl;

class COleControlInterfaces : public IOleObject,
                              public IOleControl,
                              public IPersistStreamInit,
                              public IProvideClassInfo2,
                              public IConnectionPointContainer,
                              public ISpecifyPropertyPages {
public:
    explicit COleControlInterfaces(COleControl& control) noexcept;
    COleControlInterfaces(const COleControlInterfaces&) = delete;
    COleControlInterfaces& operator=(const COleControlInterfaces&) = delete;

    // The interface asked for, or null; adds no reference.
    void* Find(REFIID riid) noexcept;
    // The window of the client site, or null when it has none.
    HWND SiteWindow() const noexcept;

    // IUnknown: the control's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject.
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppClientSite) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                                     HWND hwndParent, LPCRECT lprcPosRect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* pClsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* pLogpal) override;

    // IOleControl.
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) override;

    // IPersistStreamInit.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM pStm) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM pStm, BOOL fClearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pCbSize) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IProvideClassInfo2.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

    // IConnectionPointContainer: the one point of the event interface.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // ISpecifyPropertyPages.
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

private:
    HRESULT ShowPropertyFrame(HWND parent);
    // The holder of the container's advise sinks, made on first use.
    HRESULT AdviseHolder(IOleAdviseHolder** holder);

    COleControl& control_;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    SIZEL extent_;
    CControlConnectionPoint events_;
};
