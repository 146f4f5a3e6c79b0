// Chart holdings for the picture tests: made up by a test, or what a chart
// stand-in keeps.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "standins/ChartStandIn.h"
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

// What a chart stand-in holds: its properties, and the indexed puts and
// method calls among its recorded calls.
class StandInHoldings : public standins::picture::ChartHoldings {
public:
    explicit StandInHoldings(const standins::ChartStandIn& chart) : chart_(chart) {}

    const VARIANT* Property(DISPID member) const override {
        COleVariant& value = properties_[member];
        value = chart_.Property(member);
        return value.vt == VT_EMPTY ? nullptr : &value;
    }
    void ForEachCall(const CallVisitor& visit) const override {
        using standins::ChartCall;
        for (const ChartCall& call : chart_.Calls())
            if (call.kind == ChartCall::Call || (call.kind == ChartCall::Put && call.args.size() == 2))
                visit(call.dispid, call.args);
    }

private:
    const standins::ChartStandIn& chart_;
    mutable std::map<DISPID, COleVariant> properties_;  // copies, as the stand-in hands them out
};

}  // namespace picture_tests
