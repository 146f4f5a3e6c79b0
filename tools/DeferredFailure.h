// Work run where an exception must not pass (inside a COM call, for one):
// the first exception is kept and raised again later by Rethrow, and work
// given after it is skipped.
#pragma once

#include <exception>
#include <utility>

namespace tessel {

class DeferredFailure {
public:
    template <class Work>
    void Run(Work&& work) noexcept {
        if (failure_) return;
        try {
            std::forward<Work>(work)();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    // Raises the kept exception, if any, and forgets it.
    void Rethrow() {
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    }

private:
    std::exception_ptr failure_;
};

}  // namespace tessel
