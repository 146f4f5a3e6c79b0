#include "control/TesselAdapterApp.h"

#include "control/TesselAdapterCtrl.h"
#include "control/TesselAdapterPropPage.h"
#include "control/TesselAdapterResources.h"
#include "platform/DispatchMember.h"
#include "platform/OleRegistration.h"

const TypeLibraryId kTesselAdapterLib = {
    {0x04A4CC27, 0x6452, 0x11D3, {0x96, 0xB4, 0x00, 0x04, 0xAC, 0x96, 0x57, 0x2D}}, 1, 0, 0x0409};

CTesselAdapterApp theApp;

namespace {

// The control's miscellaneous status: it is recomposed on resize, cannot be
// linked inside, activates inside-out, is invisible at run time and wants
// its client site before anything else.
constexpr DWORD kRecomposeOnResize = 0x1;
constexpr DWORD kCantLinkInside = 0x10;
constexpr DWORD kInsideOut = 0x80;
constexpr DWORD kInvisibleAtRuntime = 0x400;
constexpr DWORD kSetClientSiteFirst = 0x20000;
constexpr DWORD kControlMiscStatus = kRecomposeOnResize | kCantLinkInside | kInsideOut | kInvisibleAtRuntime |
                                     kSetClientSiteFirst;

template <class Object, class Interface>
IUnknown* Create() {
    return static_cast<Interface*>(new Object);
}

bool UpdateControlClass(const COleObjectFactory& factory, bool registering) {
    if (!registering) return AfxOleUnregisterClass(factory.ClassId(), factory.ProgId());
    return AfxOleRegisterControlClass(
        theApp.InstanceHandle(),
        {&factory.ClassId(), factory.ProgId(), resources::ModuleString(resources::IDS_TESSELADAPTER),
         resources::IDB_TESSELADAPTER, afxRegApartmentThreading, kControlMiscStatus, &kTesselAdapterLib});
}

// A property page is registered under its class identifier only.
bool UpdatePropertyPageClass(const COleObjectFactory& factory, bool registering) {
    if (!registering) return AfxOleUnregisterClass(factory.ClassId(), nullptr);
    return AfxOleRegisterPropertyPageClass(theApp.InstanceHandle(), factory.ClassId(),
                                           resources::ModuleString(resources::IDS_TESSELADAPTER_PPG));
}

COleObjectFactory g_controlFactory(CLSID_TesselAdapter, OLESTR("Vantor.TesselAdapter.1"),
                                   &Create<CTesselAdapterCtrl, IDispatch>, &UpdateControlClass);
COleObjectFactory g_pageFactory(CLSID_TesselAdapterPropPage, OLESTR("Vantor.TesselAdapterPropPage.1"),
                                &Create<CTesselAdapterPropPage, IUnknown>, &UpdatePropertyPageClass);
COleObjectFactory* const g_factories[] = {&g_controlFactory, &g_pageFactory};

}  // namespace

BOOL CTesselAdapterApp::InitInstance() { return COleControlModule::InitInstance(); }

int CTesselAdapterApp::ExitInstance() { return COleControlModule::ExitInstance(); }

std::span<COleObjectFactory* const> CTesselAdapterApp::Factories() const { return g_factories; }

// The module's four entry points, each behind the error boundary. The type
// library goes first: a module whose library cannot be registered registers
// none of its classes.
STDAPI DllRegisterServer() {
    return AtCallBoundary([]() -> HRESULT {
        if (!AfxOleRegisterTypeLib(theApp.InstanceHandle(), kTesselAdapterLib)) return SELFREG_E_TYPELIB;
        if (!theApp.UpdateRegistryAll(true)) return SELFREG_E_CLASS;
        return S_OK;
    });
}

STDAPI DllUnregisterServer() {
    return AtCallBoundary([]() -> HRESULT {
        if (!AfxOleUnregisterTypeLib(kTesselAdapterLib)) return SELFREG_E_TYPELIB;
        if (!theApp.UpdateRegistryAll(false)) return SELFREG_E_CLASS;
        return S_OK;
    });
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return AtCallBoundary([&] { return theApp.GetClassObject(rclsid, riid, ppv); });
}

STDAPI DllCanUnloadNow() {
    return AtCallBoundary([] { return theApp.CanUnloadNow(); });
}
