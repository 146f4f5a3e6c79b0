// Chart holdings for the picture tests, made up by a test.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "standins/picture/ChartHoldings.h"

namespace picture_tests {

class GivenHoldings : public standins::picture::ChartHoldings {
public:
    GivenHoldings& Put(DISPID member, COleVariant value) {
        properties_[member] = std::move(value);
        return *this;
    }
    // An indexed put or a method call.
    GivenHoldings& Call(DISPID member, std::vector<COleVariant> args) {
        calls_.emplace_back(member, std::move(args));
        return *this;
    }
    GivenHoldings& Select(OleString objective, OleString strategy) {
        objective_ = std::move(objective), strategy_ = std::move(strategy);
        return *this;
    }

    const VARIANT* Property(DISPID member) const override {
        const auto found = properties_.find(member);
        return found == properties_.end() ? nullptr : &found->second;
    }
    void ForEachCall(const CallVisitor& visit) const override {
        for (const auto& [member, args] : calls_) visit(member, args);
    }
    OleStringView SelectedObjective() const override { return objective_; }
    OleStringView SelectedStrategy() const override { return strategy_; }

private:
    std::map<DISPID, COleVariant> properties_;
    std::vector<std::pair<DISPID, std::vector<COleVariant>>> calls_;
    OleString objective_, strategy_;
};

}  // namespace picture_tests
