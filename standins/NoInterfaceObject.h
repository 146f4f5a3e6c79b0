// An automation object that offers nothing beyond IDispatch: what the system
// meets when a host hands it a handle or table of the wrong kind.
#pragma once

#include <vector>

#include "standins/FaultPlan.h"
#include "standins/StandInObject.h"

namespace standins {

class NoInterfaceObject final : public StandInDispatch<IDispatch> {
public:
    static ComPtr<NoInterfaceObject> Create();

    // Every interface asked for, in order.
    const std::vector<IID>& Queries() const noexcept { return queries_; }
    // Fails the nth QueryInterface (from 1, any interface) with code.
    void FailQuery(unsigned nth, HRESULT code) { faults_.Fail(Op::QueryInterface, nth, code); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    enum class Op { QueryInterface };

    NoInterfaceObject() = default;

    FaultPlan<Op> faults_;
    std::vector<IID> queries_;
};

}  // namespace standins
