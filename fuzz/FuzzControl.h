// What the targets share in driving the control: the table properties (in
// dispatch order), the layout versions worth choosing between, and a
// variant as a one-argument list, and a control connected to a chart.
#pragma once

#include <span>
#include <vector>

#include "platform/OleVariant.h"

#include "tools/AdapterMembers.h"
#include "tools/ControlDriver.h"

namespace fuzzing {

inline const std::vector<const tessel::AdapterMember*>& TableProperties() {
    static const std::vector<const tessel::AdapterMember*> tables = [] {
        std::vector<const tessel::AdapterMember*> found;
        for (const tessel::AdapterMember& member : tessel::AdapterMembers())
            if (member.kind == tessel::MemberKind::TableProperty) found.push_back(&member);
        return found;
    }();
    return tables;
}

// The three layouts, their neighbours and two that are no layout.
inline SHORT PickVersion(std::uint8_t byte) {
    static constexpr SHORT kVersions[] = {310, 30, 20, 310, 311, 29, 0, -1};
    return kVersions[byte % 8];
}

inline std::span<const VARIANT> One(const COleVariant& argument) {
    return {static_cast<const VARIANT*>(&argument), 1};
}

// Sets the control's layout version and hands it the chart to draw on.
inline void Connect(tessel::ControlDriver& control, SHORT version, IDispatch* chart) {
    const COleVariant versionArg(version, VT_I2);
    control.Call("SetVersion", One(versionArg));
    const COleVariant handle(chart);
    control.Call("HandleTesselCtrl", One(handle));
}

}  // namespace fuzzing
