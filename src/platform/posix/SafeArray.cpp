// SAFEARRAY: a descriptor with the bounds, and a separate block of elements.
//
// As on Windows, 16 hidden bytes precede the descriptor: the element type of
// most arrays (in the last four), or the interface identifier of interface
// arrays. The bounds are stored last dimension first; dimension 1, which the
// caller names first, varies fastest in memory.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

#include "platform/Automation.h"
#include "platform/posix/LiveCounts.h"
#include "platform/posix/VariantRules.h"

namespace {

std::atomic<long> liveArrays{0};

constexpr std::size_t kHiddenBytes = sizeof(GUID);
constexpr ULONG kMaxLocks = 0xFFFF;
// Flags that describe how the caller placed a descriptor; a copy is always
// our own allocation, so they do not carry over.
constexpr USHORT kPlacementFlags = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED | FADF_FIXEDSIZE;
// Refusing larger arrays keeps every byte count well inside size_t.
constexpr std::uint64_t kMaxDataBytes = 0x7FFFFFFF;

std::size_t DescriptorBytes(UINT dims) {
    return kHiddenBytes + sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
}
char* BlockOf(SAFEARRAY* psa) { return reinterpret_cast<char*>(psa) - kHiddenBytes; }

USHORT FeaturesFor(VARTYPE vt) {
    switch (vt) {
    case VT_BSTR: return FADF_HAVEVARTYPE | FADF_BSTR;
    case VT_VARIANT: return FADF_HAVEVARTYPE | FADF_VARIANT;
    case VT_DISPATCH: return FADF_HAVEIID | FADF_DISPATCH;
    case VT_UNKNOWN: return FADF_HAVEIID | FADF_UNKNOWN;
    default: return FADF_HAVEVARTYPE;
    }
}

void WriteHidden(SAFEARRAY* psa, VARTYPE vt) {
    if (psa->fFeatures & FADF_HAVEIID) {
        const IID& iid = vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
        std::memcpy(BlockOf(psa), &iid, sizeof iid);
    } else {
        const DWORD stored = vt;
        std::memcpy(reinterpret_cast<char*>(psa) - sizeof stored, &stored, sizeof stored);
    }
}

SAFEARRAY* AllocateDescriptor(UINT dims) {
    char* block = static_cast<char*>(std::calloc(DescriptorBytes(dims), 1));
    if (!block) return nullptr;
    ++liveArrays;
    auto* psa = reinterpret_cast<SAFEARRAY*>(block + kHiddenBytes);
    psa->cDims = static_cast<USHORT>(dims);
    return psa;
}

void FreeDescriptor(SAFEARRAY* psa) {
    std::free(BlockOf(psa));
    --liveArrays;
}

std::uint64_t ElementCount(const SAFEARRAY* psa) {
    // A dimension with no elements empties the array whatever the others
    // say; only then is checking after every factor, which keeps the product
    // far from wrapping, free to stop early.
    for (UINT i = 0; i < psa->cDims; ++i)
        if (psa->rgsabound[i].cElements == 0) return 0;
    const std::uint64_t limit = kMaxDataBytes / (psa->cbElements ? psa->cbElements : 1);
    std::uint64_t count = 1;
    for (UINT i = 0; i < psa->cDims; ++i) {
        count *= psa->rgsabound[i].cElements;
        if (count > limit) return UINT64_MAX;
    }
    return count;
}

// A large block comes fresh from the kernel, its pages not yet mapped, and
// each page's first touch is a fault in which the kernel zeroes it. In 4 KiB
// pages that fault, not the copy, was most of a large fill's time (a 64 MiB
// blob, a grid of a million rows); an array of variants even faulted twice
// per page, as a put reads the element it replaces before writing it. The
// block's whole 2 MiB spans are therefore offered huge pages: one fault per
// 2 MiB. Where the kernel has none to give, pages fault in as before.
void AdviseHugePages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto block = reinterpret_cast<std::uintptr_t>(data);
    const auto first = (block + kHugePage - 1) & ~(kHugePage - 1);
    const auto last = (block + bytes) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

HRESULT AllocateData(SAFEARRAY* psa) {
    const std::uint64_t count = ElementCount(psa);
    if (count == UINT64_MAX) return E_OUTOFMEMORY;
    // An empty array still gets a block, so AccessData hands out a pointer.
    const std::size_t bytes = count * psa->cbElements;
    psa->pvData = std::calloc(bytes ? bytes : 1, 1);
    if (!psa->pvData) return E_OUTOFMEMORY;
    AdviseHugePages(psa->pvData, bytes);
    return S_OK;
}

template <class T>
T* Elements(const SAFEARRAY* psa) {
    return static_cast<T*>(psa->pvData);
}

void ClearElements(SAFEARRAY* psa) {
    const std::uint64_t count = ElementCount(psa);
    for (std::uint64_t i = 0; i < count; ++i) {
        if (psa->fFeatures & FADF_VARIANT) {
            VariantClear(&Elements<VARIANT>(psa)[i]);
        } else if (psa->fFeatures & FADF_BSTR) {
            SysFreeString(Elements<BSTR>(psa)[i]);
        } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
            if (IUnknown* unknown = Elements<IUnknown*>(psa)[i]) unknown->Release();
        } else {
            return;  // plain values own nothing
        }
    }
}

BSTR CopyString(BSTR text) {
    return SysAllocStringByteLen(reinterpret_cast<LPCSTR>(text), SysStringByteLen(text));
}

HRESULT CopyElements(const SAFEARRAY* from, SAFEARRAY* to) {
    const std::uint64_t count = ElementCount(from);
    if (!(from->fFeatures & (FADF_VARIANT | FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH))) {
        std::memcpy(to->pvData, from->pvData, count * from->cbElements);
        return S_OK;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        if (from->fFeatures & FADF_VARIANT) {
            const HRESULT hr = VariantCopy(&Elements<VARIANT>(to)[i], &Elements<VARIANT>(from)[i]);
            if (FAILED(hr)) return hr;
        } else if (from->fFeatures & FADF_BSTR) {
            BSTR text = Elements<BSTR>(from)[i];
            if (!text) continue;  // a NULL string stays NULL
            Elements<BSTR>(to)[i] = CopyString(text);
            if (!Elements<BSTR>(to)[i]) return E_OUTOFMEMORY;
        } else {
            IUnknown* unknown = Elements<IUnknown*>(from)[i];
            if (unknown) unknown->AddRef();
            Elements<IUnknown*>(to)[i] = unknown;
        }
    }
    return S_OK;
}

// Frees an array and what its elements own. The data block may be missing
// or only partly filled, as when building one fails half way.
void Discard(SAFEARRAY* psa) {
    if (psa->pvData) ClearElements(psa);
    std::free(psa->pvData);
    FreeDescriptor(psa);
}

// Element types an array may hold: the base types with storage of their own;
// 0 for the rest.
ULONG ElementSize(VARTYPE vt) {
    if (vt & ~VT_TYPEMASK) return 0;
    return static_cast<ULONG>(platform::ValueSize(vt));
}

}  // namespace

namespace platform {
long LiveArrayCount() noexcept { return liveArrays.load(); }
}  // namespace platform

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
    const ULONG size = ElementSize(vt);
    if (!rgsabound || cDims == 0 || cDims > 0xFFFF || size == 0) return nullptr;
    SAFEARRAY* psa = AllocateDescriptor(cDims);
    if (!psa) return nullptr;
    psa->fFeatures = FeaturesFor(vt);
    psa->cbElements = size;
    WriteHidden(psa, vt);
    for (UINT i = 0; i < cDims; ++i) psa->rgsabound[cDims - 1 - i] = rgsabound[i];
    if (FAILED(AllocateData(psa))) {
        Discard(psa);
        return nullptr;
    }
    return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    SAFEARRAYBOUND bound{cElements, lLbound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    if (psa->cLocks) return DISP_E_ARRAYISLOCKED;
    Discard(psa);
    return S_OK;
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData) {
    if (!psa || !rgIndices || !ppvData) return E_INVALIDARG;
    std::uint64_t cell = 0;
    std::uint64_t stride = 1;
    for (UINT dim = 0; dim < psa->cDims; ++dim) {
        const SAFEARRAYBOUND& bound = psa->rgsabound[psa->cDims - 1 - dim];
        const std::int64_t offset = std::int64_t{rgIndices[dim]} - bound.lLbound;
        if (offset < 0 || offset >= std::int64_t{bound.cElements}) return DISP_E_BADINDEX;
        cell += static_cast<std::uint64_t>(offset) * stride;
        stride *= bound.cElements;
    }
    *ppvData = static_cast<char*>(psa->pvData) + cell * psa->cbElements;
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    void* slot = nullptr;
    const HRESULT found = SafeArrayPtrOfIndex(psa, rgIndices, &slot);
    if (FAILED(found)) return found;
    if (psa->fFeatures & FADF_VARIANT) {
        if (!pv) return E_INVALIDARG;
        return VariantCopy(static_cast<VARIANT*>(slot), static_cast<VARIANT*>(pv));
    }
    if (psa->fFeatures & FADF_BSTR) {
        // pv is the string itself; a null one is stored as an empty string.
        BSTR copy = CopyString(static_cast<BSTR>(pv));
        if (!copy) return E_OUTOFMEMORY;
        SysFreeString(*static_cast<BSTR*>(slot));
        *static_cast<BSTR*>(slot) = copy;
        return S_OK;
    }
    if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        // pv is the interface pointer itself.
        auto* unknown = static_cast<IUnknown*>(pv);
        if (unknown) unknown->AddRef();
        IUnknown*& stored = *static_cast<IUnknown**>(slot);
        if (stored) stored->Release();
        stored = unknown;
        return S_OK;
    }
    if (!pv) return E_INVALIDARG;
    std::memcpy(slot, pv, psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (!pv) return E_INVALIDARG;
    void* slot = nullptr;
    const HRESULT found = SafeArrayPtrOfIndex(psa, rgIndices, &slot);
    if (FAILED(found)) return found;
    if (psa->fFeatures & FADF_VARIANT) {
        // Whatever the destination held is not ours to free.
        auto* dest = static_cast<VARIANT*>(pv);
        dest->vt = VT_EMPTY;
        return VariantCopy(dest, static_cast<VARIANT*>(slot));
    }
    if (psa->fFeatures & FADF_BSTR) {
        BSTR text = *static_cast<BSTR*>(slot);
        BSTR& dest = *static_cast<BSTR*>(pv);
        dest = text ? CopyString(text) : nullptr;
        return !text || dest ? S_OK : E_OUTOFMEMORY;
    }
    if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        IUnknown* unknown = *static_cast<IUnknown**>(slot);
        if (unknown) unknown->AddRef();
        *static_cast<IUnknown**>(pv) = unknown;
        return S_OK;
    }
    std::memcpy(pv, slot, psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || !plLbound) return E_INVALIDARG;
    if (nDim == 0 || nDim > psa->cDims) return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || !plUbound) return E_INVALIDARG;
    if (nDim == 0 || nDim > psa->cDims) return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& bound = psa->rgsabound[psa->cDims - nDim];
    // An empty dimension ends just before it starts.
    *plUbound = static_cast<LONG>(std::int64_t{bound.lLbound} + bound.cElements - 1);
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt) return E_INVALIDARG;
    if (psa->fFeatures & FADF_HAVEIID) {
        *pvt = (psa->fFeatures & FADF_DISPATCH) ? VT_DISPATCH : VT_UNKNOWN;
    } else if (psa->fFeatures & FADF_HAVEVARTYPE) {
        DWORD stored = 0;
        std::memcpy(&stored, reinterpret_cast<char*>(psa) - sizeof stored, sizeof stored);
        *pvt = static_cast<VARTYPE>(stored);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut) return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa) return S_OK;
    if (!psa->cbElements) return E_INVALIDARG;
    SAFEARRAY* copy = AllocateDescriptor(psa->cDims);
    if (!copy) return E_OUTOFMEMORY;
    // Hidden type, flags, element size and bounds all carry over.
    std::memcpy(BlockOf(copy), BlockOf(psa), DescriptorBytes(psa->cDims));
    copy->fFeatures &= ~kPlacementFlags;
    copy->cLocks = 0;
    copy->pvData = nullptr;
    HRESULT hr = AllocateData(copy);
    if (SUCCEEDED(hr)) hr = CopyElements(psa, copy);
    if (FAILED(hr)) {
        Discard(copy);
        return hr;
    }
    *ppsaOut = copy;
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    if (psa->cLocks >= kMaxLocks) return E_UNEXPECTED;
    ++psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    if (psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData) return E_INVALIDARG;
    const HRESULT hr = SafeArrayLock(psa);
    *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
    return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }
