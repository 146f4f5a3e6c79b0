#include "standins/HostEnvironmentObjects.h"

#include <cstring>
#include <utility>

#include "control/HostEnvironment.h"
#include "platform/ComPtr.h"
#include "platform/DispatchMember.h"
#include "standins/StandInObject.h"

namespace standins {
namespace {

using Look = std::shared_ptr<HostLook>;

// The common answer of an operation: its planned fault, if any.
HRESULT Enter(HostLook& look, LookOp op) { return look.faults.Enter(op).code; }

template <class Out>
HRESULT HandOut(HostLook& look, LookOp op, Out** out, ComPtr<Out> made) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (const HRESULT hr = Enter(look, op); FAILED(hr)) return hr;
    if (!look.handsOutNothing[op]) *out = made.Detach();
    return S_OK;
}

#define TESSEL_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

template <class Interface>
class HostObject : public StandInObject<Interface> {
public:
    explicit HostObject(Look look) : look_(std::move(look)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == InterfaceTraits<Interface>::Iid())
            return this->Grant(out, static_cast<Interface*>(this));
        return this->Refuse(out);
    }

protected:
    Look look_;
};

template <class Object>
ComPtr<Object> Make(Look look) {
    ComPtr<Object> made;
    made.Attach(new Object(std::move(look)));
    return made;
}

class SchemeStatus final : public HostObject<IHostSchemeStatus> {
public:
    using HostObject::HostObject;
    HRESULT STDMETHODCALLTYPE GetInUse(LONG* inUse) override {
        if (!inUse) return E_POINTER;
        if (const HRESULT hr = Enter(*look_, LookOp::InUse); FAILED(hr)) return hr;
        *inUse = look_->inUse;
        return S_OK;
    }
};

class ColourScheme final : public HostObject<IHostColorScheme> {
public:
    using HostObject::HostObject;
    TESSEL_RESERVED(3) TESSEL_RESERVED(4) TESSEL_RESERVED(5) TESSEL_RESERVED(6) TESSEL_RESERVED(7)
    TESSEL_RESERVED(8) TESSEL_RESERVED(9) TESSEL_RESERVED(10) TESSEL_RESERVED(11) TESSEL_RESERVED(12)
    HRESULT STDMETHODCALLTYPE GetColor(LONG a, LONG b, LONG c, OLE_COLOR* colour) override {
        if (!colour) return E_POINTER;
        if (const HRESULT hr = Enter(*look_, LookOp::Colour); FAILED(hr)) return hr;
        const auto found = look_->colours.find({a, b, c});
        *colour = found == look_->colours.end() ? 0 : found->second;
        return S_OK;
    }
};

// A font whose handle lives as long as the font object.
class Font final : public HostObject<IFont> {
public:
    explicit Font(Look look) : HostObject(std::move(look)), handle_(CreateFontIndirectA(&look_->font)) {}
    ~Font() override { DeleteObject(handle_); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Size(CY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Size(CY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Bold(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Bold(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Italic(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Italic(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Underline(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Underline(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Strikethrough(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Strikethrough(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Weight(SHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Weight(SHORT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Charset(SHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Charset(SHORT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_hFont(HFONT* font) override {
        if (!font) return E_POINTER;
        if (const HRESULT hr = Enter(*look_, LookOp::FontHandle); FAILED(hr)) return hr;
        *font = handle_;
        return S_OK;
    }
#ifdef _WIN32
    // The platform's IFont goes on past the handle; the adapter stops there.
    HRESULT STDMETHODCALLTYPE Clone(IFont**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEqual(IFont*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRatio(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryTextMetrics(TEXTMETRICOLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddRefHfont(HFONT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseHfont(HFONT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetHdc(HDC) override { return E_NOTIMPL; }
#endif

private:
    HFONT handle_;
};

// The "PropFont" property when it holds something other than a font.
class NotAFont final : public HostObject<IHostSchemeStatus> {
public:
    using HostObject::HostObject;
    HRESULT STDMETHODCALLTYPE GetInUse(LONG*) override { return E_NOTIMPL; }
};

class PropertyCollection final : public HostObject<IHostPropertyCollection> {
public:
    using HostObject::HostObject;
    TESSEL_RESERVED(3) TESSEL_RESERVED(4) TESSEL_RESERVED(5) TESSEL_RESERVED(6) TESSEL_RESERVED(7)
    TESSEL_RESERVED(8) TESSEL_RESERVED(9)
    HRESULT STDMETHODCALLTYPE GetProperty(BSTR name, IUnknown** property) override {
        const bool isFont = name && OleStringView(name, SysStringLen(name)) == OLESTR("PropFont");
        ComPtr<IUnknown> made;
        if (isFont && look_->fontKind == HostLook::FontKind::Font) made = ComPtr<IUnknown>(Make<Font>(look_));
        if (isFont && look_->fontKind == HostLook::FontKind::NotAFont) made = ComPtr<IUnknown>(Make<NotAFont>(look_));
        if (!made) {
            if (property) *property = nullptr;
            return property ? Enter(*look_, LookOp::Property) : E_POINTER;
        }
        return HandOut(*look_, LookOp::Property, property, made);
    }
};

class Environment final : public HostObject<IHostEnvironment> {
public:
    using HostObject::HostObject;
    TESSEL_RESERVED(3) TESSEL_RESERVED(4) TESSEL_RESERVED(5) TESSEL_RESERVED(6) TESSEL_RESERVED(7)
    TESSEL_RESERVED(8)
    HRESULT STDMETHODCALLTYPE GetPropertyCollection(IHostPropertyCollection** out) override {
        return HandOut<IHostPropertyCollection>(*look_, LookOp::Properties, out, Make<PropertyCollection>(look_));
    }
    HRESULT STDMETHODCALLTYPE GetColorScheme(IHostColorScheme** out) override {
        return HandOut<IHostColorScheme>(*look_, LookOp::Scheme, out, Make<ColourScheme>(look_));
    }
    HRESULT STDMETHODCALLTYPE GetSchemeAvailable(LONG* available) override {
        if (!available) return E_POINTER;
        if (const HRESULT hr = Enter(*look_, LookOp::Available); FAILED(hr)) return hr;
        *available = look_->available;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSchemeStatus(IHostSchemeStatus** out) override {
        return HandOut<IHostSchemeStatus>(*look_, LookOp::Status, out, Make<SchemeStatus>(look_));
    }
};

#undef TESSEL_RESERVED

}  // namespace

// Some roles follow the platform's system colours, as a host's scheme
// usually does; the rest are fixed.
std::map<std::array<LONG, 3>, OLE_COLOR> HostLook::DefaultColours() {
    return {{{36, 1, 1}, 0x80000005u},   {{1002, 1, 1}, 0x8000000Fu}, {{1000, 1, 1}, 0x00404040u},
            {{32, 1, 1}, 0x00804000u},   {{31, 1, 1}, 0x00FFC080u},   {{3, 8, 1}, 0x00C0E0FFu},
            {{62, 1, 1}, 0x00F8F8F8u},   {{61, 1, 1}, 0x00D0D0D0u},   {{38, 1, 1}, 0x80000000u},
            {{36, 8, 1}, 0x8000000Du},   {{60, 1, 1}, 0x00B0B0B0u}};
}

LOGFONTA HostLook::DefaultFont() {
    LOGFONTA font{};
    font.lfHeight = -11;
    font.lfWeight = 400;
    font.lfCharSet = 0;
    font.lfPitchAndFamily = 34;
    std::strcpy(font.lfFaceName, "Tahoma");
    return font;
}

HRESULT CreateHostEnvironment(std::shared_ptr<HostLook> look, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (const HRESULT hr = Enter(*look, LookOp::Create); FAILED(hr)) return hr;
    return AtCallBoundary([&] { return Make<Environment>(std::move(look))->QueryInterface(riid, out); });
}

}  // namespace standins
