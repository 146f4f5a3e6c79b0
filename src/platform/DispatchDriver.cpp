#include "platform/DispatchDriver.h"

namespace {

constexpr std::size_t kMaxArgs = 16;

// The callee fills EXCEPINFO and the caller owns its strings, whatever the
// outcome of the call.
struct ExceptionInfo : EXCEPINFO {
    ExceptionInfo() noexcept : EXCEPINFO{} {}
    ~ExceptionInfo() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
};

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
    if (!target_) RaiseError(E_POINTER, id_);
    if (args.size() > kMaxArgs) RaiseError(E_INVALIDARG, id_);

    // Laid out last parameter first, as Invoke expects; runs for every chart
    // call, so it stays on the stack.
    VARIANTARG reversed[kMaxArgs];
    const UINT count = static_cast<UINT>(args.size());
    for (UINT i = 0; i < count; ++i) reversed[count - 1 - i] = args[i];

    DISPID namedPut = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{reversed, put ? &namedPut : nullptr, count, put ? 1u : 0u};

    COleVariant result;
    ExceptionInfo info;
    UINT argErr = 0;
    HRESULT hr = target_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, put ? nullptr : &result,
                                 &info, &argErr);
    if (FAILED(hr)) {
        OleString description;
        if (hr == DISP_E_EXCEPTION) {
            if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
            if (FAILED(info.scode)) hr = info.scode;
            if (info.bstrDescription) description.assign(info.bstrDescription, SysStringLen(info.bstrDescription));
        }
        RaiseError(hr, id_, std::move(description));
    }

    if (resultType != VT_VARIANT && resultType != VT_EMPTY && result.vt != resultType) {
        hr = VariantChangeType(&result, &result, 0, resultType);
        if (FAILED(hr)) RaiseError(hr, id_);
    }
    return result;
}
