// tessel_container_check: what a container asks of the registered control,
// whether the module may unload once the control is gone, and whether a
// client in the multithreaded apartment reaches it through a proxy. One line
// a check (ClientReport).
#include <cwchar>
#include <string>
#include <thread>

#include "platform/Automation.h"

#include <objsafe.h>

#include "platform/ComPtr.h"
#include "platform/DispatchDriver.h"
#include "platform/Guid.h"
#include "platform/MemberId.h"
#include "platform/Utf8.h"
#include "tests/wine/ClientReport.h"

// The identifiers the type library's .idl defines (its generated _i.c).
EXTERN_C const IID DIID__DTesselAdapter;
EXTERN_C const IID DIID__DTesselAdapterEvents;
EXTERN_C const CLSID CLSID_TesselAdapter;

namespace {

ClientReport g_report;

void Expect(const std::string& what, HRESULT got, HRESULT want) {
    g_report.Compare(what, ResultCodeText(got), ResultCodeText(want));
}
void ExpectTrue(const char* what, bool ok) { g_report.Check(what, ok, "false", "true"); }
void ExpectCount(const char* what, ULONG got, ULONG want) {
    g_report.Compare(what, std::to_string(got), std::to_string(want));
}
void ExpectGuid(const char* what, REFGUID got, REFGUID want) {
    g_report.Compare(what, GuidToString(got), GuidToString(want));
}

// The object's interface `iid`, null when it is not offered.
template <class T>
ComPtr<T> Ask(IUnknown* object, REFIID iid) {
    ComPtr<T> out;
    object->QueryInterface(iid, out.ReceiveVoid());
    return out;
}

// References to `object` besides those the caller already counts.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

HRESULT CreateControl(REFIID iid, void** out) {
    return CoCreateInstance(CLSID_TesselAdapter, nullptr, CLSCTX_INPROC_SERVER, iid, out);
}

ComPtr<IClassFactory> Factory(const char* what, REFCLSID clsid) {
    ComPtr<IClassFactory> factory;
    Expect(what, CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.ReceiveVoid()),
           S_OK);
    return factory;
}

void CheckInterfaces(IUnknown* control) {
    const struct { const char* name; const IID* iid; bool offered; } asked[] = {
        {"IDispatch", &IID_IDispatch, true}, {"_DTesselAdapter", &DIID__DTesselAdapter, true},
        {"IOleObject", &IID_IOleObject, true}, {"IOleControl", &IID_IOleControl, true},
        {"IPersist", &IID_IPersist, true}, {"IPersistStreamInit", &IID_IPersistStreamInit, true},
        {"IProvideClassInfo", &IID_IProvideClassInfo, true}, {"IProvideClassInfo2", &IID_IProvideClassInfo2, true},
        {"IConnectionPointContainer", &IID_IConnectionPointContainer, true},
        {"ISpecifyPropertyPages", &IID_ISpecifyPropertyPages, true},
        // Refused.
        {"IPersistStorage", &IID_IPersistStorage, false}, {"IObjectSafety", &IID_IObjectSafety, false},
        {"IMarshal", &IID_IMarshal, false}, {"the event interface", &DIID__DTesselAdapterEvents, false},
        {"IClassFactory", &IID_IClassFactory, false},
    };
    for (const auto& entry : asked) {
        void* answer = reinterpret_cast<void*>(1);  // a refusal must null it
        const HRESULT hr = control->QueryInterface(*entry.iid, &answer);
        Expect(std::string("QueryInterface ") + entry.name + (entry.offered ? "" : " refused"), hr,
               entry.offered ? S_OK : E_NOINTERFACE);
        if (!entry.offered) {
            ExpectTrue("  ... and nulls the answer", answer == nullptr);
        } else if (SUCCEEDED(hr)) {
            ComPtr<IUnknown> offered;
            offered.Attach(static_cast<IUnknown*>(answer));
            ExpectTrue("  ... is the control's identity", Ask<IUnknown>(offered.Get(), IID_IUnknown).Get() == control);
        }
    }
    // Every reference taken above has been given back.
    ExpectCount("AddRef after the queries", control->AddRef(), 2);
    ExpectCount("Release after the queries", control->Release(), 1);
}

// What type information describes; GUID_NULL without it.
GUID DescribedGuid(ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes))) return GUID_NULL;
    const GUID guid = attributes->guid;
    info->ReleaseTypeAttr(attributes);
    return guid;
}

void CheckTypeInformation(IUnknown* control) {
    const auto dispatch = Ask<IDispatch>(control, IID_IDispatch);
    ComPtr<ITypeInfo> info;
    Expect("GetTypeInfo 0", dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()), S_OK);
    ExpectGuid("  ... describes _DTesselAdapter", DescribedGuid(info.Get()), DIID__DTesselAdapter);

    const auto classInfo = Ask<IProvideClassInfo2>(control, IID_IProvideClassInfo2);
    GUID events{};
    Expect("GetGUID default source", classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    ExpectGuid("  ... is _DTesselAdapterEvents", events, DIID__DTesselAdapterEvents);
    Expect("GetGUID of another kind", classInfo->GetGUID(7, &events), E_INVALIDARG);
    ComPtr<ITypeInfo> coclass;
    Expect("GetClassInfo", classInfo->GetClassInfo(coclass.Receive()), S_OK);
    ExpectGuid("  ... describes the class", DescribedGuid(coclass.Get()), CLSID_TesselAdapter);
}

// The sinks: a stream, which offers no IDispatch and so no event point may
// accept, and a second control, which offers it as every sink of a dispatch
// event point does.
void CheckConnectionPoints(IUnknown* control, IStream* plain) {
    const auto container = Ask<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    Expect("FindConnectionPoint IPropertyNotifySink",
           container->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive()), CONNECT_E_NOCONNECTION);
    Expect("FindConnectionPoint _DTesselAdapterEvents",
           container->FindConnectionPoint(DIID__DTesselAdapterEvents, point.Receive()), S_OK);
    if (!point) return;
    IID iid{};
    Expect("GetConnectionInterface", point->GetConnectionInterface(&iid), S_OK);
    ExpectGuid("  ... is _DTesselAdapterEvents", iid, DIID__DTesselAdapterEvents);

    ComPtr<IUnknown> sink;
    CreateControl(IID_IUnknown, sink.ReceiveVoid());
    const ULONG plainRefs = References(plain), sinkRefs = References(sink.Get());
    DWORD cookie = 0;
    Expect("Advise a sink without IDispatch", point->Advise(plain, &cookie), CONNECT_E_CANNOTCONNECT);
    ExpectCount("  ... holds no reference to it", References(plain), plainRefs);
    Expect("Advise an IDispatch sink", point->Advise(sink.Get(), &cookie), S_OK);
    ExpectCount("  ... holds one reference to it", References(sink.Get()), sinkRefs + 1);
    Expect("Unadvise it", point->Unadvise(cookie), S_OK);
    ExpectCount("  ... gives the reference back", References(sink.Get()), sinkRefs);
    Expect("Unadvise it again", point->Unadvise(cookie), CONNECT_E_NOCONNECTION);

    ComPtr<IEnumConnectionPoints> points;
    Expect("EnumConnectionPoints", container->EnumConnectionPoints(points.Receive()), S_OK);
    if (!points) return;
    IConnectionPoint* fetched[2] = {};
    ULONG count = 0;
    Expect("  ... Next 2", points->Next(2, fetched, &count), S_FALSE);
    ExpectCount("  ... gives the one point", count, 1);
    ComPtr<IConnectionPoint> first;
    first.Attach(fetched[0]);
    ExpectTrue("  ... the events point", first.Get() == point.Get());
}

// The page as a property frame uses it: made by the module's factory, told
// about the control, shown in a window of the frame's, applied and closed.
void CheckPropertyPage(REFCLSID pageClass, IUnknown* control) {
    ComPtr<IClassFactory> factory = Factory("CoGetClassObject of the page", pageClass);
    if (!factory) return;
    IPropertyPage* page = nullptr;
    Expect("  ... makes an IPropertyPage",
           factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page)), S_OK);
    factory.Reset();
    if (!page) return;

    PROPPAGEINFO info{};
    Expect("GetPageInfo", page->GetPageInfo(&info), S_OK);
    ExpectCount("  ... cb", info.cb, sizeof(PROPPAGEINFO));
    ExpectTrue("  ... title \"General\"", info.pszTitle && std::wcscmp(info.pszTitle, L"General") == 0);
    ExpectTrue("  ... a size wider than tall, as the dialog", info.size.cx > info.size.cy && info.size.cy > 0);
    CoTaskMemFree(info.pszTitle);

    const ULONG controlRefs = References(control);
    Expect("SetObjects the control", page->SetObjects(1, &control), S_OK);
    ExpectCount("  ... holds one reference to it", References(control), controlRefs + 1);

    HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                 nullptr);
    ExpectTrue("a hidden frame window", frame != nullptr);
    const RECT place{10, 10, 10 + info.size.cx, 10 + info.size.cy};
    Expect("Activate", page->Activate(frame, &place, TRUE), S_OK);
    HWND child = GetWindow(frame, GW_CHILD);
    ExpectTrue("  ... the dialog is the frame's child", child && (GetWindowLongW(child, GWL_STYLE) & WS_CHILD));
    Expect("Activate again", page->Activate(frame, &place, TRUE), E_UNEXPECTED);
    Expect("Show", page->Show(SW_SHOW), S_OK);
    Expect("Move", page->Move(&place), S_OK);
    Expect("IsPageDirty", page->IsPageDirty(), S_FALSE);
    Expect("Apply", page->Apply(), S_OK);
    Expect("Help", page->Help(nullptr), E_NOTIMPL);
    Expect("TranslateAccelerator", page->TranslateAccelerator(nullptr), S_FALSE);
    Expect("Deactivate", page->Deactivate(), S_OK);
    ExpectTrue("  ... the dialog is gone", GetWindow(frame, GW_CHILD) == nullptr);
    Expect("Deactivate again", page->Deactivate(), E_UNEXPECTED);
    DestroyWindow(frame);

    Expect("SetObjects none", page->SetObjects(0, nullptr), S_OK);
    ExpectCount("  ... gives the control's reference back", References(control), controlRefs);
    ExpectCount("the page's final Release", page->Release(), 0);
}

void CheckPagesAndPersistence(IUnknown* control, IStream* stream) {
    const auto pages = Ask<ISpecifyPropertyPages>(control, IID_ISpecifyPropertyPages);
    CAUUID list{};
    Expect("GetPages", pages->GetPages(&list), S_OK);
    ExpectCount("  ... one page", list.cElems, 1);
    if (list.cElems == 1) CheckPropertyPage(list.pElems[0], control);
    CoTaskMemFree(list.pElems);

    const auto persist = Ask<IPersistStreamInit>(control, IID_IPersistStreamInit);
    CLSID clsid{};
    Expect("GetClassID", persist->GetClassID(&clsid), S_OK);
    ExpectGuid("  ... is the control's", clsid, CLSID_TesselAdapter);
    Expect("InitNew", persist->InitNew(), S_OK);
    Expect("IsDirty", persist->IsDirty(), S_FALSE);
    Expect("Save", persist->Save(stream, TRUE), S_OK);
    ULARGE_INTEGER end{}, size{};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end);
    persist->GetSizeMax(&size);
    ExpectCount("  ... wrote GetSizeMax bytes", static_cast<ULONG>(end.QuadPart), static_cast<ULONG>(size.QuadPart));
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    Expect("Load what was saved", persist->Load(stream), S_OK);
    Expect("Load from the end", persist->Load(stream), STG_E_READFAULT);
}

// Keeps the first visible window in the HWND that `found` points to. The
// system calls it as a stdcall function: on 32-bit Windows a lambda would
// convert only to a cdecl pointer.
BOOL CALLBACK FirstVisibleWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The properties verb shows the system's modal frame. A thread timer, which
// the frame's own message loop runs, closes the first window this thread
// shows, as a user would.
void CALLBACK CloseShownWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND shown = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FirstVisibleWindow, reinterpret_cast<LPARAM>(&shown));
    if (!shown) return;
    KillTimer(nullptr, timer);
    PostMessageW(shown, WM_COMMAND, IDCANCEL, 0);
}

void CheckObject(IUnknown* control) {
    const auto object = Ask<IOleObject>(control, IID_IOleObject);
    DWORD status = 0;
    Expect("GetMiscStatus", object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    ExpectCount("  ... as registered", status, 132241);
    LPOLESTR type = nullptr;
    Expect("GetUserType", object->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    ExpectTrue("  ... the user type name", type && std::wcscmp(type, L"Vantor TesselAdapter Control") == 0);
    CoTaskMemFree(type);
    Expect("SetClientSite null", object->SetClientSite(nullptr), S_OK);
    Expect("DoVerb show", object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, CloseShownWindow);
    Expect("DoVerb properties", object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
    KillTimer(nullptr, closer);
    SIZEL extent{};
    Expect("GetExtent", object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    Expect("GetExtent of an icon", object->GetExtent(DVASPECT_ICON, &extent), DV_E_DVASPECT);
    Expect("Close", object->Close(OLECLOSE_NOSAVE), S_OK);

    const auto oleControl = Ask<IOleControl>(control, IID_IOleControl);
    CONTROLINFO info{};
    Expect("GetControlInfo", oleControl->GetControlInfo(&info), S_OK);
    Expect("FreezeEvents", oleControl->FreezeEvents(TRUE), S_OK);
}

// The module may unload only once nothing of it is alive or locked.
void CheckUnloading(IUnknown* control) {
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"TesselAdapter.ocx"), "DllCanUnloadNow")));
    if (!canUnload) return ExpectTrue("DllCanUnloadNow found", false);
    Expect("DllCanUnloadNow with a live control", canUnload(), S_FALSE);
    ExpectCount("final Release", control->Release(), 0);
    Expect("DllCanUnloadNow after it", canUnload(), S_OK);

    ComPtr<IClassFactory> factory = Factory("CoGetClassObject", CLSID_TesselAdapter);
    if (!factory) return;
    Expect("DllCanUnloadNow with a factory held", canUnload(), S_FALSE);
    Expect("LockServer TRUE", factory->LockServer(TRUE), S_OK);
    factory.Reset();
    Expect("DllCanUnloadNow while locked", canUnload(), S_FALSE);
    factory = Factory("CoGetClassObject again", CLSID_TesselAdapter);
    if (factory) Expect("LockServer FALSE", factory->LockServer(FALSE), S_OK);
    factory.Reset();
    Expect("DllCanUnloadNow unlocked", canUnload(), S_OK);
}

// The control is apartment threaded: a multithreaded client gets a proxy,
// through which calls and their failures cross. (Wine's proxy refuses
// _DTesselAdapter itself: its PSDispatch cannot marshal a dispinterface that
// is not dual, so that is not asked.)
void CheckOtherApartment() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return ExpectTrue("CoInitializeEx multithreaded", false);
    {
        ComPtr<IDispatch> control;
        Expect("CoCreateInstance from the multithreaded apartment",
               CreateControl(IID_IDispatch, control.ReceiveVoid()), S_OK);
        if (control) {
            ExpectTrue("  ... is a proxy (IMultiQI)", Ask<IMultiQI>(control.Get(), IID_IMultiQI).Get() != nullptr);
            DISPID id = 0;
            Expect("  ... GetIDsOfNames", MemberIdOf(*control.Get(), "SetVersion", id), S_OK);
            const DispatchDriver driver(control.Get(), {"IDispatch", &IID_IDispatch});
            const COleVariant version(SHORT{310}), text(OLESTR("x"));
            const auto one = [](const VARIANT& arg) { return std::span<const VARIANT>(&arg, 1); };
            Expect("  ... SetVersion 310", driver.TryInvoke(id, DISPATCH_METHOD, one(version)).hr, S_OK);
            const DispatchResult refused = driver.TryInvoke(31, DISPATCH_PROPERTYPUT, one(text));
            Expect("  ... a read-only put fails", refused.hr, DISP_E_EXCEPTION);
            Expect("  ... with the control's code", refused.code, CTL_E_SETNOTSUPPORTED);
            g_report.Compare("  ... and its description", ToUtf8(refused.description), "Property is read-only");
        }
    }
    CoUninitialize();
}

}  // namespace

int main() {
    Expect("CoInitialize", CoInitialize(nullptr), S_OK);
    IUnknown* control = nullptr;
    Expect("CoCreateInstance", CreateControl(IID_IUnknown, reinterpret_cast<void**>(&control)), S_OK);
    if (control) {
        ComPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
        CheckInterfaces(control);
        CheckTypeInformation(control);
        CheckConnectionPoints(control, stream.Get());
        CheckPagesAndPersistence(control, stream.Get());
        CheckObject(control);
        CheckUnloading(control);  // releases the control
    }
    std::thread(CheckOtherApartment).join();
    CoUninitialize();
    return g_report.Done();
}
