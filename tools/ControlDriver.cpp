#include "tools/ControlDriver.h"

#include "platform/DispatchDriver.h"
#include "platform/MemberId.h"
#include "standins/Utf8.h"

namespace tessel {

ControlDriver::~ControlDriver() = default;

void ControlDriver::Prepare(SHORT version, IDispatch* chart) {
    const COleVariant versionArg(version, VT_I2);
    Call("SetVersion", std::span<const VARIANT>(static_cast<const VARIANT*>(&versionArg), 1));
    if (!chart) return;
    const COleVariant handle(chart);
    Call("HandleTesselCtrl", std::span<const VARIANT>(static_cast<const VARIANT*>(&handle), 1));
}

Outcome ControlDriver::Put(std::string_view member, const VARIANT& value) {
    return Invoke(member, DISPATCH_PROPERTYPUT, std::span(&value, 1));
}

Outcome ControlDriver::Get(std::string_view member) { return Invoke(member, DISPATCH_PROPERTYGET, {}); }

Outcome ControlDriver::Call(std::string_view member, std::span<const VARIANT> args) {
    return Invoke(member, DISPATCH_METHOD, args);
}

Outcome ControlDriver::Invoke(std::string_view member, WORD flags, std::span<const VARIANT> args) {
    Outcome out;
    auto known = ids_.find(member);
    if (known == ids_.end()) {
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = MemberIdOf(*control_.Get(), member, id);
        if (FAILED(hr)) {
            out.code = hr;
            out.error = standins::ToUtf8(DescribeResult(hr));
            return out;
        }
        known = ids_.emplace(std::string(member), id).first;
    }

    DispatchResult call =
        DispatchDriver(control_.Get(), InterfaceTraits<IDispatch>::Id()).TryInvoke(known->second, flags, args);
    out.code = call.code;
    if (FAILED(call.code)) out.error = standins::ToUtf8(call.description);
    out.value = std::move(call.value);
    return out;
}

}  // namespace tessel
