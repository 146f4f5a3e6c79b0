#include "standins/DispatchCall.h"

namespace standins {

HRESULT DispatchCall::CheckParams(const DISPPARAMS* params) noexcept {
    if (!params) return E_POINTER;
    if (params->cNamedArgs > params->cArgs) return E_INVALIDARG;
    if ((params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_POINTER;
    return S_OK;
}

HRESULT DispatchCall::LongArg(UINT param, LONG& value) const noexcept {
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, &Arg(param), 0, VT_I4);
    if (FAILED(hr)) return BadArg(param, hr);
    value = converted.lVal;
    return S_OK;
}

HRESULT DispatchCall::BadArg(UINT param, HRESULT code) const noexcept {
    if (argErr_) *argErr_ = params_.cArgs - 1 - param;
    return code;
}

std::vector<COleVariant> DispatchCall::CopyArgs() const {
    std::vector<COleVariant> copies(params_.cArgs);
    for (UINT i = 0; i < params_.cArgs; ++i) {
        // Reversed storage, named value first: rgvarg[0] belongs last.
        const HRESULT hr = VariantCopyInd(&copies[params_.cArgs - 1 - i], &params_.rgvarg[i]);
        if (FAILED(hr)) RaiseError(hr);
    }
    return copies;
}

std::vector<VARTYPE> DispatchCall::ArgTypes() const {
    std::vector<VARTYPE> types(params_.cArgs);
    for (UINT i = 0; i < params_.cArgs; ++i) types[params_.cArgs - 1 - i] = params_.rgvarg[i].vt;
    return types;
}

HRESULT DispatchCall::Return(COleVariant&& value) const noexcept {
    // The caller hands in an empty result; overwriting never leaks.
    if (result_) *result_ = value.Detach();
    return S_OK;
}

HRESULT DispatchCall::Raise(HRESULT code, const OleString& description) const noexcept {
    if (!exception_) return code;
    *exception_ = EXCEPINFO{};
    exception_->scode = code;
    if (!description.empty())
        exception_->bstrDescription =
            SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
    return DISP_E_EXCEPTION;
}

}  // namespace standins
