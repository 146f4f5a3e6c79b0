// GUIDs as text: the registry form, "{E56BC140-229A-11D0-AC64-080009D23306}".
#pragma once

#include <string>
#include <string_view>

#include "platform/Automation.h"
#include "platform/ComponentError.h"

// Upper-case hexadecimal, with braces.
std::string GuidToString(const GUID& guid);

// The same text as the platform's wide strings, as the registry holds it.
OleString GuidToOleString(const GUID& guid);
