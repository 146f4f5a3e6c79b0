#include "ModuleHost.h"

#include "platform/ComponentError.h"
#include "platform/OleString.h"

extern const CLSID CLSID_TesselAdapter;

namespace module_host {

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

ControlModule::ControlModule(const wchar_t* fileName) {
    module_ = LoadLibraryW((ProgramFolder() + fileName).c_str());
    if (!module_) RaiseError(HRESULT_FROM_WIN32(GetLastError()));
    // The entry points are plain functions of the module: their addresses
    // come back as FARPROC and are called with their own signatures.
    getClassObject_ = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    if (!getClassObject_ || !canUnloadNow_) {
        FreeLibrary(module_);
        RaiseError(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    }
}

ControlModule::~ControlModule() { FreeLibrary(module_); }

ComPtr<IDispatch> ControlModule::CreateControl() const {
    ComPtr<IClassFactory> factory;
    CheckResult(getClassObject_(CLSID_TesselAdapter, IID_IClassFactory, factory.ReceiveVoid()));
    ComPtr<IDispatch> control;
    CheckResult(factory->CreateInstance(nullptr, IID_IDispatch, control.ReceiveVoid()));
    return control;
}

HRESULT ControlModule::CanUnloadNow() const { return canUnloadNow_(); }

DISPID Members::Id(const char* name) const {
    OleString wide(name, name + std::char_traits<char>::length(name));
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    CheckResult(target_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    return id;
}

DispatchResult Members::Try(const char* name, WORD flags, const std::vector<COleVariant>& args) const {
    const std::vector<VARIANT> plain(args.begin(), args.end());  // shallow: args keep ownership
    return Try(Id(name), flags, plain);
}

COleVariant Members::Call(const char* name, WORD flags, const std::vector<COleVariant>& args) const {
    const std::vector<VARIANT> plain(args.begin(), args.end());
    return DispatchDriver(target_.Get(), {"IDispatch", &IID_IDispatch}).Invoke(Id(name), flags, plain, VT_VARIANT);
}

}  // namespace module_host
