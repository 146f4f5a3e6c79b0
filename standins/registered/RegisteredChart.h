// Tessel.Chart: the chart stand-in with members its client reads and steers
// by name: Trace (every call the adapter made since ClearTrace, one JSON
// object a line, as tessel's traces carry them), Answer(dispid, value) and
// FailNext(dispid, hresult, description).
#pragma once

#include <span>

#include "standins/ChartStandIn.h"
#include "standins/registered/ScriptMembers.h"

namespace standins {

class RegisteredChart final : public Scripted<ChartStandIn, RegisteredChart> {
public:
    static constexpr LPCOLESTR kSource = OLESTR("Tessel.Chart");
    static std::span<const ScriptMember<RegisteredChart>> Members();

private:
    friend Scripted;  // Scripted::Create makes the objects
    RegisteredChart() = default;

    COleVariant Trace() const;
};

}  // namespace standins
