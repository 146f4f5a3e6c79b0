#include "standins/NoInterfaceObject.h"

namespace standins {

ComPtr<NoInterfaceObject> NoInterfaceObject::Create() {
    ComPtr<NoInterfaceObject> object;
    object.Attach(new NoInterfaceObject);
    return object;
}

HRESULT NoInterfaceObject::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    queries_.push_back(riid);
    if (const HRESULT fault = faults_.Enter(Op::QueryInterface).code; FAILED(fault)) return Refuse(object, fault);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch))
        return Grant(object, static_cast<IDispatch*>(this));
    return Refuse(object);
}

}  // namespace standins
