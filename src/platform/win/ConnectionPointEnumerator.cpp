#include "platform/win/ConnectionPointEnumerator.h"

#include <new>
#include <utility>

#include "platform/AnswerQuery.h"
#include "platform/DispatchMember.h"
#include "platform/OleControlModule.h"

// A live enumerator keeps the module loaded, as every object of it does.
CConnectionPointEnumerator::CConnectionPointEnumerator(std::vector<ComPtr<IConnectionPoint>> points,
                                                       std::size_t position) noexcept
    : points_(std::move(points)), position_(position) {
    AfxOleLockApp();
}

CConnectionPointEnumerator::~CConnectionPointEnumerator() { AfxOleUnlockApp(); }

HRESULT CConnectionPointEnumerator::Create(std::vector<ComPtr<IConnectionPoint>> points,
                                           IEnumConnectionPoints** out) noexcept {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) CConnectionPointEnumerator(std::move(points), 0);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CConnectionPointEnumerator::QueryInterface(REFIID riid, void** ppvObject) {
    return AnswerQuery(this, riid, {&IID_IUnknown, &IID_IEnumConnectionPoints}, ppvObject);
}

ULONG CConnectionPointEnumerator::AddRef() { return ++refs_; }

ULONG CConnectionPointEnumerator::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

// Hands out up to cConnections points, each with a reference of its own;
// S_FALSE when fewer were left.
HRESULT CConnectionPointEnumerator::Next(ULONG cConnections, LPCONNECTIONPOINT* ppCP, ULONG* pcFetched) {
    if (!ppCP || (!pcFetched && cConnections != 1)) return E_POINTER;
    ULONG fetched = 0;
    for (; fetched < cConnections && position_ < points_.size(); ++fetched, ++position_)
        ppCP[fetched] = ComPtr<IConnectionPoint>(points_[position_]).Detach();
    if (pcFetched) *pcFetched = fetched;
    return fetched == cConnections ? S_OK : S_FALSE;
}

HRESULT CConnectionPointEnumerator::Skip(ULONG cConnections) {
    const std::size_t left = points_.size() - position_;
    if (cConnections > left) {
        position_ = points_.size();
        return S_FALSE;
    }
    position_ += cConnections;
    return S_OK;
}

HRESULT CConnectionPointEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT CConnectionPointEnumerator::Clone(IEnumConnectionPoints** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    return AtCallBoundary([&] { *ppEnum = new CConnectionPointEnumerator(points_, position_); });
}
