// COleSafeArray: a VARIANT that holds (and owns) a safe array, or nothing.
//
// Every converter is one of these: its grid. Dimensions are counted from 1
// as the API counts them; element indices are given dimension 1 first.
// Failures of the API (a bad index, no array, out of memory) are raised as
// ComponentError with the API's code.
#pragma once

#include "platform/Automation.h"
#include "platform/OleVariant.h"

// The array that v holds, by value or by reference (also inside a
// VT_BYREF|VT_VARIANT), when it has `dims` dimensions of `type` elements, as
// both the variant and the array itself declare; null for anything else.
// Looks without copying, so any value may be inspected.
SAFEARRAY* ArrayOfShape(const VARIANT& v, VARTYPE type, DWORD dims) noexcept;
// The number of elements along one dimension (from 1) of an array; 0 for a
// dimension it does not have.
LONG ExtentOf(SAFEARRAY* array, UINT dimension) noexcept;

class COleSafeArray : public tagVARIANT {
public:
    COleSafeArray() noexcept;  // VT_EMPTY, no array
    COleSafeArray(const COleSafeArray& src);  // deep copy
    COleSafeArray& operator=(const COleSafeArray& src);
    ~COleSafeArray();

    // Replaces any array held with a new one of vt elements, lower bounds 0,
    // elements[0] elements in dimension 1 and so on; every element empty.
    void Create(VARTYPE vt, DWORD dims, const DWORD* elements);
    // data, when given, is copied as bytes, so it may only hold elements that
    // own nothing (bytes, numbers); other types raise E_INVALIDARG.
    void CreateOneDim(VARTYPE vt, DWORD elements, const void* data = nullptr);
    // Create for arrays whose size comes from outside: an array that cannot
    // be made (too large, no memory) gives false and leaves what was held.
    [[nodiscard]] bool TryCreate(VARTYPE vt, DWORD dims, const DWORD* elements) noexcept;

    // Stores a copy of *value (a VARIANT for VT_VARIANT arrays).
    void PutElement(LONG* indices, const void* value);
    // Moves value into a VT_VARIANT array without copying it.
    void PutElement(LONG* indices, COleVariant&& value);
    // Copies the element into *value (treated as uninitialised).
    void GetElement(LONG* indices, void* value) const;

    void GetLBound(DWORD dim, LONG* bound) const;
    void GetUBound(DWORD dim, LONG* bound) const;
    // Elements in dimension dim: UBound - LBound + 1.
    LONG GetCount(DWORD dim) const;

    // Deep copy of a variant holding an array (raises E_INVALIDARG when src
    // holds none); the array held before is destroyed.
    COleSafeArray& operator=(const VARIANT& src);
    bool HasArray() const noexcept { return (vt & VT_ARRAY) != 0 && parray != nullptr; }
    // True when the held array has `dims` dimensions of `type` elements.
    bool HasShape(VARTYPE type, DWORD dims) const noexcept { return ArrayOfShape(*this, type, dims) != nullptr; }

    void AccessData(void** data);
    void UnaccessData();

    void Clear() noexcept;
    void Attach(VARIANT& src);
    [[nodiscard]] VARIANT Detach() noexcept;
};

static_assert(sizeof(COleSafeArray) == sizeof(VARIANT));

