// The objects of the host environment: the environment itself, its colour
// scheme and scheme status, its property collection and the "PropFont" font,
// all answering from one shared HostLook.
//
// Every object is a counted stand-in, so tests see a reference the control
// forgot. Each operation can be told to fail on its nth call, or to claim
// success and hand out nothing.
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
    // Counts only: a control holds its environment and colour scheme for
    // its life and asks 18 colours at every attach of a chart.
    FaultPlan<LookOp, CallRecord::Counts> faults;

    static std::map<std::array<LONG, 3>, OLE_COLOR> DefaultColours();
    static LOGFONTA DefaultFont();
};

// A new host environment object answering from look, as its class factory
// makes one: riid of it through out (null on failure).
HRESULT CreateHostEnvironment(std::shared_ptr<HostLook> look, REFIID riid, void** out);

}  // namespace standins
