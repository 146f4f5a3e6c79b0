// Two host threads, each an apartment with its own control and chart. Each
// thread's rows carry its own keys, so a grid that reached the other chart,
// or a string freed by the wrong thread, shows as a wrong key, a leak or
// (under ThreadSanitizer) a race.
#include <gtest/gtest.h>

#include <chrono>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "control/ChartMembers.h"
#include "support/AdapterFixture.h"

#ifdef _WIN32
#include <objbase.h>
#endif

namespace {

using namespace testing_support;
using standins::ChartCall;
using Clock = std::chrono::steady_clock;

constexpr auto kDuration = std::chrono::milliseconds(400);
constexpr int kMinRounds = 3;
constexpr int kRows = 200;

// This thread as a single-threaded apartment, as a host's GUI thread is.
// The platform layer off Windows has no apartments: there it is nothing.
struct Apartment {
#ifdef _WIN32
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~Apartment() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
#else
    const HRESULT hr = S_OK;
#endif
};

// kRows records readable by every table used here (Objectives and
// Strategies at layout 310 and their templates), keyed mark0001, mark0002…
std::vector<std::string> Rows(char mark) {
    std::vector<std::string> rows;
    for (int r = 1; r <= kRows; ++r) {
        std::string record;
        for (int i = 0; i < 300; ++i) record += static_cast<char>('0' + (i * 7 + r) % 43);
        const std::string number = std::to_string(r);
        record.replace(0, 10, mark + std::string(9 - number.size(), '0') + number);
        rows.push_back(std::move(record));
    }
    return rows;
}

std::string FirstKey(const std::vector<std::string>& rows) { return "BSTR:" + rows.front().substr(0, 10); }

// What one thread saw, checked on the test's thread afterwards.
struct Report {
    HRESULT apartment = E_FAIL;
    int rounds = 0;
    std::vector<std::string> faults;
    Clock::time_point firstFill, lastFill;
};

// The grid the chart got last for dispid, checked for the thread's own rows.
void CheckSent(const ControlHost& host, ChartCall::Kind kind, DISPID dispid, std::size_t arg,
               const std::vector<std::string>& rows, const char* what, Report& report) {
    const auto calls = host.ChartCalls(kind, dispid);
    if (calls.empty() || calls.back()->args.size() <= arg) {
        report.faults.push_back(std::string(what) + ": nothing reached the chart");
        return;
    }
    const COleVariant& grid = calls.back()->args[arg];
    if (Shape(grid).first != kRows || Cell(grid, 0, 0) != FirstKey(rows))
        report.faults.push_back(std::string(what) + ": the chart got " + Cell(grid, 0, 0) + ", not " + FirstKey(rows));
}

void Expect(const Outcome& out, const char* what, Report& report) {
    if (!out.Ok()) report.faults.push_back(std::string(what) + ": " + out.description);
}

void RunHost(char mark, std::latch& start, std::mutex& templateTurn, Report& report) {
    const Apartment apartment;
    report.apartment = apartment.hr;
    const std::vector<std::string> rows = Rows(mark);
    ControlHost host;
    host.Open();
    Expect(host.Attach(), "attach", report);
    Expect(host.SetVersion(310), "version", report);
    start.arrive_and_wait();
    report.firstFill = Clock::now();
    const Clock::time_point until = report.firstFill + kDuration;
    for (; report.rounds < kMinRounds || Clock::now() < until; ++report.rounds) {
        Expect(host.PutRecords("Objectives", rows), "Objectives", report);
        CheckSent(host, ChartCall::Put, chart::kObjectives, 0, rows, "Objectives", report);
        Expect(host.PutRecords("Strategies", rows), "Strategies", report);
        CheckSent(host, ChartCall::Put, chart::kStrategies, 0, rows, "Strategies", report);
        report.lastFill = Clock::now();
        {
            // The template store is one per process and not locked (a host
            // calls its controls on one thread): apartments that both collect
            // templates must take turns. The fills above run at once.
            const std::lock_guard turn(templateTurn);
            Expect(host.PutRecords("StrategyTemplate", rows), "StrategyTemplate", report);
            Expect(host.PutRecords("ObjectiveTemplate", rows), "ObjectiveTemplate", report);
            Expect(host.Call("AddTemplate"), "AddTemplate", report);
        }
        CheckSent(host, ChartCall::Call, chart::kAddTemplate, 0, rows, "AddTemplate's strategies", report);
        CheckSent(host, ChartCall::Call, chart::kAddTemplate, 1, rows, "AddTemplate's objectives", report);
        host.chart_->ClearCalls();
    }
    host.Close();
}

class TwoApartmentsTest : public LeakCheckedTest {};

TEST_F(TwoApartmentsTest, ControlsOnTwoThreadsFillAndSendTheirOwnTablesAtOnce) {
    std::latch start(2);
    std::mutex templateTurn;
    Report a, b;
    std::thread first(RunHost, 'A', std::ref(start), std::ref(templateTurn), std::ref(a));
    std::thread second(RunHost, 'B', std::ref(start), std::ref(templateTurn), std::ref(b));
    first.join();
    second.join();
    for (const Report* report : {&a, &b}) {
        EXPECT_EQ(report->apartment, S_OK);
        EXPECT_GE(report->rounds, kMinRounds);
        EXPECT_EQ(report->faults, std::vector<std::string>{});
    }
    // Each thread was still filling when the other began.
    EXPECT_LT(a.firstFill, b.lastFill);
    EXPECT_LT(b.firstFill, a.lastFill);
}

}  // namespace
