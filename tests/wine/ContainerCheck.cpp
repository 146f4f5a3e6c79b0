// tessel_container_check: asks the registered TesselAdapter control what a
// container asks of it — the interfaces it offers and refuses, one identity
// behind them, exact reference counts, its type information, its event
// connection point, its property page, its stream, its registered status —
// whether the module may unload once the control is gone, and whether a
// client in the multithreaded apartment reaches it through a proxy. Prints
// one line per check (ClientReport) and ends with "DONE failures=N".
#include <atomic>
#include <cstdio>
#include <cwchar>
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

void Expect(const char* what, HRESULT got, HRESULT want) {
    g_report.Compare(what, ResultCodeText(got), ResultCodeText(want));
}

void ExpectTrue(const char* what, bool ok) { g_report.Check(what, ok, "false", "true"); }

void ExpectCount(const char* what, ULONG got, ULONG want) {
    g_report.Compare(what, std::to_string(got), std::to_string(want));
}

void ExpectGuid(const char* what, REFGUID got, REFGUID want) {
    g_report.Compare(what, GuidToString(got), GuidToString(want));
}

template <class T>
HRESULT Query(IUnknown* object, REFIID iid, ComPtr<T>& out) {
    return object->QueryInterface(iid, out.ReceiveVoid());
}

// A sink that offers only IUnknown, which no event point may accept, and
// one that offers IDispatch, which every dispatch event point accepts.
class Sink : public IDispatch {
public:
    explicit Sink(bool dispatch) : dispatch_(dispatch) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !(dispatch_ && IsEqualIID(riid, IID_IDispatch))) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    ULONG refs = 1;  // the check's own, on the stack

private:
    bool dispatch_;
};

void CheckInterfaces(IUnknown* control) {
    struct Offered {
        const char* name;
        const IID* iid;
    };
    const Offered offered[] = {
        {"QueryInterface IDispatch", &IID_IDispatch},
        {"QueryInterface _DTesselAdapter", &DIID__DTesselAdapter},
        {"QueryInterface IOleObject", &IID_IOleObject},
        {"QueryInterface IOleControl", &IID_IOleControl},
        {"QueryInterface IPersist", &IID_IPersist},
        {"QueryInterface IPersistStreamInit", &IID_IPersistStreamInit},
        {"QueryInterface IProvideClassInfo", &IID_IProvideClassInfo},
        {"QueryInterface IProvideClassInfo2", &IID_IProvideClassInfo2},
        {"QueryInterface IConnectionPointContainer", &IID_IConnectionPointContainer},
        {"QueryInterface ISpecifyPropertyPages", &IID_ISpecifyPropertyPages},
    };
    for (const Offered& entry : offered) {
        ComPtr<IUnknown> answer;
        Expect(entry.name, Query(control, *entry.iid, answer), S_OK);
        if (!answer) continue;
        ComPtr<IUnknown> identity;
        Query(answer.Get(), IID_IUnknown, identity);
        ExpectTrue("  ... is the control's identity", identity.Get() == control);
    }
    const Offered refused[] = {
        {"QueryInterface IPersistStorage refused", &IID_IPersistStorage},
        {"QueryInterface IObjectSafety refused", &IID_IObjectSafety},
        {"QueryInterface IMarshal refused", &IID_IMarshal},
        {"QueryInterface the event interface refused", &DIID__DTesselAdapterEvents},
        {"QueryInterface IClassFactory refused", &IID_IClassFactory},
    };
    for (const Offered& entry : refused) {
        void* answer = reinterpret_cast<void*>(1);
        Expect(entry.name, control->QueryInterface(*entry.iid, &answer), E_NOINTERFACE);
        ExpectTrue("  ... and nulls the answer", answer == nullptr);
    }
    // Every reference taken above has been given back.
    ExpectCount("AddRef after the queries", control->AddRef(), 2);
    ExpectCount("Release after the queries", control->Release(), 1);
}

// What type information describes; GUID_NULL without it.
GUID DescribedGuid(ITypeInfo* info) {
    GUID guid = GUID_NULL;
    TYPEATTR* attributes = nullptr;
    if (info && SUCCEEDED(info->GetTypeAttr(&attributes))) {
        guid = attributes->guid;
        info->ReleaseTypeAttr(attributes);
    }
    return guid;
}

void CheckTypeInformation(IUnknown* control) {
    ComPtr<IDispatch> dispatch;
    Query(control, IID_IDispatch, dispatch);
    UINT count = 0;
    Expect("GetTypeInfoCount", dispatch->GetTypeInfoCount(&count), S_OK);
    ExpectCount("  ... count", count, 1);
    ComPtr<ITypeInfo> info;
    Expect("GetTypeInfo 0", dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()), S_OK);
    ExpectGuid("  ... describes _DTesselAdapter", DescribedGuid(info.Get()), DIID__DTesselAdapter);
    Expect("GetTypeInfo 1", dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, info.Receive()), DISP_E_BADINDEX);
    DISPID id = 0;
    Expect("GetIDsOfNames SetVersion", MemberIdOf(*dispatch.Get(), "SetVersion", id), S_OK);
    ExpectCount("  ... identifier", static_cast<ULONG>(id), 52);

    ComPtr<IProvideClassInfo2> classInfo;
    Query(control, IID_IProvideClassInfo2, classInfo);
    GUID events{};
    Expect("GetGUID default source", classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    ExpectGuid("  ... is _DTesselAdapterEvents", events, DIID__DTesselAdapterEvents);
    Expect("GetGUID of another kind", classInfo->GetGUID(7, &events), E_INVALIDARG);
    ComPtr<ITypeInfo> coclass;
    Expect("GetClassInfo", classInfo->GetClassInfo(coclass.Receive()), S_OK);
    ExpectGuid("  ... describes the class", DescribedGuid(coclass.Get()), CLSID_TesselAdapter);
}

void CheckConnectionPoints(IUnknown* control) {
    ComPtr<IConnectionPointContainer> container;
    Query(control, IID_IConnectionPointContainer, container);
    ComPtr<IConnectionPoint> point;
    Expect("FindConnectionPoint IPropertyNotifySink",
           container->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive()), CONNECT_E_NOCONNECTION);
    Expect("FindConnectionPoint _DTesselAdapterEvents",
           container->FindConnectionPoint(DIID__DTesselAdapterEvents, point.Receive()), S_OK);
    if (!point) return;
    IID iid{};
    Expect("GetConnectionInterface", point->GetConnectionInterface(&iid), S_OK);
    ExpectGuid("  ... is _DTesselAdapterEvents", iid, DIID__DTesselAdapterEvents);

    Sink plain(false), dispatch(true);
    DWORD cookie = 0;
    Expect("Advise a sink without IDispatch", point->Advise(&plain, &cookie), CONNECT_E_CANNOTCONNECT);
    ExpectCount("  ... holds no reference to it", plain.refs, 1);
    Expect("Advise an IDispatch sink", point->Advise(&dispatch, &cookie), S_OK);
    ExpectCount("  ... holds one reference to it", dispatch.refs, 2);
    Expect("Unadvise it", point->Unadvise(cookie), S_OK);
    ExpectCount("  ... gives the reference back", dispatch.refs, 1);
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

// References to `object` besides those the caller already counts.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// The page as a property frame uses it: made by the module's factory, told
// about the control, shown in a window of the frame's, applied and closed.
void CheckPropertyPage(REFCLSID pageClass, IUnknown* control) {
    ComPtr<IClassFactory> factory;
    Expect("CoGetClassObject of the page",
           CoGetClassObject(pageClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    if (!factory) return;
    IPropertyPage* page = nullptr;
    Expect("  ... makes an IPropertyPage", factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page)),
           S_OK);
    factory.Reset();
    if (!page) return;

    PROPPAGEINFO info{};
    Expect("GetPageInfo", page->GetPageInfo(&info), S_OK);
    ExpectCount("  ... cb", info.cb, sizeof(PROPPAGEINFO));
    ExpectTrue("  ... title \"General\"", info.pszTitle && std::wcscmp(info.pszTitle, L"General") == 0);
    std::printf("     page \"%ls\", %ld x %ld pixels\n", info.pszTitle ? info.pszTitle : L"", info.size.cx, info.size.cy);
    ExpectTrue("  ... a size wider than tall, as the dialog", info.size.cx > info.size.cy && info.size.cy > 0);
    CoTaskMemFree(info.pszTitle);

    const ULONG controlRefs = References(control);
    Expect("SetObjects the control", page->SetObjects(1, &control), S_OK);
    ExpectCount("  ... holds one reference to it", References(control), controlRefs + 1);

    HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                 nullptr, nullptr);
    ExpectTrue("a hidden frame window", frame != nullptr);
    const RECT place{10, 10, 10 + info.size.cx, 10 + info.size.cy};
    Expect("Activate", page->Activate(frame, &place, TRUE), S_OK);
    HWND child = GetWindow(frame, GW_CHILD);
    ExpectTrue("  ... the dialog is the frame's child", child != nullptr && (GetWindowLongW(child, GWL_STYLE) & WS_CHILD));
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

void CheckPagesAndPersistence(IUnknown* control) {
    ComPtr<ISpecifyPropertyPages> pages;
    Query(control, IID_ISpecifyPropertyPages, pages);
    CAUUID list{};
    Expect("GetPages", pages->GetPages(&list), S_OK);
    ExpectCount("  ... one page", list.cElems, 1);
    if (list.cElems == 1) CheckPropertyPage(list.pElems[0], control);
    CoTaskMemFree(list.pElems);

    ComPtr<IPersistStreamInit> persist;
    Query(control, IID_IPersistStreamInit, persist);
    CLSID clsid{};
    Expect("GetClassID", persist->GetClassID(&clsid), S_OK);
    ExpectGuid("  ... is the control's", clsid, CLSID_TesselAdapter);
    Expect("InitNew", persist->InitNew(), S_OK);
    Expect("IsDirty", persist->IsDirty(), S_FALSE);
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
    Expect("Save", persist->Save(stream.Get(), TRUE), S_OK);
    ULARGE_INTEGER end{};
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end);
    ULARGE_INTEGER size{};
    persist->GetSizeMax(&size);
    ExpectCount("  ... wrote GetSizeMax bytes", static_cast<ULONG>(end.QuadPart), static_cast<ULONG>(size.QuadPart));
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    Expect("Load what was saved", persist->Load(stream.Get()), S_OK);
    Expect("Load from the end", persist->Load(stream.Get()), STG_E_READFAULT);
}

// Keeps the first visible window in the HWND that `found` points to. The
// system calls it as a stdcall function: on 32-bit Windows a lambda would
// convert only to a cdecl pointer.
BOOL CALLBACK FirstVisibleWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The properties verb shows the system's modal frame: a helper thread
// closes the first window this thread shows, as a user would.
void CheckPropertiesVerb(IOleObject* object) {
    const DWORD self = GetCurrentThreadId();
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        for (int tries = 0; tries < 100 && !closed; ++tries) {
            HWND shown = nullptr;
            EnumThreadWindows(self, FirstVisibleWindow, reinterpret_cast<LPARAM>(&shown));
            if (shown) {
                wchar_t title[128] = {};
                GetWindowTextW(shown, title, 128);
                std::printf("     the frame \"%ls\" is shown; closing it\n", title);
                PostMessageW(shown, WM_COMMAND, IDCANCEL, 0);
                closed = true;
            }
            Sleep(50);
        }
    });
    Expect("DoVerb properties", object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
    closed = true;
    closer.join();
}

void CheckObject(IUnknown* control) {
    ComPtr<IOleObject> object;
    Query(control, IID_IOleObject, object);
    DWORD status = 0;
    Expect("GetMiscStatus", object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    ExpectCount("  ... as registered", status, 132241);
    LPOLESTR type = nullptr;
    Expect("GetUserType", object->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    ExpectTrue("  ... the user type name", type && std::wcscmp(type, L"Vantor TesselAdapter Control") == 0);
    CoTaskMemFree(type);
    Expect("SetClientSite null", object->SetClientSite(nullptr), S_OK);
    Expect("DoVerb show", object->DoVerb(OLEIVERB_SHOW, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
    CheckPropertiesVerb(object.Get());
    SIZEL extent{};
    Expect("GetExtent", object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    Expect("GetExtent of an icon", object->GetExtent(DVASPECT_ICON, &extent), DV_E_DVASPECT);
    Expect("Close", object->Close(OLECLOSE_NOSAVE), S_OK);

    ComPtr<IOleControl> oleControl;
    Query(control, IID_IOleControl, oleControl);
    CONTROLINFO info{};
    Expect("GetControlInfo", oleControl->GetControlInfo(&info), S_OK);
    Expect("FreezeEvents", oleControl->FreezeEvents(TRUE), S_OK);
}

// The module may unload only once nothing of it is alive or locked.
void CheckUnloading(IUnknown* control) {
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"TesselAdapter.ocx"), "DllCanUnloadNow")));
    if (!canUnload) {
        ExpectTrue("DllCanUnloadNow found", false);
        return;
    }
    Expect("DllCanUnloadNow with a live control", canUnload(), S_FALSE);
    ExpectCount("final Release", control->Release(), 0);
    Expect("DllCanUnloadNow after it", canUnload(), S_OK);

    ComPtr<IClassFactory> factory;
    Expect("CoGetClassObject",
           CoGetClassObject(CLSID_TesselAdapter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.ReceiveVoid()),
           S_OK);
    Expect("DllCanUnloadNow with a factory held", canUnload(), S_FALSE);
    Expect("LockServer TRUE", factory->LockServer(TRUE), S_OK);
    factory.Reset();
    Expect("DllCanUnloadNow while locked", canUnload(), S_FALSE);
    ComPtr<IClassFactory> again;
    CoGetClassObject(CLSID_TesselAdapter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, again.ReceiveVoid());
    Expect("LockServer FALSE", again->LockServer(FALSE), S_OK);
    again.Reset();
    Expect("DllCanUnloadNow unlocked", canUnload(), S_OK);
}

// A client in the multithreaded apartment: the control is apartment
// threaded, so COM makes it in an apartment of its own and hands back a
// proxy; calls and their failures cross over through the proxy.
void CheckOtherApartment() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        ExpectTrue("CoInitializeEx multithreaded", false);
        return;
    }
    {
        ComPtr<IDispatch> control;
        Expect("CoCreateInstance from the multithreaded apartment",
               CoCreateInstance(CLSID_TesselAdapter, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.ReceiveVoid()),
               S_OK);
        if (control) {
            ComPtr<IMultiQI> proxy;
            Expect("  ... is a proxy (IMultiQI)", Query(control.Get(), IID_IMultiQI, proxy), S_OK);
            // Not counted: Wine's PSDispatch cannot marshal a dispinterface
            // that is not dual (CoMarshalInterface of it fails with E_FAIL
            // even within one apartment), so the proxy refuses its IID.
            ComPtr<IUnknown> own;
            std::printf("     QueryInterface _DTesselAdapter through the proxy: 0x%08lX\n",
                        static_cast<unsigned long>(Query(control.Get(), DIID__DTesselAdapter, own)));
            DISPID id = 0;
            Expect("  ... GetIDsOfNames", MemberIdOf(*control.Get(), "SetVersion", id), S_OK);
            const DispatchDriver driver(control.Get(), {"IDispatch", &IID_IDispatch});
            const COleVariant version(SHORT{310});
            Expect("  ... SetVersion 310", driver.TryInvoke(id, DISPATCH_METHOD, std::span<const VARIANT>(static_cast<const VARIANT*>(&version), 1)).hr, S_OK);
            const COleVariant text(OLESTR("x"));
            const DispatchResult refused = driver.TryInvoke(31, DISPATCH_PROPERTYPUT, std::span<const VARIANT>(static_cast<const VARIANT*>(&text), 1));
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
    const HRESULT created =
        CoCreateInstance(CLSID_TesselAdapter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&control));
    Expect("CoCreateInstance", created, S_OK);
    if (control) {
        CheckInterfaces(control);
        CheckTypeInformation(control);
        CheckConnectionPoints(control);
        CheckPagesAndPersistence(control);
        CheckObject(control);
        CheckUnloading(control);  // releases the control
    }
    std::thread(CheckOtherApartment).join();
    CoUninitialize();
    return g_report.Done();
}
