// CControlConnectionPoint: the point where a container connects its sink for
// the control's event interface. The control fires no event, so the point
// only keeps the sinks it accepted until they are disconnected or the
// control goes away. It lives inside the control and shares its reference
// count: a reference to the point keeps the control alive.
#pragma once

#include <utility>
#include <vector>

#include "platform/Automation.h"
#include "platform/ComPtr.h"

class CControlConnectionPoint : public IConnectionPoint {
public:
    // iid is the owner's record of its event interface: the point refuses
    // every sink while it is null.
    CControlConnectionPoint(IUnknown& owner, IConnectionPointContainer& container, const IID* const& iid) noexcept
        : owner_(owner), container_(container), iid_(iid) {}
    CControlConnectionPoint(const CControlConnectionPoint&) = delete;
    CControlConnectionPoint& operator=(const CControlConnectionPoint&) = delete;

    const IID* Interface() const noexcept { return iid_; }

    // IUnknown: the point is its own identity but counts on its owner.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

    // IConnectionPoint.
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

private:
    IUnknown& owner_;
    IConnectionPointContainer& container_;
    const IID* const& iid_;
    std::vector<std::pair<DWORD, ComPtr<IUnknown>>> sinks_;
    DWORD lastCookie_ = 0;
};
