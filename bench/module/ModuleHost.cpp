#include "ModuleHost.h"

// after windows.h, whose types they use
#include <psapi.h>
#include <winternl.h>

#include "platform/ComponentError.h"
#include "platform/MemberId.h"

extern const CLSID CLSID_TesselAdapter;

namespace module_host {

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    // The commit charge; Wine leaves PROCESS_MEMORY_COUNTERS_EX's
    // PrivateUsage, the same figure on Windows, at 0.
    return counters.PagefileUsage;
}

namespace {

// An entry of the system's handle list (SystemHandleInformation), as the
// system lays it out: the owner's process identifier first.
struct HandleEntry {
    ULONG ownerProcess;
    BYTE type;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

unsigned long CountListedHandles() {
    std::vector<char> buffer(1 << 16);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    const ULONG self = GetCurrentProcessId();
    unsigned long count = 0;
    for (ULONG i = 0; i < list->count; ++i) count += list->entries[i].ownerProcess == self;
    return count;
}

}  // namespace

unsigned long HandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    return CountListedHandles();
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

// The platform's MemberId: this class's own one hides it.
DISPID Members::MemberId(const char* name) const { return ::MemberId(*target_.Get(), name); }

DispatchResult Members::Try(const char* name, WORD flags, const std::vector<COleVariant>& args) const {
    const std::vector<VARIANT> plain(args.begin(), args.end());  // shallow: args keep ownership
    return Try(MemberId(name), flags, plain);
}

COleVariant Members::Call(const char* name, WORD flags, const std::vector<COleVariant>& args) const {
    const std::vector<VARIANT> plain(args.begin(), args.end());
    return DispatchDriver(target_.Get(), {"IDispatch", &IID_IDispatch}).Invoke(MemberId(name), flags, plain, VT_VARIANT);
}

}  // namespace module_host
