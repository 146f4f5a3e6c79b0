// CStandInsModule: the module object of TesselStandIns.dll. It makes the
// registered stand-ins, so that any client of the platform's class registry
// can run a whole host session: Tessel.RecordTable, Tessel.CellTable,
// Tessel.Chart and the host environment class the adapter creates itself.
#pragma once

#include <span>

#include "platform/OleControlModule.h"

class CStandInsModule : public COleControlModule {
public:
    // DllCanUnloadNow: stand-ins the adapter holds (a row store, a font) keep
    // the module loaded as much as the objects its clients created.
    HRESULT CanUnloadModule() const noexcept;

    // DllRegisterServer and DllUnregisterServer.
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;

protected:
    std::span<COleObjectFactory* const> Factories() const override;
};

extern CStandInsModule theStandIns;
