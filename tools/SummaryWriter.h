// The readable summary a run prints when no trace is asked for: one line per
// member step with its outcome and the shapes of the chart calls it caused.
#pragma once

#include <cstddef>
#include <string>

#include "tools/StepSink.h"
#include "tools/TextOutput.h"

namespace tessel {

class SummaryWriter final : public StepSink {
public:
    explicit SummaryWriter(TextOutput& out) : out_(out) {}

    void ReportCall(const standins::ChartCall& call) override;
    void Report(const StepRecord& record) override;
    void Warn(long line, const std::string& text) override;
    void Finish(long stepsRun, long membersFailed) override;

    // "4x7 grid", "2048 bytes", "BSTR" ...
    static std::string Shape(const VARIANT& value);
    // A short form of a value: a number, a quoted text, "empty" ...
    static std::string Short(const VARIANT& value);

private:
    // Adds the run of identical calls just ended to calls_.
    void EndRun();

    TextOutput& out_;
    // The step's chart calls so far: runs of identical calls (a context
    // menu's entries, a tree's groups) are shown once with their count.
    std::string calls_;
    std::string previous_;
    std::size_t repeats_ = 0;
    std::size_t shown_ = 0;
};

}  // namespace tessel
