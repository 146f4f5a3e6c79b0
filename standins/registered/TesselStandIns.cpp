// The four entry points of TesselStandIns.dll, each behind the error boundary.
#include "platform/DispatchMember.h"
#include "standins/registered/StandInsModule.h"

STDAPI DllRegisterServer() {
    return AtCallBoundary([] { return theStandIns.RegisterServer(); });
}

STDAPI DllUnregisterServer() {
    return AtCallBoundary([] { return theStandIns.UnregisterServer(); });
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return AtCallBoundary([&] { return theStandIns.GetClassObject(rclsid, riid, ppv); });
}

STDAPI DllCanUnloadNow() {
    return AtCallBoundary([] { return theStandIns.CanUnloadModule(); });
}
