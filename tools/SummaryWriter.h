// The readable summary a run prints when no trace is asked for: one line per
// member step with its outcome and the shapes of the chart calls it caused.
#pragma once

#include <string>

#include "tools/StepSink.h"
#include "tools/TextOutput.h"

namespace tessel {

class SummaryWriter final : public StepSink {
public:
    explicit SummaryWriter(TextOutput& out) : out_(out) {}

    void Report(const StepRecord& record) override;
    void Finish(long stepsRun, long membersFailed) override;

    // "4x7 grid", "2048 bytes", "BSTR" ...
    static std::string Shape(const VARIANT& value);
    // A short form of a value: a number, a quoted text, "empty" ...
    static std::string Short(const VARIANT& value);

private:
    TextOutput& out_;
};

}  // namespace tessel
