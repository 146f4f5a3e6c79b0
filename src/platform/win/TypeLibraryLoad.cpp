#include "platform/win/TypeLibraryLoad.h"

#include "platform/ComPtr.h"
#include "platform/DispatchMember.h"
#include "platform/OleControlModule.h"
#include "platform/OleRegistration.h"

namespace platform {

HRESULT LoadModuleTypeLib(const TypeLibraryId& library, LCID lcid, ITypeLib** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (SUCCEEDED(LoadRegTypeLib(library.libid, library.major, library.minor, lcid, out))) return S_OK;
    return AtCallBoundary(
        [&] { return LoadTypeLibEx(ModuleFileName(COleControlModule::InstanceHandle()).c_str(), REGKIND_NONE, out); });
}

HRESULT LoadModuleTypeInfo(const TypeLibraryId& library, REFGUID type, LCID lcid, ITypeInfo** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ITypeLib> typeLib;
    const HRESULT hr = LoadModuleTypeLib(library, lcid, typeLib.Receive());
    if (FAILED(hr)) return hr;
    return typeLib->GetTypeInfoOfGuid(type, out);
}

}  // namespace platform
