// Reading back what a registration wrote, through the registry API as on
// any machine.
#pragma once

#include <optional>
#include <string>

#include "platform/ComponentError.h"

namespace testing_support {

inline constexpr const char* kNoValue = "<no value>";

// The text of a value below HKEY_CLASSES_ROOT (an empty name: the key's
// default value); kNoValue when the key holds no such value, nullopt when
// the key is missing.
std::optional<std::string> ReadText(const OleString& path, const OleString& name);

}  // namespace testing_support
