// The module the system is part of. Off Windows the system is linked into
// the program itself, so the module's file is the program's.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/Automation.h"

DWORD GetModuleFileNameW(HMODULE, LPWSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0) return 0;
    std::error_code error;
    const std::string narrow = std::filesystem::read_symlink("/proc/self/exe", error).string();
    // Too long a name is cut and still ends with a NUL, as the platform does.
    const int length = static_cast<int>(narrow.size());
    const int copied = std::min(length, static_cast<int>(nSize) - 1);
    if (copied > 0) MultiByteToWideChar(CP_ACP, 0, narrow.data(), copied, lpFilename, copied);
    lpFilename[std::max(copied, 0)] = 0;
    return copied == length ? static_cast<DWORD>(copied) : nSize;
}
