// What the module's type library tells the registration off Windows, where
// the module carries no library resource for a runtime to read: the build
// reads it from the library's .idl (cmake/TypeLibraryResource.cmake), so
// the keys written here are the ones the system's RegisterTypeLib writes
// for the library built from that same source.
#pragma once

#include <span>

#include "platform/Automation.h"

namespace platform {

// An interface the runtime registers with the library: every dispatch
// interface, and every interface marked dual or oleautomation.
struct TypeLibraryInterface {
    const char16_t* name;
    const char16_t* iid;             // "{...}"
    const char16_t* proxyStubClsid;  // the runtime's marshaller for its kind
};

struct TypeLibraryResource {
    const char16_t* libid;  // "{...}"
    WORD major;
    WORD minor;
    LCID lcid;
    const char16_t* helpString;
    WORD flags;  // LIBFLAGS, as a loaded library reports them
    std::span<const TypeLibraryInterface> interfaces;
};

// The module's library; defined by the build from the .idl.
const TypeLibraryResource& ModuleTypeLibrary();

// The processor the registered module is built for, which the library's
// file key names (win32, win64). A 64-bit module also registers its
// interfaces in the 32-bit view, where 32-bit callers look them up. This
// program's own by default; build tools that write the registration of the
// other module set it.
enum class ModuleBitness { x86, x64 };
void SetRegisteredModuleBitness(ModuleBitness bitness);
ModuleBitness RegisteredModuleBitness();

}  // namespace platform
