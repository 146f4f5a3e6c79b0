// The host environment, registered in this process's class registry for as
// long as the stand-in lives: its colour scheme answers the colours set here,
// its property collection a "PropFont" font of the face set here.
#pragma once

#include <memory>

#include "standins/HostEnvironmentObjects.h"

namespace standins {

class HostEnvironmentStandIn {
public:
    HostEnvironmentStandIn();
    ~HostEnvironmentStandIn();
    HostEnvironmentStandIn(const HostEnvironmentStandIn&) = delete;
    HostEnvironmentStandIn& operator=(const HostEnvironmentStandIn&) = delete;

    HostLook& Look() noexcept { return *look_; }

private:
    std::shared_ptr<HostLook> look_;
};

}  // namespace standins
