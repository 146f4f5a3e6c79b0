// Runs checked steps against a real CTesselAdapterCtrl, with stand-in host
// tables and one stand-in chart for the whole session.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "standins/ChartStandIn.h"
#include "standins/HostEnvironmentStandIn.h"
#include "standins/HostRecordTable.h"
#include "tools/ControlDriver.h"
#include "tools/DeferredFailure.h"
#include "tools/StepSink.h"

namespace tessel {

struct SessionResult {
    long stepsRun = 0;
    long membersFailed = 0;
};

class Session {
public:
    // Paths in steps are taken relative to `folder`.
    Session(std::filesystem::path folder, std::vector<StepSink*> sinks);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Refuses, before anything runs, steps this host cannot serve yet.
    static void Check(const std::vector<Step>& steps);

    // Runs every step in order. A file that cannot be loaded or written ends
    // the run with SessionError; the steps before it stay reported.
    SessionResult Run(const std::vector<Step>& steps);

private:
    void RunGuarded(const Step& step);
    void RunStep(const Step& step);
    Outcome RunMember(const Step& step);
    Outcome RunSet(const Step& step);
    void SaveReturnedTable(const Step& step, const Outcome& outcome);
    void SetChart(const Step& step);
    std::filesystem::path Resolve(const std::string& file) const;
    void Finish();

    void SetEnvironment(const Step& step);

    std::filesystem::path folder_;
    // The host environment the control finds (none unless an env step chose one).
    std::unique_ptr<standins::HostEnvironmentStandIn> host_;
    // The answer of the next save dialog; cancel once it has been given.
    std::optional<OleString> dialogAnswer_;
    std::vector<StepSink*> sinks_;
    ComPtr<standins::ChartStandIn> chart_;
    // What a sink raised while the chart handed it a call, raised again
    // after the step: inside the chart's Invoke it would only fail the call.
    DeferredFailure callFailure_;
    std::unique_ptr<ControlDriver> control_;  // created by the first member step
    // Record tables lent with flag 0, which the reader may keep and a getter
    // hand back; dropped once nobody else holds them.
    std::vector<ComPtr<standins::HostRecordTable>> lent_;
    SessionResult result_;
    bool finished_ = false;
};

}  // namespace tessel
