// What tests and build tools may do with the in-memory registry beyond the
// registry API: list it, empty it, and make writes fail.
#pragma once

#include <string>
#include <vector>

#include "platform/Automation.h"

namespace platform {

// Every key below HKEY_CLASSES_ROOT as a path ("CLSID\{...}\Control"), in
// the letter case it was created with, sorted without regard to case.
std::vector<std::u16string> RegistryKeyPaths();

// The text values of one key (REG_SZ), each with its name in the letter
// case it was written with ("" for the default value), sorted by name
// without regard to case. Empty for a missing key.
struct RegistryTextValue {
    std::u16string name;
    std::u16string text;
};
std::vector<RegistryTextValue> RegistryTextValues(const std::u16string& path);
void ClearRegistry();
// Creating a key or setting a value at or below this path fails with
// ERROR_ACCESS_DENIED, as it does for a user without rights to the key.
// An empty path lifts the refusal.
void DenyRegistryWritesBelow(std::u16string path);

}  // namespace platform
