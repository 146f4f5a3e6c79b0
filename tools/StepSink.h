// Where a session reports each member step it ran: the trace and the
// readable summary are two of these.
#pragma once

#include <span>

#include "standins/ChartStandIn.h"
#include "tools/ControlDriver.h"
#include "tools/Step.h"

namespace tessel {

struct StepRecord {
    const Step& step;
    const Outcome& outcome;
    // The chart calls the step caused, in order.
    std::span<const standins::ChartCall> calls;
};

class StepSink {
public:
    virtual ~StepSink() = default;
    virtual void Report(const StepRecord& record) = 0;
    // Once, after the last step that ran (also when the run stopped early).
    virtual void Finish(long stepsRun, long membersFailed) = 0;
};

}  // namespace tessel
