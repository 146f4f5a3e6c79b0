#include "platform/win/ControlConnectionPoint.h"

#include <algorithm>

#include "platform/AnswerQuery.h"
#include "platform/DispatchMember.h"

HRESULT CControlConnectionPoint::QueryInterface(REFIID riid, void** ppvObject) {
    return AnswerQuery(this, riid, {&IID_IUnknown, &IID_IConnectionPoint}, ppvObject);
}

HRESULT CControlConnectionPoint::GetConnectionInterface(IID* pIID) {
    if (!pIID) return E_POINTER;
    if (!iid_) return E_UNEXPECTED;
    *pIID = *iid_;
    return S_OK;
}

HRESULT CControlConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (!ppCPC) return E_POINTER;
    *ppCPC = &container_;
    container_.AddRef();
    return S_OK;
}

// A sink must implement the event interface, or IDispatch, through which
// events of a dispatch interface arrive.
HRESULT CControlConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    if (!pdwCookie) return E_POINTER;
    *pdwCookie = 0;
    if (!pUnkSink) return E_POINTER;
    if (!iid_) return CONNECT_E_CANNOTCONNECT;
    ComPtr<IUnknown> sink;
    if (FAILED(pUnkSink->QueryInterface(*iid_, sink.ReceiveVoid())) &&
        FAILED(pUnkSink->QueryInterface(IID_IDispatch, sink.ReceiveVoid())))
        return CONNECT_E_CANNOTCONNECT;
    if (!sink) return CONNECT_E_CANNOTCONNECT;
    return AtCallBoundary([&] {
        sinks_.emplace_back(lastCookie_ + 1, std::move(sink));
        *pdwCookie = ++lastCookie_;
    });
}

HRESULT CControlConnectionPoint::Unadvise(DWORD dwCookie) {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                    [&](const auto& sink) { return sink.first == dwCookie; });
    if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
    // Taken out of the list first: releasing a sink may call back.
    const ComPtr<IUnknown> sink = std::move(found->second);
    sinks_.erase(found);
    return S_OK;
}

// Nothing ever fires, so nobody needs to walk the connections.
HRESULT CControlConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    return E_NOTIMPL;
}
