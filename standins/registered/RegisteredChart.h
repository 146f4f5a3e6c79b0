// Tessel.Chart: the chart stand-in with members its client reads and steers
// by name: Trace (every call the adapter made since ClearTrace, one JSON
// object a line, as tessel's traces carry them), Answer(dispid, value) and
// FailNext(dispid, hresult, description).
#pragma once

#include <span>

#include "platform/ComPtr.h"
#include "standins/ChartStandIn.h"
#include "standins/registered/ScriptMembers.h"

namespace standins {

class RegisteredChart final : public Scripted<ChartStandIn, RegisteredChart> {
public:
    static constexpr LPCOLESTR kSource = OLESTR("Tessel.Chart");
    static ComPtr<RegisteredChart> Create();
    static std::span<const ScriptMember<RegisteredChart>> Members();

private:
    RegisteredChart() = default;

    COleVariant Trace() const;
};

}  // namespace standins
