// Where a session reports each member step it ran: the trace and the
// readable summary are two of these.
#pragma once

#include <string>
#include <string_view>

#include "standins/ChartStandIn.h"
#include "tools/ControlDriver.h"
#include "tools/Step.h"

namespace tessel {

struct StepRecord {
    const Step& step;
    const Outcome& outcome;
    // A failed set: where in its table the control stopped ("p.txt:3: ..."),
    // when the stand-ins know it.
    std::string_view place;
    // A get that names a file: whether the table it returned was written.
    bool saved = false;
};

// A step's chart calls arrive one by one while the step runs, each with the
// arguments as the adapter passed them (a grid is not copied to be shown),
// then the step itself.
class StepSink {
public:
    virtual ~StepSink() = default;
    virtual void ReportCall(const standins::ChartCall& call) = 0;
    virtual void Report(const StepRecord& record) = 0;
    // Something about the step on that line that is allowed but most likely
    // not what was meant; told before the step runs.
    virtual void Warn(long line, const std::string& text) = 0;
    // Once, after the last step that ran (also when the run stopped early).
    virtual void Finish(long stepsRun, long membersFailed) = 0;
};

}  // namespace tessel
