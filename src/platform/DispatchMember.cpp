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

MemberSignature MemberSignature::Of(const char* name, DISPID id, VARTYPE type,
                                    std::initializer_list<MemberParam> params) noexcept {
    MemberSignature made{name, id, type, static_cast<UINT>(params.size()), {}, {}};
    UINT i = 0;
    for (const MemberParam& param : params)
        if (i < kMaxMemberParams) {
            made.paramNames[i] = param.name;
            made.params[i++] = param.type;
        }
    return made;
}

HRESULT CheckDispParams(const DISPPARAMS* params) noexcept {
    if (!params || (params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs) ||
        params->cNamedArgs > params->cArgs)
        return E_INVALIDARG;
    return S_OK;
}

WORD MemberCallKind(WORD flags, bool isMethod, bool readable, bool writable) {
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    // Script clients read results with a get combined with a method call.
    if (isMethod) return !put && (flags & DISPATCH_METHOD) ? DISPATCH_METHOD : 0;
    if (put) {
        if (!writable) RaiseError(CTL_E_SETNOTSUPPORTED, {}, OLESTR("Property is read-only"));
        return DISPATCH_PROPERTYPUT;
    }
    if (!(flags & DISPATCH_PROPERTYGET)) return 0;
    if (!readable) RaiseError(CTL_E_GETNOTSUPPORTED, {}, OLESTR("Property is write-only"));
    return DISPATCH_PROPERTYGET;
}

namespace {

// Where each of `count` parameters sits in rgvarg: the positional arguments
// come last and in reverse (the first parameter at rgvarg[cArgs - 1]); a
// named argument's DISPID is its parameter's position. A name that is no
// parameter, or one already given, is DISP_E_PARAMNOTFOUND with argErr at
// that argument. Expects cArgs == count.
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

}  // namespace

HRESULT MemberCall::Convert(const MemberSignature& member, UINT* argErr) {
    if (member.paramCount > kMaxMemberParams) RaiseError(E_UNEXPECTED);
    const bool put = kind_ == DISPATCH_PROPERTYPUT;
    // A put's value is the one named argument, DISPID_PROPERTYPUT, at
    // rgvarg[0], after the property's indices.
    count_ = member.paramCount + (put ? 1 : 0);
    if (params_.cArgs != count_) return DISP_E_BADPARAMCOUNT;
    if (put) {
        if (params_.cNamedArgs != 1 || params_.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
        for (UINT i = 0; i < member.paramCount; ++i) slots_[i] = params_.cArgs - 1 - i;
        slots_[member.paramCount] = 0;
    } else if (const HRESULT hr = ArgumentSlots(params_, count_, slots_, argErr); FAILED(hr)) {
        return hr;
    }
    for (UINT i = 0; i < count_; ++i) {
        const VARTYPE type = i < member.paramCount ? member.params[i] : member.type;
        const VARIANT* value = nullptr;
        if (const HRESULT hr = CoerceArgument(params_.rgvarg[slots_[i]], type, scratch_[i], value); FAILED(hr)) {
            if (argErr) *argErr = slots_[i];
            return hr;
        }
        args_[i] = *value;
    }
    return S_OK;
}

HRESULT MemberCall::Finish(const MemberSignature& member, VARIANT* result) {
    if (kind_ == DISPATCH_PROPERTYPUT || member.type == VT_EMPTY) return S_OK;
    // A VT_BOOL member returns its VARIANT_BOOL as a SHORT, which gives VT_I2.
    if (member.type != VT_VARIANT && result_.vt != member.type) result_.ChangeType(member.type);
    if (result) *result = result_.Detach();
    return S_OK;
}

HRESULT CoerceArgument(const VARIANT& arg, VARTYPE type, COleVariant& scratch, const VARIANT*& out) {
    out = &arg;
    if ((arg.vt & VT_BYREF) && !arg.byref) return DISP_E_TYPEMISMATCH;
    if (type == VT_VARIANT) {
        if (arg.vt == (VT_BYREF | VT_VARIANT)) out = arg.pvarVal;
        return S_OK;
    }
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
