// Where a session reports each member step it ran: the trace and the
// readable summary are two of these.
#pragma once

#include "standins/ChartStandIn.h"
#include "tools/ControlDriver.h"
#include "tools/Step.h"

namespace tessel {

struct StepRecord {
    const Step& step;
    const Outcome& outcome;
};

// A step's chart calls arrive one by one while the step runs, each with the
// arguments as the adapter passed them (a grid is not copied to be shown),
// then the step itself.
class StepSink {
public:
    virtual ~StepSink() = default;
    virtual void ReportCall(const standins::ChartCall& call) = 0;
    virtual void Report(const StepRecord& record) = 0;
    // Once, after the last step that ran (also when the run stopped early).
    virtual void Finish(long stepsRun, long membersFailed) = 0;
};

}  // namespace tessel
