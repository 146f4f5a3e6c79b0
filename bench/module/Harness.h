// The module benchmark's own timing: the CPU time of this thread, the best
// of several runs, one JSON object a line.
//
// A run repeats the body until it has lasted `minRun` of wall time and
// divides the thread's CPU time by the repetitions and units. Wine reads a
// thread's times from the kernel's tick counts (10 ms), so runs are made
// long enough for a tick to be a small part of them; the stopping rule reads
// the wall clock so that it does not depend on where the ticks fall.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <regex>
#include <string>

namespace module_bench {

inline std::int64_t ThreadCpuNanoseconds() noexcept {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (std::int64_t{t.dwHighDateTime} << 32) | std::int64_t{t.dwLowDateTime};
    };
    return (ticks(kernel) + ticks(user)) * 100;  // FILETIME counts 100 ns
}

struct Settings {
    std::regex filter{".*"};
    int runs = 5;
    std::chrono::milliseconds minRun{300};
    bool full = false;  // 10^6 rows and the large blobs too
};

// The best CPU nanoseconds per unit over the runs, after one unmeasured
// warm-up; 0 when the body failed (it returns false).
template <class Body>
double BestPerUnit(const Settings& settings, std::size_t units, Body&& body) {
    if (!body()) return 0;
    double best = std::numeric_limits<double>::max();
    for (int run = 0; run < settings.runs; ++run) {
        const auto until = std::chrono::steady_clock::now() + settings.minRun;
        const std::int64_t started = ThreadCpuNanoseconds();
        long repetitions = 0;
        do {
            if (!body()) return 0;
            ++repetitions;
        } while (std::chrono::steady_clock::now() < until);
        const double spent = static_cast<double>(ThreadCpuNanoseconds() - started);
        best = std::min(best, spent / (static_cast<double>(repetitions) * static_cast<double>(units)));
    }
    return best;
}

// {"name": ..., "ns_per_row": ..., <extra>}: `extra` is more members, each
// starting with a comma, or nothing.
inline void Print(const std::string& name, double nsPerRow, const std::string& extra = {}) {
    std::printf("{\"name\": \"%s\", \"ns_per_row\": %.1f%s}\n", name.c_str(), nsPerRow, extra.c_str());
    std::fflush(stdout);
}

}  // namespace module_bench
