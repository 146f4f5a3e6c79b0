#include "platform/OleControl.h"

#include "platform/DispatchMember.h"
#include "platform/OleControlModule.h"
#include "platform/OleVariant.h"
#ifdef _WIN32
#include "platform/win/TypeLibraryLoad.h"
#endif

namespace {

constexpr LPCOLESTR kSource = OLESTR("TesselAdapter");

}  // namespace

COleControl::COleControl() { AfxOleLockApp(); }

COleControl::~COleControl() { AfxOleUnlockApp(); }

// ---- IUnknown --------------------------------------------------------------

HRESULT COleControl::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        (dispIid_ && IsEqualIID(riid, *dispIid_))) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
#ifdef _WIN32
    if (void* found = container_.Find(riid)) {
        *ppvObject = found;
        AddRef();
        return S_OK;
    }
#endif
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG COleControl::AddRef() { return ++refs_; }

ULONG COleControl::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

void* COleControl::ContainerWindow() const noexcept {
#ifdef _WIN32
    return container_.SiteWindow();
#else
    return nullptr;
#endif
}

// ---- IDispatch -------------------------------------------------------------

// A control with a type library describes its dispatch interface with it,
// on every platform. Off Windows there is no type-library loader, so the
// library can never be loaded: GetTypeInfo answers TYPE_E_CANTLOADLIBRARY,
// the runtime's code for a type library that cannot be loaded, which is what
// a Windows client sees when the module's library is neither registered nor
// readable from the module.
#ifdef _WIN32
using platform::LoadModuleTypeInfo;
#else
namespace {

HRESULT LoadModuleTypeInfo(const TypeLibraryId&, REFGUID, LCID, ITypeInfo**) noexcept {
    return TYPE_E_CANTLOADLIBRARY;
}

}  // namespace
#endif

HRESULT COleControl::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = TypeLibrary() && dispIid_ ? 1 : 0;
    return S_OK;
}

HRESULT COleControl::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
    if (!ppTInfo) return E_POINTER;
    *ppTInfo = nullptr;
    UINT count = 0;
    GetTypeInfoCount(&count);
    if (iTInfo >= count) return DISP_E_BADINDEX;
    return LoadModuleTypeInfo(*TypeLibrary(), *dispIid_, lcid, ppTInfo);
}

HRESULT COleControl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return MemberIdsOfNames(GetDispatchMap(), rgszNames, cNames, rgDispId);
}

HRESULT COleControl::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                            VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
    return InvokeMember(GetDispatchMap(), *this, kSource, dispIdMember, riid, wFlags, pDispParams, pVarResult,
                        pExcepInfo, puArgErr);
}

HRESULT COleControl::AmbientPropertyChanged(DISPID dispid) noexcept {
    return AtCallBoundary([&] { OnAmbientPropertyChange(dispid); });
}

// ---- Conversions used by the thunks -----------------------------------------

namespace {

[[noreturn]] void WrongDeclaredType() {
    // Coerce gave the declared type, so this is a map whose declared type
    // does not match its member's C++ type.
    RaiseError(DISP_E_TYPEMISMATCH);
}

}  // namespace

template <>
LONG COleControl::FromVariant<LONG>(const VARIANT& v) {
    if (v.vt != VT_I4) WrongDeclaredType();
    return v.lVal;
}

template <>
SHORT COleControl::FromVariant<SHORT>(const VARIANT& v) {
    if (v.vt == VT_BOOL) return v.boolVal;
    if (v.vt != VT_I2) WrongDeclaredType();
    return v.iVal;
}

template <>
BSTR COleControl::FromVariant<BSTR>(const VARIANT& v) {
    if (v.vt != VT_BSTR) WrongDeclaredType();
    return v.bstrVal;
}

template <>
IDispatch* COleControl::FromVariant<IDispatch*>(const VARIANT& v) {
    if (v.vt != VT_DISPATCH) WrongDeclaredType();
    return v.pdispVal;
}

template <>
void COleControl::ToVariant<LONG>(LONG value, VARIANT& out) {
    out.vt = VT_I4;
    out.lVal = value;
}

template <>
void COleControl::ToVariant<SHORT>(SHORT value, VARIANT& out) {
    out.vt = VT_I2;
    out.iVal = value;
}

template <>
void COleControl::ToVariant<BSTR>(BSTR value, VARIANT& out) {
    out.vt = VT_BSTR;
    out.bstrVal = value;
}

template <>
void COleControl::ToVariant<IDispatch*>(IDispatch* value, VARIANT& out) {
    out.vt = VT_DISPATCH;
    out.pdispVal = value;
}
