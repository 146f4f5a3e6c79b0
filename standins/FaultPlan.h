// Counts the calls of each operation of a stand-in and fails the ones a test
// asked to fail. Calls are counted from the object's creation, failed ones
// included, so "the 3rd ReadRow" means the same thing however the test got
// there.
#pragma once

#include <map>
#include <vector>

#include "platform/Automation.h"

namespace standins {

template <class Op>
class FaultPlan {
public:
    // Fails the nth call of op (from 1) with code.
    void Fail(Op op, unsigned nth, HRESULT code) { faults_.push_back({op, nth, code}); }

    // Counts one call of op; returns the code it must fail with, or S_OK.
    HRESULT Enter(Op op) {
        const unsigned nth = ++counts_[op];
        for (const Fault& fault : faults_)
            if (fault.op == op && fault.nth == nth) return fault.code;
        return S_OK;
    }

    unsigned Count(Op op) const {
        const auto found = counts_.find(op);
        return found == counts_.end() ? 0 : found->second;
    }

private:
    struct Fault {
        Op op;
        unsigned nth;
        HRESULT code;
    };
    std::map<Op, unsigned> counts_;
    std::vector<Fault> faults_;
};

}  // namespace standins
