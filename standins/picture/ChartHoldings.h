// What a chart holds, as the strategy map picture reads it: the value last
// put into each property, and the indexed puts and method calls it kept.
// The values stay the chart's, valid while the chart is left unchanged.
#pragma once

#include <functional>
#include <span>

#include "platform/OleString.h"
#include "platform/OleVariant.h"

namespace standins::picture {

class ChartHoldings {
public:
    // Arguments in parameter order; an indexed put's are its index and value.
    using CallVisitor = std::function<void(DISPID member, std::span<const COleVariant> args)>;

    // The value last put into property `member`, or null when none was.
    virtual const VARIANT* Property(DISPID member) const = 0;
    // Every indexed put and method call kept, in the order they came.
    virtual void ForEachCall(const CallVisitor& visit) const = 0;
    // The objective and the strategy shown as selected; empty for none.
    virtual OleStringView SelectedObjective() const { return {}; }
    virtual OleStringView SelectedStrategy() const { return {}; }

protected:
    ~ChartHoldings() = default;
};

}  // namespace standins::picture
