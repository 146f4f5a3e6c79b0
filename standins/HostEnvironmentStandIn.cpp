#include "standins/HostEnvironmentStandIn.h"

#include "control/HostEnvironment.h"
#include "platform/posix/ClassRegistry.h"

namespace standins {

HostEnvironmentStandIn::HostEnvironmentStandIn() : look_(std::make_shared<HostLook>()) {
    platform::RegisterClassFactory(CLSID_HostEnvironment, [look = look_](REFIID riid, void** out) {
        return CreateHostEnvironment(look, riid, out);
    });
}

HostEnvironmentStandIn::~HostEnvironmentStandIn() { platform::UnregisterClassFactory(CLSID_HostEnvironment); }

}  // namespace standins
