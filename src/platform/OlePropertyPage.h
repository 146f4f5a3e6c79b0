// COlePropertyPage: the base of a control's property page, an object of
// the module made by its own class factory. It knows its dialog and caption
// resources; applying the page runs the derived page's data exchange. On
// Windows it is also the IPropertyPage a property frame shows.
#pragma once

#include "platform/Automation.h"
#ifdef _WIN32
#include "platform/win/PropertyPageInterface.h"
#endif

class COlePropertyPage : public IUnknown {
public:
    // IUnknown. A page starts with one reference, owned by its creator.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    UINT DialogId() const noexcept { return dialogId_; }
    UINT CaptionId() const noexcept { return captionId_; }
    // Moves the page's fields into the controls' properties.
    void Apply() { DoDataExchange(); }

protected:
    COlePropertyPage(UINT dialogId, UINT captionId);
    virtual ~COlePropertyPage();
    COlePropertyPage(const COlePropertyPage&) = delete;
    COlePropertyPage& operator=(const COlePropertyPage&) = delete;

    virtual void DoDataExchange() = 0;
    // The closing step of every exchange: the properties the exchange
    // changed are sent on together.
    void DDP_PostProcessing() noexcept {}

private:
    UINT dialogId_;
    UINT captionId_;
    ULONG refs_ = 1;
#ifdef _WIN32
    PropertyPageInterface frameSide_{*this};
#endif
};
