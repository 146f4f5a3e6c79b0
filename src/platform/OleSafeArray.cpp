#include "platform/OleSafeArray.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

VARIANTARG* Source(const VARIANT* v) noexcept { return const_cast<VARIANTARG*>(v); }

// Null when no array is held: the API answers a null array with E_INVALIDARG,
// and the union must not be read as an array pointer when it holds none.
SAFEARRAY* ArrayOf(const COleSafeArray& a) noexcept { return a.HasArray() ? a.parray : nullptr; }

bool OwnsElements(VARTYPE type) noexcept {
    return type == VT_BSTR || type == VT_VARIANT || type == VT_DISPATCH || type == VT_UNKNOWN;
}

// The most bytes an array may span. The runtime describes an array's
// elements and their size in 32 bits and multiplies them in 32 bits too, so
// a larger request would wrap to a small block that the fill then overruns;
// on a 32-bit host it is beyond the address space anyway.
constexpr std::uint64_t kMaxArrayBytes = 0xFFFFFFFF;

// Bytes per element, at most: exact for the types of one to four bytes,
// the size of a VARIANT (the widest element) for every other type.
std::uint64_t ElementBytes(VARTYPE type) noexcept {
    switch (type) {
        case VT_I1: case VT_UI1: return 1;
        case VT_I2: case VT_UI2: case VT_BOOL: return 2;
        case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
        default: return sizeof(VARIANT);
    }
}

constexpr std::uint64_t kTooLarge = UINT64_MAX;

// The bytes the array's elements take, or kTooLarge beyond kMaxArrayBytes.
std::uint64_t ArrayBytes(VARTYPE type, DWORD dims, const DWORD* elements) noexcept {
    for (DWORD i = 0; i < dims; ++i)
        if (elements[i] == 0) return 0;
    std::uint64_t bytes = ElementBytes(type);
    for (DWORD i = 0; i < dims; ++i) {
        if (bytes > kMaxArrayBytes / elements[i]) return kTooLarge;
        bytes *= elements[i];
    }
    return bytes;
}

// What the host is told when a grid cannot be had: its shape and its size.
[[noreturn]] void RaiseTooLarge(DWORD dims, const DWORD* elements, std::uint64_t bytes) {
    std::string text = "Out of memory: no room for a grid of ";
    for (DWORD i = 0; i < dims; ++i) text += (i ? " x " : "") + std::to_string(elements[i]);
    text += bytes == kTooLarge
                ? " elements, more than an array can hold (" + std::to_string(kMaxArrayBytes) + " bytes)"
                : " elements (" + std::to_string(bytes) + " bytes)";
    RaiseError(E_OUTOFMEMORY, {}, OleString(text.begin(), text.end()));
}

// SafeArrayPtrOfIndex is only meaningful while the array is locked.
class ArrayLock {
public:
    explicit ArrayLock(SAFEARRAY* array) : array_(array) { CheckResult(SafeArrayLock(array_)); }
    ~ArrayLock() { SafeArrayUnlock(array_); }
    ArrayLock(const ArrayLock&) = delete;
    ArrayLock& operator=(const ArrayLock&) = delete;

private:
    SAFEARRAY* array_;
};

}  // namespace

LONG ExtentOf(SAFEARRAY* array, UINT dimension) noexcept {
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, dimension, &lower)) || FAILED(SafeArrayGetUBound(array, dimension, &upper)))
        return 0;
    return upper - lower + 1;
}

SAFEARRAY* ArrayOfShape(const VARIANT& v, VARTYPE type, DWORD dims) noexcept {
    const VARIANT* from = &v;
    if (from->vt == (VT_BYREF | VT_VARIANT)) {
        if (!from->pvarVal) return nullptr;
        from = from->pvarVal;
    }
    SAFEARRAY* array = nullptr;
    if (from->vt == (VT_ARRAY | type))
        array = from->parray;
    else if (from->vt == (VT_ARRAY | VT_BYREF | type) && from->pparray)
        array = *from->pparray;
    if (!array || SafeArrayGetDim(array) != dims) return nullptr;
    VARTYPE declared = VT_EMPTY;
    if (SUCCEEDED(SafeArrayGetVartype(array, &declared)) && declared != type) return nullptr;
    // Elements of another size than the type's would be read past their end.
    const UINT size = type == VT_VARIANT ? sizeof(VARIANT) : type == VT_UI1 ? 1u : 0u;
    return size == 0 || SafeArrayGetElemsize(array) == size ? array : nullptr;
}

COleSafeArray::COleSafeArray() noexcept { VariantInit(this); }

COleSafeArray::COleSafeArray(const COleSafeArray& src) {
    VariantInit(this);
    CheckResult(VariantCopy(this, Source(&src)));
}

COleSafeArray& COleSafeArray::operator=(const COleSafeArray& src) {
    if (this == &src) return *this;
    VARIANT copy;
    VariantInit(&copy);
    CheckResult(VariantCopy(&copy, Source(&src)));
    Clear();
    static_cast<VARIANT&>(*this) = copy;
    return *this;
}

COleSafeArray::~COleSafeArray() { VariantClear(this); }

void COleSafeArray::Create(VARTYPE type, DWORD dims, const DWORD* elements) {
    if (dims == 0 || !elements) RaiseError(E_INVALIDARG);
    const std::uint64_t bytes = ArrayBytes(type, dims, elements);
    if (bytes == kTooLarge) RaiseTooLarge(dims, elements, bytes);
    std::vector<SAFEARRAYBOUND> bounds(dims);
    for (DWORD i = 0; i < dims; ++i) bounds[i] = {static_cast<ULONG>(elements[i]), 0};
    SAFEARRAY* array = SafeArrayCreate(type, dims, bounds.data());
    if (!array) RaiseTooLarge(dims, elements, bytes);
    Clear();
    vt = static_cast<VARTYPE>(VT_ARRAY | type);
    parray = array;
}

bool COleSafeArray::TryCreate(VARTYPE type, DWORD dims, const DWORD* elements) noexcept {
    SAFEARRAYBOUND bounds[2];
    if (dims == 0 || dims > std::size(bounds) || !elements) return false;
    if (ArrayBytes(type, dims, elements) == kTooLarge) return false;
    for (DWORD i = 0; i < dims; ++i) bounds[i] = {static_cast<ULONG>(elements[i]), 0};
    SAFEARRAY* array = SafeArrayCreate(type, dims, bounds);
    if (!array) return false;
    Clear();
    vt = static_cast<VARTYPE>(VT_ARRAY | type);
    parray = array;
    return true;
}

void COleSafeArray::CreateOneDim(VARTYPE type, DWORD elements, const void* data) {
    // Initial data is copied as bytes, which would share strings or
    // interfaces; such elements are stored one by one with PutElement.
    if (data && OwnsElements(type)) RaiseError(E_INVALIDARG);
    Create(type, 1, &elements);
    if (!data || elements == 0) return;
    void* target = nullptr;
    AccessData(&target);
    std::memcpy(target, data, static_cast<std::size_t>(elements) * SafeArrayGetElemsize(parray));
    UnaccessData();
}

void COleSafeArray::PutElement(LONG* indices, const void* value) {
    CheckResult(SafeArrayPutElement(ArrayOf(*this), indices, const_cast<void*>(value)));
}

void COleSafeArray::PutElement(LONG* indices, COleVariant&& value) {
    if (vt != (VT_ARRAY | VT_VARIANT) || !ArrayOf(*this) || !indices) RaiseError(E_INVALIDARG);
    ArrayLock lock(parray);
    void* slot = nullptr;
    CheckResult(SafeArrayPtrOfIndex(parray, indices, &slot));
    auto* element = static_cast<VARIANT*>(slot);
    CheckResult(VariantClear(element));
    *element = value.Detach();
}

void COleSafeArray::GetElement(LONG* indices, void* value) const {
    CheckResult(SafeArrayGetElement(ArrayOf(*this), indices, value));
}

void COleSafeArray::GetLBound(DWORD dim, LONG* bound) const {
    CheckResult(SafeArrayGetLBound(ArrayOf(*this), dim, bound));
}

void COleSafeArray::GetUBound(DWORD dim, LONG* bound) const {
    CheckResult(SafeArrayGetUBound(ArrayOf(*this), dim, bound));
}

LONG COleSafeArray::GetCount(DWORD dim) const {
    LONG lower = 0;
    LONG upper = 0;
    GetLBound(dim, &lower);
    GetUBound(dim, &upper);
    return upper - lower + 1;
}

COleSafeArray& COleSafeArray::operator=(const VARIANT& src) {
    // Script clients hand arrays over by reference, also wrapped in a variant.
    const VARIANT* from = &src;
    if (from->vt == (VT_BYREF | VT_VARIANT) && from->pvarVal) from = from->pvarVal;
    if (!(from->vt & VT_ARRAY)) RaiseError(E_INVALIDARG);
    SAFEARRAY* array = (from->vt & VT_BYREF) ? (from->pparray ? *from->pparray : nullptr) : from->parray;
    if (!array) RaiseError(E_INVALIDARG);
    SAFEARRAY* copy = nullptr;
    CheckResult(SafeArrayCopy(array, &copy));
    Clear();
    vt = static_cast<VARTYPE>(from->vt & ~VT_BYREF);
    parray = copy;
    return *this;
}

void COleSafeArray::AccessData(void** data) {
    CheckResult(SafeArrayAccessData(ArrayOf(*this), data));
}

void COleSafeArray::UnaccessData() { CheckResult(SafeArrayUnaccessData(ArrayOf(*this))); }

void COleSafeArray::Clear() noexcept {
    VariantClear(this);
    VariantInit(this);
}

void COleSafeArray::Attach(VARIANT& src) {
    if ((src.vt & (VT_ARRAY | VT_BYREF)) != VT_ARRAY) RaiseError(E_INVALIDARG);
    Clear();
    static_cast<VARIANT&>(*this) = src;
    VariantInit(&src);
}

VARIANT COleSafeArray::Detach() noexcept {
    VARIANT out = *this;
    VariantInit(this);
    return out;
}
