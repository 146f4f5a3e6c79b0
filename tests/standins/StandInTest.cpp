#include "StandInTest.h"

Outcome CallRaw(IDispatch* target, DISPID member, WORD flags, const std::vector<COleVariant>& values,
                bool withExcepInfo) {
    std::vector<VARIANT> args(values.rbegin(), values.rend());  // shallow: values keep ownership
    DISPID putId = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{args.data(), put ? &putId : nullptr, static_cast<UINT>(args.size()), put ? 1u : 0u};
    EXCEPINFO exception{};
    Outcome outcome{};
    outcome.hr = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &outcome.result,
                                withExcepInfo ? &exception : nullptr, &outcome.argErr);
    outcome.scode = exception.scode;
    if (exception.bstrDescription)
        outcome.description = OleString(exception.bstrDescription, SysStringLen(exception.bstrDescription));
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return outcome;
}

COleVariant ByRef(VARTYPE vt, void* target) {
    VARIANT ref{};
    ref.vt = vt | VT_BYREF;
    ref.byref = target;
    COleVariant owner;
    owner.Attach(ref);
    return owner;
}

std::string Show(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY: return "EMPTY";
        case VT_I4: return "I4 " + std::to_string(value.lVal);
        case VT_BOOL: return "BOOL " + std::to_string(value.boolVal);
        case VT_R8: return "R8 " + std::to_string(value.dblVal);
        case VT_BSTR: {
            std::string text = "BSTR ";
            for (UINT i = 0; i < SysStringLen(value.bstrVal); ++i)
                text += value.bstrVal[i] < 0x80 ? static_cast<char>(value.bstrVal[i]) : '?';
            return text;
        }
        default: return "VT " + std::to_string(value.vt);
    }
}
