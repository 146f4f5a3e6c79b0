// The host's side of the adapter: a CTesselAdapterCtrl reached only through
// IDispatch, member names resolved by GetIDsOfNames, every call made with
// Invoke as a host makes it.
//
// Where the control comes from is the constructor's business: here it is
// made in this process (InProcessControl.cpp); the Windows replay programs
// (tests/endurance) make it from the control module's class factory.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>

#include "platform/ComPtr.h"
#include "platform/OleVariant.h"

namespace tessel {

// What the host sees of one Invoke.
struct Outcome {
    HRESULT code = S_OK;  // the member's failure code (EXCEPINFO's when raised)
    std::string error;    // the failure's description, UTF-8
    COleVariant value;

    bool Ok() const noexcept { return SUCCEEDED(code); }
};

class ControlDriver {
public:
    ControlDriver();
    ~ControlDriver();
    ControlDriver(const ControlDriver&) = delete;
    ControlDriver& operator=(const ControlDriver&) = delete;

    // What a host does first: SetVersion, then HandleTesselCtrl with the chart
    // unless it is null.
    void Prepare(SHORT version, IDispatch* chart);

    Outcome Put(std::string_view member, const VARIANT& value);
    Outcome Get(std::string_view member);
    Outcome Call(std::string_view member, std::span<const VARIANT> args);

private:
    Outcome Invoke(std::string_view member, WORD flags, std::span<const VARIANT> args);

    ComPtr<IDispatch> control_;
    std::map<std::string, DISPID, std::less<>> ids_;
};

}  // namespace tessel
