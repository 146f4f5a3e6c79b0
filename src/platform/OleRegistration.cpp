#include "platform/OleRegistration.h"

#include <charconv>
#include <string>
#include <vector>

#include "platform/Guid.h"
#ifndef _WIN32
#include "platform/posix/TypeLibraryResource.h"
#endif

namespace {

constexpr DWORD kMaxModulePath = 1024;

// One value a registration writes: below HKEY_CLASSES_ROOT, key path, value
// name (empty: the key's default value) and text. An entry with no text
// only creates its key.
struct RegistryEntry {
    OleString key;
    OleString name;
    OleString text;
    bool hasText = true;
};

OleString Number(unsigned long value, int base = 10) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
    return OleString(digits, end);
}

OleString Version(const TypeLibraryId& library) { return Number(library.major) + OLESTR(".") + Number(library.minor); }

OleString ClassKey(REFCLSID clsid) { return OLESTR("CLSID\\") + GuidToOleString(clsid); }

// Owns one open key.
class RegistryKey {
public:
    explicit RegistryKey(const OleString& path) {
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                            &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const noexcept { return key_ != nullptr; }
    bool SetText(const OleString& name, const OleString& text) {
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(OLECHAR));
        return RegSetValueExW(key_, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
};

bool Write(const std::vector<RegistryEntry>& entries) {
    for (const RegistryEntry& entry : entries) {
        RegistryKey key(entry.key);
        if (!key.IsOpen() || (entry.hasText && !key.SetText(entry.name, entry.text))) return false;
    }
    return true;
}

// A key that is not there any more has been removed.
bool DeleteTree(const OleString& path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// A failed registration leaves none of its keys behind.
bool WriteClassKeys(const std::vector<RegistryEntry>& entries, REFCLSID clsid, LPCOLESTR progId) {
    if (Write(entries)) return true;
    AfxOleUnregisterClass(clsid, progId);
    return false;
}

void AddServer(std::vector<RegistryEntry>& entries, const OleString& classKey, const OleString& module, int regFlags) {
    entries.push_back({classKey + OLESTR("\\InprocServer32"), {}, module});
    if (regFlags & afxRegApartmentThreading)
        entries.push_back({classKey + OLESTR("\\InprocServer32"), OLESTR("ThreadingModel"), OLESTR("Apartment")});
}

std::vector<RegistryEntry> ServerClassEntries(const OleString& module, REFCLSID clsid, LPCOLESTR progId,
                                              LPCOLESTR typeName, int regFlags) {
    const OleString classKey = ClassKey(clsid);
    const OleString progIdKey = progId;
    std::vector<RegistryEntry> entries = {
        {progIdKey, {}, typeName},
        {progIdKey + OLESTR("\\CLSID"), {}, GuidToOleString(clsid)},
        {classKey, {}, typeName},
        {classKey + OLESTR("\\ProgID"), {}, progId},
    };
    AddServer(entries, classKey, module, regFlags);
    return entries;
}

std::vector<RegistryEntry> ControlClassEntries(HINSTANCE instance, const ControlClassInfo& info) {
    const OleString module = ModuleFileName(instance);
    const OleString classKey = ClassKey(*info.clsid);
    std::vector<RegistryEntry> entries = ServerClassEntries(module, *info.clsid, info.progId, info.typeName,
                                                            info.regFlags);
    entries.insert(entries.end(),
                   {
                       {classKey + OLESTR("\\Control"), {}, {}, false},
                       {classKey + OLESTR("\\MiscStatus"), {}, OLESTR("0")},
                       {classKey + OLESTR("\\MiscStatus\\1"), {}, Number(info.miscStatus)},
                       {classKey + OLESTR("\\ToolboxBitmap32"), {}, module + OLESTR(", ") + Number(info.toolboxBitmap)},
                       {classKey + OLESTR("\\TypeLib"), {}, GuidToOleString(info.library->libid)},
                       {classKey + OLESTR("\\Version"), {}, Version(*info.library)},
                   });
    return entries;
}

std::vector<RegistryEntry> PropertyPageEntries(HINSTANCE instance, REFCLSID clsid, LPCOLESTR typeName, int regFlags) {
    const OleString classKey = ClassKey(clsid);
    std::vector<RegistryEntry> entries = {{classKey, {}, typeName}};
    AddServer(entries, classKey, ModuleFileName(instance), regFlags);
    return entries;
}

}  // namespace

OleString ModuleFileName(HINSTANCE instance) {
    OLECHAR path[kMaxModulePath] = {};
    const DWORD length = GetModuleFileNameW(instance, path, kMaxModulePath);
    return OleString(path, length < kMaxModulePath ? length : 0);
}

bool AfxOleRegisterControlClass(HINSTANCE instance, const ControlClassInfo& info) {
    return WriteClassKeys(ControlClassEntries(instance, info), *info.clsid, info.progId);
}

bool AfxOleRegisterServerClass(HINSTANCE instance, REFCLSID clsid, LPCOLESTR progId, LPCOLESTR typeName, int regFlags) {
    return WriteClassKeys(ServerClassEntries(ModuleFileName(instance), clsid, progId, typeName, regFlags), clsid,
                          progId);
}

bool AfxOleRegisterPropertyPageClass(HINSTANCE instance, REFCLSID clsid, LPCOLESTR typeName, int regFlags) {
    return WriteClassKeys(PropertyPageEntries(instance, clsid, typeName, regFlags), clsid, nullptr);
}

bool AfxOleUnregisterClass(REFCLSID clsid, LPCOLESTR progId) {
    const bool classGone = DeleteTree(ClassKey(clsid));
    const bool progIdGone = !progId || DeleteTree(progId);
    return classGone && progIdGone;
}

#ifdef _WIN32

bool AfxOleRegisterTypeLib(HINSTANCE instance, const TypeLibraryId&) {
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(ModuleFileName(instance).c_str(), REGKIND_REGISTER, &library))) return false;
    library->Release();
    return true;
}

bool AfxOleUnregisterTypeLib(const TypeLibraryId& library) {
    const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    return SUCCEEDED(UnRegisterTypeLib(library.libid, library.major, library.minor, library.lcid, kind));
}

#else

// No type-library loader exists here: the keys the runtime writes for the
// module's library are written from what the build read from its .idl, with
// the module as the library's file.
namespace {

OleString LibraryKey(const OleString& libid) { return OLESTR("TypeLib\\") + libid; }

OleString Folder(const OleString& file) {
    const std::size_t slash = file.find_last_of(OLESTR("/\\"));
    return slash == OleString::npos ? OleString() : file.substr(0, slash);
}

// Where the interfaces of the registered module's library are looked up:
// its own view, and for a 64-bit module the 32-bit view too.
std::vector<OleString> InterfaceFolders() {
    if (platform::RegisteredModuleBitness() == platform::ModuleBitness::x64)
        return {OLESTR("Interface\\"), OLESTR("Wow6432Node\\Interface\\")};
    return {OLESTR("Interface\\")};
}

platform::ModuleBitness g_bitness = sizeof(void*) == 8 ? platform::ModuleBitness::x64 : platform::ModuleBitness::x86;

}  // namespace

void platform::SetRegisteredModuleBitness(ModuleBitness bitness) { g_bitness = bitness; }

platform::ModuleBitness platform::RegisteredModuleBitness() { return g_bitness; }

bool AfxOleRegisterTypeLib(HINSTANCE instance, const TypeLibraryId& id) {
    const platform::TypeLibraryResource& library = platform::ModuleTypeLibrary();
    const OleString module = ModuleFileName(instance);
    const OleString libid = library.libid;
    const OleString version = Number(library.major) + OLESTR(".") + Number(library.minor);
    const OleString versionKey = LibraryKey(libid) + OLESTR("\\") + version;
    const OleString platformKey = platform::RegisteredModuleBitness() == platform::ModuleBitness::x64
                                      ? OLESTR("\\win64")
                                      : OLESTR("\\win32");
    std::vector<RegistryEntry> entries = {
        {versionKey, {}, library.helpString},
        {versionKey + OLESTR("\\") + Number(library.lcid, 16) + platformKey, {}, module},
        {versionKey + OLESTR("\\FLAGS"), {}, Number(library.flags)},
        {versionKey + OLESTR("\\HELPDIR"), {}, Folder(module)},
    };
    for (const OleString& folder : InterfaceFolders())
        for (const platform::TypeLibraryInterface& type : library.interfaces) {
            const OleString key = folder + type.iid;
            entries.insert(entries.end(), {
                                              {key, {}, type.name},
                                              {key + OLESTR("\\ProxyStubClsid"), {}, type.proxyStubClsid},
                                              {key + OLESTR("\\ProxyStubClsid32"), {}, type.proxyStubClsid},
                                              {key + OLESTR("\\TypeLib"), {}, libid},
                                              {key + OLESTR("\\TypeLib"), OLESTR("Version"), version},
                                          });
        }
    if (Write(entries)) return true;
    AfxOleUnregisterTypeLib(id);
    return false;
}

// As on the platform, a library that is not registered cannot be removed;
// its interfaces go with it.
bool AfxOleUnregisterTypeLib(const TypeLibraryId& library) {
    const OleString libraryKey = LibraryKey(GuidToOleString(library.libid));
    if (RegDeleteTreeW(HKEY_CLASSES_ROOT, (libraryKey + OLESTR("\\") + Version(library)).c_str()) != ERROR_SUCCESS)
        return false;
    for (const OleString& folder : InterfaceFolders())
        for (const platform::TypeLibraryInterface& type : platform::ModuleTypeLibrary().interfaces)
            RegDeleteTreeW(HKEY_CLASSES_ROOT, (folder + type.iid).c_str());
    // Other versions of the library keep its key.
    const LSTATUS status = RegDeleteKeyW(HKEY_CLASSES_ROOT, libraryKey.c_str());
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

#endif
