// CTesselAdapterApp: the module object of TESSELADAPTER.OCX. It makes two
// classes, the control and its property page, and registers them together
// with the module's type library.
#pragma once

#include <span>

#include "platform/OleControlModule.h"
#include "platform/TypeLibraryId.h"

// TesselAdapterLib 1.0, locale 1033.
extern const TypeLibraryId kTesselAdapterLib;

class CTesselAdapterApp : public COleControlModule {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    std::span<COleObjectFactory* const> Factories() const override;
};

extern CTesselAdapterApp theApp;

#ifndef _WIN32
// The module's entry points; the platform headers declare them on Windows.
STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
STDAPI DllCanUnloadNow();
#endif
