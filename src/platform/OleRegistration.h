// The framework's registration of a control module: its type library, its
// control classes and their property pages, written into HKEY_CLASSES_ROOT
// through the registry API (the system's on Windows, an in-memory one
// elsewhere). Each function answers whether every write succeeded.
#pragma once

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "platform/TypeLibraryId.h"

// Registration flags of a class.
enum : int {
    afxRegDefault = 0x0000,
    afxRegApartmentThreading = 0x0002,
};

// The module's own file, as the class keys name it.
OleString ModuleFileName(HINSTANCE instance);

// The type library is read from the module's resources and registered.
bool AfxOleRegisterTypeLib(HINSTANCE instance, const TypeLibraryId& library);
bool AfxOleUnregisterTypeLib(const TypeLibraryId& library);

// What a control class registers: the class, its program identifier, the
// in-process server with its threading model, the control and toolbox
// marks, its miscellaneous status and its type library.
struct ControlClassInfo {
    const CLSID* clsid;
    LPCOLESTR progId;
    LPCOLESTR typeName;
    UINT toolboxBitmap;
    int regFlags;
    DWORD miscStatus;
    const TypeLibraryId* library;
};
bool AfxOleRegisterControlClass(HINSTANCE instance, const ControlClassInfo& info);

// A plain in-process class: its program identifier, the class with its type
// name and the in-process server with its threading model.
bool AfxOleRegisterServerClass(HINSTANCE instance, REFCLSID clsid, LPCOLESTR progId, LPCOLESTR typeName,
                               int regFlags = afxRegDefault);

bool AfxOleRegisterPropertyPageClass(HINSTANCE instance, REFCLSID clsid, LPCOLESTR typeName,
                                     int regFlags = afxRegDefault);

// Removes the class key and, when given, the program identifier's key;
// keys that are already gone count as removed.
bool AfxOleUnregisterClass(REFCLSID clsid, LPCOLESTR progId);
