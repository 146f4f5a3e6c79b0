// Counts the calls of each operation of a stand-in and fails the ones a test
// asked to fail. Calls are counted from the object's creation, failed ones
// included, so "the 3rd ReadRow" means the same thing however the test got
// there. Unless the plan keeps counts only, every call also gets a stamp
// from one process-wide clock, so that a test can tell in which order calls
// on different stand-ins happened.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <type_traits>
#include <vector>

#include "platform/Automation.h"
#include "platform/ComponentError.h"

namespace standins {

namespace detail {
// One clock for the plans of every kind of stand-in. Atomic: controls on
// two threads call their own stand-ins at once, and each stamp must still
// be taken once.
inline std::atomic<std::uint64_t>& CallClock() noexcept {
    static std::atomic<std::uint64_t> clock{0};
    return clock;
}
}  // namespace detail

// What a plan keeps of each call. The stamps grow by one per call for the
// object's life: a stand-in that a control may hold for as long as it lives
// and that no test asks for the order of its calls keeps counts only.
enum class CallRecord { Stamps, Counts };

template <class Op, CallRecord Record = CallRecord::Stamps>
class FaultPlan {
public:
    // How a failed call ends: with the code alone, or, for an operation
    // called through IDispatch::Invoke, raised as DISP_E_EXCEPTION with the
    // code and description (when the description is not empty).
    struct Failure {
        HRESULT code = S_OK;
        OleString description;
    };

    // Fails the nth call of op (from 1) with code (and description).
    void Fail(Op op, unsigned nth, HRESULT code, OleString description = {}) {
        faults_.push_back({op, nth, {code, std::move(description)}});
    }

    // Counts one call of op; returns how it must fail (code S_OK: it must not).
    const Failure& Enter(Op op) {
        static const Failure none;
        const unsigned nth = Add(calls_[op]);
        for (const Fault& fault : faults_)
            if (fault.op == op && fault.nth == nth) return fault.failure;
        return none;
    }

    // Starts every count from zero again, keeping the storage of the stamps,
    // so a benchmark that repeats the same calls does not pay for a record
    // that grows without end.
    void RestartCounts() noexcept {
        for (auto& [op, calls] : calls_) {
            if constexpr (Record == CallRecord::Stamps)
                calls.clear();
            else
                calls = 0;
        }
    }

    unsigned Count(Op op) const {
        const auto found = calls_.find(op);
        return found == calls_.end() ? 0 : Size(found->second);
    }
    // The clock's reading at each call of op, in order.
    const std::vector<std::uint64_t>& Stamps(Op op) const
        requires(Record == CallRecord::Stamps)
    {
        static const std::vector<std::uint64_t> none;
        const auto found = calls_.find(op);
        return found == calls_.end() ? none : found->second;
    }

private:
    struct Fault {
        Op op;
        unsigned nth;
        Failure failure;
    };
    // Each operation's calls: their stamps, or their number.
    using Calls = std::conditional_t<Record == CallRecord::Stamps, std::vector<std::uint64_t>, unsigned>;
    static unsigned Add(std::vector<std::uint64_t>& stamps) {
        stamps.push_back(++detail::CallClock());
        return static_cast<unsigned>(stamps.size());
    }
    static unsigned Add(unsigned& count) noexcept { return ++count; }
    static unsigned Size(const std::vector<std::uint64_t>& stamps) noexcept { return static_cast<unsigned>(stamps.size()); }
    static unsigned Size(unsigned count) noexcept { return count; }

    std::map<Op, Calls> calls_;
    std::vector<Fault> faults_;
};

}  // namespace standins
