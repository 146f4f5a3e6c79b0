#include "tools/ControlDriver.h"

#include <vector>

#include "control/TesselAdapterCtrl.h"
#include "standins/Utf8.h"

namespace tessel {

ControlDriver::ControlDriver() { control_.Attach(new CTesselAdapterCtrl); }

ControlDriver::~ControlDriver() = default;

Outcome ControlDriver::Put(std::string_view member, const VARIANT& value) {
    return Invoke(member, DISPATCH_PROPERTYPUT, std::span(&value, 1), true);
}

Outcome ControlDriver::Get(std::string_view member) { return Invoke(member, DISPATCH_PROPERTYGET, {}, false); }

Outcome ControlDriver::Call(std::string_view member, std::span<const VARIANT> args) {
    return Invoke(member, DISPATCH_METHOD, args, false);
}

Outcome ControlDriver::Invoke(std::string_view member, WORD flags, std::span<const VARIANT> args, bool put) {
    Outcome out;
    auto known = ids_.find(member);
    if (known == ids_.end()) {
        OleString name(member.begin(), member.end());
        LPOLESTR names[1] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = control_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) {
            out.code = hr;
            out.error = standins::ToUtf8(DescribeResult(hr));
            return out;
        }
        known = ids_.emplace(std::string(member), id).first;
    }

    // Invoke takes the arguments last to first; the copies are shallow, the
    // caller keeps ownership.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    EXCEPINFO info{};
    UINT argErr = 0;
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        control_->Invoke(known->second, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &info, &argErr);
    out.value.Attach(result);
    if (hr == DISP_E_EXCEPTION && FAILED(info.scode)) {
        out.code = info.scode;
        out.error = info.bstrDescription ? standins::ToUtf8(standins::TextOf(info.bstrDescription)) : standins::ToUtf8(DescribeResult(info.scode));
    } else if (FAILED(hr)) {
        out.code = hr;
        out.error = standins::ToUtf8(DescribeResult(hr));
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return out;
}

}  // namespace tessel
