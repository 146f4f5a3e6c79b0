// The common body of every stand-in object: reference counting, the
// process-wide count of live stand-ins, and the IDispatch parts no stand-in
// answers (type information and names).
//
// A stand-in starts with one reference, owned by its creator, and deletes
// itself when the last one is released. Tests end by checking LiveObjects()
// is back at zero, which catches every reference the system forgot to release.
#pragma once

#include "platform/Automation.h"
#include "platform/ComPtr.h"

namespace standins {

// Stand-in objects alive in this process, of every kind.
long LiveObjects() noexcept;

namespace detail {
void CountLiveObject(long delta) noexcept;
}

template <class Interface>
class StandInObject : public Interface {
public:
    StandInObject(const StandInObject&) = delete;
    StandInObject& operator=(const StandInObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    ULONG RefCount() const noexcept { return refs_; }

protected:
    StandInObject() noexcept { detail::CountLiveObject(+1); }
    // Virtual so that Release deletes the most derived stand-in; the entry
    // lands after the interface's slots, which therefore keep their places.
    virtual ~StandInObject() { detail::CountLiveObject(-1); }

    // QueryInterface answers: hand out `itf` with a new reference, or null.
    HRESULT Grant(void** out, void* itf) noexcept {
        *out = itf;
        AddRef();
        return S_OK;
    }
    // A success code here is deliberate: it imitates an object that claims
    // success and hands out nothing.
    static HRESULT Refuse(void** out, HRESULT code = E_NOINTERFACE) noexcept {
        *out = nullptr;
        return code;
    }

private:
    ULONG refs_ = 1;
};

// Stand-ins carry no type information; those with members answer names from
// their member tables.
template <class Interface>
class StandInDispatch : public StandInObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    // No names: every one is unknown.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count == 0) return S_OK;
        if (!names || !ids) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
};

}  // namespace standins
