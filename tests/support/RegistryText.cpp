#include "support/RegistryText.h"

#include <gtest/gtest.h>

#include "platform/Automation.h"
#include "standins/Utf8.h"

namespace testing_support {

std::optional<std::string> ReadText(const OleString& path, const OleString& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    OLECHAR text[1024] = {};
    DWORD bytes = sizeof text;
    DWORD type = REG_NONE;
    const LSTATUS status = RegQueryValueExW(key, name.empty() ? nullptr : name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(text), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return kNoValue;
    EXPECT_EQ(type, DWORD{REG_SZ}) << standins::ToUtf8(path);
    return standins::ToUtf8(text);
}

}  // namespace testing_support
