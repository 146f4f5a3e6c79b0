#include "platform/OleControl.h"

#include "platform/DispatchMember.h"
#include "platform/OleControlModule.h"
#include "platform/OleVariant.h"
#ifdef _WIN32
#include "platform/win/TypeLibraryLoad.h"
#endif

namespace {

constexpr WORD kPut = DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;
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
    return AtDispatchBoundary(pExcepInfo, kSource, [&]() -> HRESULT {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (const HRESULT hr = CheckDispParams(pDispParams); FAILED(hr)) return hr;
        for (const DispEntry& entry : GetDispatchMap())
            if (entry.id == dispIdMember) return InvokeEntry(entry, wFlags, *pDispParams, pVarResult, puArgErr);
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT COleControl::InvokeEntry(const DispEntry& entry, WORD flags, DISPPARAMS& params, VARIANT* result,
                                 UINT* argErr) {
    const bool put = (flags & kPut) != 0;
    const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
    UINT declared = 0;
    if (entry.isMethod) {
        // Script clients read results with a get combined with a method call.
        if (put || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        if (entry.paramCount > kMaxParams) RaiseError(E_UNEXPECTED);
        if (params.cArgs != entry.paramCount) return DISP_E_BADPARAMCOUNT;
        declared = entry.paramCount;
    } else if (put) {
        // Refused before the value is looked at: the member must not run.
        if (!entry.set) SetNotSupported();
        if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
        declared = 1;
    } else if (get) {
        if (!entry.get) GetNotSupported();
        if (params.cArgs != 0) return DISP_E_BADPARAMCOUNT;
    } else {
        return DISP_E_MEMBERNOTFOUND;
    }

    // A put's value is rgvarg[0]; a method's parameters are placed by
    // position and by name.
    UINT slots[kMaxParams] = {0};
    if (entry.isMethod)
        if (const HRESULT hr = ArgumentSlots(params, declared, slots, argErr); FAILED(hr)) return hr;
    COleVariant scratch[kMaxParams];
    VARIANT args[kMaxParams];
    for (UINT i = 0; i < declared; ++i) {
        const UINT slot = slots[i];
        const VARTYPE type = entry.isMethod ? entry.params[i] : entry.type;
        const VARIANT* value = nullptr;
        HRESULT hr = CoerceArgument(params.rgvarg[slot], type, scratch[i], value);
        if (FAILED(hr)) {
            if (argErr) *argErr = slot;
            return hr;
        }
        args[i] = *value;  // shallow: scratch and the caller keep ownership
    }

    COleVariant value;
    if (entry.isMethod) {
        entry.call(*this, args, value);
    } else if (put) {
        entry.set(*this, args[0]);
        return S_OK;
    } else {
        entry.get(*this, value);
    }
    // A VT_BOOL member returns its VARIANT_BOOL as a SHORT, which gives VT_I2.
    if (entry.type == VT_EMPTY)
        value.Clear();
    else if (entry.type != VT_VARIANT && value.vt != entry.type)
        value.ChangeType(entry.type);
    if (result) *result = value.Detach();
    return S_OK;
}

HRESULT COleControl::AmbientPropertyChanged(DISPID dispid) noexcept {
    return AtCallBoundary([&] { OnAmbientPropertyChange(dispid); });
}

void COleControl::GetNotSupported() { RaiseError(CTL_E_GETNOTSUPPORTED, {}, OLESTR("Property is write-only")); }

void COleControl::SetNotSupported() { RaiseError(CTL_E_SETNOTSUPPORTED, {}, OLESTR("Property is read-only")); }

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
