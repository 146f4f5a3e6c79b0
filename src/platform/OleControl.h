// COleControl: the base of an in-process control whose IDispatch is served
// from a dispatch map by the member engine (platform/DispatchMember.h).
//
// The derived control lists its members once, as a table of DispEntry built
// with DispProperty / DispPropertyPutOnly / DispPropertyGetOnly / DispMethod,
// each naming the member functions and the automation types of the value,
// the parameters and the result (as the framework's VTS lists do). The
// engine converts arguments, refuses what the map does not allow, runs the
// member and turns whatever it raises into DISP_E_EXCEPTION with EXCEPINFO.
#pragma once

#include <initializer_list>
#include <span>
#include <type_traits>
#include <utility>

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "platform/DispatchMember.h"
#include "platform/TypeLibraryId.h"
#ifdef _WIN32
#include "platform/win/OleControlInterfaces.h"
#endif

class COleControl : public IDispatch {
public:
    using DispEntry = DispatchMember<COleControl>;
    using Param = MemberParam;

    // IUnknown. A control starts with one reference, owned by its creator.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr) override;

    // The container's window, which owns the dialogs the control shows; null
    // where the container has none (and off Windows, where none exists).
    void* ContainerWindow() const noexcept;

    // The container's notice that an ambient property changed (what
    // IOleControl::OnAmbientPropertyChange delivers). Runs the control's
    // handler; whatever it raises comes back as the failing code.
    HRESULT AmbientPropertyChanged(DISPID dispid) noexcept;

protected:
    // A live control keeps its module loaded.
    COleControl();
    virtual ~COleControl();
    COleControl(const COleControl&) = delete;
    COleControl& operator=(const COleControl&) = delete;

    virtual std::span<const DispEntry> GetDispatchMap() const = 0;
    // The library whose description of the dispatch interface GetTypeInfo
    // hands out; none by default.
    virtual const TypeLibraryId* TypeLibrary() const { return nullptr; }
    virtual void OnAmbientPropertyChange(DISPID) {}
    // The control's class and its property pages, as containers ask for
    // them; none by default.
    virtual const CLSID& ClassId() const { return CLSID_NULL; }
    virtual std::span<const CLSID* const> PropertyPages() const { return {}; }
    // The control's own dispatch interface, answered by QueryInterface
    // besides IUnknown and IDispatch.
    void SetInitialDispIID(const IID& iid) noexcept { dispIid_ = &iid; }
    // The interface of the control's events, offered to containers as its
    // one connection point; a control without it offers none.
    void SetInitialEventIID(const IID& iid) noexcept { eventIid_ = &iid; }

    // Conversions between declared automation types and C++ values.
    template <class T>
    static T FromVariant(const VARIANT& v);
    // LONG -> VT_I4, SHORT -> VT_I2, BSTR -> VT_BSTR (ownership passes to
    // out), IDispatch* -> VT_DISPATCH (the caller's reference passes to out).
    template <class T>
    static void ToVariant(T value, VARIANT& out);

    template <auto Get, auto Set>
    static DispEntry DispProperty(const char* name, DISPID id, VARTYPE type) {
        return PropertyMember<COleControl>(name, id, type, {}, &GetFn<Get>, &SetFn<Set>);
    }
    template <auto Set>
    static DispEntry DispPropertyPutOnly(const char* name, DISPID id, VARTYPE type) {
        return PropertyMember<COleControl>(name, id, type, {}, nullptr, &SetFn<Set>);
    }
    template <auto Get>
    static DispEntry DispPropertyGetOnly(const char* name, DISPID id, VARTYPE type) {
        return PropertyMember<COleControl>(name, id, type, {}, &GetFn<Get>, nullptr);
    }
    template <auto Fn>
    static DispEntry DispMethod(const char* name, DISPID id, VARTYPE result, std::initializer_list<Param> params) {
        return MethodMember<COleControl>(name, id, result, params, &CallFn<Fn>);
    }

private:
    template <class>
    struct MemberOf;
    template <class C, class R, class... A>
    struct MemberOf<R (C::*)(A...)> {
        using Class = C;
        using Result = R;
    };
    template <class C, class R, class... A>
    struct MemberOf<R (C::*)(A...) const> : MemberOf<R (C::*)(A...)> {};

    template <auto Get>
    static HRESULT GetFn(COleControl& self, MemberCall& call) {
        using M = MemberOf<decltype(Get)>;
        auto& c = static_cast<typename M::Class&>(self);
        ToVariant<typename M::Result>((c.*Get)(), call.Result());
        return S_OK;
    }
    template <auto Set>
    static HRESULT SetFn(COleControl& self, MemberCall& call) {
        SetWith(Set, self, call.Arg(0));
        return S_OK;
    }
    template <class C, class A>
    static void SetWith(void (C::*set)(A), COleControl& self, const VARIANT& value) {
        (static_cast<C&>(self).*set)(FromVariant<A>(value));
    }
    template <auto Fn>
    static HRESULT CallFn(COleControl& self, MemberCall& call) {
        CallWith(Fn, self, call.Args(), call.Result());
        return S_OK;
    }
    template <class C, class R, class... A>
    static void CallWith(R (C::*fn)(A...), COleControl& self, const VARIANT* args, VARIANT& result) {
        CallExpanded<R, A...>(fn, static_cast<C&>(self), args, result, std::index_sequence_for<A...>{});
    }
    template <class C, class R, class... A>
    static void CallWith(R (C::*fn)(A...) const, COleControl& self, const VARIANT* args, VARIANT& result) {
        CallExpanded<R, A...>(fn, static_cast<C&>(self), args, result, std::index_sequence_for<A...>{});
    }
    template <class R, class... A, class Fn, class C, std::size_t... I>
    static void CallExpanded(Fn fn, C& self, const VARIANT* args, VARIANT& result, std::index_sequence<I...>) {
        if constexpr (std::is_void_v<R>)
            (self.*fn)(FromVariant<A>(args[I])...);
        else
            ToVariant<R>((self.*fn)(FromVariant<A>(args[I])...), result);
    }

    ULONG refs_ = 1;
    const IID* dispIid_ = nullptr;
    const IID* eventIid_ = nullptr;
#ifdef _WIN32
    // What a container asks besides IDispatch, with the control's identity.
    friend class COleControlInterfaces;
    COleControlInterfaces container_{*this};
#endif
};

// The conversions the thunks use; declared here so that no control's
// translation unit instantiates the primary templates instead. FromVariant
// receives values already converted to the declared type; SHORT also reads
// VT_BOOL, as declared VT_BOOL parameters arrive as VARIANT_BOOL.
template <>
LONG COleControl::FromVariant<LONG>(const VARIANT& v);
template <>
SHORT COleControl::FromVariant<SHORT>(const VARIANT& v);
template <>
BSTR COleControl::FromVariant<BSTR>(const VARIANT& v);  // not owned
template <>
IDispatch* COleControl::FromVariant<IDispatch*>(const VARIANT& v);  // not owned
template <>
void COleControl::ToVariant<LONG>(LONG value, VARIANT& out);
template <>
void COleControl::ToVariant<SHORT>(SHORT value, VARIANT& out);
template <>
void COleControl::ToVariant<BSTR>(BSTR value, VARIANT& out);
template <>
void COleControl::ToVariant<IDispatch*>(IDispatch* value, VARIANT& out);
