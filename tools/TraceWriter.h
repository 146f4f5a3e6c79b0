// The trace: JSON Lines, one object per chart call and one per member step,
// in the order they happened. The format is a contract with the people who
// read traces; docs/tessel.md states it.
#pragma once

#include "standins/ChartTrace.h"
#include "tools/StepSink.h"
#include "tools/TextOutput.h"

namespace tessel {

class TraceWriter final : public StepSink {
public:
    explicit TraceWriter(TextOutput& out) : out_(out) {}

    void ReportCall(const standins::ChartCall& call) override { standins::AppendChartCall(out_, call); }
    void Report(const StepRecord& record) override;
    // The trace holds what happened; warnings go where the caller shows them.
    void Warn(long, const std::string&) override {}
    void Finish(long, long) override { out_.Flush(); }

private:
    void WriteHostStep(const StepRecord& record);

    TextOutput& out_;
};

}  // namespace tessel
