// CConnectionPointEnumerator: walks a control's connection points for a
// container. It holds a reference to each point, and so to the control, for
// as long as it lives.
#pragma once

#include <vector>

#include "platform/Automation.h"
#include "platform/ComPtr.h"

class CConnectionPointEnumerator final : public IEnumConnectionPoints {
public:
    // Makes one holding one reference, at the first point.
    static HRESULT Create(std::vector<ComPtr<IConnectionPoint>> points, IEnumConnectionPoints** out) noexcept;

    // IUnknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IEnumConnectionPoints.
    HRESULT STDMETHODCALLTYPE Next(ULONG cConnections, LPCONNECTIONPOINT* ppCP, ULONG* pcFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG cConnections) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** ppEnum) override;

private:
    explicit CConnectionPointEnumerator(std::vector<ComPtr<IConnectionPoint>> points, std::size_t position) noexcept;
    ~CConnectionPointEnumerator();
    CConnectionPointEnumerator(const CConnectionPointEnumerator&) = delete;
    CConnectionPointEnumerator& operator=(const CConnectionPointEnumerator&) = delete;

    std::vector<ComPtr<IConnectionPoint>> points_;
    std::size_t position_;
    ULONG refs_ = 1;
};
