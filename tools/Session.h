// Runs checked steps against a real CTesselAdapterCtrl, with stand-in host
// tables and one stand-in chart for the whole session.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "standins/ChartStandIn.h"
#include "standins/HostEnvironmentStandIn.h"
#include "standins/HostRecordTable.h"
#include "standins/TableFiles.h"
#include "tools/ControlDriver.h"
#include "tools/DeferredFailure.h"
#include "tools/StepSink.h"

namespace tessel {

struct SessionResult {
    long stepsRun = 0;
    long membersFailed = 0;
};

// Where a session's files are. A relative name that the session reads is in
// `folder`, unless an earlier step of the session wrote it; a relative name
// that it writes goes to `out`.
struct SessionPlaces {
    std::filesystem::path folder;
    std::filesystem::path out;
    standins::Encoding encoding = standins::Encoding::Cp1252;
    // The session file, which no step may overwrite; empty for standard input.
    std::filesystem::path session = {};
};

// The files a session reads before writing them, and those it writes, as
// absolute paths.
struct SessionFiles {
    std::set<std::filesystem::path> inputs;
    std::set<std::filesystem::path> outputs;
};

class Session {
public:
    Session(SessionPlaces places, std::vector<StepSink*> sinks);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Refuses, before anything runs, a session that would write a file it
    // reads or the session file itself (SessionError at the writing step);
    // returns the files it uses.
    static SessionFiles Check(const std::vector<Step>& steps, const SessionPlaces& places);
    // The same path whatever way it is written ("a/../b.txt", a link), so
    // that two names of one file compare equal.
    static std::filesystem::path SameFile(const std::filesystem::path& path);

    // Runs every step in order. A file that cannot be loaded or written ends
    // the run with SessionError; the steps before it stay reported.
    SessionResult Run(const std::vector<Step>& steps);

    // The chart keeps every put through the run, not only up to the last
    // step that reads one back: its picture is drawn from them afterwards.
    void KeepChartPuts() noexcept { keepsPuts_ = true; }
    const standins::ChartStandIn& Chart() const noexcept { return *chart_; }

private:
    void RunGuarded(const Step& step);
    void RunStep(const Step& step);
    Outcome RunMember(const Step& step);
    Outcome RunSet(const Step& step);
    void Warn(const Step& step, const std::string& text);
    // Whether the table a get returned was written to its file.
    bool SaveReturnedTable(const Step& step, const Outcome& outcome);
    void SetChart(const Step& step);
    std::string PlaceOfFailure(const Step& step) const;
    std::filesystem::path ReadPath(const std::string& file) const;
    std::filesystem::path WritePath(const std::string& file) const;
    void Finish();

    void SetEnvironment(const Step& step);

    SessionPlaces places_;
    // Names the session has written so far: reading them reads what it wrote.
    std::set<std::string> written_;
    // The host environment the control finds (none unless an env step chose one).
    std::unique_ptr<standins::HostEnvironmentStandIn> host_;
    // The answer of the next save dialog; cancel once it has been given.
    std::optional<OleString> dialogAnswer_;
    std::vector<StepSink*> sinks_;
    ComPtr<standins::ChartStandIn> chart_;
    // What a sink raised while the chart handed it a call, raised again
    // after the step: inside the chart's Invoke it would only fail the call.
    DeferredFailure callFailure_;
    std::size_t stepCalls_ = 0;  // chart calls of the step running
    std::unique_ptr<ControlDriver> control_;  // created by the first member step
    SHORT version_;                           // as the last version step set it
    // The table the set running handed over, kept to say where a failed
    // fill stopped.
    standins::LoadedTable handed_;
    // Record tables lent with flag 0, which the reader may keep and a getter
    // hand back; dropped once nobody else holds them.
    std::vector<ComPtr<standins::HostRecordTable>> lent_;
    SessionResult result_;
    bool finished_ = false;
    bool keepsPuts_ = false;
};

}  // namespace tessel
