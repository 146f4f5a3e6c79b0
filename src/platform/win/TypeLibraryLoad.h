// The module's type library, for the descriptions containers and clients
// ask a control for.
#pragma once

#include "platform/Automation.h"
#include "platform/TypeLibraryId.h"

namespace platform {

// The library as registered for the locale (or its nearest); when it is not
// registered, the copy embedded in the module's own file.
HRESULT LoadModuleTypeLib(const TypeLibraryId& library, LCID lcid, ITypeLib** out) noexcept;
// One type of that library, by its identifier.
HRESULT LoadModuleTypeInfo(const TypeLibraryId& library, REFGUID type, LCID lcid, ITypeInfo** out) noexcept;

}  // namespace platform
