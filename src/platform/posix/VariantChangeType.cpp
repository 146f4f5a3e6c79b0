// VariantChangeType among the scalar types, text and objects.
//
// The source is first copied through any reference; the result is built in a
// separate variant and only replaces the destination on success, so a failed
// conversion leaves the destination as it was, and source and destination
// may be the same variant.
//
// Currency, date, decimal and unsigned 64-bit values are not converted by
// this platform layer: such conversions answer E_NOTIMPL.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Automation.h"
#include "platform/posix/NumberParser.h"
#include "platform/posix/VariantRules.h"

namespace {

using platform::ParsedNumber;

struct IntegerType {
    VARTYPE vt;
    LONGLONG min;
    LONGLONG max;
    int bits;
};

constexpr IntegerType kIntegerTypes[] = {
    {VT_I1, INT8_MIN, INT8_MAX, 8},      {VT_UI1, 0, UINT8_MAX, 8},
    {VT_I2, INT16_MIN, INT16_MAX, 16},   {VT_UI2, 0, UINT16_MAX, 16},
    {VT_I4, INT32_MIN, INT32_MAX, 32},   {VT_INT, INT32_MIN, INT32_MAX, 32},
    {VT_UI4, 0, UINT32_MAX, 32},         {VT_UINT, 0, UINT32_MAX, 32},
    {VT_I8, INT64_MIN, INT64_MAX, 64},
};

const IntegerType* FindIntegerType(VARTYPE vt) {
    for (const IntegerType& type : kIntegerTypes)
        if (type.vt == vt) return &type;
    return nullptr;
}

bool IsUnsupported(VARTYPE vt) { return vt == VT_CY || vt == VT_DATE || vt == VT_DECIMAL || vt == VT_UI8; }

bool IsScalar(VARTYPE vt) {
    return FindIntegerType(vt) || vt == VT_BOOL || vt == VT_R4 || vt == VT_R8 || vt == VT_BSTR || IsUnsupported(vt);
}

LONGLONG ReadInteger(const VARIANT& v) {
    switch (v.vt) {
    case VT_I1: return static_cast<signed char>(v.cVal);
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: return v.lVal;
    case VT_UI4: return v.ulVal;
    case VT_INT: return v.intVal;
    case VT_UINT: return v.uintVal;
    default: return v.llVal;
    }
}

void WriteInteger(VARIANT& v, VARTYPE vt, LONGLONG value) {
    switch (vt) {
    case VT_I1: v.cVal = static_cast<char>(value); break;
    case VT_UI1: v.bVal = static_cast<BYTE>(value); break;
    case VT_I2: v.iVal = static_cast<SHORT>(value); break;
    case VT_UI2: v.uiVal = static_cast<USHORT>(value); break;
    case VT_I4: v.lVal = static_cast<LONG>(value); break;
    case VT_UI4: v.ulVal = static_cast<ULONG>(value); break;
    case VT_INT: v.intVal = static_cast<INT>(value); break;
    case VT_UINT: v.uintVal = static_cast<UINT>(value); break;
    default: v.llVal = value; break;
    }
}

// Keeps the low bits of value, read as the type reads them.
LONGLONG Truncate(LONGLONG value, const IntegerType& type) {
    if (type.bits == 64) return value;
    const std::uint64_t mask = (std::uint64_t{1} << type.bits) - 1;
    const std::uint64_t low = static_cast<std::uint64_t>(value) & mask;
    const std::uint64_t signBit = std::uint64_t{1} << (type.bits - 1);
    if (type.min < 0 && (low & signBit)) return static_cast<LONGLONG>(low) - static_cast<LONGLONG>(mask) - 1;
    return static_cast<LONGLONG>(low);
}

// A source value on its way to a numeric type.
struct Number {
    enum class Kind { Whole, Real, Radix } kind = Kind::Whole;
    LONGLONG whole = 0;
    double real = 0;
    ParsedNumber text;
    // A VT_BOOL: integer types keep its low bits rather than overflow
    // (VARIANT_TRUE becomes 255 as VT_UI1).
    bool wraps = false;
};

HRESULT ReadNumber(const VARIANT& in, Number* number) {
    if (in.vt == VT_EMPTY) return S_OK;
    if (in.vt == VT_BOOL) {
        number->whole = in.boolVal;
        number->wraps = true;
    } else if (FindIntegerType(in.vt)) {
        number->whole = ReadInteger(in);
    } else if (in.vt == VT_R4 || in.vt == VT_R8) {
        number->kind = Number::Kind::Real;
        number->real = in.vt == VT_R4 ? in.fltVal : in.dblVal;
    } else if (in.vt == VT_BSTR) {
        const HRESULT hr = platform::ParseNumber(in.bstrVal, SysStringLen(in.bstrVal), &number->text);
        if (FAILED(hr)) return hr;
        number->kind = number->text.radix ? Number::Kind::Radix : Number::Kind::Real;
        number->real = number->text.value;
    } else {
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT Fit(LONGLONG value, const IntegerType& type, LONGLONG* out) {
    if (value < type.min || value > type.max) return DISP_E_OVERFLOW;
    *out = value;
    return S_OK;
}

// Fractions round half to even (the default floating-point rounding mode).
HRESULT RoundToInteger(double value, const IntegerType& type, LONGLONG* out) {
    const double rounded = std::nearbyint(value);
    const double end = static_cast<double>(type.max) + 1.0;  // exact: a power of two
    if (!(rounded >= static_cast<double>(type.min) && rounded < end)) return DISP_E_OVERFLOW;
    *out = static_cast<LONGLONG>(rounded);
    return S_OK;
}

// Radix text that fits the target's width is its two's complement bit
// pattern: "&HFFFF" is -1 as VT_I2 but 65535 as VT_I4.
HRESULT RadixToInteger(const ParsedNumber& text, const IntegerType& type, LONGLONG* out) {
    const bool fitsWidth = type.bits == 64 || text.bits >> type.bits == 0;
    LONGLONG value = 0;
    if (fitsWidth) {
        value = Truncate(static_cast<LONGLONG>(text.bits), type);
    } else if (text.bits > static_cast<std::uint64_t>(INT64_MAX)) {
        return DISP_E_OVERFLOW;
    } else {
        value = static_cast<LONGLONG>(text.bits);
    }
    if (text.negative) {
        if (value == INT64_MIN) return DISP_E_OVERFLOW;
        value = -value;
    }
    return Fit(value, type, out);
}

HRESULT ToInteger(const Number& number, const IntegerType& type, LONGLONG* out) {
    switch (number.kind) {
    case Number::Kind::Real: return RoundToInteger(number.real, type, out);
    case Number::Kind::Radix: return RadixToInteger(number.text, type, out);
    default:
        if (number.wraps) {
            *out = Truncate(number.whole, type);
            return S_OK;
        }
        return Fit(number.whole, type, out);
    }
}

double ToDouble(const Number& number) {
    switch (number.kind) {
    case Number::Kind::Real: return number.real;
    case Number::Kind::Whole: return static_cast<double>(number.whole);
    default: {
        // Radix text read as a number of its own is a 32-bit integer when it fits.
        const std::uint64_t bits = number.text.bits;
        const double value = bits >> 32 == 0 ? static_cast<std::int32_t>(bits) : static_cast<double>(bits);
        return number.text.negative ? -value : value;
    }
    }
}

bool EqualsIgnoringCase(BSTR text, const char* word) {
    const UINT length = SysStringLen(text);
    UINT i = 0;
    for (; i < length && word[i]; ++i) {
        const OLECHAR c = text[i] >= 'A' && text[i] <= 'Z' ? OLECHAR(text[i] + ('a' - 'A')) : text[i];
        if (c != OLECHAR(word[i])) return false;
    }
    return i == length && !word[i];
}

bool Equals(BSTR text, const char16_t* word) { return text && std::u16string_view(text, SysStringLen(text)) == word; }

HRESULT ToBool(const VARIANT& in, VARIANT_BOOL* out) {
    // The words are English whatever the locale; the #...# forms are exact.
    if (in.vt == VT_BSTR) {
        if (EqualsIgnoringCase(in.bstrVal, "true") || Equals(in.bstrVal, u"#TRUE#")) {
            *out = VARIANT_TRUE;
            return S_OK;
        }
        if (EqualsIgnoringCase(in.bstrVal, "false") || Equals(in.bstrVal, u"#FALSE#")) {
            *out = VARIANT_FALSE;
            return S_OK;
        }
    }
    Number number;
    const HRESULT hr = ReadNumber(in, &number);
    if (SUCCEEDED(hr)) *out = ToDouble(number) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return hr;
}

HRESULT ToReal(const VARIANT& in, VARTYPE vt, VARIANT& out) {
    Number number;
    const HRESULT hr = ReadNumber(in, &number);
    if (FAILED(hr)) return hr;
    const double value = ToDouble(number);
    if (vt == VT_R8) {
        out.dblVal = value;
    } else if (std::isfinite(value) && std::fabs(value) > FLT_MAX) {
        return DISP_E_OVERFLOW;
    } else {
        out.fltVal = static_cast<FLOAT>(value);
    }
    return S_OK;
}

// Like %.15G (%.7G for VT_R4), with the exponent as the platform writes it
// ("1E+20", "1E-05"). Negative zero reads as "0".
std::string FormatReal(double value, int digits) {
    if (value == 0) return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%.*G", digits, value);
    return text;
}

HRESULT TextOf(const VARIANT& in, USHORT flags, std::string* text) {
    if (in.vt == VT_EMPTY) {
        text->clear();
    } else if (in.vt == VT_BOOL && (flags & VARIANT_ALPHABOOL)) {
        *text = in.boolVal ? "True" : "False";
    } else if (in.vt == VT_BOOL) {
        *text = std::to_string(in.boolVal);  // the raw value: "-1" for true
    } else if (FindIntegerType(in.vt)) {
        *text = std::to_string(ReadInteger(in));
    } else if (in.vt == VT_R4 || in.vt == VT_R8) {
        *text = in.vt == VT_R4 ? FormatReal(in.fltVal, 7) : FormatReal(in.dblVal, 15);
    } else {
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT ToText(const VARIANT& in, USHORT flags, BSTR* out) {
    std::string text;
    const HRESULT hr = TextOf(in, flags, &text);
    if (FAILED(hr)) return hr;
    *out = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
    if (!*out) return E_OUTOFMEMORY;
    for (std::size_t i = 0; i < text.size(); ++i) (*out)[i] = static_cast<unsigned char>(text[i]);
    return S_OK;
}

HRESULT ToScalar(const VARIANT& in, USHORT flags, VARTYPE vt, VARIANT& out) {
    if (vt == VT_BSTR) return ToText(in, flags, &out.bstrVal);
    if (vt == VT_BOOL) return ToBool(in, &out.boolVal);
    if (vt == VT_R4 || vt == VT_R8) return ToReal(in, vt, out);
    const IntegerType& type = *FindIntegerType(vt);
    Number number;
    LONGLONG value = 0;
    HRESULT hr = ReadNumber(in, &number);
    if (SUCCEEDED(hr)) hr = ToInteger(number, type, &value);
    if (SUCCEEDED(hr)) WriteInteger(out, vt, value);
    return hr;
}

// An object converts through its default value: the property get of
// DISPID_VALUE, with no arguments. A default value that is itself an object
// (directly or through a reference) has no such form: following it could go
// on for ever, as an object may answer itself.
HRESULT FromDefaultValue(IDispatch* object, USHORT flags, VARTYPE vt, VARIANT& out) {
    if (!object) return DISP_E_BADVARTYPE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                nullptr, nullptr);
    const VARIANT& seen = value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal ? *value.pvarVal : value;
    const VARTYPE type = seen.vt & VT_TYPEMASK;
    if (FAILED(hr) || type == VT_DISPATCH || type == VT_UNKNOWN) {
        hr = DISP_E_TYPEMISMATCH;
    } else {
        hr = VariantChangeType(&out, &value, flags, vt);
    }
    VariantClear(&value);
    return hr;
}

HRESULT ToInterface(const VARIANT& in, VARTYPE vt, VARIANT& out) {
    const VARTYPE from = vt == VT_DISPATCH ? VT_UNKNOWN : VT_DISPATCH;
    if (in.vt != from) return DISP_E_TYPEMISMATCH;
    out.punkVal = nullptr;
    if (!in.punkVal) return S_OK;
    return in.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                      reinterpret_cast<void**>(&out.punkVal));
}

// Every scalar and object type empties into VT_EMPTY or VT_NULL, except
// VT_ERROR, and VT_NULL into VT_EMPTY.
HRESULT ToNothing(const VARIANT& in, VARTYPE vt) {
    const bool convertible = in.vt <= VT_UINT && in.vt != platform::kVtGap && in.vt != VT_ERROR;
    return convertible && !(vt == VT_EMPTY && in.vt == VT_NULL) ? S_OK : DISP_E_TYPEMISMATCH;
}

// A byte array is a string's raw UTF-16 bytes, in either direction.
HRESULT ConvertArray(const VARIANT& in, VARTYPE vt, VARIANT& out) {
    if (in.vt == vt) return SafeArrayCopy(in.parray, &out.parray);
    if (vt == VT_BSTR && in.vt == (VT_ARRAY | VT_UI1)) {
        if (!in.parray) return E_INVALIDARG;
        if (SafeArrayGetDim(in.parray) != 1) return DISP_E_TYPEMISMATCH;
        const ULONG bytes = in.parray->rgsabound[0].cElements;
        out.bstrVal = SysAllocStringByteLen(static_cast<LPCSTR>(in.parray->pvData), bytes);
        return out.bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    if (vt == (VT_ARRAY | VT_UI1) && in.vt == VT_BSTR) {
        const UINT bytes = SysStringByteLen(in.bstrVal);
        out.parray = SafeArrayCreateVector(VT_UI1, 0, bytes);
        if (!out.parray) return E_OUTOFMEMORY;
        if (bytes) std::copy_n(reinterpret_cast<const BYTE*>(in.bstrVal), bytes, static_cast<BYTE*>(out.parray->pvData));
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

// Converts a value that is not a reference into out, which is empty.
HRESULT Convert(const VARIANT& in, USHORT flags, VARTYPE vt, VARIANT& out) {
    if ((in.vt | vt) & VT_ARRAY) return ConvertArray(in, vt, out);
    if (in.vt == vt) return VariantCopy(&out, &in);
    if ((flags & VARIANT_NOVALUEPROP) && in.vt == VT_DISPATCH && vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    if (vt == VT_EMPTY || vt == VT_NULL) return ToNothing(in, vt);
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) return ToInterface(in, vt, out);
    if (!IsScalar(vt)) return DISP_E_TYPEMISMATCH;
    if (in.vt == VT_DISPATCH) return FromDefaultValue(in.pdispVal, flags, vt, out);
    if (in.vt != VT_EMPTY && !IsScalar(in.vt)) return DISP_E_TYPEMISMATCH;
    if (IsUnsupported(vt) || IsUnsupported(in.vt)) return E_NOTIMPL;
    return ToScalar(in, flags, vt, out);
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
    if (!pvargDest || !pvarSrc) return E_INVALIDARG;
    HRESULT hr = platform::ValidateVartype(pvarSrc->vt);
    if (SUCCEEDED(hr)) hr = platform::ValidateVartype(vt);
    if (FAILED(hr)) return hr;
    if ((pvarSrc->vt & VT_BYREF) && !pvarSrc->byref) return DISP_E_TYPEMISMATCH;

    VARIANT source;
    VariantInit(&source);
    hr = VariantCopyInd(&source, pvarSrc);
    if (FAILED(hr)) return hr;
    VARIANT result;
    VariantInit(&result);
    hr = Convert(source, wFlags, vt, result);
    VariantClear(&source);
    if (FAILED(hr)) return hr;  // a failed converter leaves nothing to free
    // The converters fill the value; the type is the one asked for.
    result.vt = vt;
    hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *pvargDest = result;
    return S_OK;
}
