// The four entry points of TesselStandIns.dll.
#include "standins/registered/StandInsModule.h"

STDAPI DllRegisterServer() { return theStandIns.RegisterServer(); }

STDAPI DllUnregisterServer() { return theStandIns.UnregisterServer(); }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return theStandIns.GetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return theStandIns.CanUnloadModule(); }
