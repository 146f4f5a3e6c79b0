#include "platform/DispatchMember.h"

#include <cstring>
#include <exception>
#include <new>

#include "platform/ComponentError.h"

namespace {

// These two run inside catch handlers, so neither may throw.
BSTR AnsiToBstr(const char* text) noexcept {
    const int length = static_cast<int>(std::strlen(text));
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (out && length && MultiByteToWideChar(CP_ACP, 0, text, length, out, length) != length) {
        SysFreeString(out);
        out = nullptr;
    }
    return out;
}

HRESULT RaisedException(EXCEPINFO* info, LPCOLESTR source, HRESULT code, BSTR description) noexcept {
    if (!info) {
        SysFreeString(description);
        return DISP_E_EXCEPTION;
    }
    *info = EXCEPINFO{};
    info->scode = code;
    info->bstrSource = SysAllocString(source);
    info->bstrDescription = description;
    return DISP_E_EXCEPTION;
}

}  // namespace

bool SameMemberName(const OLECHAR* name, const char* member) noexcept {
    auto fold = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (; *member; ++name, ++member)
        if (fold(static_cast<unsigned>(*name)) != fold(static_cast<unsigned char>(*member))) return false;
    return *name == 0;
}

HRESULT CheckDispParams(const DISPPARAMS* params) noexcept {
    if (!params) return E_POINTER;
    if ((params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs) ||
        params->cNamedArgs > params->cArgs)
        return E_INVALIDARG;
    return S_OK;
}

HRESULT ArgumentSlots(const DISPPARAMS& params, UINT count, UINT* slots, UINT* argErr) noexcept {
    const UINT positional = params.cArgs - params.cNamedArgs;
    for (UINT i = 0; i < positional; ++i) slots[i] = params.cArgs - 1 - i;
    for (UINT k = 0; k < params.cNamedArgs; ++k) {
        const DISPID name = params.rgdispidNamedArgs[k];
        bool taken = name < static_cast<DISPID>(positional);
        for (UINT j = 0; j < k && !taken; ++j) taken = params.rgdispidNamedArgs[j] == name;
        if (name < 0 || static_cast<UINT>(name) >= count || taken) {
            if (argErr) *argErr = k;
            return DISP_E_PARAMNOTFOUND;
        }
        slots[name] = k;
    }
    return S_OK;
}

HRESULT CoerceArgument(const VARIANT& arg, VARTYPE type, COleVariant& scratch, const VARIANT*& out) {
    if (type == VT_VARIANT) {
        out = arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal ? arg.pvarVal : &arg;
        return S_OK;
    }
    out = &arg;
    if (arg.vt == type) return S_OK;
    out = &scratch;
    HRESULT hr = VariantChangeType(&scratch, const_cast<VARIANT*>(&arg), 0, type);
    if (SUCCEEDED(hr) || hr == E_OUTOFMEMORY || hr == DISP_E_OVERFLOW) return hr;
    return DISP_E_TYPEMISMATCH;
}

HRESULT ExceptionToCaller(EXCEPINFO* info, LPCOLESTR source) noexcept {
    try {
        throw;
    } catch (const ComponentError& e) {
        const OleString& text = e.Description();
        return RaisedException(info, source, e.Code(),
                               SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    } catch (const std::bad_alloc& e) {
        return RaisedException(info, source, E_OUTOFMEMORY, AnsiToBstr(e.what()));
    } catch (const std::exception& e) {
        return RaisedException(info, source, E_UNEXPECTED, AnsiToBstr(e.what()));
    } catch (...) {
        return RaisedException(info, source, E_UNEXPECTED, SysAllocString(OLESTR("Unexpected error")));
    }
}
