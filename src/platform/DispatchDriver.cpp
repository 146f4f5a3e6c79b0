#include "platform/DispatchDriver.h"

#include <new>

#include "platform/ExcepInfo.h"

namespace {

constexpr std::size_t kMaxArgs = 16;

}  // namespace

void DispatchDriver::PutProperty(DISPID id, const VARIANT& value) const {
    Invoke(id, DISPATCH_PROPERTYPUT, {&value, 1}, VT_EMPTY);
}

void DispatchDriver::PutIndexed(DISPID id, const VARIANT& index, const VARIANT& value) const {
    // Shallow copies: the callee only reads its arguments.
    const VARIANT args[] = {index, value};
    Invoke(id, DISPATCH_PROPERTYPUT, args, VT_EMPTY);
}

COleVariant DispatchDriver::GetProperty(DISPID id, VARTYPE resultType, std::span<const VARIANT> args) const {
    return Invoke(id, DISPATCH_PROPERTYGET, args, resultType);
}

COleVariant DispatchDriver::CallMethod(DISPID id, std::span<const VARIANT> args, VARTYPE resultType) const {
    return Invoke(id, DISPATCH_METHOD, args, resultType);
}

COleVariant DispatchDriver::Invoke(DISPID id, WORD flags, std::span<const VARIANT> args,
                                   VARTYPE resultType) const {
    DispatchResult call = TryInvoke(id, flags, args);
    if (FAILED(call.code)) RaiseError(call.code, id_, std::move(call.description));

    if (resultType != VT_VARIANT && resultType != VT_EMPTY && call.value.vt != resultType) {
        const HRESULT hr = VariantChangeType(&call.value, &call.value, 0, resultType);
        if (FAILED(hr)) RaiseError(hr, id_);
    }
    return std::move(call.value);
}

DispatchResult DispatchDriver::TryInvoke(DISPID id, WORD flags, std::span<const VARIANT> args) const noexcept {
    DispatchResult out;
    if (!target_) out.hr = E_POINTER;
    if (args.size() > kMaxArgs) out.hr = E_INVALIDARG;

    if (SUCCEEDED(out.hr)) {
        // Laid out last parameter first, as Invoke expects; runs for every
        // chart call, so it stays on the stack. The copies are shallow.
        VARIANTARG reversed[kMaxArgs];
        const UINT count = static_cast<UINT>(args.size());
        for (UINT i = 0; i < count; ++i) reversed[count - 1 - i] = args[i];

        DISPID namedPut = DISPID_PROPERTYPUT;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        DISPPARAMS params{reversed, put ? &namedPut : nullptr, count, put ? 1u : 0u};

        ExcepInfo info;
        VARIANT result;
        VariantInit(&result);
        out.hr = target_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : &result,
                                 &info, &out.argErr);
        out.value.Attach(result);
        out.code = out.hr == DISP_E_EXCEPTION ? info.Code(out.hr) : out.hr;
        if (FAILED(out.hr) && info.bstrDescription) {
            try {
                out.description.assign(info.bstrDescription, SysStringLen(info.bstrDescription));
            } catch (const std::bad_alloc&) {
                out.code = E_OUTOFMEMORY;
            }
        }
    } else {
        out.code = out.hr;
    }
    if (FAILED(out.code) && out.description.empty()) {
        try {
            out.description = DescribeResult(out.code);
        } catch (const std::bad_alloc&) {
        }
    }
    return out;
}
