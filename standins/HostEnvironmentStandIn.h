// The host environment, registered in this process's class registry for as
// long as the stand-in lives: its colour scheme answers the colours set here,
// its property collection a "PropFont" font of the face set here.
//
// Every object it hands out is a counted stand-in, so tests see a reference
// the control forgot. Each operation can be told to fail on its nth call, or
// to claim success and hand out nothing.
#pragma once

#include <array>
#include <map>
#include <memory>

#include "platform/Automation.h"
#include "standins/FaultPlan.h"

namespace standins {

enum class LookOp { Create, Available, Status, InUse, Scheme, Colour, Properties, Property, FontHandle };

// What the host environment answers; shared by every object it made.
struct HostLook {
    LONG available = 1;
    LONG inUse = 1;
    // Colours by the numbers (a, b, c) a role is asked with; others are black.
    std::map<std::array<LONG, 3>, OLE_COLOR> colours = DefaultColours();
    LOGFONTA font = DefaultFont();
    enum class FontKind { Font, NotAFont, Nothing } fontKind = FontKind::Font;
    // Operations that answer success with a null interface.
    std::map<LookOp, bool> handsOutNothing;
    FaultPlan<LookOp> faults;

    static std::map<std::array<LONG, 3>, OLE_COLOR> DefaultColours();
    static LOGFONTA DefaultFont();
};

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
