// CTesselAdapterPropPage: the control's one property page. It edits no
// property of the control.
#pragma once

#include "platform/OlePropertyPage.h"

extern const CLSID CLSID_TesselAdapterPropPage;

class CTesselAdapterPropPage : public COlePropertyPage {
public:
    CTesselAdapterPropPage();

protected:
    void DoDataExchange() override;
};
