// Rules about variant types shared by the variant and safe array code.
#pragma once

#include <cstddef>

#include "platform/Automation.h"

namespace platform {

// The one number below VT_VOID that names no type.
constexpr VARTYPE kVtGap = 15;

// S_OK when vt is a type a VARIANT may hold, DISP_E_BADVARTYPE otherwise.
// The modifiers VT_BYREF and VT_ARRAY apply to every base type but VT_EMPTY
// and VT_NULL.
HRESULT ValidateVartype(VARTYPE vt) noexcept;

// Bytes one value of the base type occupies (in an array or behind a
// reference); 0 for types that have no storage of their own.
std::size_t ValueSize(VARTYPE vt) noexcept;

}  // namespace platform
