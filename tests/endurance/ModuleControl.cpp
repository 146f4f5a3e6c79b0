// The replay programs' control: made by the class factory of the control
// module, loaded once for the process in a single-threaded apartment, so
// that the fuzz targets' inputs reach the module as a host's calls do.
#include <objbase.h>

#include "ModuleHost.h"
#include "tools/ControlDriver.h"

namespace tessel {
namespace {

const module_host::ControlModule& Module() {
    static const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static const module_host::ControlModule module;
    (void)apartment;
    return module;
}

}  // namespace

ControlDriver::ControlDriver() : control_(Module().CreateControl()) {}

}  // namespace tessel
