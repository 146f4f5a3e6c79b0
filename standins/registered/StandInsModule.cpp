#include "standins/registered/StandInsModule.h"

#include <memory>

#include "control/HostEnvironment.h"
#include "platform/OleRegistration.h"
#include "standins/HostEnvironmentObjects.h"
#include "standins/StandInObject.h"
#include "standins/registered/RegisteredCellTable.h"
#include "standins/registered/RegisteredChart.h"
#include "standins/registered/RegisteredRecordTable.h"

CStandInsModule theStandIns;

namespace {

// {A5CD2D28-37BD-4166-9535-5BD72ADD5D71}
const CLSID CLSID_RecordTable = {0xA5CD2D28, 0x37BD, 0x4166, {0x95, 0x35, 0x5B, 0xD7, 0x2A, 0xDD, 0x5D, 0x71}};
// {D0446849-DBF3-440F-B8DD-B5C39789993C}
const CLSID CLSID_CellTable = {0xD0446849, 0xDBF3, 0x440F, {0xB8, 0xDD, 0xB5, 0xC3, 0x97, 0x89, 0x99, 0x3C}};
// {4A0C395D-A3B0-40F2-A21B-336FEE167420}
const CLSID CLSID_Chart = {0x4A0C395D, 0xA3B0, 0x40F2, {0xA2, 0x1B, 0x33, 0x6F, 0xEE, 0x16, 0x74, 0x20}};

template <class StandIn>
IUnknown* Create() {
    return static_cast<IDispatch*>(StandIn::Create().Detach());
}

// Every host environment answers the default look, as tessel's does.
IUnknown* CreateEnvironment() {
    IUnknown* made = nullptr;
    CheckResult(standins::CreateHostEnvironment(std::make_shared<standins::HostLook>(), IID_IUnknown,
                                                reinterpret_cast<void**>(&made)));
    return made;
}

// The class's type name is its program identifier.
bool UpdateClass(const COleObjectFactory& factory, bool registering) {
    if (!registering) return AfxOleUnregisterClass(factory.ClassId(), factory.ProgId());
    return AfxOleRegisterServerClass(theStandIns.InstanceHandle(), factory.ClassId(), factory.ProgId(),
                                     factory.ProgId(), afxRegApartmentThreading);
}

COleObjectFactory g_recordTable(CLSID_RecordTable, OLESTR("Tessel.RecordTable"),
                                &Create<standins::RegisteredRecordTable>, &UpdateClass);
COleObjectFactory g_cellTable(CLSID_CellTable, OLESTR("Tessel.CellTable"), &Create<standins::RegisteredCellTable>,
                              &UpdateClass);
COleObjectFactory g_chart(CLSID_Chart, OLESTR("Tessel.Chart"), &Create<standins::RegisteredChart>, &UpdateClass);
COleObjectFactory g_environment(CLSID_HostEnvironment, OLESTR("Tessel.HostEnvironment"), &CreateEnvironment,
                                &UpdateClass);
COleObjectFactory* const g_factories[] = {&g_recordTable, &g_cellTable, &g_chart, &g_environment};

}  // namespace

std::span<COleObjectFactory* const> CStandInsModule::Factories() const { return g_factories; }

HRESULT CStandInsModule::CanUnloadModule() const noexcept {
    return standins::LiveObjects() == 0 ? CanUnloadNow() : S_FALSE;
}

HRESULT CStandInsModule::RegisterServer() const { return UpdateRegistryAll(true) ? S_OK : SELFREG_E_CLASS; }

HRESULT CStandInsModule::UnregisterServer() const { return UpdateRegistryAll(false) ? S_OK : SELFREG_E_CLASS; }
