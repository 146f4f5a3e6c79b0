// Reading back what a registration wrote, through the registry API as on
// any machine.
#pragma once

#include <optional>
#include <string>

#include "platform/ComponentError.h"

namespace testing_support {

inline constexpr const char* kNoValue = "<no value>";

// A value's text below HKEY_CLASSES_ROOT (an empty name: the default);
// kNoValue without such a value, nullopt without the key.
std::optional<std::string> ReadText(const OleString& path, const OleString& name);

}  // namespace testing_support
