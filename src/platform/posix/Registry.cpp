// One in-memory registry for the process. A key is kept under its path
// folded to lower case; opened keys are handles that remember the path.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Automation.h"
#include "platform/posix/RegistryStore.h"

struct RegistryKeyHandle {
    std::u16string path;  // as created, below HKEY_CLASSES_ROOT
};

namespace {

using Path = std::u16string;

struct Value {
    Path name;  // as written
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    Path path;                     // as created
    std::map<Path, Value> values;  // by folded name; "" is the default value
};

struct Store {
    std::mutex lock;
    std::map<Path, Key> keys;  // by folded path
    Path deniedBelow;          // folded; empty: nothing denied
};

Store& TheStore() {
    static Store store;
    return store;
}

Path Fold(Path text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return text;
}

bool IsAtOrBelow(const Path& folded, const Path& top) {
    return folded.size() >= top.size() && folded.compare(0, top.size(), top) == 0 &&
           (folded.size() == top.size() || folded[top.size()] == u'\\');
}

// The path of hKey\subKey; false for a handle that is no key.
bool Resolve(HKEY hKey, LPCWSTR subKey, Path& out) {
    if (hKey == HKEY_CLASSES_ROOT)
        out.clear();
    else if (hKey)
        out = hKey->path;
    else
        return false;
    if (subKey && *subKey) {
        if (!out.empty()) out += u'\\';
        out += subKey;
    }
    while (!out.empty() && out.back() == u'\\') out.pop_back();
    return true;
}

bool Denied(const Store& store, const Path& folded) {
    return !store.deniedBelow.empty() && IsAtOrBelow(folded, store.deniedBelow);
}

Key* Find(Store& store, const Path& path) {
    const auto found = store.keys.find(Fold(path));
    return found == store.keys.end() ? nullptr : &found->second;
}

bool HasSubkeys(const Store& store, const Path& folded) {
    // Subkeys sort together, right after folded + '\\'.
    const auto next = store.keys.lower_bound(folded + u'\\');
    return next != store.keys.end() && IsAtOrBelow(next->first, folded);
}

HKEY NewHandle(const Path& path) { return new RegistryKeyHandle{path}; }

}  // namespace

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM, void*, PHKEY phkResult,
                        LPDWORD lpdwDisposition) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    Path path;
    if (!Resolve(hKey, lpSubKey, path)) return ERROR_INVALID_HANDLE;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    const Path folded = Fold(path);
    const bool existed = store.keys.count(folded) != 0;
    if (!existed && Denied(store, folded)) return ERROR_ACCESS_DENIED;
    // Every missing key on the way is created too.
    for (std::size_t end = path.find(u'\\'); !existed; end = path.find(u'\\', end + 1)) {
        const Path part = path.substr(0, end);
        store.keys.try_emplace(Fold(part), Key{part, {}});
        if (end == Path::npos) break;
    }
    if (lpdwDisposition) *lpdwDisposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *phkResult = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    Path path;
    if (!Resolve(hKey, lpSubKey, path)) return ERROR_INVALID_HANDLE;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    if (!Find(store, path)) return ERROR_FILE_NOT_FOUND;
    *phkResult = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (!hKey || hKey == HKEY_CLASSES_ROOT) return ERROR_INVALID_HANDLE;
    delete hKey;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    if (!hKey || hKey == HKEY_CLASSES_ROOT) return ERROR_INVALID_HANDLE;
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    Key* key = Find(store, hKey->path);
    if (!key) return ERROR_INVALID_HANDLE;  // deleted while open
    if (Denied(store, Fold(hKey->path))) return ERROR_ACCESS_DENIED;
    const Path name = lpValueName ? lpValueName : u"";
    key->values[Fold(name)] = Value{name, dwType, std::vector<BYTE>(lpData, lpData + cbData)};
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (!hKey || hKey == HKEY_CLASSES_ROOT) return ERROR_INVALID_HANDLE;
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    Key* key = Find(store, hKey->path);
    if (!key) return ERROR_INVALID_HANDLE;
    const auto found = key->values.find(Fold(lpValueName ? lpValueName : u""));
    if (found == key->values.end()) return ERROR_FILE_NOT_FOUND;
    const Value& value = found->second;
    if (lpType) *lpType = value.type;
    if (!lpcbData) return ERROR_SUCCESS;
    const DWORD room = *lpcbData;
    *lpcbData = static_cast<DWORD>(value.data.size());
    if (!lpData) return ERROR_SUCCESS;
    if (room < value.data.size()) return ERROR_MORE_DATA;
    std::copy(value.data.begin(), value.data.end(), lpData);
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    Path path;
    if (!Resolve(hKey, lpSubKey, path) || path.empty()) return ERROR_INVALID_HANDLE;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    const Path folded = Fold(path);
    if (!store.keys.count(folded)) return ERROR_FILE_NOT_FOUND;
    if (HasSubkeys(store, folded) || Denied(store, folded)) return ERROR_ACCESS_DENIED;
    store.keys.erase(folded);
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
    Path path;
    if (!Resolve(hKey, lpSubKey, path) || path.empty()) return ERROR_INVALID_HANDLE;
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    const Path folded = Fold(path);
    if (!store.keys.count(folded)) return ERROR_FILE_NOT_FOUND;
    if (Denied(store, folded)) return ERROR_ACCESS_DENIED;
    std::erase_if(store.keys, [&](const auto& entry) { return IsAtOrBelow(entry.first, folded); });
    return ERROR_SUCCESS;
}

namespace platform {

std::vector<std::u16string> RegistryKeyPaths() {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    std::vector<std::u16string> paths;
    for (const auto& [folded, key] : store.keys) paths.push_back(key.path);
    return paths;
}

std::vector<RegistryTextValue> RegistryTextValues(const std::u16string& path) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    std::vector<RegistryTextValue> values;
    const Key* key = Find(store, path);
    if (!key) return values;
    for (const auto& [folded, value] : key->values) {
        if (value.type != REG_SZ) continue;
        std::u16string text(value.data.size() / sizeof(char16_t), u'\0');
        std::copy(value.data.begin(), value.data.begin() + text.size() * sizeof(char16_t),
                  reinterpret_cast<BYTE*>(text.data()));
        // The stored bytes end with the terminating NUL.
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        values.push_back({value.name, text});
    }
    return values;
}

void ClearRegistry() {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    store.keys.clear();
}

void DenyRegistryWritesBelow(std::u16string path) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    store.deniedBelow = Fold(std::move(path));
}

}  // namespace platform
