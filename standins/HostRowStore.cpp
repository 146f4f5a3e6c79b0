#include "standins/HostRowStore.h"

namespace standins {

ComPtr<HostRowStore> HostRowStore::Create(HostRecordTable& table) {
    ComPtr<HostRowStore> store;
    store.Attach(new HostRowStore(table));
    return store;
}

HRESULT HostRowStore::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IHostRowStore))
        return Grant(object, static_cast<IHostRowStore*>(this));
    return Refuse(object);
}

}  // namespace standins
