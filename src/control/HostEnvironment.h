// The host environment object and the objects it hands out: the host's
// property collection (which holds its font), its colour scheme and the
// status of that scheme.
//
// Only the operations the control calls are named; the others are
// placeholders that keep each named operation at its slot.
#pragma once

#include "platform/Automation.h"
#include "platform/ComPtr.h"
#include "platform/InterfaceTraits.h"
#include "platform/StdcallCheck.h"

extern const CLSID CLSID_HostEnvironment;
extern const IID IID_IHostEnvironment;
extern const IID IID_IHostPropertyCollection;
extern const IID IID_IHostColorScheme;
extern const IID IID_IHostSchemeStatus;

struct IHostPropertyCollection;
struct IHostColorScheme;
struct IHostSchemeStatus;

struct IHostEnvironment : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    // Slot 9.
    virtual HRESULT STDMETHODCALLTYPE GetPropertyCollection(IHostPropertyCollection** collection) = 0;
    // Slot 10.
    virtual HRESULT STDMETHODCALLTYPE GetColorScheme(IHostColorScheme** scheme) = 0;
    // Slot 11: nonzero when a colour scheme can be asked for.
    virtual HRESULT STDMETHODCALLTYPE GetSchemeAvailable(LONG* available) = 0;
    // Slot 12.
    virtual HRESULT STDMETHODCALLTYPE GetSchemeStatus(IHostSchemeStatus** status) = 0;

protected:
    ~IHostEnvironment() = default;
};

struct IHostPropertyCollection : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    // Slot 10: the named property's object.
    virtual HRESULT STDMETHODCALLTYPE GetProperty(BSTR name, IUnknown** property) = 0;

protected:
    ~IHostPropertyCollection() = default;
};

struct IHostColorScheme : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    // Slot 13: the colour of one role, as an OLE colour.
    virtual HRESULT STDMETHODCALLTYPE GetColor(LONG a, LONG b, LONG c, OLE_COLOR* colour) = 0;

protected:
    ~IHostColorScheme() = default;
};

struct IHostSchemeStatus : IUnknown {
    // Slot 3: nonzero when a colour scheme is in use.
    virtual HRESULT STDMETHODCALLTYPE GetInUse(LONG* inUse) = 0;

protected:
    ~IHostSchemeStatus() = default;
};

// The host calls these as stdcall methods on 32-bit Windows.
TESSEL_STDCALL(IHostEnvironment, GetPropertyCollection);
TESSEL_STDCALL(IHostEnvironment, GetColorScheme);
TESSEL_STDCALL(IHostEnvironment, GetSchemeAvailable);
TESSEL_STDCALL(IHostEnvironment, GetSchemeStatus);
TESSEL_STDCALL(IHostPropertyCollection, GetProperty);
TESSEL_STDCALL(IHostColorScheme, GetColor);
TESSEL_STDCALL(IHostSchemeStatus, GetInUse);

TESSEL_INTERFACE_TRAITS(IHostEnvironment, IID_IHostEnvironment);
TESSEL_INTERFACE_TRAITS(IHostPropertyCollection, IID_IHostPropertyCollection);
TESSEL_INTERFACE_TRAITS(IHostColorScheme, IID_IHostColorScheme);
TESSEL_INTERFACE_TRAITS(IHostSchemeStatus, IID_IHostSchemeStatus);
TESSEL_INTERFACE_TRAITS(IFont, IID_IFont);

// A new host environment object in the running state, or an empty pointer
// when any step of making one fails; never raises.
ComPtr<IHostEnvironment> CreateHostEnvironment() noexcept;

// Asks an operation for an interface: a failing code is raised, and so is a
// success that hands out nothing (E_POINTER).
template <class Owner, class Out, class Call>
ComPtr<Out> ReceiveFrom(Call call) {
    ComPtr<Out> out;
    CheckResult(call(out.Receive()), InterfaceTraits<Owner>::Id());
    if (!out) RaiseError(E_POINTER, InterfaceTraits<Owner>::Id());
    return out;
}
