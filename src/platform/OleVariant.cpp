#include "platform/OleVariant.h"

#include <climits>
#include <utility>

namespace {

// Some SDKs declare the copy and conversion sources without const although
// the functions never write to them.
VARIANTARG* Source(const VARIANT* v) noexcept { return const_cast<VARIANTARG*>(v); }

UINT LengthOf(const OLECHAR* text) noexcept {
    UINT length = 0;
    if (text)
        while (text[length]) ++length;
    return length;
}

void TakeValue(VARIANT& to, VARIANT& from) noexcept {
    to = from;
    VariantInit(&from);
}

}  // namespace

COleVariant::COleVariant() noexcept { VariantInit(this); }

COleVariant::COleVariant(const VARIANT& src) {
    VariantInit(this);
    CheckResult(VariantCopy(this, Source(&src)));
}

COleVariant::COleVariant(const COleVariant& src) : COleVariant(static_cast<const VARIANT&>(src)) {}

COleVariant::COleVariant(COleVariant&& src) noexcept {
    VariantInit(this);
    TakeValue(*this, src);
}

COleVariant::~COleVariant() { VariantClear(this); }

COleVariant::COleVariant(const OLECHAR* text) : COleVariant(text, LengthOf(text)) {}

COleVariant::COleVariant(const OLECHAR* text, UINT length) {
    VariantInit(this);
    // SysAllocStringLen(nullptr, n) would hand back n uninitialised characters.
    BSTR value = SysAllocStringLen(text ? text : OLESTR(""), text ? length : 0);
    if (!value) RaiseError(E_OUTOFMEMORY);
    vt = VT_BSTR;
    bstrVal = value;
}

COleVariant COleVariant::FromAnsi(const char* text, std::size_t length) {
    if (length > INT_MAX || (!text && length)) RaiseError(E_INVALIDARG);
    // A single-byte code page gives one character per byte, so the string is
    // allocated at its final length and converted in place.
    COleVariant result;
    BSTR value = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!value) RaiseError(E_OUTOFMEMORY);
    result.vt = VT_BSTR;
    result.bstrVal = value;
    if (length == 0) return result;

    const int count = static_cast<int>(length);
    const int written = MultiByteToWideChar(CP_ACP, 0, text, count, value, count);
    if (written <= 0) RaiseError(E_INVALIDARG);
    // Only a double-byte system code page yields fewer characters than bytes.
    if (written != count) result = COleVariant(value, static_cast<UINT>(written));
    return result;
}

COleVariant::COleVariant(LONG value, VARTYPE type) {
    VariantInit(this);
    if (type == VT_I4)
        lVal = value;
    else if (type == VT_ERROR)
        scode = value;
    else
        RaiseError(E_INVALIDARG);
    vt = type;
}

COleVariant::COleVariant(SHORT value, VARTYPE type) {
    VariantInit(this);
    if (type == VT_I2)
        iVal = value;
    else if (type == VT_BOOL)
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
        RaiseError(E_INVALIDARG);
    vt = type;
}

COleVariant::COleVariant(double value) {
    VariantInit(this);
    vt = VT_R8;
    dblVal = value;
}

COleVariant::COleVariant(IDispatch* value) {
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = value;
    if (value) value->AddRef();
}

// Copy first, then give up the old value: a failed copy leaves this intact.
COleVariant& COleVariant::operator=(const VARIANT& src) {
    COleVariant copy(src);
    return *this = std::move(copy);
}

COleVariant& COleVariant::operator=(const COleVariant& src) {
    return *this = static_cast<const VARIANT&>(src);
}

COleVariant& COleVariant::operator=(COleVariant&& src) noexcept {
    if (this != &src) Attach(src);
    return *this;
}

void COleVariant::Clear() noexcept {
    VariantClear(this);
    // Even a value the API refused to clear must not be cleared twice.
    VariantInit(this);
}

void COleVariant::Attach(VARIANT& src) noexcept {
    Clear();
    TakeValue(*this, src);
}

VARIANT COleVariant::Detach() noexcept {
    VARIANT out;
    VariantInit(&out);
    TakeValue(out, *this);
    return out;
}

void COleVariant::ChangeType(VARTYPE type, const VARIANT* src) {
    // Converting into a temporary keeps this variant as it was on failure,
    // whatever the API does with a destination it could not fill.
    COleVariant converted;
    CheckResult(VariantChangeType(&converted, Source(src ? src : this), 0, type));
    *this = std::move(converted);
}
